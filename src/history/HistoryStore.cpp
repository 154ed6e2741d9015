// The history file: built complete under a temporary name, then only appended to, one
// transaction per measurement. Texts that repeat from check to check (pairs, links, hosts)
// are kept once and referred to by id, which keeps a year of daily full result lists small.

#include "history/HistoryStore.h"

#include "engine/PositionBook.h"
#include "engine/ResultLink.h"
#include "view/ResultsViewBuilder.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <tuple>

namespace quorvia {

namespace {

namespace fs = std::filesystem;

constexpr const char* kFormat = "quorvia-history 1";

constexpr const char* kSchema = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT);
CREATE TABLE pairs(id INTEGER PRIMARY KEY, site TEXT NOT NULL, engine TEXT NOT NULL,
                   keyword TEXT NOT NULL, UNIQUE(site, engine, keyword));
CREATE TABLE hosts(id INTEGER PRIMARY KEY, name TEXT NOT NULL UNIQUE);
CREATE TABLE urls(id INTEGER PRIMARY KEY, url TEXT NOT NULL UNIQUE,
                  host INTEGER NOT NULL REFERENCES hosts);
CREATE TABLE checks(id INTEGER PRIMARY KEY, pair INTEGER NOT NULL REFERENCES pairs,
                    day INTEGER NOT NULL, depth INTEGER, listed INTEGER NOT NULL);
CREATE INDEX checks_by_pair ON checks(pair, day);
CREATE TABLE found(check_id INTEGER NOT NULL, position INTEGER NOT NULL, page INTEGER NOT NULL,
                   url INTEGER NOT NULL, PRIMARY KEY(check_id, position)) WITHOUT ROWID;
CREATE TABLE results(check_id INTEGER PRIMARY KEY, urls TEXT NOT NULL, pages TEXT NOT NULL);
CREATE VIEW result_rows(check_id, position, page, url) AS
    SELECT r.check_id, u.key + 1, p.value, urls.url
    FROM results r JOIN json_each(r.urls) u JOIN json_each(r.pages) p ON p.key = u.key
    LEFT JOIN urls ON urls.id = u.value;
)sql";

std::string FileMessage(const std::string& path, const std::string& reason) {
    return "The ranking history \"" + path + "\" cannot be used: " + reason;
}

const Value& Field(const Record& record, int index) {
    static const Value null;
    return index >= 0 && std::size_t(index) < record.size() ? record[std::size_t(index)] : null;
}

} // namespace

std::int64_t DayNumber(Date date) {
    return std::int64_t(date.Year()) * 10000 + date.Month() * 100 + date.Day();
}

Date DayDate(std::int64_t day) {
    return Date(int(day / 10000), unsigned(day / 100 % 100), unsigned(day % 100));
}

struct THistoryStore::TStatements {
    explicit TStatements(TSqliteFile& f)
        : findPair(f, "SELECT id FROM pairs WHERE site=? AND engine=? AND keyword=?"),
          addPair(f, "INSERT INTO pairs(site, engine, keyword) VALUES(?, ?, ?)"),
          findUrl(f, "SELECT id FROM urls WHERE url=?"),
          addUrl(f, "INSERT INTO urls(url, host) VALUES(?, ?)"),
          findHost(f, "SELECT id FROM hosts WHERE name=?"),
          addHost(f, "INSERT INTO hosts(name) VALUES(?)"),
          addCheck(f, "INSERT INTO checks(pair, day, depth, listed) VALUES(?, ?, ?, ?)"),
          addFound(f, "INSERT INTO found(check_id, position, page, url) VALUES(?, ?, ?, ?)"),
          addFoundOnce(f, "INSERT OR IGNORE INTO found(check_id, position, page, url) "
                          "VALUES(?, ?, ?, ?)"),
          addResults(f, "INSERT INTO results(check_id, urls, pages) VALUES(?, ?, ?)") {}
    TStatement findPair, addPair, findUrl, addUrl, findHost, addHost, addCheck, addFound,
        addFoundOnce, addResults;
};

THistoryStore::THistoryStore(const std::string& path, const TClientDataSet* seedFrom)
    : path_(path) {
    try {
        if (!fs::exists(path_)) {
            // Built whole beside its place: a half-made file never carries the name.
            const std::string temp = path_ + ".tmp";
            std::error_code ignored;
            fs::remove(temp, ignored);
            try {
                file_ =
                    std::make_unique<TSqliteFile>(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
                file_->Exec(kSchema);
                TStatement(*file_, "INSERT INTO meta(key, value) VALUES('format', ?)")
                    .Bind(1, kFormat)
                    .Run();
                statements_ = std::make_unique<TStatements>(*file_);
                if (seedFrom)
                    Seed(*seedFrom);
                statements_.reset();
                file_.reset();
                ForgetCachedIds();
                fs::rename(temp, path_);
            } catch (...) {
                statements_.reset();
                file_.reset();
                fs::remove(temp, ignored);
                throw;
            }
        }
        file_ = std::make_unique<TSqliteFile>(path_, SQLITE_OPEN_READWRITE);
        // Only reading until the file is known to be a history: anything else stays as it is.
        {
            TStatement format(*file_, "SELECT value FROM meta WHERE key='format'");
            if (!format.Step() || format.Text(0) != kFormat)
                throw HistoryError("it is not a ranking history of this program");
        }
        file_->Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
        statements_ = std::make_unique<TStatements>(*file_);
    } catch (const HistoryError& e) {
        statements_.reset();
        file_.reset();
        throw HistoryError(FileMessage(path_, e.what()));
    } catch (const fs::filesystem_error& e) {
        statements_.reset();
        file_.reset();
        throw HistoryError(FileMessage(path_, e.code().message()));
    }
}

THistoryStore::~THistoryStore() = default;

void THistoryStore::ForgetCachedIds() {
    urlIds_.clear();
    hostIds_.clear();
    pairIds_.clear();
}

namespace {

// The id of the row find selects with the key bound by bind, or of the row add inserts with
// the same key (add's other values bound already).
template <typename Bind>
std::int64_t FindOrAdd(TSqliteFile& file, TStatement& find, TStatement& add, Bind bind) {
    bind(find);
    const bool known = find.Step();
    const std::int64_t id = known ? find.Integer(0) : 0;
    find.Reset();
    if (known)
        return id;
    bind(add);
    add.Run();
    return file.LastInsertId();
}

} // namespace

std::int64_t THistoryStore::PairId(std::string_view site, std::string_view engine,
                                   std::string_view keyword) {
    std::string key;
    for (std::string_view part : {site, engine, keyword}) {
        key += part;
        key += '\0';
    }
    if (const auto known = pairIds_.find(key); known != pairIds_.end())
        return known->second;
    return pairIds_[key] =
               FindOrAdd(*file_, statements_->findPair, statements_->addPair,
                         [&](TStatement& s) { s.Bind(1, site).Bind(2, engine).Bind(3, keyword); });
}

std::int64_t THistoryStore::HostId(const std::string& host) {
    if (const auto known = hostIds_.find(host); known != hostIds_.end())
        return known->second;
    return hostIds_[host] = FindOrAdd(*file_, statements_->findHost, statements_->addHost,
                                      [&](TStatement& s) { s.Bind(1, host); });
}

std::int64_t THistoryStore::UrlId(const std::string& link) {
    if (const auto known = urlIds_.find(link); known != urlIds_.end())
        return known->second;
    statements_->addUrl.Bind(2, HostId(SiteHost(link)));
    return urlIds_[link] = FindOrAdd(*file_, statements_->findUrl, statements_->addUrl,
                                     [&](TStatement& s) { s.Bind(1, link); });
}

std::int64_t THistoryStore::AddCheck(std::int64_t pair, Date date, std::optional<int> depth,
                                     bool listed) {
    TStatement& add = statements_->addCheck;
    add.Bind(1, pair).Bind(2, DayNumber(date));
    if (depth)
        add.Bind(3, *depth);
    else
        add.BindNull(3);
    add.Bind(4, listed ? 1 : 0).Run();
    return file_->LastInsertId();
}

void THistoryStore::AddFound(std::int64_t check, const TResultEntry& entry, bool ignoreRepeat) {
    TStatement& add = ignoreRepeat ? statements_->addFoundOnce : statements_->addFound;
    add.Bind(1, check).Bind(2, entry.position).Bind(3, entry.page).Bind(4, UrlId(entry.link)).Run();
}

void THistoryStore::Append(const TPairMeasurement& m) {
    if (!statements_)
        throw HistoryError("the ranking history is not open");
    try {
        TTransaction transaction(*file_);
        const std::int64_t check =
            AddCheck(PairId(m.siteName, m.engineName, m.keyword), m.date, m.depth, true);
        for (const TResultEntry& entry : m.found)
            AddFound(check, entry, false);
        if (!m.results.empty()) {
            // One row per list: positions 1, 2, ... in order, as JSON arrays of url ids
            // (null for a result without a link) and of result pages.
            std::string urls = "[", pages = "[";
            for (const TResultEntry& entry : m.results) {
                urls += entry.link.empty() ? "null" : std::to_string(UrlId(entry.link));
                urls += ',';
                pages += std::to_string(entry.page);
                pages += ',';
            }
            urls.back() = ']';
            pages.back() = ']';
            statements_->addResults.Bind(1, check).Bind(2, urls).Bind(3, pages).Run();
        }
        transaction.Commit();
    } catch (...) {
        ForgetCachedIds(); // ids handed out in the rolled-back transaction are gone
        throw;
    }
}

void THistoryStore::Seed(const TClientDataSet& rankings) {
    const auto index = [&](const char* name) { return rankings.FindFieldIndex(name); };
    const int site = index("SiteName"), engine = index("SENAME"), keyword = index("Keyword"),
              url = index("url");
    struct TPoint {
        int date, position, page;
    };
    // What a record remembers: now, the check before, and the best, each with its date.
    const TPoint points[] = {{index("DT"), index("Position"), index("Page")},
                             {index("DTLast"), index("LastPosition"), index("LastPage")},
                             {index("DTBest"), index("BestPosition"), index("BestPage")}};
    const auto text = [](const Value& v) {
        const auto* s = std::get_if<std::string>(&v);
        return s ? *s : std::string();
    };
    const auto number = [](const Value& v) {
        const auto* n = std::get_if<std::int32_t>(&v);
        return n ? int(*n) : 0;
    };
    // (day, site, engine, keyword) -> the links met that day.
    std::map<std::tuple<std::int64_t, std::string, std::string, std::string>,
             std::vector<TResultEntry>>
        checks;
    for (const Record& r : rankings.AllRecords()) {
        const std::string link = text(Field(r, url));
        // A not-found record has no date of its own, and its best belonged to a link that
        // is no longer known.
        if (IsNotFoundUrl(link))
            continue;
        std::vector<std::int64_t> days;
        for (const TPoint& p : points) {
            const auto* date = std::get_if<Date>(&Field(r, p.date));
            const int position = number(Field(r, p.position));
            if (!date || position <= 0)
                continue;
            const std::int64_t day = DayNumber(*date);
            if (std::find(days.begin(), days.end(), day) != days.end())
                continue; // of two facts of one day, the later one holds
            days.push_back(day);
            checks[{day, text(Field(r, site)), text(Field(r, engine)), text(Field(r, keyword))}]
                .push_back({position, number(Field(r, p.page)), link});
        }
    }
    TTransaction transaction(*file_);
    for (const auto& [key, found] : checks) {
        const auto& [day, siteName, engineName, keywordText] = key;
        const std::int64_t check =
            AddCheck(PairId(siteName, engineName, keywordText), DayDate(day), std::nullopt, false);
        for (const TResultEntry& entry : found)
            AddFound(check, entry, true);
    }
    transaction.Commit();
}

std::vector<THistoryCheck> THistoryStore::KeywordChecks(std::string_view site,
                                                        std::string_view keyword,
                                                        std::optional<Date> from) {
    TStatement query(*file_, R"sql(
        SELECT c.id, p.engine, c.day, c.depth, c.listed, f.position, f.page, u.url
        FROM pairs p JOIN checks c ON c.pair = p.id
        LEFT JOIN found f ON f.check_id = c.id LEFT JOIN urls u ON u.id = f.url
        WHERE p.site = ? AND p.keyword = ? AND c.day >= ?
        ORDER BY p.engine, c.day, c.id, f.position)sql");
    query.Bind(1, site).Bind(2, keyword).Bind(3, from ? DayNumber(*from) : 0);
    std::vector<THistoryCheck> checks;
    while (query.Step()) {
        if (checks.empty() || checks.back().id != query.Integer(0)) {
            THistoryCheck& check = checks.emplace_back();
            check.id = query.Integer(0);
            check.engine = query.Text(1);
            check.date = DayDate(query.Integer(2));
            check.depth = int(query.Integer(3));
            check.listed = query.Integer(4) != 0;
        }
        if (!query.IsNull(5))
            checks.back().found.push_back(
                {int(query.Integer(5)), int(query.Integer(6)), std::string(query.Text(7))});
    }
    return checks;
}

namespace {

// The numbers of a JSON array of whole numbers and nulls ("[3,null,7]"); 0 for a null.
std::vector<std::int64_t> JsonNumbers(std::string_view text) {
    std::vector<std::int64_t> numbers;
    for (std::size_t at = 0; at < text.size();) {
        const char c = text[at];
        if (c >= '0' && c <= '9') {
            std::int64_t n = 0;
            while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                n = n * 10 + (text[at++] - '0');
            numbers.push_back(n);
        } else if (c == 'n') {
            numbers.push_back(0);
            at += 4;
        } else {
            ++at;
        }
    }
    return numbers;
}

} // namespace

std::vector<TCompetitor> THistoryStore::Competitors(std::int64_t checkId, std::string_view site) {
    TStatement list(*file_, "SELECT urls, pages FROM results WHERE check_id = ?");
    // The pair's listed check before this one.
    TStatement previous(*file_, R"sql(
        SELECT r.urls, '' FROM results r WHERE r.check_id = (
            SELECT e.id FROM checks c JOIN checks e ON e.pair = c.pair AND e.listed = 1
                AND (e.day < c.day OR (e.day = c.day AND e.id < c.id))
            WHERE c.id = ? ORDER BY e.day DESC, e.id DESC LIMIT 1))sql");
    const auto read = [&](TStatement& query, std::vector<std::int64_t>& urls,
                          std::vector<std::int64_t>& pages) {
        query.Bind(1, checkId);
        if (query.Step()) {
            urls = JsonNumbers(query.Text(0));
            pages = JsonNumbers(query.Text(1));
        }
    };
    std::vector<std::int64_t> urls, pages, previousUrls, unused;
    read(list, urls, pages);
    read(previous, previousUrls, unused);

    struct TUrl {
        std::string link, host;
        std::int64_t hostId = 0;
    };
    std::map<std::int64_t, TUrl> known;
    TStatement lookUp(*file_, "SELECT u.url, u.host, h.name FROM urls u JOIN hosts h "
                              "ON h.id = u.host WHERE u.id = ?");
    const auto url = [&](std::int64_t id) -> const TUrl& {
        auto [at, added] = known.try_emplace(id);
        if (added) {
            lookUp.Bind(1, id);
            if (lookUp.Step())
                at->second = {std::string(lookUp.Text(0)), std::string(lookUp.Text(2)),
                              lookUp.Integer(1)};
            lookUp.Reset();
        }
        return at->second;
    };

    // The host's best position in the previous list.
    std::map<std::int64_t, int> before;
    for (std::size_t i = 0; i < previousUrls.size(); ++i)
        if (previousUrls[i] != 0)
            before.emplace(url(previousUrls[i]).hostId, int(i) + 1);

    std::vector<TCompetitor> rows;
    std::map<std::int64_t, int> bestNow;
    for (std::size_t i = 0; i < urls.size(); ++i) {
        TCompetitor& row = rows.emplace_back();
        row.position = int(i) + 1;
        row.page = i < pages.size() ? int(pages[i]) : 0;
        if (urls[i] == 0)
            continue;
        const TUrl& u = url(urls[i]);
        row.link = u.link;
        row.host = u.host;
        row.own = IsSiteLink(site, row.link);
        const int now = bestNow.emplace(u.hostId, row.position).first->second;
        if (previousUrls.empty())
            continue;
        if (const auto then = before.find(u.hostId); then != before.end())
            row.move = then->second - now;
        else
            row.hostSeenFirstHere = true;
    }
    return rows;
}

void THistoryStore::ForEachRow(const std::optional<std::string>& site,
                               const std::function<void(const THistoryRow&)>& emit) {
    TStatement query(*file_, std::string(R"sql(
        SELECT c.day, p.site, p.engine, p.keyword, u.url, f.position, f.page, c.depth
        FROM pairs p JOIN checks c ON c.pair = p.id
        LEFT JOIN found f ON f.check_id = c.id LEFT JOIN urls u ON u.id = f.url)sql") +
                                 (site ? " WHERE p.site = ?" : "") +
                                 " ORDER BY p.site, p.engine, p.keyword, c.day, c.id, f.position");
    if (site)
        query.Bind(1, *site);
    std::int64_t day = -1;
    THistoryRow row;
    while (query.Step()) {
        if (query.Integer(0) != day) {
            day = query.Integer(0);
            row.date = DayDate(day);
        }
        row.site = query.Text(1);
        row.engine = query.Text(2);
        row.keyword = query.Text(3);
        row.url = query.Text(4);
        row.position = int(query.Integer(5));
        row.page = int(query.Integer(6));
        row.depth = int(query.Integer(7));
        emit(row);
    }
}

std::vector<std::string> THistoryStore::Sites() {
    TStatement query(*file_, "SELECT DISTINCT site FROM pairs ORDER BY site");
    std::vector<std::string> sites;
    while (query.Step())
        sites.emplace_back(query.Text(0));
    return sites;
}

} // namespace quorvia
