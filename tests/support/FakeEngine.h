#pragma once
// A scripted HTTP server on a loopback address and a free port, for tests. It lives on the
// test's thread: it is served whenever that thread runs its event loop, as the HTTP client's
// waits do. Each connection carries one request; the server reads it up to the blank line
// and the body its Content-Length announces, logs it, and plays the reply chosen for it: a canned
// page, a redirect, raw (possibly malformed) bytes, a slow drip, silence, an early close, an error
// status. Requests with an absolute target ("GET http://host/path") are routed by that target, so
// it also plays a proxy; a CONNECT request is routed by its "host:port", and a Tunnel reply relays
// it to another engine. Given a TLS identity, it serves HTTPS.
//
//     TFakeEngine engine;                                  // 127.0.0.1, port chosen by the OS
//     engine.Route("/search?q=x", TFakeReply::Page("<html>...</html>"));
//     engine.Route("/old", TFakeReply::Redirect("/new"));
//     ... fetch engine.Url("/search?q=x") ...
//     EXPECT_EQ(engine.RequestCount(), 1u);
//     EXPECT_EQ(engine.Requests()[0].Header("user-agent"), "...");
//
//     TFakeEngine secure(LocalHost, &TestPki().Trusted);    // https://127.0.0.1:<port>
//     TFakeEngine proxy;
//     proxy.Route("secure.test:443", TFakeReply::Tunnel(secure.Port()));

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include "support/TestPki.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorvia::testing {

struct TFakeRequest {
    std::string Raw;     // every byte up to and including the blank line
    std::string Body;    // the Content-Length bytes after the blank line
    std::string Method;  // "GET", "POST"
    std::string Target;  // "/path?query"; "http://host/path" or "host:port" when sent to a proxy
    std::string Version; // "HTTP/1.0"
    std::vector<std::pair<std::string, std::string>> Headers; // in order, as received
    std::uint16_t LocalPort = 0;

    // The value of the first header of that name (A-Z case ignored); empty when absent.
    std::string Header(std::string_view name) const;
};

// What the server does with a connection once its request is read.
class TFakeReply {
public:
    // "HTTP/1.0 <status> <reason>", the extra header lines, a blank line, the body; then close.
    static TFakeReply Page(std::string body, int status = 200, std::string reason = "OK",
                           std::vector<std::string> headerLines = {});
    // A redirect response whose Location header is location.
    static TFakeReply Redirect(std::string location, int status = 302, std::string reason = "Found",
                               std::string body = {});
    // Exactly these bytes, then close.
    static TFakeReply Raw(std::string bytes);
    // Reads the request and never answers nor closes.
    static TFakeReply Silence();
    // Closes without sending a byte.
    static TFakeReply CloseAtOnce();
    // Answers a CONNECT with "HTTP/1.0 200 Connection established" once a connection to the
    // loopback port is open, then relays bytes both ways until either side closes.
    static TFakeReply Tunnel(std::uint16_t port);

    // Sends the bytes chunkSize at a time, pausing intervalMs between chunks.
    TFakeReply& Drip(std::size_t chunkSize, int intervalMs);
    // Keeps the connection open after the last byte instead of closing it.
    TFakeReply& KeepOpen();
    // After the bytes, sends piece times times over (Forever: without end). The server never
    // holds more than a little of it, so replies of any size cost it no memory.
    static constexpr std::int64_t Forever = -1;
    TFakeReply& Repeat(std::string piece, std::int64_t times);
    // Ends the connection with a TCP reset instead of a close.
    TFakeReply& Reset();

    const std::string& Bytes() const { return bytes; }

private:
    friend class TFakeEngine;
    // Up to size bytes of the reply from offset on: bytes, then the repeated piece.
    std::string Slice(std::uint64_t offset, std::size_t size) const;
    bool EndsAt(std::uint64_t offset) const;

    std::string bytes;
    std::string piece;
    std::int64_t pieceTimes = 0;
    bool reset = false;
    bool closeAfter = true;
    bool silent = false;
    std::size_t chunkSize = 0;
    int intervalMs = 0;
    std::uint16_t tunnelPort = 0;
};

class TFakeEngine : public QObject {
    Q_OBJECT
public:
    // With a TLS identity every connection is TLS, with that certificate.
    explicit TFakeEngine(const QHostAddress& address = QHostAddress(QHostAddress::LocalHost),
                         const TTlsIdentity* tls = nullptr);
    ~TFakeEngine() override;

    std::uint16_t Port() const;
    std::string Host() const;                         // "127.0.0.1"
    std::string Origin() const;                       // "http://127.0.0.1:<port>", or https
    std::string Url(const std::string& target) const; // Origin() + target

    // The reply for requests whose target is exactly target.
    void Route(const std::string& target, TFakeReply reply);
    // The reply for targets without a route; a 404 page until set.
    void SetFallback(TFakeReply reply);
    // Chooses every reply itself, ahead of the routes.
    void SetHandler(std::function<TFakeReply(const TFakeRequest&)> handler);

    const std::vector<TFakeRequest>& Requests() const { return requests; }
    std::size_t RequestCount() const { return requests.size(); }
    // Every byte clients sent into tunnels, in arrival order.
    const std::string& TunnelledBytes() const { return tunnelled; }
    // Runs the event loop until count requests have been logged or timeoutMs has passed.
    bool WaitForRequests(std::size_t count, int timeoutMs);

private:
    void Accept();
    void ReadRequest(QTcpSocket* connection);
    // The reply is shared by the passes that send it, so that a big one is never copied.
    void Play(QTcpSocket* connection, std::shared_ptr<const TFakeReply> reply,
              std::uint64_t offset);
    void OpenTunnel(QTcpSocket* connection, std::uint16_t port);

    std::unique_ptr<QTcpServer> server;
    bool secure = false;
    std::map<std::string, TFakeReply> routes;
    TFakeReply fallback;
    std::function<TFakeReply(const TFakeRequest&)> handler;
    std::vector<TFakeRequest> requests;
    std::map<QTcpSocket*, std::string> pending;          // bytes of requests not yet complete
    std::map<QTcpSocket*, QPointer<QTcpSocket>> tunnels; // client side to server side
    std::string tunnelled;
};

// A loopback port on which nothing listens, so a connect there is refused.
std::uint16_t UnusedLoopbackPort();

// A small result page: one link per entry of links, and a next-page link when next is not empty.
std::string ResultPage(const std::vector<std::string>& links, const std::string& next = {});

// An engine definition's SearchURL for ResultPage pages: the first page is
// origin + queryPath + "?q=" and the keyword; next-page links are taken relative to origin.
std::string ResultPageSearchUrl(const std::string& origin, const std::string& queryPath);
// The SearchMask that matches once per entry of a ResultPage.
inline constexpr const char* kResultPageSearchMask = "<div class=\"result\">";

} // namespace quorvia::testing
