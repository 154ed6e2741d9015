#include "support/FakeEngine.h"

#include "support/QtTestApp.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

#include <sys/socket.h>

namespace quorvia::testing {

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return lower;
}

TFakeRequest ParseRequest(std::string raw, std::uint16_t port) {
    TFakeRequest request;
    request.LocalPort = port;
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < raw.size()) {
        std::size_t end = raw.find('\n', start);
        if (end == std::string::npos)
            end = raw.size();
        std::string line = raw.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    if (!lines.empty()) {
        const std::string& first = lines.front();
        const auto a = first.find(' ');
        const auto b = first.rfind(' ');
        request.Method = first.substr(0, a);
        if (a != std::string::npos && b > a) {
            request.Target = first.substr(a + 1, b - a - 1);
            request.Version = first.substr(b + 1);
        }
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const auto colon = lines[i].find(':');
        if (colon == std::string::npos)
            continue;
        const auto value = lines[i].find_first_not_of(' ', colon + 1);
        request.Headers.emplace_back(lines[i].substr(0, colon),
                                     value == std::string::npos ? "" : lines[i].substr(value));
    }
    request.Raw = std::move(raw);
    return request;
}

} // namespace

std::string TFakeRequest::Header(std::string_view name) const {
    const std::string wanted = Lower(name);
    for (const auto& [key, value] : Headers)
        if (Lower(key) == wanted)
            return value;
    return {};
}

TFakeReply TFakeReply::Page(std::string body, int status, std::string reason,
                            std::vector<std::string> headerLines) {
    TFakeReply reply;
    reply.bytes = "HTTP/1.0 " + std::to_string(status) + " " + reason + "\r\n";
    for (const std::string& line : headerLines)
        reply.bytes += line + "\r\n";
    reply.bytes += "\r\n" + body;
    return reply;
}

TFakeReply TFakeReply::Redirect(std::string location, int status, std::string reason,
                                std::string body) {
    return Page(std::move(body), status, std::move(reason), {"Location: " + location});
}

TFakeReply TFakeReply::Raw(std::string bytes) {
    TFakeReply reply;
    reply.bytes = std::move(bytes);
    return reply;
}

TFakeReply TFakeReply::Silence() {
    TFakeReply reply;
    reply.silent = true;
    reply.closeAfter = false;
    return reply;
}

TFakeReply TFakeReply::CloseAtOnce() {
    return TFakeReply();
}

TFakeReply TFakeReply::Tunnel(std::uint16_t port) {
    TFakeReply reply;
    reply.tunnelPort = port;
    reply.closeAfter = false;
    return reply;
}

TFakeReply& TFakeReply::Drip(std::size_t size, int pauseMs) {
    chunkSize = size;
    intervalMs = pauseMs;
    return *this;
}

TFakeReply& TFakeReply::KeepOpen() {
    closeAfter = false;
    return *this;
}

TFakeReply& TFakeReply::Repeat(std::string repeated, std::int64_t times) {
    piece = std::move(repeated);
    pieceTimes = times;
    return *this;
}

TFakeReply& TFakeReply::Reset() {
    reset = true;
    return *this;
}

std::string TFakeReply::Slice(std::uint64_t offset, std::size_t size) const {
    std::string slice;
    if (offset < bytes.size())
        slice = bytes.substr(offset, size);
    while (slice.size() < size && !piece.empty() && !EndsAt(offset + slice.size())) {
        const std::uint64_t into = (offset + slice.size() - bytes.size()) % piece.size();
        slice += piece.substr(into, size - slice.size());
    }
    return slice;
}

bool TFakeReply::EndsAt(std::uint64_t offset) const {
    if (pieceTimes == Forever && !piece.empty())
        return false;
    return offset >=
           bytes.size() + piece.size() * std::uint64_t(std::max<std::int64_t>(pieceTimes, 0));
}

TFakeEngine::TFakeEngine(const QHostAddress& address, const TTlsIdentity* tls)
    : fallback(TFakeReply::Page("<html><body>Not Found</body></html>", 404, "Not Found")) {
    if (tls) {
        QFile keyFile(QString::fromStdString(tls->KeyFile));
        if (!keyFile.open(QIODevice::ReadOnly))
            throw std::runtime_error("fake engine cannot read " + tls->KeyFile);
        const QSslKey key(&keyFile, QSsl::Ec);
        const auto chain = QSslCertificate::fromPath(QString::fromStdString(tls->CertFile));
        if (key.isNull() || chain.isEmpty())
            throw std::runtime_error("fake engine cannot load " + tls->CertFile);
        QSslConfiguration config = QSslConfiguration::defaultConfiguration();
        config.setLocalCertificateChain(chain);
        config.setPrivateKey(key);
        config.setPeerVerifyMode(QSslSocket::VerifyNone);
        auto sslServer = std::make_unique<QSslServer>();
        sslServer->setSslConfiguration(config);
        server = std::move(sslServer);
        secure = true;
    } else {
        server = std::make_unique<QTcpServer>();
    }
    if (!server->listen(address, 0))
        throw std::runtime_error("fake engine cannot listen on " +
                                 address.toString().toStdString());
    // Ready TLS connections come only once their handshake is over.
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this, &TFakeEngine::Accept);
}

TFakeEngine::~TFakeEngine() {
    server->close();
}

std::uint16_t TFakeEngine::Port() const {
    return server->serverPort();
}

std::string TFakeEngine::Host() const {
    return server->serverAddress().toString().toStdString();
}

std::string TFakeEngine::Origin() const {
    return (secure ? "https://" : "http://") + Host() + ":" + std::to_string(Port());
}

std::string TFakeEngine::Url(const std::string& target) const {
    return Origin() + target;
}

void TFakeEngine::Route(const std::string& target, TFakeReply reply) {
    routes[target] = std::move(reply);
}

void TFakeEngine::SetFallback(TFakeReply reply) {
    fallback = std::move(reply);
}

void TFakeEngine::SetHandler(std::function<TFakeReply(const TFakeRequest&)> chooser) {
    handler = std::move(chooser);
}

bool TFakeEngine::WaitForRequests(std::size_t count, int timeoutMs) {
    return PumpUntil([&] { return requests.size() >= count; }, timeoutMs);
}

void TFakeEngine::Accept() {
    while (QTcpSocket* connection = server->nextPendingConnection()) {
        connection->setParent(this);
        pending[connection];
        connect(connection, &QTcpSocket::readyRead, this,
                [this, connection] { ReadRequest(connection); });
        connect(connection, &QTcpSocket::disconnected, this, [this, connection] {
            pending.erase(connection);
            if (auto tunnel = tunnels.find(connection); tunnel != tunnels.end()) {
                if (tunnel->second)
                    tunnel->second->disconnectFromHost();
                tunnels.erase(tunnel);
            }
            connection->deleteLater();
        });
        if (connection->bytesAvailable() > 0)
            ReadRequest(connection); // bytes that came before the connection was taken
    }
}

void TFakeEngine::ReadRequest(QTcpSocket* connection) {
    if (auto tunnel = tunnels.find(connection); tunnel != tunnels.end()) {
        const QByteArray bytes = connection->readAll();
        tunnelled += bytes.toStdString();
        if (tunnel->second)
            tunnel->second->write(bytes);
        return;
    }
    auto it = pending.find(connection);
    if (it == pending.end()) {
        connection->readAll(); // the request is answered; later bytes are ignored
        return;
    }
    it->second += connection->readAll().toStdString();
    std::string& raw = it->second;
    std::size_t end = raw.find("\r\n\r\n");
    std::size_t endLength = 4;
    if (const auto bare = raw.find("\n\n"); bare != std::string::npos && bare < end) {
        end = bare;
        endLength = 2;
    }
    if (end == std::string::npos)
        return;
    TFakeRequest request = ParseRequest(raw.substr(0, end + endLength), server->serverPort());
    const std::size_t bodyLength =
        std::size_t(std::atoll(request.Header("content-length").c_str()));
    if (raw.size() < end + endLength + bodyLength)
        return;
    request.Body = raw.substr(end + endLength, bodyLength);
    pending.erase(it);
    requests.push_back(request);

    TFakeReply reply = fallback;
    if (handler)
        reply = handler(request);
    else if (auto route = routes.find(request.Target); route != routes.end())
        reply = route->second;
    Play(connection, std::make_shared<const TFakeReply>(std::move(reply)), 0);
}

void TFakeEngine::OpenTunnel(QTcpSocket* connection, std::uint16_t port) {
    auto* upstream = new QTcpSocket(this);
    tunnels[connection] = upstream;
    QPointer<QTcpSocket> client(connection);
    connect(upstream, &QTcpSocket::connected, this, [client] {
        if (client)
            client->write("HTTP/1.0 200 Connection established\r\n\r\n");
    });
    connect(upstream, &QTcpSocket::readyRead, this, [client, upstream] {
        const QByteArray bytes = upstream->readAll();
        if (client)
            client->write(bytes);
    });
    const auto close = [client, upstream] {
        if (client)
            client->disconnectFromHost();
        upstream->deleteLater();
    };
    connect(upstream, &QTcpSocket::disconnected, this, close);
    connect(upstream, &QTcpSocket::errorOccurred, this, [upstream, close] {
        if (upstream->state() != QAbstractSocket::ConnectedState)
            close(); // the far side refused
    });
    upstream->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
}

void TFakeEngine::Play(QTcpSocket* connection, std::shared_ptr<const TFakeReply> shared,
                       std::uint64_t offset) {
    const TFakeReply& reply = *shared;
    if (reply.tunnelPort != 0) {
        OpenTunnel(connection, reply.tunnelPort);
        return;
    }
    if (reply.silent || connection->state() != QAbstractSocket::ConnectedState)
        return;
    const auto send = [&](std::size_t size) {
        const std::string slice = reply.Slice(offset, size);
        connection->write(slice.data(), qint64(slice.size()));
        offset += slice.size();
    };
    // Without a drip, keep a little waiting in the socket and top it up as it goes out.
    constexpr std::size_t Batch = 64 * 1024;
    if (reply.chunkSize > 0)
        send(reply.chunkSize);
    else
        while (!reply.EndsAt(offset) && connection->bytesToWrite() < qint64(4 * Batch))
            send(Batch);
    connection->flush();
    if (!reply.EndsAt(offset)) {
        QPointer<QTcpSocket> guard(connection);
        QTimer::singleShot(reply.chunkSize ? reply.intervalMs : 1, this,
                           [this, guard, shared, offset] {
                               if (guard)
                                   Play(guard, shared, offset);
                           });
        return;
    }
    if (reply.reset) {
        const linger abortive{1, 0}; // closing now sends a reset
        ::setsockopt(int(connection->socketDescriptor()), SOL_SOCKET, SO_LINGER, &abortive,
                     sizeof abortive);
        connection->abort();
    } else if (reply.closeAfter) {
        connection->disconnectFromHost(); // sends what is queued first
    }
}

std::uint16_t UnusedLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress(QHostAddress::LocalHost), 0);
    const std::uint16_t port = probe.serverPort();
    probe.close();
    return port;
}

std::string ResultPage(const std::vector<std::string>& links, const std::string& next) {
    std::string page = "<html><head><title>Results</title></head><body>\n";
    int n = 0;
    for (const std::string& link : links) {
        const std::string number = std::to_string(++n);
        page += "<div class=\"result\"><a href=\"" + link + "\">Result " + number +
                "</a><p>Snippet " + number + "</p></div>\n";
    }
    if (!next.empty())
        page += "<a class=\"next\" href=\"" + next + "\">Next</a>\n";
    page += "</body></html>\n";
    return page;
}

std::string ResultPageSearchUrl(const std::string& origin, const std::string& queryPath) {
    return origin + "\",\"" + queryPath + "?q=@@@\",\"<a class=\"next\" href=\"([^\"]+)\">Next";
}

} // namespace quorvia::testing
