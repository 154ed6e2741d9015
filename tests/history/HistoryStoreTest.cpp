// The history as walks against the loopback fake engine leave it, day after day; seeding from
// the ranking records; and a history that cannot be used or written never costs the rankings.

#include "history/HistoryStore.h"
#include "engine/PageCache.h"
#include "engine/ResultPageWalk.h"
#include "engine/ScanDriver.h"
#include "history/HistoryRecorder.h"
#include "net/PageFetcher.h"
#include "platform/Clock.h"
#include "settings/ConnectionSettings.h"
#include "store/Tables.h"

#include "FileSizeLimit.h"
#include "support/CoreApplication.h"
#include "support/FakeEngine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <fstream>
#include <map>
#include <sstream>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

const std::string kSite = "http://www.site.example/";

class TQuietWindow : public IScanWindow {
public:
    void SetStatusText(const std::string&) override {}
    void SetGaugeEnabled(bool) override {}
    void SetGaugePosition(int) override {}
    void LogError(const std::string& message) override { log.push_back(message); }
    void ClearLog() override {}
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    std::string SelectedSiteName() const override { return "site.example"; }
    bool ScanForFirst() const override { return false; }
    std::vector<std::string> CheckedEngineNames() const override { return {}; }
    std::vector<bool> DepthButtonsChosen() const override { return {}; }
    void RefreshResults() override {}
    std::vector<std::string> log;
};

// count results of other hosts, with the site's pages at the given positions (1-based).
std::vector<std::string> Links(int count, const std::map<int, std::string>& sitePages = {}) {
    std::vector<std::string> links;
    for (int i = 1; i <= count; ++i) {
        const auto page = sitePages.find(i);
        links.push_back(page == sitePages.end() ? "http://r" + std::to_string(i) + ".other.test/"
                                                : kSite + page->second);
    }
    return links;
}

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class History : public ::testing::Test {
protected:
    History() {
        saved = ConnectionSettings;
        ConnectionSettings = TConnectionSettings();
        ConnectionSettings.timeout = 5;
        ConnectionSettings.RetryConnect = 0;
        StopRequested = false;
        WaitHandler = [](QObject*, bool& canAbort) { canAbort = StopRequested; };
        SetCacheRoot(std::filesystem::path(Folder()) / "Cache");
        CreateCacheFolder();
        TClientDataSet& engines = tables.SE_ClientDataSet;
        engines.Append();
        engines.FieldByName("SENAME").SetAsString("Alpha");
        engines.FieldByName("MainURL").SetAsString(server.Url("/"));
        engines.FieldByName("SearchURL").SetAsString(ResultPageSearchUrl(server.Origin(), "/s"));
        engines.FieldByName("SearchMask").SetAsString(kResultPageSearchMask);
        engines.Post();
        tables.WebSiteClientDataSet.Append();
        tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("site.example");
        tables.WebSiteClientDataSet.Post();
    }
    ~History() override {
        ConnectionSettings = saved;
        WaitHandler = nullptr;
        StopRequested = false;
        SetCacheRoot({});
        Clock::SetTodayForTesting(std::nullopt);
    }

    std::string Folder() const { return folder.path().toStdString(); }
    std::string HistoryPath() const { return Folder() + "/" + kHistoryFileName; }

    // The keyword's result pages for today, each but the last with a link to the next.
    void Serve(const std::string& query, const std::vector<std::vector<std::string>>& pages) {
        const auto target = [&](std::size_t n) {
            return "/s?q=" + query + (n > 1 ? "&p=" + std::to_string(n) : "");
        };
        for (std::size_t i = 0; i < pages.size(); ++i)
            server.Route(target(i + 1),
                         TFakeReply::Page(ResultPage(
                             pages[i], i + 1 < pages.size() ? target(i + 2) : std::string())));
    }
    void ScanOn(Date day, const std::vector<std::string>& keywords, int depth,
                IPairRecorder* recorder) {
        Clock::SetTodayForTesting(day);
        TScanContext scan{window, tables, badHtml, recorder};
        RunScan(scan, {"Alpha"}, keywords, depth);
    }
    std::size_t RankingRecords() { return tables.SECacheClientDataSet.RecordCount(); }

    TConnectionSettings saved;
    QTemporaryDir folder;
    TFakeEngine server;
    TTables tables;
    TQuietWindow window;
    std::vector<std::string> badHtml;
    std::vector<std::string> reports;
    THistoryRecorder::ReportFunction report = [this](const std::string& m) {
        reports.push_back(m);
    };
};

// "date engine: url@position/page ..." or "date engine: not found in depth"
std::string Describe(const THistoryCheck& check) {
    std::string text = check.date.ToIso() + " " + check.engine + ":";
    for (const TResultEntry& f : check.found)
        text += " " + f.link + "@" + std::to_string(f.position) + "/" + std::to_string(f.page);
    if (check.found.empty())
        text += " not found in " + std::to_string(check.depth);
    return text;
}

} // namespace

TEST_F(History, WalksOverDaysAreKeptWithTheirResultListsAndAFailedPairLeavesNoPoint) {
    THistoryStore store(HistoryPath(), &tables.SECacheClientDataSet);
    THistoryRecorder recorder(&store, report);

    Serve("shoes", {Links(10, {{3, "a"}})});
    ScanOn(Date(2026, 3, 1), {"shoes"}, 10, &recorder);
    Serve("shoes", {Links(10, {{5, "a"}}), Links(10, {{2, "b"}})});
    ScanOn(Date(2026, 3, 2), {"shoes"}, 20, &recorder);
    server.Route("/s?q=shoes", TFakeReply::Page("busy", 500, "Internal Server Error"));
    ScanOn(Date(2026, 3, 3), {"shoes"}, 20, &recorder);
    ASSERT_EQ(window.log.size(), 1u); // the failed pair is logged, not kept
    Serve("shoes", {Links(10), Links(10)});
    ScanOn(Date(2026, 3, 4), {"shoes"}, 20, &recorder);

    const std::vector<THistoryCheck> checks = store.KeywordChecks("site.example", "shoes");
    std::vector<std::string> described;
    for (const THistoryCheck& c : checks)
        described.push_back(Describe(c));
    EXPECT_EQ(described, (std::vector<std::string>{
                             "2026-03-01 Alpha: " + kSite + "a@3/1",
                             "2026-03-02 Alpha: " + kSite + "a@5/1 " + kSite + "b@12/2",
                             "2026-03-04 Alpha: not found in 20",
                         }));
    EXPECT_TRUE(reports.empty());
    // The range starts where asked.
    EXPECT_EQ(store.KeywordChecks("site.example", "shoes", Date(2026, 3, 2)).size(), 2u);

    // The second day's list as the walk saw it, with each host's move since the first day.
    const std::vector<TCompetitor> list = store.Competitors(checks[1].id, "site.example");
    ASSERT_EQ(list.size(), 20u);
    EXPECT_EQ(list[0].host, "r1.other.test");
    EXPECT_EQ(list[0].move, 0);
    EXPECT_TRUE(list[4].own);
    EXPECT_EQ(list[4].move, -2); // the site: from 3 to 5
    EXPECT_EQ(list[2].host, "r3.other.test");
    EXPECT_EQ(list[2].move, std::nullopt); // not on the list before: new
    EXPECT_TRUE(list[2].hostSeenFirstHere);
    EXPECT_EQ(list[11].page, 2);
    EXPECT_TRUE(list[11].own);
    EXPECT_FALSE(list[12].own);
    // The first list has none before it.
    for (const TCompetitor& c : store.Competitors(checks[0].id, "site.example"))
        EXPECT_FALSE(c.move || c.hostSeenFirstHere);

    // Export rows: one per found link, one for the not-found check.
    std::vector<std::string> rows;
    store.ForEachRow(std::nullopt, [&](const THistoryRow& r) {
        rows.push_back(r.date.ToIso() + "|" + std::string(r.url) + "|" +
                       std::to_string(r.position) + "|" + std::to_string(r.depth));
    });
    EXPECT_EQ(rows, (std::vector<std::string>{
                        "2026-03-01|" + kSite + "a|3|10", "2026-03-02|" + kSite + "a|5|20",
                        "2026-03-02|" + kSite + "b|12|20", "2026-03-04||0|20"}));
}

TEST_F(History, ANewHistoryIsSeededFromTheRankingRecordsOnce) {
    TClientDataSet& records = tables.SECacheClientDataSet;
    const auto add = [&](const std::string& site, const std::string& url, const Record& values) {
        records.Append();
        records.FieldByName("SiteName").SetAsString(site);
        records.FieldByName("SENAME").SetAsString("Alpha");
        records.FieldByName("Keyword").SetAsString("shoes");
        records.FieldByName("url").SetAsString(url);
        const char* names[] = {"Position", "Page",         "DT",       "LastPosition", "LastPage",
                               "DTLast",   "BestPosition", "BestPage", "DTBest"};
        for (std::size_t i = 0; i < values.size(); ++i)
            records.FieldByName(names[i]).SetValue(values[i]);
        records.Post();
    };
    // Now 6 (day 3), before 2 (day 2), best 2 reached on day 2: one point a day.
    add("site.example", kSite + "a",
        {6, 1, Date(2026, 1, 3), 2, 1, Date(2026, 1, 2), 2, 1, Date(2026, 1, 2)});
    // Created on day 1 at 14, never checked again; another site's record counts too.
    add("site.example", kSite + "b",
        {14, 2, Date(2026, 1, 1), {}, {}, {}, 14, 2, Date(2026, 1, 1)});
    add("other.example", "http://other.example/x",
        {1, 1, Date(2026, 1, 3), {}, {}, {}, 1, 1, Date(2026, 1, 3)});
    // A not-found record has no date of its own: nothing to draw.
    records.Append();
    records.FieldByName("SiteName").SetAsString("site.example");
    records.FieldByName("SENAME").SetAsString("Beta");
    records.FieldByName("Keyword").SetAsString("shoes");
    records.FieldByName("url").SetAsString("Not in first 50 results");
    records.FieldByName("BestPosition").SetAsInteger(4);
    records.FieldByName("BestPage").SetAsInteger(1);
    records.FieldByName("DTBest").SetAsDate(Date(2025, 12, 1));
    records.Post();

    {
        THistoryStore store(HistoryPath(), &records);
        std::vector<std::string> described;
        for (const THistoryCheck& c : store.KeywordChecks("site.example", "shoes")) {
            described.push_back(Describe(c));
            EXPECT_FALSE(c.listed);
        }
        EXPECT_EQ(described, (std::vector<std::string>{
                                 "2026-01-01 Alpha: " + kSite + "b@14/2",
                                 "2026-01-02 Alpha: " + kSite + "a@2/1",
                                 "2026-01-03 Alpha: " + kSite + "a@6/1",
                             }));
        EXPECT_EQ(store.Sites(), (std::vector<std::string>{"other.example", "site.example"}));
    }
    // An existing history is not seeded again.
    add("site.example", kSite + "c", {1, 1, Date(2026, 1, 5), {}, {}, {}, 1, 1, Date(2026, 1, 5)});
    THistoryStore again(HistoryPath(), &records);
    EXPECT_EQ(again.KeywordChecks("site.example", "shoes").size(), 3u);
    EXPECT_FALSE(std::filesystem::exists(HistoryPath() + ".tmp"));
}

TEST_F(History, ADamagedFileIsReportedOnceLeftUntouchedAndTheRankingsGoOn) {
    for (const std::string& bytes : {std::string("not a database at all\n"), std::string()}) {
        SCOPED_TRACE(bytes.empty() ? "an empty file" : "text");
        std::ofstream(HistoryPath(), std::ios::binary) << bytes;
        reports.clear();
        std::unique_ptr<THistoryStore> store =
            OpenHistory(HistoryPath(), &tables.SECacheClientDataSet, report);
        EXPECT_EQ(store, nullptr);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find(HistoryPath()), std::string::npos) << reports[0];

        THistoryRecorder recorder(store.get(), report);
        Serve("shoes", {Links(10, {{3, "a"}})});
        ScanOn(Date(2026, 3, 1), {"shoes"}, 10, &recorder);
        EXPECT_EQ(RankingRecords(), 1u);
        EXPECT_EQ(reports.size(), 1u);
        EXPECT_EQ(FileBytes(HistoryPath()), bytes);
    }
}

TEST_F(History, AFailedWriteIsReportedOncePerScanAndTheRankingsAreKept) {
    THistoryStore store(HistoryPath(), &tables.SECacheClientDataSet);
    THistoryRecorder recorder(&store, report);
    Serve("shoes", {Links(10, {{3, "a"}})});
    Serve("boots", {Links(10, {{4, "b"}})});
    ScanOn(Date(2026, 3, 1), {"shoes"}, 10, &recorder); // the file takes its working size
    {
        const TFileSizeLimit full(1);
        ScanOn(Date(2026, 3, 2), {"boots", "shoes"}, 10, &recorder);
        EXPECT_EQ(reports.size(), 1u);
        ScanOn(Date(2026, 3, 3), {"boots", "shoes"}, 10, &recorder);
        EXPECT_EQ(reports.size(), 2u);
    }
    EXPECT_NE(reports[0].find("could not be written"), std::string::npos) << reports[0];
    EXPECT_EQ(RankingRecords(), 2u);
    tables.SECacheClientDataSet.Locate("Keyword", {Value(std::string("shoes"))});
    EXPECT_EQ(tables.SECacheClientDataSet.FieldByName("DT").AsDate(), Date(2026, 3, 3));

    // Once there is room again, history goes on where it could.
    ScanOn(Date(2026, 3, 4), {"shoes"}, 10, &recorder);
    std::vector<std::string> days;
    for (const THistoryCheck& c : store.KeywordChecks("site.example", "shoes"))
        days.push_back(c.date.ToIso());
    EXPECT_EQ(days, (std::vector<std::string>{"2026-03-01", "2026-03-04"}));
    EXPECT_EQ(reports.size(), 2u);
}
