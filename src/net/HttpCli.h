#pragma once
// THttpCli: one HTTP/1.0 GET or POST at a time over a fresh TCP connection, fully asynchronous.
// Every step runs from a socket notification or from a message the client posts to itself, so a
// caller has to keep the event loop running until State() is back to Idle (TTimedHttpCli does).
// "https" addresses run over TLS; through a proxy, inside a CONNECT tunnel.
//
// Hooks, in the order they occur during a request: session connected, request header begin,
// request header end, header begin, header data (per non-empty header line), cookie (per
// Set-Cookie line), header end, document begin, document data (per piece), document end,
// location change (per redirect followed), request done (after the return to Idle).

#include "net/ReceiveBuffer.h"
#include "net/Socket.h"

#include <QDateTime>
#include <QObject>

#include <cstdint>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvia {

enum class THttpState : std::uint8_t {
    Idle = 0,
    Starting = 1,
    Connected = 2,
    Resolving = 3,
    Resolved = 4,
    ReadingHeader = 5,
    ReadingBody = 6,
    Aborting = 7,
};

enum class THttpRequest { None, Get, Post };

// Misuse of the client ("HTTP component is busy", code 1).
class EHttpException : public std::runtime_error {
public:
    EHttpException(const std::string& message, int code)
        : std::runtime_error(message), errorCode(code) {}
    int ErrorCode() const { return errorCode; }

private:
    int errorCode;
};

class THttpCli : public QObject {
    Q_OBJECT
public:
    // Redirects followed for one request; the next one ends the request with its own status.
    static constexpr int MaxRedirects = 20;
    // Body bytes taken for one response; more ends the request as a failure of the client.
    static constexpr std::int64_t MaxBodyBytes = std::int64_t(64) << 20;
    // Lines and bytes of one response header (or of a proxy's answer to CONNECT); more ends
    // the request the same way.
    static constexpr int MaxHeaderLines = 100;
    static constexpr std::size_t MaxHeaderBytes = 64 * 1024;

    explicit THttpCli(QObject* parent = nullptr);
    ~THttpCli() override;

    // Request properties, set before StartGet.
    std::string URL;
    std::string Proxy;
    std::string ProxyPort = "80";
    std::string Agent = "Mozilla/3.0 (compatible)";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string Reference;
    std::string Username;
    std::string Password;
    bool AutoRedirect = true;
    std::string Sender;
    std::string Cookie;
    std::string ProxyUsername;
    std::string ProxyPassword;
    std::string ContentRangeBegin;
    std::string ContentRangeEnd;
    bool NoCache = false;
    QDateTime ModifiedSince; // invalid: no If-Modified-Since line
    std::string LocalAddr = "0.0.0.0";
    std::ostream* BodyStream = nullptr; // the caller's; receives the final response's body
    // What StartPost sends, with its Content-Type and Content-Length lines.
    std::string SendBody;
    std::string SendContentType = "application/x-www-form-urlencoded";

    // Starts a GET of URL and returns at once; throws "HTTP component is busy" unless Idle.
    // Username and Password, and a user and password written in URL, go to URL's host only.
    void StartGet();
    // The same with a POST of SendBody. A redirect other than 307 or 308 is followed with a
    // GET and no body, as browsers do after a form is sent.
    void StartPost();

    THttpState State() const { return state; }
    int StatusCode() const { return statusCode; }
    const std::string& ReasonPhrase() const { return reasonPhrase; }
    const std::string& Location() const { return location; } // the address that answered
    std::int64_t DeclaredLength() const { return declaredLength; }
    const std::vector<std::string>& RcvdHeader() const { return rcvdHeader; }
    std::int64_t RcvdCount() const { return rcvdCount; }
    int RequestDoneError() const { return requestDoneError; }
    // The connection closed before the body reached its Content-Length: the page is cut.
    bool BodyCut() const { return bodyCut; }
    // The exchange ended for a fault the client found: StatusCode 404 is its own, no server's.
    bool Faulted() const { return faulted; }
    TWSocket& CtrlSocket() { return *socket; }

    std::function<void(THttpCli&)> OnStateChange;
    std::function<void(THttpCli&)> OnSessionConnected;
    std::function<void(THttpCli&)> OnRequestHeaderBegin;
    std::function<void(THttpCli&)> OnRequestHeaderEnd;
    std::function<void(THttpCli&)> OnHeaderBegin;
    std::function<void(THttpCli&)> OnHeaderData;
    std::function<void(THttpCli&, const std::string& value, bool& accept)> OnCookie;
    std::function<void(THttpCli&)> OnHeaderEnd;
    std::function<void(THttpCli&)> OnDocBegin;
    std::function<void(THttpCli&, const char* data, std::size_t size)> OnDocData;
    std::function<void(THttpCli&)> OnDocEnd;
    std::function<void(THttpCli&)> OnLocationChange;
    std::function<void(THttpCli&, THttpRequest request, int error)> OnRequestDone;

protected:
    // Sets RequestTarget, HostHeader, TunnelTarget and the socket's peer from Location and
    // starts the connect; or records a failure in StatusCode and ReasonPhrase and calls
    // ConnectionClosed.
    virtual void ConnectStep() = 0;

    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderData();
    virtual void TriggerCookie(const std::string& value, bool& accept);
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const char* data, std::size_t size);
    virtual void TriggerDocEnd();
    virtual void TriggerLocationChange();
    virtual void TriggerRequestDone();

    void SetState(THttpState newState);
    void ConnectionOpened(int error);
    void ReceiveData();
    void ConnectionClosed();
    void FinishRequest();
    // Ends the exchange for a fault of the answer or of the request about to be written:
    // StatusCode 404 and the reason, nothing more is read, the connection closes.
    void Fail(const std::string& reason);

    TWSocket* socket; // owned through the Qt parent
    THttpState state = THttpState::Idle;
    std::string requestTarget; // what follows the method
    std::string hostHeader;    // what follows "Host: "; also the name a secure server must prove
    std::string tunnelTarget;  // "host:port" to CONNECT to through the proxy; empty: no tunnel
    int statusCode = 0;
    std::string reasonPhrase;
    std::string location;

private:
    enum class TLineReceiver { Tunnel, Header, Body };
    enum class TClosedHandler { ConnectionClosed, FollowLocation };

    void Connect();
    void WriteTunnelRequest();
    void HandleTunnelLine(const std::string& line);
    void WriteRequest();
    bool MayBeginAnswer() const;
    bool CountAnswerLine(const std::string& line);
    void DeliverLine(const std::string& line);
    void HandleHeaderLine(const std::string& line);
    void HandleFieldLine(const std::string& line);
    void HandleHeaderEnd();
    void HandleBodyData(const std::string& piece);
    std::string RedirectTarget(const std::string& value);
    bool MayFollowRedirect() const { return redirectCount < MaxRedirects; }
    void Start(THttpRequest kind);
    void FollowLocation();
    void ResetResponse();
    void SocketClosed(int error);

    TReceiveBuffer receiveBuffer;
    TLineReceiver lineReceiver = TLineReceiver::Header;
    TClosedHandler closedHandler = TClosedHandler::ConnectionClosed;
    THttpRequest requestKind = THttpRequest::None;
    std::int64_t declaredLength = -1;
    bool redirectPending = false;
    bool inHeader = false;
    int headerLineCount = 0;
    int bodyPieceCount = 0;
    std::int64_t rcvdCount = 0;
    int answerLineCount = 0;     // lines of the answer being read (header or CONNECT answer)
    std::size_t answerBytes = 0; // and their bytes
    bool finishing = false;      // FinishRequest ran: nothing more is read
    bool bodyCut = false;
    bool faulted = false;
    int closeError = 0;         // what the socket's closed notification reported
    std::string credentialHost; // the host Username and Password belong to
    int requestDoneError = 0;
    int redirectCount = 0;
    std::vector<std::string> rcvdHeader;
    bool tunnelOpen = false;  // the proxy has answered CONNECT with 200
    int tunnelLineCount = 0;  // lines of the proxy's answer to CONNECT
    int tunnelStatus = 0;     // the status of that answer
    std::string tunnelReason; // and its reason phrase
};

} // namespace quorvia
