#pragma once
// Daily scans as a real history would hold them: sites, keywords and engines, each pair's
// full result list drawn from a pool of competitor pages whose standing drifts from day to
// day, the site itself somewhere in it or not found. Deterministic for a seed.

#include "history/HistoryStore.h"

#include <functional>
#include <string>

namespace quorvia::bench {

struct THistoryShape {
    int sites = 10;
    int keywords = 4;
    int engines = 8;
    int days = 365;
    int depth = 100;
    Date lastDay{2026, 12, 10};
    // Only the site's found link (no result list): for export volumes.
    bool listsKept = true;
};

std::string SiteName(int site);
std::string KeywordText(int keyword);
std::string EngineName(int engine);

// Appends every pair of every day to the store, oldest day first; returns the checks made.
long GenerateHistory(THistoryStore& store, const THistoryShape& shape, unsigned seed = 7);

} // namespace quorvia::bench
