#pragma once
// The browser's proxy setting as the system keeps it: whether the browser's settings could be
// opened at all, and the raw proxy text, a host optionally followed by ":" and a port.
// Each platform supplies one implementation; callers split the text themselves.

#include <string>

namespace quorvia {

struct ProxyServerValue {
    bool opened = false; // the settings could be read; `text` is meaningful only then
    std::string text;    // empty when no proxy is set
};

// On Linux the proxy comes from the environment: "http_proxy", or "HTTP_PROXY" when the
// first is unset or empty. The settings count as opened even when neither is set. A scheme
// ("http://"), user credentials ("user:password@") and a path ("/...") are dropped, leaving
// host[:port].
ProxyServerValue ReadProxyServerValue();

} // namespace quorvia
