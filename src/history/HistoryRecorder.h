#pragma once
// Hands each measured pair to the history store. A store that failed to open, or a write that
// fails, never reaches the scan: the first write failure of a scan is reported once, and the
// ranking records go on as if there were no history.

#include "engine/PairRecorder.h"
#include "history/HistoryStore.h"

#include <functional>
#include <memory>
#include <string>

namespace quorvia {

class THistoryRecorder : public IPairRecorder {
public:
    using ReportFunction = std::function<void(const std::string& message)>;

    // store may be null (no history this run): then nothing is kept and nothing reported.
    THistoryRecorder(THistoryStore* store, ReportFunction report)
        : store_(store), report_(std::move(report)) {}

    void ScanStarted() override { reported_ = false; }
    void PairMeasured(const TPairMeasurement& measurement) noexcept override;

private:
    THistoryStore* store_;
    ReportFunction report_;
    bool reported_ = false;
};

// Opens the history beside the user's tables, seeding a new one from the ranking records
// when given. A file that cannot be opened or is damaged is reported and left as it is:
// nothing is returned and the program goes on without history.
std::unique_ptr<THistoryStore> OpenHistory(const std::string& path, const TClientDataSet* rankings,
                                           const THistoryRecorder::ReportFunction& report);

} // namespace quorvia
