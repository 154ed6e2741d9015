#pragma once
// The connection settings record: how the page fetcher reaches the web. Loaded from section
// "inet" of "set.ini" at start-up and after the Settings dialog's OK; saved only on that OK.

#include <cstdint>
#include <string>

namespace quorvia {

struct TConnectionSettings {
    std::int32_t timeout = 30; // seconds of silence one attempt may last
    std::int32_t RetryConnect = 2;
    std::string UserAgent = "Mozilla/4.0 (compatible; MSIE 5.5; Windows 98)";
    std::string Proxy;
    std::int32_t ProxyPort = 0;
    std::string Username;
    std::string Password;
    std::int32_t UseAuth = 0;
    std::int32_t ConnectType = 3; // 1 direct, 2 proxy from the record, 3 the browser's proxy
};

// The one record of the run; read and written on the GUI thread only.
extern TConnectionSettings ConnectionSettings;

} // namespace quorvia
