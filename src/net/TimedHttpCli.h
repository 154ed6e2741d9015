#pragma once
// TTimedHttpCli: a THttpCli that a GUI-thread caller runs as one blocking call. GetTimed pumps
// the event loop until the request is over, gives up after TimeoutMs without activity, asks
// OnWait on every pass whether to cancel, and resolves host names through a shared cache.
// TDomainsIPList: that cache, host names and their IPv4 addresses, append-only for the run.

#include "net/HttpCli.h"

#include <QObject>

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <shared_mutex>
#include <string>
#include <vector>

namespace quorvia {

// Set once the main window is closing: every running wait ends as timed out.
inline bool ApplicationEnding = false;

// The least time a whole GetTimed may last before it ends as timed out, however steadily the
// server keeps it busy; the bound is four times the allowance when that is longer. Tests lower
// it to keep their slow servers short.
inline std::int32_t MinAttemptLimitMs = 60'000;

// Asked on every pass of a wait; setting CanAbort to true cancels the request.
using TWaitProcEvent = std::function<void(QObject* Sender, bool& CanAbort)>;

enum TWaitOutcome { WaitDone = 0, WaitTimedOut = 1, WaitCancelled = 2 };

class TDomainsIPList {
public:
    // The address of the first entry whose name equals hostName, ignoring A-Z letter case.
    std::optional<std::string> LookupAddress(const std::string& hostName) const;
    // Appends (hostName, address) for every address, in order, skipping empty texts.
    void AddLookupResult(const std::vector<std::string>& addresses, const std::string& hostName);

private:
    mutable std::shared_mutex lock; // many readers or one writer
    std::vector<std::string> names;
    std::vector<std::string> addresses;
};

// True when the text is four dot-separated whole numbers from 0 to 255.
bool IsIPAddress(const std::string& text);

class TTimedHttpCli : public THttpCli {
    Q_OBJECT
public:
    explicit TTimedHttpCli(QObject* parent = nullptr);

    // Runs a GET of URL to its end; timeoutMs is the inactivity allowance.
    TWaitOutcome GetTimed(std::int32_t timeoutMs);
    // The same with a POST of SendBody.
    TWaitOutcome PostTimed(std::int32_t timeoutMs);
    // The last request timed out because the whole attempt took too long, not for silence.
    bool AttemptLimitReached() const { return attemptLimitReached; }

    TWaitProcEvent OnWait;
    TDomainsIPList* DomainsIPList = nullptr; // not owned; empty: no caching

    int RequestError() const { return requestError; }

protected:
    void ConnectStep() override { ConnectResolved(); }
    void TriggerCookie(const std::string& value, bool& accept) override;
    void TriggerSessionConnected() override;
    void TriggerDocData(const char* data, std::size_t size) override;
    virtual void StartDnsLookup(const std::string& hostName);

private:
    static constexpr int AbortedCode = 3;

    TWaitOutcome RunTimed(THttpRequest kind, std::int32_t timeoutMs);
    void TouchDeadline();
    TWaitOutcome WaitForStates(std::initializer_list<THttpState> endStates);
    void AbortRequest(bool forCancel);
    void ConnectResolved();
    std::optional<std::string> ResolveAddress(const std::string& host);
    std::optional<std::string> ResolveHost(const std::string& hostName);
    void LookupFinished(int error);

    std::uint32_t Deadline = 0;
    std::chrono::steady_clock::time_point attemptEnd = std::chrono::steady_clock::time_point::max();
    bool attemptLimitReached = false;
    std::int32_t TimeoutMs = 0;
    std::function<void(THttpCli&)> SavedHeaderData;
    std::string LookupHost;
    std::string lookupResult;
    int requestError = 0;
    bool abortedForCancel = false;
};

} // namespace quorvia
