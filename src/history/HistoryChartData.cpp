#include "history/HistoryChartData.h"

#include <algorithm>

namespace quorvia {

namespace {

int BestPosition(const THistoryCheck& check) {
    int best = check.found.front().position;
    for (const TResultEntry& f : check.found)
        best = std::min(best, f.position);
    return best;
}

// Days between checks beyond which the line breaks: twice the usual spacing, at least 2.
int GapDays(const std::vector<const THistoryCheck*>& checks) {
    std::vector<int> steps;
    for (std::size_t i = 1; i < checks.size(); ++i)
        steps.push_back(int((checks[i]->date.Days() - checks[i - 1]->date.Days()).count()));
    if (steps.empty())
        return 2;
    std::nth_element(steps.begin(), steps.begin() + std::ptrdiff_t(steps.size() / 2), steps.end());
    return std::max(2, 2 * steps[steps.size() / 2]);
}

} // namespace

std::vector<TEngineSeries> ChartSeries(const std::vector<THistoryCheck>& checks) {
    std::vector<TEngineSeries> series;
    for (std::size_t begin = 0; begin < checks.size();) {
        std::size_t end = begin;
        std::vector<const THistoryCheck*> engineChecks;
        while (end < checks.size() && checks[end].engine == checks[begin].engine)
            engineChecks.push_back(&checks[end++]);
        TEngineSeries& s = series.emplace_back();
        s.engine = checks[begin].engine;
        const int gap = GapDays(engineChecks);
        bool joined = false;
        Date last;
        for (const THistoryCheck* check : engineChecks) {
            if (check->found.empty()) {
                s.notFound.push_back({check->date, check->depth, check});
                joined = false;
                continue;
            }
            if (!joined || (check->date.Days() - last.Days()).count() > gap)
                s.segments.emplace_back();
            s.segments.back().push_back({check->date, BestPosition(*check), check});
            joined = true;
            last = check->date;
        }
        begin = end;
    }
    return series;
}

std::optional<Date> RangeStart(THistoryRange range, Date today) {
    using std::chrono::days;
    switch (range) {
    case THistoryRange::Days30:
        return Date(today.Days() - days(29));
    case THistoryRange::Days90:
        return Date(today.Days() - days(89));
    case THistoryRange::Year:
        return Date(today.Days() - days(364));
    case THistoryRange::All:
        break;
    }
    return std::nullopt;
}

std::string PointText(const THistoryCheck& check) {
    std::string text = check.date.ToIso();
    if (check.found.empty())
        return text + ": not in the first " + std::to_string(check.depth) + " results";
    for (const TResultEntry& f : check.found)
        text += "\nposition " + std::to_string(f.position) + " (page " + std::to_string(f.page) +
                "): " + f.link;
    return text;
}

} // namespace quorvia
