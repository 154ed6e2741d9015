// The HTTP/1.0 exchange: request writing, header line handling, redirects and body collection,
// and the CONNECT tunnel that carries a secure request through a proxy. Closing the socket
// delivers its closed notification inside the Close() call, so FollowLocation and
// ConnectionClosed may run in the middle of HandleHeaderLine.

#include "net/HttpCli.h"

#include "net/HttpText.h"
#include "platform/Text.h"

#include <QByteArray>
#include <QMetaObject>

#include <algorithm>
#include <charconv>

namespace quorvia {

namespace {

// Characters from the 1-based position index, count of them; empty when out of range.
std::string Copy(const std::string& text, std::size_t index, std::ptrdiff_t count) {
    if (index < 1)
        index = 1;
    if (count <= 0 || index > text.size())
        return {};
    return text.substr(index - 1, std::size_t(count));
}

// A whole decimal number with optional blanks before it; throws when the text is not one.
std::int64_t ToInteger(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size() && text[start] == ' ')
        ++start;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (first != last && *first == '+')
        ++first;
    std::int64_t value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (first == last || ec != std::errc() || end != last)
        throw std::invalid_argument("'" + text + "' is not a valid integer value");
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Control characters would end or split a line of the request.
bool HasControlCharacters(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; });
}

// True when text and the start of whole agree (A-Z case ignored when ignoreCase).
bool CouldBegin(std::string_view text, std::string_view whole, bool ignoreCase) {
    const std::string_view start = text.substr(0, whole.size());
    const std::string_view expected = whole.substr(0, start.size());
    return ignoreCase ? EqualsIgnoreAsciiCase(start, expected) : start == expected;
}

std::string Base64(const std::string& text) {
    return QByteArray::fromStdString(text).toBase64().toStdString();
}

std::string HttpDate(const QDateTime& when) {
    static const char* const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = when.date();
    const QTime t = when.time();
    char text[64];
    std::snprintf(text, sizeof text, "%s, %2.2d %s %4.4d %2.2d:%2.2d:%2.2d",
                  days[d.dayOfWeek() - 1], d.day(), months[d.month() - 1], d.year(), t.hour(),
                  t.minute(), t.second());
    return text;
}

} // namespace

THttpCli::THttpCli(QObject* parent) : QObject(parent), socket(new TWSocket(this)) {
    socket->OnSessionConnected = [this](int error) { ConnectionOpened(error); };
    socket->OnDataAvailable = [this] { ReceiveData(); };
    socket->OnSessionClosed = [this](int error) { SocketClosed(error); };
}

THttpCli::~THttpCli() {
    // The socket must not call back into a half-destroyed client.
    socket->OnSessionConnected = nullptr;
    socket->OnDataAvailable = nullptr;
    socket->OnSessionClosed = nullptr;
    socket->OnDnsLookupDone = nullptr;
}

void THttpCli::StartGet() {
    Start(THttpRequest::Get);
}

void THttpCli::StartPost() {
    Start(THttpRequest::Post);
}

void THttpCli::Start(THttpRequest kind) {
    if (state != THttpState::Idle)
        throw EHttpException("HTTP component is busy", 1);
    closedHandler = TClosedHandler::ConnectionClosed;
    SetState(THttpState::Starting);
    requestKind = kind;
    ResetResponse();
    const TUrlParts address = SplitUrl(URL);
    credentialHost = address.Host;
    if (!address.User.empty())
        Username = address.User;
    if (!address.Pass.empty())
        Password = address.Pass;
    Connect();
}

void THttpCli::Connect() {
    tunnelTarget.clear();
    tunnelOpen = false;
    lineReceiver = TLineReceiver::Header;
    closeError = 0;
    ConnectStep();
}

void THttpCli::ResetResponse() {
    statusCode = 0;
    declaredLength = -1;
    headerLineCount = 0;
    bodyPieceCount = 0;
    rcvdCount = 0;
    answerLineCount = 0;
    answerBytes = 0;
    finishing = false;
    bodyCut = false;
    faulted = false;
    requestDoneError = 0;
    redirectCount = 0;
    rcvdHeader.clear();
    location = URL;
}

void THttpCli::SetState(THttpState newState) {
    state = newState;
    if (OnStateChange)
        OnStateChange(*this);
    if (newState == THttpState::Idle)
        QMetaObject::invokeMethod(
            this, [this] { TriggerRequestDone(); }, Qt::QueuedConnection);
}

void THttpCli::ConnectionOpened(int error) {
    if (error == TWSocket::SecureConnectFailed) {
        statusCode = 404;
        reasonPhrase = "can't establish a secure connection: " + socket->SecureErrorText();
        ConnectionClosed();
        return;
    }
    if (error != 0) {
        requestDoneError = error;
        statusCode = 404;
        reasonPhrase = SocketErrorDesc(error) + " (Error #" + std::to_string(error) + ")";
        ConnectionClosed();
        return;
    }
    if (!tunnelTarget.empty() && !tunnelOpen) {
        WriteTunnelRequest(); // the request itself goes out once the tunnel is secured
        return;
    }
    SetState(THttpState::Connected);
    TriggerSessionConnected();
    lineReceiver = TLineReceiver::Header;
    SetState(THttpState::ReadingHeader);
    WriteRequest();
}

void THttpCli::WriteTunnelRequest() {
    if (HasControlCharacters(tunnelTarget)) {
        Fail("The address holds control characters");
        return;
    }
    std::string request = "CONNECT " + tunnelTarget + " HTTP/1.0\r\nHost: " + tunnelTarget + "\r\n";
    if (!ProxyUsername.empty())
        request +=
            "Proxy-Authorization: Basic " + Base64(ProxyUsername + ":" + ProxyPassword) + "\r\n";
    request += "\r\n";
    lineReceiver = TLineReceiver::Tunnel;
    tunnelLineCount = 0;
    answerLineCount = 0;
    answerBytes = 0;
    tunnelStatus = 0;
    tunnelReason.clear();
    socket->Send(request);
}

void THttpCli::HandleTunnelLine(const std::string& line) {
    if (tunnelLineCount++ == 0) {
        if (!line.starts_with("HTTP/1.") || line.size() < 12 || !IsDigit(line[9]) ||
            !IsDigit(line[10]) || !IsDigit(line[11])) {
            Fail("can't establish a secure connection: the proxy answered CONNECT without an "
                 "HTTP status line");
            return;
        }
        tunnelStatus = int(ToInteger(Copy(line, 10, 3)));
        tunnelReason = Copy(line, 14, std::ptrdiff_t(line.size()));
        return;
    }
    if (!line.empty())
        return; // the answer's header fields concern only the proxy
    receiveBuffer.Clear();
    if (tunnelStatus == 200) {
        tunnelOpen = true;
        lineReceiver = TLineReceiver::Header;
        answerLineCount = 0;
        answerBytes = 0;
        socket->StartSecure(hostHeader);
        return;
    }
    // The proxy's refusal is the request's outcome, as if the server had answered it.
    statusCode = tunnelStatus;
    reasonPhrase = tunnelReason;
    socket->Close();
}

void THttpCli::WriteRequest() {
    std::string request;
    bool controlCharacters = false;
    const auto line = [&](const std::string& text) {
        controlCharacters = controlCharacters || HasControlCharacters(text);
        request += text + "\r\n";
    };
    TriggerRequestHeaderBegin();
    const bool post = requestKind == THttpRequest::Post;
    line((post ? "POST " : "GET ") + requestTarget + " HTTP/1.0");
    if (!Sender.empty())
        line("From: " + Sender);
    if (!Accept.empty())
        line("Accept: " + Accept);
    if (!Reference.empty())
        line("Referer: " + Reference);
    if (!Agent.empty())
        line("User-Agent: " + Agent);
    line("Host: " + hostHeader);
    if (NoCache)
        line("Pragma: no-cache");
    if (ModifiedSince.isValid())
        line("If-Modified-Since: " + HttpDate(ModifiedSince) + " GMT");
    if (!Username.empty() && EqualsIgnoreAsciiCase(hostHeader, credentialHost))
        line("Authorization: Basic " + Base64(Username + ":" + Password));
    if (!Proxy.empty() && !ProxyUsername.empty() && tunnelTarget.empty()) // never to the server
        line("Proxy-Authorization: Basic " + Base64(ProxyUsername + ":" + ProxyPassword));
    if (!Cookie.empty())
        line("Cookie: " + Cookie);
    if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
        line("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
        ContentRangeBegin.clear();
        ContentRangeEnd.clear();
    }
    if (post) {
        line("Content-Type: " + SendContentType);
        line("Content-Length: " + std::to_string(SendBody.size()));
    }
    TriggerRequestHeaderEnd();
    line("");
    if (controlCharacters) {
        Fail("The request would hold control characters");
        return;
    }
    if (post)
        request += SendBody;
    socket->Send(request);
}

void THttpCli::ReceiveData() {
    if (finishing)
        return; // the answer is complete or has failed: later bytes are not read
    const int received = socket->Receive(receiveBuffer.WritePosition(), int(receiveBuffer.Free()));
    if (received <= 0)
        return;
    receiveBuffer.Commit(std::size_t(received));
    if (state == THttpState::ReadingBody) {
        HandleBodyData(receiveBuffer.TakeAll());
        return;
    }
    while (receiveBuffer.Size() > 0 && !finishing) {
        if (state == THttpState::ReadingBody) {
            // A header-less response turned the rest into body: keep its line endings.
            HandleBodyData(receiveBuffer.TakeAll());
            return;
        }
        const bool readingLines =
            state == THttpState::ReadingHeader || lineReceiver == TLineReceiver::Tunnel;
        if (readingLines && !MayBeginAnswer()) {
            Fail(lineReceiver == TLineReceiver::Tunnel
                     ? "can't establish a secure connection: the proxy answered CONNECT without "
                       "an HTTP status line"
                     : "The server's answer is not HTTP");
            return;
        }
        const auto line = receiveBuffer.TakeLine();
        if (!line) {
            if (readingLines && receiveBuffer.HoldsZeroByte())
                Fail("The response header holds a zero byte");
            else if (readingLines && receiveBuffer.Full())
                Fail("HTTP line too long");
            return;
        }
        if (readingLines && CountAnswerLine(*line))
            DeliverLine(*line);
    }
}

// The first line of an answer can only be a status line, or for a server that sends a page
// without any header, "<html>". Anything else can never become HTTP, however long one waits.
bool THttpCli::MayBeginAnswer() const {
    if (answerLineCount > 0)
        return true;
    const std::string_view held = receiveBuffer.Held();
    if (lineReceiver == TLineReceiver::Tunnel)
        return CouldBegin(held, "HTTP/1.", false);
    return CouldBegin(held, "HTTP/1.0", false) || CouldBegin(held, "HTTP/1.1", false) ||
           CouldBegin(held, "<HTML>", true);
}

// Counts a line of the answer against the header bounds; false when it ended the request.
bool THttpCli::CountAnswerLine(const std::string& line) {
    answerBytes += line.size() + 2;
    if (++answerLineCount > MaxHeaderLines) {
        Fail("The response header has more than " + std::to_string(MaxHeaderLines) + " lines");
        return false;
    }
    if (answerBytes > MaxHeaderBytes) {
        Fail("The response header is larger than " + std::to_string(MaxHeaderBytes) + " bytes");
        return false;
    }
    return true;
}

void THttpCli::DeliverLine(const std::string& line) {
    switch (lineReceiver) {
    case TLineReceiver::Tunnel:
        HandleTunnelLine(line);
        break;
    case TLineReceiver::Header:
        HandleHeaderLine(line);
        break;
    case TLineReceiver::Body:
        HandleBodyData(line);
        break;
    }
}

void THttpCli::HandleHeaderLine(const std::string& line) {
    if (headerLineCount == 0)
        TriggerHeaderBegin();
    ++headerLineCount;

    if (UpperAscii(line.substr(0, 6)) == "<HTML>") {
        SetState(THttpState::ReadingBody);
        lineReceiver = TLineReceiver::Body;
        TriggerHeaderEnd();
        HandleBodyData(line);
        return;
    }
    if (line.empty()) {
        HandleHeaderEnd();
        return;
    }
    rcvdHeader.push_back(line);
    HandleFieldLine(line);
    if (!finishing)
        TriggerHeaderData();
}

void THttpCli::HandleFieldLine(const std::string& line) {
    if (line.starts_with("HTTP/1.0") || line.starts_with("HTTP/1.1")) {
        if (line.size() < 12 || !IsDigit(line[9]) || !IsDigit(line[10]) || !IsDigit(line[11])) {
            Fail("The server's status line has no status code");
            return;
        }
        statusCode = int(ToInteger(Copy(line, 10, 3)));
        reasonPhrase = Copy(line, 14, std::ptrdiff_t(line.size()));
        return;
    }
    const auto colon = line.find(':');
    if (colon == std::string::npos)
        return;
    const std::string name = LowerAscii(line.substr(0, colon));
    const std::size_t valueStart = line.find_first_not_of(' ', colon + 1);
    const std::string value = valueStart == std::string::npos ? "" : line.substr(valueStart);
    if (name == "location") {
        if (HasControlCharacters(value)) {
            Fail("The server redirected to an address with control characters");
            return;
        }
        redirectPending = true;
        location = RedirectTarget(value);
    } else if (name == "content-length") {
        try {
            declaredLength = ToInteger(Trim(value));
        } catch (const std::invalid_argument&) {
            declaredLength = -1;
        }
        if (declaredLength < 0)
            Fail("The server's Content-Length is not a number");
    } else if (name == "content-range") {
        const auto dash = value.find('-');
        const auto slash = value.find('/');
        const std::ptrdiff_t dashAt = dash == std::string::npos ? 0 : std::ptrdiff_t(dash) + 1;
        const std::ptrdiff_t slashAt = slash == std::string::npos ? 0 : std::ptrdiff_t(slash) + 1;
        ContentRangeBegin = Copy(value, 7, dashAt - 7);
        ContentRangeEnd = Copy(value, std::size_t(dashAt + 1), slashAt - dashAt - 1);
    } else if (name == "set-cookie") {
        bool accept = false;
        TriggerCookie(value, accept);
    }
}

void THttpCli::HandleHeaderEnd() {
    if (redirectPending && location != URL && MayFollowRedirect()) {
        TriggerHeaderEnd();
        receiveBuffer.Clear(); // the redirect response's body is never read
        headerLineCount = 0;
        bodyPieceCount = 0;
        if (AutoRedirect)
            closedHandler = TClosedHandler::FollowLocation;
        socket->Close();
        return;
    }
    if (declaredLength != 0) {
        SetState(THttpState::ReadingBody);
        lineReceiver = TLineReceiver::Body;
        TriggerHeaderEnd();
        if (receiveBuffer.Size() > 0)
            HandleBodyData(receiveBuffer.TakeAll());
        if (statusCode >= 400)
            socket->Close();
        return;
    }
    TriggerHeaderEnd();
    FinishRequest();
}

std::string THttpCli::RedirectTarget(const std::string& value) {
    const TUrlParts current = SplitUrl(location);
    // A reference within the site keeps its scheme: a secure page never leads to a plain one
    // unless the server names "http://" itself.
    const std::string currentSite = (current.Proto == "https" ? "https://" : "http://") +
                                    current.Host + (current.Port.empty() ? "" : ":" + current.Port);
    if (value.starts_with('/'))
        return currentSite + value;
    for (const char* const scheme : {"http://", "https://"}) {
        if (!value.starts_with(scheme))
            continue;
        // Credentials written in a redirect are never taken: they would come from the server.
        const TUrlParts target = SplitUrl(value);
        return std::string(scheme) + target.Host + (target.Port.empty() ? "" : ":" + target.Port) +
               target.Path;
    }
    // A relative reference: joined to the directory of the current request path.
    const std::string path = current.Path.empty() ? "/" : current.Path;
    const std::string beforeQuery = path.substr(0, path.find('?'));
    const auto lastSeparator = beforeQuery.find_last_of("/:");
    const std::string directory =
        lastSeparator == std::string::npos ? "/" : beforeQuery.substr(0, lastSeparator + 1);
    return currentSite + directory + value;
}

void THttpCli::HandleBodyData(const std::string& piece) {
    if (rcvdCount + std::int64_t(piece.size()) > MaxBodyBytes) {
        Fail("Response body larger than " + std::to_string(MaxBodyBytes) + " bytes");
        return;
    }
    if (bodyPieceCount == 0)
        TriggerDocBegin();
    ++bodyPieceCount;
    if (BodyStream)
        BodyStream->write(piece.data(), std::streamsize(piece.size()));
    rcvdCount += std::int64_t(piece.size());
    TriggerDocData(piece.data(), piece.size());
}

void THttpCli::SocketClosed(int error) {
    closeError = error;
    if (closedHandler == TClosedHandler::FollowLocation)
        FollowLocation();
    else
        ConnectionClosed();
}

void THttpCli::ConnectionClosed() {
    if (inHeader) {
        TriggerHeaderEnd();
        if (state == THttpState::Aborting)
            return;
        if (redirectPending && AutoRedirect && MayFollowRedirect()) {
            FollowLocation();
            return;
        }
        // A cut redirect beyond the bound ends with its own status; any other cut header is
        // no answer at all.
        if (!redirectPending)
            Fail("The server closed the connection inside the response header");
        FinishRequest();
        return;
    }
    if (state == THttpState::ReadingBody && declaredLength > rcvdCount)
        bodyCut = true;
    if (state == THttpState::ReadingHeader && answerLineCount == 0 && statusCode == 0 &&
        closeError == 0)
        reasonPhrase = "The server closed the connection without an answer";
    if (bodyPieceCount > 0)
        TriggerDocEnd();
    FinishRequest();
}

void THttpCli::Fail(const std::string& reason) {
    faulted = true;
    statusCode = 404;
    reasonPhrase = reason;
    redirectPending = false;
    receiveBuffer.Clear();
    if (inHeader)
        TriggerHeaderEnd();
    closedHandler = TClosedHandler::ConnectionClosed;
    socket->Close(); // its closed notification finishes the request
    FinishRequest(); // for a connection that had closed already
}

void THttpCli::FollowLocation() {
    redirectPending = false;
    if (statusCode != 307 && statusCode != 308)
        requestKind = THttpRequest::Get;
    closedHandler = TClosedHandler::ConnectionClosed;
    ++redirectCount;
    TriggerLocationChange();
    rcvdHeader.clear();
    headerLineCount = 0;
    answerLineCount = 0;
    answerBytes = 0;
    bodyPieceCount = 0;
    rcvdCount = 0;
    declaredLength = -1;
    statusCode = 0;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (state != THttpState::Idle && state != THttpState::Aborting)
                Connect(); // not after an abort that came first
        },
        Qt::QueuedConnection);
}

void THttpCli::FinishRequest() {
    if (finishing)
        return;
    finishing = true;
    QMetaObject::invokeMethod(
        this, [this] { SetState(THttpState::Idle); }, Qt::QueuedConnection);
}

void THttpCli::TriggerSessionConnected() {
    if (OnSessionConnected)
        OnSessionConnected(*this);
}
void THttpCli::TriggerRequestHeaderBegin() {
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(*this);
}
void THttpCli::TriggerRequestHeaderEnd() {
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(*this);
}
void THttpCli::TriggerHeaderBegin() {
    inHeader = true;
    if (OnHeaderBegin)
        OnHeaderBegin(*this);
}
void THttpCli::TriggerHeaderData() {
    if (OnHeaderData)
        OnHeaderData(*this);
}
void THttpCli::TriggerCookie(const std::string& value, bool& accept) {
    if (OnCookie)
        OnCookie(*this, value, accept);
}
void THttpCli::TriggerHeaderEnd() {
    inHeader = false;
    if (OnHeaderEnd)
        OnHeaderEnd(*this);
}
void THttpCli::TriggerDocBegin() {
    if (OnDocBegin)
        OnDocBegin(*this);
}
void THttpCli::TriggerDocData(const char* data, std::size_t size) {
    if (OnDocData)
        OnDocData(*this, data, size);
}
void THttpCli::TriggerDocEnd() {
    if (OnDocEnd)
        OnDocEnd(*this);
}
void THttpCli::TriggerLocationChange() {
    if (OnLocationChange)
        OnLocationChange(*this);
}
void THttpCli::TriggerRequestDone() {
    if (OnRequestDone)
        OnRequestDone(*this, requestKind, requestDoneError);
}

} // namespace quorvia
