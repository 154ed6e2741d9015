// One FetchPage in a process of its own, for the hostile-server test: the parent plays the
// server, this process fetches, and its peak memory is its own. Arguments are key=value pairs:
//   url=  timeout= (seconds)  retries=  proxy=  port=  user=  password= (UseAuth on when a user
//   is given)  check=0|1  attempt-floor= (ms)  ca= (a CA file to trust)
// It prints "message=", "url=", "body=" (bytes), "elapsed-ms=" and "peak-kb=" (VmHWM), one a
// line, and exits with 0.

#include "net/PageFetcher.h"
#include "net/Socket.h"
#include "settings/ConnectionSettings.h"
#include "support/QtTestApp.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>

using namespace quorvia;

namespace {

std::string PeakKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:"))
            return std::to_string(std::stol(line.substr(6)));
    return "0";
}

} // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto equals = arg.find('=');
        args[arg.substr(0, equals)] = equals == std::string::npos ? "" : arg.substr(equals + 1);
    }
    const auto number = [&](const std::string& key, long fallback) {
        return args.count(key) ? std::stol(args[key]) : fallback;
    };

    testing::EnsureCoreApplication();
    if (!args["ca"].empty())
        TrustCaCertificates(args["ca"]);
    ConnectionSettings.timeout = int(number("timeout", 5));
    ConnectionSettings.RetryConnect = int(number("retries", 2));
    ConnectionSettings.UserAgent = "hostile-test";
    ConnectionSettings.ConnectType = args["proxy"].empty() ? 1 : 2;
    ConnectionSettings.Proxy = args["proxy"];
    ConnectionSettings.ProxyPort = int(number("port", 0));
    ConnectionSettings.UseAuth = args["user"].empty() ? 0 : 1;
    ConnectionSettings.Username = args["user"];
    ConnectionSettings.Password = args["password"];
    MinAttemptLimitMs = std::int32_t(number("attempt-floor", MinAttemptLimitMs));

    std::string url = args["url"];
    std::string body;
    std::string message;
    const auto start = std::chrono::steady_clock::now();
    try {
        FetchPage(url, number("check", 1) != 0, "http://referrer.test/", body);
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("message=%s\nurl=%s\nbody=%zu\nelapsed-ms=%lld\npeak-kb=%s\n", message.c_str(),
                url.c_str(), body.size(), static_cast<long long>(elapsed.count()),
                PeakKb().c_str());
    return 0;
}
