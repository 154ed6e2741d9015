#pragma once
// The connection settings record: how the page fetcher reaches the web. Loaded from section
// "inet" of "set.ini" at start-up and after the Settings dialog's OK; saved only on that OK.

#include <cstdint>
#include <string>

namespace quorvia {

// Sent when "set.ini" names no agent and "ua.lst" gives none either: a current desktop
// browser, since engines serve old agents degraded pages or a block.
inline constexpr const char* FallbackUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/156.0.0.0 Safari/537.36";

struct TConnectionSettings {
    std::int32_t timeout = 30; // seconds of silence one attempt may last
    std::int32_t RetryConnect = 2;
    std::string UserAgent = FallbackUserAgent;
    std::string Proxy;
    std::int32_t ProxyPort = 0;
    std::string Username;
    std::string Password;
    std::int32_t UseAuth = 0;
    std::int32_t ConnectType = 3; // 1 direct, 2 proxy from the record, 3 the browser's proxy

    bool operator==(const TConnectionSettings&) const = default;
};

// The one record of the run; read and written on the GUI thread only.
extern TConnectionSettings ConnectionSettings;

// The browser's proxy, split at its first ":" into host and port text, both trimmed.
struct TIEProxy {
    bool opened = false; // false: the browser's settings could not be read
    std::string host;
    std::string port;
};
TIEProxy ReadIEProxy();

// The agent used when "set.ini" holds none: the first line of the shipped "ua.lst",
// trimmed, or FallbackUserAgent when that list is missing or its first line is blank.
std::string DefaultUserAgent();

// Fills ConnectionSettings from section "inet" of "set.ini" in the program folder; a missing
// file or key gives that key's default, an integer that is not a whole number too. A stored
// "UserAgent" is taken as it is, even an empty one. With
// ConnectType 3 the proxy and its port come from ReadIEProxy when it could read them.
// Never fails.
void LoadSettings();

// Writes the nine fields into section "inet" of "set.ini", creating file or section when
// missing. Stops at the first key it cannot write with ProfileWriteError
// ("Unable to write to <path>"); the record is left as it is.
void SaveSettings();

} // namespace quorvia
