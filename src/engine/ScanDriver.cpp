// Names are compared as the user sees them, through Qt's Unicode case folding and the
// locale's collation; the engine's own comparisons stay A-Z only.

#include "engine/ScanDriver.h"

#include "net/PageFetcher.h"
#include "store/Sites.h"

#include <QString>

#include <algorithm>
#include <array>

namespace quorvia {

std::vector<std::string> SortedCaseBlindUnique(const std::vector<std::string>& names) {
    struct Entry {
        QString folded;
        const std::string* name;
    };
    std::vector<Entry> entries;
    for (const std::string& name : names) {
        QString folded = QString::fromStdString(name).toCaseFolded();
        if (std::none_of(entries.begin(), entries.end(),
                         [&](const Entry& e) { return e.folded == folded; }))
            entries.push_back({std::move(folded), &name});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return QString::localeAwareCompare(a.folded, b.folded) < 0;
    });
    std::vector<std::string> sorted;
    sorted.reserve(entries.size());
    for (const Entry& e : entries)
        sorted.push_back(*e.name);
    return sorted;
}

int ScanDepth(const std::vector<bool>& chosen) {
    static constexpr std::array<int, 8> depths = {10, 20, 30, 40, 50, 100, 150, 200};
    for (std::size_t i = std::min(chosen.size(), depths.size()); i-- > 1;)
        if (chosen[i])
            return depths[i];
    return 10;
}

void StartScan(TScanContext& scan) {
    struct StopAtEnd {
        ~StopAtEnd() { StopRequested = true; }
    } const stopAtEnd;
    const std::vector<std::string> engines =
        SortedCaseBlindUnique(scan.Window.CheckedEngineNames());
    const std::vector<std::string> keywords =
        SortedCaseBlindUnique(RecordKeywords(scan.Tables.WordClientDataSet));
    RunScan(scan, engines, keywords, ScanDepth(scan.Window.DepthButtonsChosen()));
}

void RunScan(TScanContext& scan, const std::vector<std::string>& engines,
             const std::vector<std::string>& keywords, int depth) {
    const int pairCount = int(engines.size() * keywords.size());
    const int total = pairCount * depth;
    int done = 0;
    int pairs = 0;
    for (const std::string& engine : engines)
        for (const std::string& keyword : keywords) {
            if (StopRequested)
                continue;
            ++pairs;
            CheckEngineKeyword(scan, engine, keyword, depth, done, total);
            done = depth * pairs; // whatever the walk counted
            scan.Window.SetGaugePosition(done * 100 / total);
            scan.Window.AfterPair(engine, keyword, pairs, pairCount);
        }
}

} // namespace quorvia
