// The timed client's waits nest: the lookup wait of ResolveHost runs inside StartGet, before the
// outer wait, and for a redirect hop inside the outer wait's event dispatch. All waits of a
// client share one Deadline. A pass blocks until the next event or the next millisecond, whichever
// comes first, so a wait reacts to the socket at once and costs next to nothing while silent.

#include "net/TimedHttpCli.h"

#include "net/HttpText.h"
#include "platform/Clock.h"
#include "platform/Text.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <charconv>
#include <mutex>

namespace quorvia {

std::optional<std::string> TDomainsIPList::LookupAddress(const std::string& hostName) const {
    std::shared_lock reading(lock);
    for (std::size_t i = 0; i < names.size(); ++i)
        if (EqualsIgnoreAsciiCase(names[i], hostName))
            return addresses[i];
    return std::nullopt;
}

void TDomainsIPList::AddLookupResult(const std::vector<std::string>& found,
                                     const std::string& hostName) {
    std::unique_lock writing(lock);
    for (const std::string& address : found) {
        if (hostName.empty() || address.empty())
            continue;
        names.push_back(hostName);
        addresses.push_back(address);
    }
}

bool IsIPAddress(const std::string& text) {
    std::string_view rest = text;
    for (int part = 0; part < 4; ++part) {
        std::string_view piece = rest;
        if (part < 3) {
            const auto dot = rest.find('.');
            piece = rest.substr(0, dot);
            rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
        }
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
        if (piece.empty() || ec != std::errc() || end != piece.data() + piece.size() || value > 255)
            return false;
    }
    return true;
}

TTimedHttpCli::TTimedHttpCli(QObject* parent) : THttpCli(parent) {
    socket->OnDnsLookupDone = [this](int error) { LookupFinished(error); };
}

TWaitOutcome TTimedHttpCli::GetTimed(std::int32_t timeoutMs) {
    return RunTimed(THttpRequest::Get, timeoutMs);
}

TWaitOutcome TTimedHttpCli::PostTimed(std::int32_t timeoutMs) {
    return RunTimed(THttpRequest::Post, timeoutMs);
}

TWaitOutcome TTimedHttpCli::RunTimed(THttpRequest kind, std::int32_t timeoutMs) {
    SavedHeaderData = OnHeaderData;
    OnHeaderData = [this](THttpCli& sender) {
        TouchDeadline();
        if (SavedHeaderData)
            SavedHeaderData(sender);
    };
    struct Restore {
        TTimedHttpCli& client;
        ~Restore() { client.OnHeaderData = client.SavedHeaderData; }
    } restore{*this};
    TimeoutMs = timeoutMs;
    const std::int64_t limitMs =
        std::max<std::int64_t>(4 * std::int64_t(timeoutMs), MinAttemptLimitMs);
    attemptEnd = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    attemptLimitReached = false;
    if (kind == THttpRequest::Post)
        StartPost();
    else
        StartGet();
    return WaitForStates({THttpState::Idle});
}

void TTimedHttpCli::TouchDeadline() {
    Deadline = Clock::TickCount() + std::uint32_t(TimeoutMs);
}

TWaitOutcome TTimedHttpCli::WaitForStates(std::initializer_list<THttpState> endStates) {
    TouchDeadline();
    TWaitOutcome outcome = WaitDone;
    // Wakes the blocking dispatch below at least once a millisecond, so that the checks after
    // it run that often even when nothing else happens.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.start(1);
    while (std::find(endStates.begin(), endStates.end(), state) == endStates.end()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (ApplicationEnding) {
            AbortRequest(false);
            outcome = WaitTimedOut;
            break;
        }
        attemptLimitReached = std::chrono::steady_clock::now() > attemptEnd;
        if (Clock::TickCount() > Deadline || attemptLimitReached) {
            AbortRequest(false);
            outcome = WaitTimedOut;
            break;
        }
        if (OnWait) {
            bool canAbort = false;
            OnWait(this, canAbort);
            if (canAbort) {
                AbortRequest(true);
                outcome = WaitCancelled;
                break;
            }
        }
    }
    if (outcome != WaitTimedOut && requestError == AbortedCode)
        outcome = abortedForCancel ? WaitCancelled : WaitTimedOut; // a nested wait's abort
    else if (outcome != WaitTimedOut && requestError == 10060)
        outcome = WaitTimedOut;
    return outcome;
}

void TTimedHttpCli::AbortRequest(bool forCancel) {
    if (state == THttpState::Idle) {
        if (socket->State() != TSocketState::wsClosed)
            socket->Close();
        return;
    }
    const bool wasResolving = state == THttpState::Resolving;
    SetState(THttpState::Aborting);
    if (wasResolving)
        socket->CancelDnsLookup();
    requestError = AbortedCode;
    abortedForCancel = forCancel;
    if (wasResolving)
        ConnectionClosed();
    else
        socket->Close();
    SetState(THttpState::Idle);
}

std::optional<std::string> TTimedHttpCli::ResolveAddress(const std::string& host) {
    if (IsIPAddress(host))
        return host;
    return ResolveHost(host);
}

void TTimedHttpCli::ConnectResolved() {
    std::string connectAddress;
    if (!Proxy.empty()) {
        const auto resolved = ResolveAddress(SplitUrl(Proxy).Host);
        if (!resolved) {
            ConnectionClosed();
            return;
        }
        connectAddress = *resolved;
    } else {
        const auto resolved = ResolveAddress(SplitUrl(location).Host);
        if (!resolved) {
            ConnectionClosed();
            return;
        }
        connectAddress = *resolved;
    }

    const TUrlParts target = SplitUrl(location);
    hostHeader = target.Host;
    const bool secure = target.Proto == "https";
    const std::string targetPort = target.Port.empty() ? (secure ? "443" : "80") : target.Port;
    std::string port;
    if (Proxy.empty()) {
        requestTarget = target.Path;
        port = targetPort;
    } else {
        if (secure) {
            // The proxy only relays the TLS bytes, so the request names the path alone.
            tunnelTarget = target.Host + ":" + targetPort;
            requestTarget = target.Path;
        } else {
            requestTarget = (target.Proto.empty() ? "http" : target.Proto) + "://" + target.Host +
                            (target.Port.empty() ? "" : ":" + target.Port) + target.Path;
        }
        const std::string proxyPort = SplitUrl(Proxy).Port;
        port = proxyPort.empty() ? ProxyPort : proxyPort;
    }
    if (requestTarget.empty())
        requestTarget = "/";
    if (connectAddress.empty()) {
        ConnectionClosed();
        return;
    }

    requestError = 0;
    statusCode = 0;
    reasonPhrase.clear();
    try {
        socket->Connect(connectAddress, port, secure && Proxy.empty() ? target.Host : "");
    } catch (const ESocketException&) {
        requestError = socket->LastError();
        statusCode = 404;
        reasonPhrase = "can't connect: " + SocketErrorDesc(requestError) + " (Error #" +
                       std::to_string(requestError) + ")";
        socket->Close();
        ConnectionClosed();
    }
}

std::optional<std::string> TTimedHttpCli::ResolveHost(const std::string& hostName) {
    if (DomainsIPList)
        if (auto cached = DomainsIPList->LookupAddress(hostName))
            return cached;
    StartDnsLookup(hostName);
    const TWaitOutcome outcome = WaitForStates({THttpState::Idle, THttpState::Resolved});
    if (outcome == WaitTimedOut || outcome == WaitCancelled)
        return std::nullopt;
    if (statusCode == 404)
        return std::nullopt;
    if (DomainsIPList)
        return DomainsIPList->LookupAddress(hostName).value_or(std::string());
    return lookupResult;
}

void TTimedHttpCli::StartDnsLookup(const std::string& hostName) {
    lookupResult.clear();
    SetState(THttpState::Resolving);
    LookupHost = hostName;
    try {
        socket->DnsLookup(hostName);
    } catch (const std::exception& error) {
        statusCode = 404;
        reasonPhrase = error.what();
        SetState(THttpState::Idle);
    }
}

void TTimedHttpCli::LookupFinished(int error) {
    lookupResult.clear();
    if (state == THttpState::Aborting)
        return;
    if (error != 0 && error != 11004) {
        requestError = error;
        statusCode = 404;
        reasonPhrase = "can't resolve hostname (" + LookupHost + ") to IP address";
        ConnectionClosed();
        return;
    }
    const std::vector<std::string>& found = socket->DnsResult();
    if (!found.empty())
        lookupResult = found.front();
    if (DomainsIPList)
        DomainsIPList->AddLookupResult(found, LookupHost);
    SetState(THttpState::Resolved);
}

void TTimedHttpCli::TriggerCookie(const std::string& value, bool& accept) {
    accept = true;
    THttpCli::TriggerCookie(value, accept);
}

void TTimedHttpCli::TriggerSessionConnected() {
    TouchDeadline();
    THttpCli::TriggerSessionConnected();
}

void TTimedHttpCli::TriggerDocData(const char* data, std::size_t size) {
    TouchDeadline();
    THttpCli::TriggerDocData(data, size);
}

} // namespace quorvia
