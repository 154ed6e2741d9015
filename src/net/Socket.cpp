// TWSocket: QSslSocket's signals turned into the notifications the HTTP exchange is written
// against. Each connection gets a fresh QSslSocket, which stays plain TCP unless a handshake is
// started; a retired one is disconnected from us and deleted later, so none of its late signals
// can reach the next connection.

#include "net/Socket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QMetaObject>
#include <QNetworkProxy>
#include <QSslConfiguration>

#include <charconv>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace quorvia {

namespace {

constexpr int WsaeInval = 10022;
constexpr int WsaeConnReset = 10054;
constexpr int WsaeAddrNotAvail = 10049;
constexpr int WsaHostNotFound = 11001;
constexpr int WsaNoData = 11004;

bool EndsWithInvalid(const std::string& name) {
    std::string lower;
    for (char c : name)
        lower += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    while (!lower.empty() && lower.back() == '.')
        lower.pop_back();
    return lower == "invalid" || (lower.size() > 8 && lower.ends_with(".invalid"));
}

} // namespace

int WinSockError(int qtSocketError, const QString& errorText) {
    switch (QAbstractSocket::SocketError(qtSocketError)) {
    case QAbstractSocket::ConnectionRefusedError:
        return 10061;
    case QAbstractSocket::RemoteHostClosedError:
        return 0; // an orderly close, and also a reset: SocketDisconnected tells them apart
    case QAbstractSocket::HostNotFoundError:
        return WsaHostNotFound;
    case QAbstractSocket::SocketAccessError:
        return 10013;
    case QAbstractSocket::SocketResourceError:
        return 10055;
    case QAbstractSocket::SocketTimeoutError:
        return 10060;
    case QAbstractSocket::DatagramTooLargeError:
        return 10040;
    case QAbstractSocket::NetworkError:
        if (errorText.contains(QStringLiteral("Host unreachable"), Qt::CaseInsensitive))
            return 10065;
        if (errorText.contains(QStringLiteral("reset"), Qt::CaseInsensitive))
            return 10054;
        return 10051;
    case QAbstractSocket::AddressInUseError:
        return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError:
        return WsaeAddrNotAvail;
    case QAbstractSocket::UnsupportedSocketOperationError:
        return 10045;
    case QAbstractSocket::UnfinishedSocketOperationError:
        return 10036;
    case QAbstractSocket::OperationError:
        return WsaeInval;
    default:
        return 10054; // anything else ends the connection like a reset
    }
}

TWSocket::TWSocket(QObject* parent) : QObject(parent) {}

TWSocket::~TWSocket() {
    CancelDnsLookup();
    DropSocket();
}

void TrustCaCertificates(const std::string& pemFile) {
    const QList<QSslCertificate> added =
        QSslCertificate::fromPath(QString::fromStdString(pemFile), QSsl::Pem);
    if (added.isEmpty())
        throw ESocketException("No CA certificate in " + pemFile);
    // An explicit list ends the loading of system CAs on demand, so it must name them too.
    QSslConfiguration config = QSslConfiguration::defaultConfiguration();
    QList<QSslCertificate> trusted = config.caCertificates();
    if (trusted.isEmpty())
        trusted = QSslConfiguration::systemCaCertificates();
    config.setCaCertificates(trusted + added);
    QSslConfiguration::setDefaultConfiguration(config);
}

void TWSocket::WatchConnection() {
    StopWatching();
    if (const qintptr descriptor = socket->socketDescriptor(); descriptor >= 0)
        watchDescriptor = ::dup(int(descriptor));
}

bool TWSocket::PeerReset() const {
    tcp_info info{};
    socklen_t size = sizeof info;
    // A reset ends the connection at once; after an orderly close it waits for our side.
    return watchDescriptor >= 0 &&
           ::getsockopt(watchDescriptor, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
           info.tcpi_state == TCP_CLOSE;
}

void TWSocket::StopWatching() {
    if (watchDescriptor >= 0)
        ::close(watchDescriptor);
    watchDescriptor = -1;
}

void TWSocket::DropSocket() {
    securing = false;
    StopWatching();
    if (!socket)
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    socket = nullptr;
}

void TWSocket::Connect(const std::string& address, const std::string& port,
                       const std::string& secureHost) {
    DropSocket();
    state = TSocketState::wsClosed;
    closedDelivered = true;

    QHostAddress host;
    if (!host.setAddress(QString::fromStdString(address)) ||
        host.protocol() != QAbstractSocket::IPv4Protocol) {
        lastError = WsaeAddrNotAvail;
        throw ESocketException("Invalid address: " + address);
    }
    unsigned portNumber = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), portNumber);
    if (port.empty() || ec != std::errc() || end != port.data() + port.size() ||
        portNumber > 65535) {
        lastError = WsaeInval;
        throw ESocketException("Invalid port: " + port);
    }

    socket = new QSslSocket(this);
    socket->setProxy(QNetworkProxy::NoProxy); // a proxy is the HTTP layer's business
    socket->setReadBufferSize(ReadBufferBytes);
    connect(socket, &QSslSocket::connected, this, &TWSocket::SocketConnected);
    connect(socket, &QSslSocket::encrypted, this, &TWSocket::Opened);
    connect(socket, &QSslSocket::readyRead, this, &TWSocket::DeliverData);
    connect(socket, &QSslSocket::errorOccurred, this, &TWSocket::SocketError);
    connect(socket, &QSslSocket::disconnected, this, &TWSocket::SocketDisconnected);
    state = TSocketState::wsConnecting;
    connectionError = 0;
    pendingSecureHost = secureHost;
    socket->connectToHost(host, std::uint16_t(portNumber));
}

void TWSocket::SocketConnected() {
    socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    WatchConnection();
    if (!pendingSecureHost.empty())
        BeginHandshake(pendingSecureHost); // connected only once the handshake succeeds
    else
        Opened();
}

void TWSocket::StartSecure(const std::string& secureHost) {
    if (socket && state == TSocketState::wsConnected)
        BeginHandshake(secureHost);
}

void TWSocket::BeginHandshake(const std::string& secureHost) {
    securing = true;
    socket->setPeerVerifyMode(QSslSocket::VerifyPeer);
    socket->setPeerVerifyName(QString::fromStdString(secureHost));
    socket->startClientEncryption();
}

void TWSocket::Opened() {
    securing = false;
    state = TSocketState::wsConnected;
    closedDelivered = false;
    if (OnSessionConnected)
        OnSessionConnected(0);
}

void TWSocket::HandshakeFailed() {
    secureErrorText = socket->errorString().toStdString();
    if (socket->error() == QAbstractSocket::UnknownSocketError || secureErrorText.empty())
        secureErrorText = "The connection closed during the TLS handshake";
    DropSocket();
    state = TSocketState::wsClosed;
    closedDelivered = true; // the failure is the connection's last word
    if (OnSessionConnected)
        OnSessionConnected(SecureConnectFailed);
}

void TWSocket::SocketError() {
    if (securing) {
        HandshakeFailed();
        return;
    }
    const int code = WinSockError(socket->error(), socket->errorString());
    if (code != 0)
        lastError = connectionError = code;
    if (state != TSocketState::wsConnecting)
        return; // an open connection ends through SocketDisconnected
    state = TSocketState::wsClosed;
    if (OnSessionConnected)
        OnSessionConnected(code != 0 ? code : 10061);
}

void TWSocket::SocketDisconnected() {
    if (securing) {
        HandshakeFailed();
        return;
    }
    DeliverData(); // what the peer sent before closing comes first
    if (PeerReset())
        lastError = connectionError = WsaeConnReset;
    StopWatching();
    DeliverClosed();
}

int TWSocket::Receive(char* buffer, int size) {
    if (!socket || size <= 0)
        return 0;
    const qint64 got = socket->read(buffer, size);
    return got > 0 ? int(got) : 0;
}

void TWSocket::Send(std::string_view bytes) {
    if (socket && state == TSocketState::wsConnected) {
        socket->write(bytes.data(), qint64(bytes.size()));
        socket->flush(); // hand the kernel what it takes now instead of on the next pass
    }
}

void TWSocket::DeliverData() {
    if (delivering)
        return; // a handler that pumps events must not re-enter its own notification
    delivering = true;
    while (socket && state == TSocketState::wsConnected && !securing &&
           socket->bytesAvailable() > 0) {
        const qint64 before = socket->bytesAvailable();
        try {
            if (OnDataAvailable)
                OnDataAvailable();
        } catch (...) {
            break; // the handler's failure ends this notification, as WinSock would
        }
        if (socket && socket->bytesAvailable() >= before)
            break; // the handler took nothing; calling again would spin
    }
    // A full read buffer stops Qt reading from the connection until a read finds the buffer
    // empty; a handler that took exactly what was buffered never did, so look once more.
    if (socket && socket->bytesAvailable() == 0) {
        char probe = 0;
        socket->peek(&probe, 1);
    }
    delivering = false;
}

void TWSocket::Close() {
    securing = false;
    if (socket) {
        socket->disconnect(this);
        socket->disconnectFromHost(); // sends what is queued, then the FIN
        socket->abort();
        socket->deleteLater();
        socket = nullptr;
    }
    StopWatching();
    DeliverClosed();
}

void TWSocket::DeliverClosed() {
    state = TSocketState::wsClosed;
    if (closedDelivered)
        return;
    closedDelivered = true;
    if (OnSessionClosed)
        OnSessionClosed(connectionError);
}

void TWSocket::DnsLookup(const std::string& hostName) {
    CancelDnsLookup();
    dnsResult.clear();
    if (hostName.empty())
        throw ESocketException("DNS lookup: invalid host name.");
    const unsigned serial = ++lookupSerial;
    if (EndsWithInvalid(hostName)) {
        QMetaObject::invokeMethod(
            this, [this, serial] { LookupDone(WsaHostNotFound, {}, serial); },
            Qt::QueuedConnection);
        return;
    }
    lookupId = QHostInfo::lookupHost(QString::fromStdString(hostName), this,
                                     [this, serial](const QHostInfo& info) {
                                         std::vector<std::string> addresses;
                                         for (const QHostAddress& a : info.addresses())
                                             if (a.protocol() == QAbstractSocket::IPv4Protocol)
                                                 addresses.push_back(a.toString().toStdString());
                                         int error = 0;
                                         if (info.error() == QHostInfo::HostNotFound)
                                             error = WsaHostNotFound;
                                         else if (info.error() != QHostInfo::NoError)
                                             error = 11003;
                                         else if (addresses.empty())
                                             error = WsaNoData;
                                         LookupDone(error, std::move(addresses), serial);
                                     });
}

void TWSocket::CancelDnsLookup() {
    if (lookupId >= 0)
        QHostInfo::abortHostLookup(lookupId);
    lookupId = -1;
    ++lookupSerial;
}

void TWSocket::LookupDone(int error, std::vector<std::string> addresses, unsigned serial) {
    if (serial != lookupSerial)
        return;
    lookupId = -1;
    dnsResult = std::move(addresses);
    if (error != 0)
        lastError = error;
    if (OnDnsLookupDone)
        OnDnsLookupDone(error);
}

} // namespace quorvia
