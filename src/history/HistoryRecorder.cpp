#include "history/HistoryRecorder.h"

#include <exception>

namespace quorvia {

void THistoryRecorder::PairMeasured(const TPairMeasurement& measurement) noexcept {
    if (!store_)
        return;
    try {
        store_->Append(measurement);
    } catch (const std::exception& e) {
        if (reported_)
            return;
        reported_ = true;
        try {
            report_("The ranking history could not be written (" + std::string(e.what()) +
                    "); the rankings themselves are kept.");
        } catch (...) {
            // Reporting is a courtesy; the scan must go on.
        }
    }
}

std::unique_ptr<THistoryStore> OpenHistory(const std::string& path, const TClientDataSet* rankings,
                                           const THistoryRecorder::ReportFunction& report) {
    try {
        return std::make_unique<THistoryStore>(path, rankings);
    } catch (const std::exception& e) {
        report("The ranking history could not be opened. Rankings are checked and kept as "
               "always, but no history is added in this run, and the file is left as it "
               "is.\n\n" +
               std::string(e.what()));
        return nullptr;
    }
}

} // namespace quorvia
