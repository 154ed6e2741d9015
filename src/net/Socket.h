#pragma once
// An asynchronous TCP client socket with WinSock-style notifications, over QSslSocket and
// QHostInfo, optionally secured by TLS. Every notification runs from the Qt event loop of the
// thread that owns the socket (the GUI thread); nothing here blocks.
//
// Notifications, and the order in which they come:
//   OnSessionConnected(error)  once per Connect: 0 when the connection is open (for a secure
//                              connection: once the TLS handshake has succeeded), otherwise the
//                              WinSock code of the failure, or SecureConnectFailed when the
//                              handshake failed, with SecureErrorText() saying why. It comes
//                              once more per StartSecure. No OnSessionClosed follows a failure.
//   OnDataAvailable()          while the connection is open and bytes wait unread; it is called
//                              again and again while bytes remain. An exception thrown by the
//                              handler is discarded and ends the calls for that notification.
//   OnSessionClosed(error)     once per opened connection. When the peer closes, every pending
//                              byte is offered through OnDataAvailable first; error is 10054 when
//                              the peer reset the connection instead of closing it. Close()
//                              delivers it at once, inside the Close() call, unless it was
//                              delivered before.
//
// At most ReadBufferBytes wait unread: beyond that the socket stops reading, and TCP makes the
// peer wait, so a server cannot pile bytes up in the client's memory.
//   OnDnsLookupDone(error)     once per DnsLookup that was not cancelled: 0 with DnsResult()
//                              holding the IPv4 addresses in the order found, 11001 for an
//                              unknown name, 11004 for a name without an IPv4 address.
//
// Error codes are Windows Sockets codes (10061 refused, 10060 timed out, 11001 host not found,
// ...), so the HTTP layer and its messages speak one language on every platform.
//
// TLS always verifies the server: its chain must end at a CA of the system's trust store (see
// TrustCaCertificates) and its certificate must name the host asked for. There is no way to
// turn that off.

#include <QObject>
#include <QPointer>
#include <QSslSocket>

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvia {

class ESocketException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum class TSocketState { wsClosed, wsConnecting, wsConnected };

class TWSocket : public QObject {
    Q_OBJECT
public:
    explicit TWSocket(QObject* parent = nullptr);
    ~TWSocket() override;

    // A failed TLS handshake, as OnSessionConnected reports it. It is no socket error: LastError()
    // keeps its value.
    static constexpr int SecureConnectFailed = -1;
    static constexpr qint64 ReadBufferBytes = 256 * 1024;

    // Starts connecting to a numeric IPv4 address and a decimal port. An address or port that
    // cannot be used fails at once with ESocketException and LastError() set; otherwise the
    // outcome arrives as OnSessionConnected. With a secureHost, the TLS handshake follows the
    // TCP connect, sending secureHost as the server name (SNI) and requiring a certificate for
    // it.
    void Connect(const std::string& address, const std::string& port,
                 const std::string& secureHost = {});
    // Runs the TLS handshake for secureHost over the open plain connection (a tunnel through a
    // proxy); OnSessionConnected reports its outcome. No data is delivered meanwhile.
    void StartSecure(const std::string& secureHost);
    // The TLS library's text for the last SecureConnectFailed.
    const std::string& SecureErrorText() const { return secureErrorText; }
    // Copies up to size unread bytes into buffer; gives the count, 0 when nothing waits.
    int Receive(char* buffer, int size);
    // Queues all bytes; they go out as the connection takes them.
    void Send(std::string_view bytes);
    // Shuts the connection and delivers OnSessionClosed at once unless it came before.
    void Close();

    TSocketState State() const { return state; }
    // The code of the last failed socket event (connect, transfer or lookup); 0 when none.
    int LastError() const { return lastError; }

    // Starts looking up the IPv4 addresses of a host name; an empty name fails at once.
    // Names under ".invalid" are never sent to a resolver: they are unknown by definition.
    void DnsLookup(const std::string& hostName);
    // Cancels the running lookup; its OnDnsLookupDone never comes.
    void CancelDnsLookup();
    const std::vector<std::string>& DnsResult() const { return dnsResult; }

    std::function<void(int error)> OnSessionConnected;
    std::function<void()> OnDataAvailable;
    std::function<void(int error)> OnSessionClosed;
    std::function<void(int error)> OnDnsLookupDone;

private:
    void DropSocket();
    void WatchConnection();
    bool PeerReset() const;
    void StopWatching();
    void SocketConnected();
    void BeginHandshake(const std::string& secureHost);
    void HandshakeFailed();
    void Opened();
    void SocketError();
    void SocketDisconnected();
    void DeliverData();
    void DeliverClosed();
    void LookupDone(int error, std::vector<std::string> addresses, unsigned serial);

    QPointer<QSslSocket> socket;
    TSocketState state = TSocketState::wsClosed;
    std::string pendingSecureHost; // the handshake to run once the TCP connect succeeds
    bool securing = false;         // a handshake runs
    std::string secureErrorText;
    bool closedDelivered = true;
    bool delivering = false;
    int lastError = 0;
    int connectionError = 0; // the failure that ended the current connection
    // A second descriptor of the connection: Qt closes its own at the peer's close or reset
    // alike, this one keeps the TCP state readable so that the two can be told apart.
    int watchDescriptor = -1;
    int lookupId = -1;
    unsigned lookupSerial = 0; // a result whose serial is not the current one was cancelled
    std::vector<std::string> dnsResult;
};

// The WinSock code for a Qt socket error; errorText refines Qt's broad "network error".
int WinSockError(int qtSocketError, const QString& errorText);

// Adds the CA certificates of a PEM file to the system's trust store for every later secure
// connection of the process; throws ESocketException when the file holds none. Tests trust the
// CA they make themselves this way.
void TrustCaCertificates(const std::string& pemFile);

} // namespace quorvia
