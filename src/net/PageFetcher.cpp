#include "net/PageFetcher.h"

#include "net/HttpText.h"
#include "platform/Text.h"
#include "settings/ConnectionSettings.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace quorvia {

TDomainsIPList SharedDomainsIPList;
TWaitProcEvent WaitHandler;
bool StopRequested = false;

namespace {

std::string ConnectionSummary(const std::string& url, const std::string& referrer) {
    const TConnectionSettings& s = ConnectionSettings;
    return "Proxy: " + s.Proxy + ". Port: " + std::to_string(s.ProxyPort) +
           ". UserAgent: " + s.UserAgent + ". URL: " + url + ". Referrer: " + referrer;
}

std::unique_ptr<TTimedHttpCli> MakeClient(const std::string& url, const std::string& referrer,
                                          std::ostream& bodyStream) {
    const TConnectionSettings& s = ConnectionSettings;
    auto client = std::make_unique<TTimedHttpCli>();
    client->AutoRedirect = true;
    client->DomainsIPList = &SharedDomainsIPList;
    client->BodyStream = &bodyStream;
    client->OnWait = WaitHandler;
    client->URL = url;
    client->Reference = referrer;
    if (s.ConnectType != 1 && !s.Proxy.empty()) {
        client->Proxy = s.Proxy;
        client->ProxyPort = std::to_string(s.ProxyPort);
    }
    client->Agent = s.UserAgent;
    if (s.UseAuth == 1) {
        client->Username = s.Username;
        client->Password = s.Password;
    }
    return client;
}

// The inactivity allowance of an attempt. "timeout" may hold any integer: up to a day is taken.
std::int32_t AllowanceMs(int timeoutSeconds) {
    constexpr std::int64_t Day = 24 * 60 * 60;
    return std::int32_t(std::clamp<std::int64_t>(timeoutSeconds, 0, Day) * 1000);
}

} // namespace

bool PageLooksComplete(const std::string& body) {
    return LowerAscii(body).find("</html>") != std::string::npos;
}

void FetchPage(std::string& url, bool checkComplete, const std::string& referrer, std::string& body,
               const TPostData* post) {
    int attemptsLeft = ConnectionSettings.RetryConnect;
    for (;;) {
        // One client and one body stream per attempt, both gone when the attempt ends.
        std::ostringstream bodyStream;
        const auto client = MakeClient(url, referrer, bodyStream);
        const std::int32_t timeoutMs = AllowanceMs(ConnectionSettings.timeout);
        TWaitOutcome outcome;
        if (post) {
            client->SendBody = post->body;
            client->SendContentType = post->contentType;
            outcome = client->PostTimed(timeoutMs);
        } else {
            outcome = client->GetTimed(timeoutMs);
        }
        if (outcome == WaitTimedOut) {
            // A server that kept a whole attempt busy would only do it again.
            if (client->AttemptLimitReached() || --attemptsLeft < 0)
                throw std::runtime_error("Connection timed out. " +
                                         ConnectionSummary(url, referrer));
            continue;
        }
        if (outcome == WaitCancelled)
            throw std::runtime_error("Canceled by user. ");

        const int status = client->StatusCode();
        if (status == 200) {
            std::string page = std::move(bodyStream).str();
            if (client->Location() != url)
                url = client->Location();
            if (client->BodyCut() || (checkComplete && !PageLooksComplete(page)))
                throw std::runtime_error("This page may not be retrieved properly. " +
                                         ConnectionSummary(url, referrer));
            body = std::move(page);
            return;
        }

        int number = status;
        std::string text = client->ReasonPhrase();
        const int code = client->CtrlSocket().LastError();
        if (code != 0) {
            number = code;
            text = text.empty() ? SocketErrorDesc(code) : text + ": " + SocketErrorDesc(code);
        }
        if (StopRequested)
            throw std::runtime_error("Canceled by user. ");
        const std::string message = "Connection error: " + std::to_string(number) + " " + text +
                                    ". " + ConnectionSummary(url, referrer);
        if (code == 0 && status >= 100 && !client->Faulted()) // the server's own answer
            throw EHttpStatusError(message, status, std::move(bodyStream).str());
        throw std::runtime_error(message);
    }
}

} // namespace quorvia
