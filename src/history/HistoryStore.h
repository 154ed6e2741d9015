#pragma once
// The ranking history: every measurement of every pair (site, engine, keyword), kept for
// good in one SQLite file beside the user's tables, with the whole result list each walk
// stepped through. It is only ever added to; the ranking records never read it.
//
// Layout (inspect with `sqlite3 History.db`):
//
//   meta(key TEXT PRIMARY KEY, value TEXT)            'format' = 'quorvia-history 1'
//   pairs(id INTEGER PRIMARY KEY, site, engine, keyword, UNIQUE(site, engine, keyword))
//   hosts(id INTEGER PRIMARY KEY, name TEXT UNIQUE)   bare lower-case host, no "www."
//   urls(id INTEGER PRIMARY KEY, url TEXT UNIQUE, host INTEGER)
//   checks(id INTEGER PRIMARY KEY, pair INTEGER, day INTEGER, depth INTEGER, listed INTEGER)
//       one measurement: day as YYYYMMDD; depth null when unknown (seeded from the ranking
//       records); listed 1 when its result list is kept. Index on (pair, day).
//   found(check_id, position, page, url, PRIMARY KEY(check_id, position)) WITHOUT ROWID
//       the site's links the check met; none means "not found" down to the depth
//   results(check_id INTEGER PRIMARY KEY, urls TEXT, pages TEXT)
//       the result list as the walk saw it, positions 1, 2, ... in order: urls a JSON array
//       of url ids (null for a result without a link), pages one of their result pages;
//       one row per list keeps a scan's writing cheap. The view result_rows(check_id,
//       position, page, url) shows the lists row by row.
//
// A new file is built under "<path>.tmp" (seeded from the ranking records when there are
// any) and renamed into place only when complete. An existing file that is not such a
// history is never written to: opening it fails with HistoryError.

#include "engine/PairRecorder.h"
#include "history/SqliteFile.h"
#include "store/Table.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace quorvia {

// The history's file name in the folder of the user's tables.
inline constexpr const char* kHistoryFileName = "History.db";

// One measurement of one pair.
struct THistoryCheck {
    std::int64_t id = 0;
    std::string engine;
    Date date;
    int depth = 0;                   // 0: unknown
    bool listed = false;             // its result list is kept
    std::vector<TResultEntry> found; // empty: not found
};

// One result of a kept result list, with the move of its host since the pair's previous
// listed check: its best position then minus its best position now (positive: moved up).
struct TCompetitor {
    int position = 0;
    int page = 0;
    std::string link; // empty: the result had none
    std::string host;
    bool own = false;               // a link of the chosen site
    std::optional<int> move;        // nothing when the host is new or there is no earlier list
    bool hostSeenFirstHere = false; // the host was not in the previous list
};

// One line of the exported history: a found link, or "not found" (position 0).
struct THistoryRow {
    Date date;
    std::string_view site, engine, keyword, url;
    int position = 0; // 0: not found
    int page = 0;
    int depth = 0; // 0: unknown
};

class THistoryStore {
public:
    // Opens the history at path, creating it when the file is missing; a new file is seeded
    // from seedFrom's records (all of them, hidden ones included) when given.
    THistoryStore(const std::string& path, const TClientDataSet* seedFrom);
    ~THistoryStore();
    THistoryStore(const THistoryStore&) = delete;
    THistoryStore& operator=(const THistoryStore&) = delete;

    const std::string& Path() const { return path_; }

    // Appends one measurement in one transaction; on failure nothing of it is kept. Its
    // results are taken as positions 1, 2, ... in their order.
    void Append(const TPairMeasurement& measurement);

    // The site's checks for one keyword on every engine, from a day on (all when nothing),
    // ordered by engine, date and order of measuring.
    std::vector<THistoryCheck> KeywordChecks(std::string_view site, std::string_view keyword,
                                             std::optional<Date> from = std::nullopt);
    // The result list of a listed check, its own links marked for the site.
    std::vector<TCompetitor> Competitors(std::int64_t checkId, std::string_view site);

    // Every found link and "not found" of a site (all sites when nothing), by site, engine,
    // keyword, date and position.
    void ForEachRow(const std::optional<std::string>& site,
                    const std::function<void(const THistoryRow&)>& row);

    // Every site that has history, sorted.
    std::vector<std::string> Sites();

private:
    void Seed(const TClientDataSet& rankings);
    std::int64_t PairId(std::string_view site, std::string_view engine, std::string_view keyword);
    std::int64_t UrlId(const std::string& link);
    std::int64_t HostId(const std::string& host);
    std::int64_t AddCheck(std::int64_t pair, Date date, std::optional<int> depth, bool listed);
    void AddFound(std::int64_t check, const TResultEntry& entry, bool ignoreRepeat);
    void ForgetCachedIds();

    std::string path_;
    std::unique_ptr<TSqliteFile> file_;
    struct TStatements;
    std::unique_ptr<TStatements> statements_; // of Append, prepared once
    // Ids handed out by this connection, to spare a look-up per result.
    std::unordered_map<std::string, std::int64_t> urlIds_, hostIds_, pairIds_;
};

// A date as the history keeps it: YYYYMMDD.
std::int64_t DayNumber(Date date);
Date DayDate(std::int64_t day);

} // namespace quorvia
