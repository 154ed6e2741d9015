#pragma once
// FetchPage: the one way the program reaches the network. It gets one page over HTTP, retrying
// silent attempts, and either returns the body or throws std::runtime_error with one of four
// messages: "Canceled by user. ", "Connection timed out. " + summary,
// "Connection error: <number> <text>. " + summary,
// "This page may not be retrieved properly. " + summary.
// The module also holds the process-wide items the rest of the program shares with it.

#include "net/TimedHttpCli.h"

#include <stdexcept>
#include <string>

namespace quorvia {

// The one host-name cache of the run.
extern TDomainsIPList SharedDomainsIPList;
// The OnWait handler every client of FetchPage gets; empty until start-up installs one.
extern TWaitProcEvent WaitHandler;
// Set by "Stop scanning" and at the end of a scan; cleared when a scan starts.
extern bool StopRequested;

// The failure of a fetch that the server answered with an HTTP status other than 200: the
// "Connection error: " message, with the status and the body that came with it.
class EHttpStatusError : public std::runtime_error {
public:
    EHttpStatusError(const std::string& message, int status, std::string body)
        : std::runtime_error(message), status_(status), body_(std::move(body)) {}
    int Status() const { return status_; }
    const std::string& Body() const { return body_; }

private:
    int status_;
    std::string body_;
};

// A request body sent with POST, as a form is.
struct TPostData {
    std::string body;
    std::string contentType = "application/x-www-form-urlencoded";
};

// Fetches url with the current ConnectionSettings, by GET, or by POST when post is given. On
// success body is the page and url the address that finally answered. checkComplete demands a
// closing "</html>" (callers clear it for engines exempt from that check). Throws
// std::runtime_error carrying the message on failure (EHttpStatusError for an HTTP status).
void FetchPage(std::string& url, bool checkComplete, const std::string& referrer, std::string& body,
               const TPostData* post = nullptr);

// True when the body, A-Z lowered, contains "</html>".
bool PageLooksComplete(const std::string& body);

} // namespace quorvia
