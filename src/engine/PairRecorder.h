#pragma once
// What a walk saw, handed to whoever keeps it (the ranking history) once the walk has ended.
// Only walks that measured their pair report: the first page was got and held results. A
// recorder must not throw: the ranking records never depend on it.

#include "platform/Date.h"

#include <string>
#include <vector>

namespace quorvia {

// One result as the walk stepped over it; link is empty when the result had none.
struct TResultEntry {
    int position = 0;
    int page = 0;
    std::string link;
};

struct TPairMeasurement {
    std::string siteName;
    std::string engineName;
    std::string keyword;
    int depth = 0;
    Date date;
    // Every result the walk examined, in order, down to the depth or to where it ended.
    std::vector<TResultEntry> results;
    // The site's links the walk recorded, each once, in the order met; empty: not found.
    std::vector<TResultEntry> found;
};

class IPairRecorder {
public:
    virtual ~IPairRecorder() = default;
    // A scan begins: failures are reported once per scan.
    virtual void ScanStarted() = 0;
    virtual void PairMeasured(const TPairMeasurement& measurement) noexcept = 0;
};

} // namespace quorvia
