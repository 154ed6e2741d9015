#pragma once
// What the History window draws, worked out without widgets: per engine, the site's best
// position at each check as line segments, and the checks that did not find the site as
// points at their depth. A line never joins across a "not found", nor across a gap far longer
// than the engine's usual spacing of checks (failed checks leave no point).

#include "history/HistoryStore.h"

#include <optional>
#include <string>
#include <vector>

namespace quorvia {

struct TChartPoint {
    Date date;
    int position = 0; // the best of the site's links at the check; the depth when not found
    const THistoryCheck* check = nullptr;
};

struct TEngineSeries {
    std::string engine;
    std::vector<std::vector<TChartPoint>> segments; // each drawn as one line
    std::vector<TChartPoint> notFound;              // each drawn as a marker at the depth
};

// checks as KeywordChecks gives them (by engine, then date); the result points into it.
std::vector<TEngineSeries> ChartSeries(const std::vector<THistoryCheck>& checks);

// The chart's date ranges, as offered: 30 days, 90 days, a year, everything.
enum class THistoryRange { Days30, Days90, Year, All };
// The first day a range shows, counted back from today; nothing for All.
std::optional<Date> RangeStart(THistoryRange range, Date today);

// The hover text of a check: its date, then "position 5 (page 1): <link>" on a line for each
// link of the site it met, or "2026-03-04: not in the first 20 results".
std::string PointText(const THistoryCheck& check);

} // namespace quorvia
