// The page walk and the scan driver against the loopback fake engine, with engine definitions
// read from an SE.cds in a temporary program folder. Requests are counted at the server.

#include "engine/PageCache.h"
#include "engine/PositionBook.h"
#include "engine/ResultPageWalk.h"
#include "engine/ScanDriver.h"
#include "net/PageFetcher.h"
#include "platform/Text.h"
#include "settings/ConnectionSettings.h"
#include "store/Tables.h"

#include "support/CoreApplication.h"
#include "support/FakeEngine.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

const std::string kSite = "http://www.site.example/";

class TFakeWindow : public IScanWindow {
public:
    void SetStatusText(const std::string& text) override { status = text; }
    void SetGaugeEnabled(bool) override {}
    void SetGaugePosition(int percent) override { gauge.push_back(percent); }
    void LogError(const std::string& message) override { log.push_back(message); }
    void ClearLog() override { log.clear(); }
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    std::string SelectedSiteName() const override { return "site.example"; }
    bool ScanForFirst() const override { return scanForFirst; }
    std::vector<std::string> CheckedEngineNames() const override { return engines; }
    std::vector<bool> DepthButtonsChosen() const override { return depthButtons; }
    void RefreshResults() override { ++refreshes; }
    void PairEnded(const std::string& engine, const std::string& keyword,
                   const std::string& failure) override {
        pairs.push_back(engine + "/" + keyword + (failure.empty() ? "" : ": " + failure));
    }

    std::string status = "untouched";
    std::vector<int> gauge;
    std::vector<std::string> log;
    std::vector<std::string> pairs; // "engine/keyword", with ": failure" when not checked
    bool scanForFirst = false;
    std::vector<std::string> engines;
    std::vector<bool> depthButtons = std::vector<bool>(8, false);
    int refreshes = 0;
};

// Links of other sites, except where a position (1-based) is given a page of the site, or
// the empty text for a result without a link.
std::vector<std::string> Links(int count, const std::map<int, std::string>& sitePages = {}) {
    std::vector<std::string> links;
    for (int i = 1; i <= count; ++i) {
        const auto page = sitePages.find(i);
        if (page == sitePages.end())
            links.push_back("http://r" + std::to_string(i) + ".other.test/");
        else
            links.push_back(page->second.empty() ? std::string() : kSite + page->second);
    }
    return links;
}

class Scan : public ::testing::Test {
protected:
    Scan() {
        saved = ConnectionSettings;
        ConnectionSettings = TConnectionSettings();
        ConnectionSettings.timeout = 5;
        ConnectionSettings.ConnectType = 1;
        StopRequested = false;
        WaitHandler = [](QObject*, bool& canAbort) { canAbort = StopRequested; };
        SetCacheRoot(std::filesystem::path(folder.path().toStdString()) / "Cache");
        CreateCacheFolder();

        TTables definitions;
        for (const char* name : {"Alpha", "Beta", "Gamma"}) {
            TClientDataSet& engines = definitions.SE_ClientDataSet;
            engines.Append();
            engines.FieldByName("SENAME").SetAsString(name);
            engines.FieldByName("MainURL").SetAsString(server.Url("/"));
            engines.FieldByName("SearchURL")
                .SetAsString(ResultPageSearchUrl(server.Origin(), QueryPath(name)));
            engines.FieldByName("SearchMask").SetAsString(kResultPageSearchMask);
            engines.Post();
        }
        const std::string file = folder.path().toStdString() + "/SE.cds";
        SaveDataSet(definitions.SE_ClientDataSet, file);
        tables.SE_ClientDataSet.LoadFromFile(file);

        tables.WebSiteClientDataSet.Append();
        tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("site.example");
        tables.WebSiteClientDataSet.Post();
    }
    ~Scan() override {
        ConnectionSettings = saved;
        WaitHandler = nullptr;
        StopRequested = false;
        SetCacheRoot({});
    }

    static std::string QueryPath(const std::string& engine) {
        return "/" + LowerAscii(engine) + "/search";
    }
    // The target of page n (from 1) of an engine's results for a query form.
    static std::string Target(const std::string& engine, const std::string& query, int n) {
        return QueryPath(engine) + "?q=" + query + (n > 1 ? "&p=" + std::to_string(n) : "");
    }
    // Routes the pages, each but the last with a link to the next.
    void Serve(const std::string& engine, const std::string& query,
               const std::vector<std::vector<std::string>>& pages) {
        for (std::size_t i = 0; i < pages.size(); ++i)
            server.Route(Target(engine, query, int(i) + 1),
                         TFakeReply::Page(ResultPage(
                             pages[i], i + 1 < pages.size() ? Target(engine, query, int(i) + 2)
                                                            : std::string())));
    }
    std::size_t RequestsFor(const std::string& query) const {
        std::size_t count = 0;
        for (const TFakeRequest& request : server.Requests())
            count += request.Target.find("?q=" + query) != std::string::npos;
        return count;
    }
    void Walk(const std::string& engine, const std::string& keyword, int depth) {
        int done = 0;
        CheckEngineKeyword(scan, engine, keyword, depth, done, 100);
    }
    // The pair's records of the current site: "url@position/page", or the url alone.
    std::vector<std::string> Records(const std::string& engine, const std::string& keyword) {
        std::vector<std::string> records;
        TClientDataSet& t = tables.SECacheClientDataSet;
        for (t.First(); !t.Eof(); t.Next())
            if (t.FieldByName("SENAME").AsString() == engine &&
                t.FieldByName("Keyword").AsString() == keyword)
                records.push_back(t.FieldByName("url").AsString() +
                                  (t.FieldByName("Position").IsNull()
                                       ? ""
                                       : "@" + t.FieldByName("Position").AsString() + "/" +
                                             t.FieldByName("Page").AsString()));
        return records;
    }
    void Remember(const std::string& engine, const std::string& keyword, const std::string& link,
                  int position, int page) {
        TPositionBook(tables.SECacheClientDataSet)
            .RecordFoundLink(engine, keyword, link, position, page);
    }
    void RememberNotFound(const std::string& engine, const std::string& keyword) {
        TPositionBook book(tables.SECacheClientDataSet);
        book.FinishPairRecords(engine, keyword, TFoundLinks(), 10);
    }

    TConnectionSettings saved;
    QTemporaryDir folder;
    TFakeEngine server;
    TTables tables;
    TFakeWindow window;
    std::vector<std::string> badHtml;
    TScanContext scan{window, tables, badHtml};
};

struct TWalkCase {
    const char* what;
    std::string keyword;
    std::vector<std::vector<std::string>> pages;
    int depth;
    bool scanForFirst;
    std::size_t requests;
    std::vector<std::string> records;
};

} // namespace

TEST_F(Scan, TheWalkCountsResultsAcrossPagesAndStopsAtTheDepth) {
    const std::string longPath(300, 'x');
    const std::string longLink = (kSite + longPath).substr(0, 250);
    const std::vector<TWalkCase> cases = {
        {"depth 10 with 10 a page asks one page",
         "one",
         {Links(10, {{4, "a"}}), Links(10)},
         10,
         false,
         1,
         {kSite + "a@4/1"}},
        {"depth 20 takes positions 11 to 20 from page 2",
         "two",
         {Links(10), Links(10, {{5, "a"}, {10, "b"}}), Links(10, {{1, "c"}})},
         20,
         false,
         2,
         {kSite + "a@15/2", kSite + "b@20/2"}},
        {"the 11th of 12 matches ends the walk at depth 10",
         "twelve",
         {Links(12, {{11, "a"}}), Links(10)},
         10,
         false,
         1,
         {"Not in first 10 results"}},
        {"scan until first entry found stops at the first",
         "first",
         {Links(10, {{3, "a"}, {7, "b"}}), Links(10)},
         20,
         true,
         1,
         {kSite + "a@3/1"}},
        {"without it every entry is recorded",
         "every",
         {Links(10, {{3, "a"}, {7, "b"}})},
         10,
         false,
         1,
         {kSite + "a@3/1", kSite + "b@7/1"}},
        {"the same link twice is recorded once, at its first position",
         "twice",
         {Links(10, {{2, "a"}, {5, "a"}})},
         10,
         false,
         1,
         {kSite + "a@2/1"}},
        {"a result without a link takes none from the next result",
         "linkless",
         {Links(10, {{4, ""}, {5, "a"}})},
         10,
         false,
         1,
         {kSite + "a@5/1"}},
        {"a later page without results leads on to the next",
         "empty",
         {Links(10), {}, Links(10, {{3, "a"}})},
         30,
         false,
         3,
         {kSite + "a@13/3"}},
        {"a link longer than the url field keeps its record",
         "long",
         {Links(10, {{1, longPath}})},
         10,
         false,
         1,
         {longLink + "@1/1"}},
    };
    for (const TWalkCase& c : cases) {
        SCOPED_TRACE(c.what);
        Serve("Alpha", c.keyword, c.pages);
        window.scanForFirst = c.scanForFirst;
        Walk("Alpha", c.keyword, c.depth);
        EXPECT_EQ(RequestsFor(c.keyword), c.requests);
        EXPECT_EQ(Records("Alpha", c.keyword), c.records);
    }
    EXPECT_TRUE(window.log.empty());
    EXPECT_EQ(window.status, "");
}

TEST_F(Scan, ASecondScanOnTheSameDayTakesEveryPageFromTheCache) {
    Serve("Alpha", "red+shoes", {Links(10), Links(10, {{2, "a"}})});
    Walk("Alpha", "red  shoes", 20);
    ASSERT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(server.Requests()[0].Header("referer"), server.Url("/"));
    EXPECT_EQ(server.Requests()[1].Header("referer"), server.Url(Target("Alpha", "red+shoes", 1)));

    Walk("Alpha", "red  shoes", 20);
    EXPECT_EQ(server.RequestCount(), 2u);
    EXPECT_EQ(Records("Alpha", "red  shoes"), (std::vector<std::string>{kSite + "a@12/2"}));
    EXPECT_TRUE(window.log.empty());
}

TEST_F(Scan, AFailureOnALaterPageKeepsWhatWasMetAndDropsTheRest) {
    Remember("Alpha", "shoes", kSite + "old", 15, 2);
    server.Route(Target("Alpha", "shoes", 1),
                 TFakeReply::Page(ResultPage(Links(10, {{3, "a"}}), Target("Alpha", "shoes", 2))));
    server.Route(
        Target("Alpha", "shoes", 2),
        TFakeReply::Redirect("http://127.0.0.1:" + std::to_string(UnusedLoopbackPort()) + "/gone"));
    Walk("Alpha", "shoes", 20);
    ASSERT_EQ(window.log.size(), 1u);
    EXPECT_EQ(window.log[0].rfind("Connection error: 10061 ", 0), 0u) << window.log[0];
    EXPECT_EQ(Records("Alpha", "shoes"), (std::vector<std::string>{kSite + "a@3/1"}));
}

TEST_F(Scan, AWalkThatMeasuredNothingLeavesTheRecordsAsTheyWere) {
    struct TCase {
        const char* what;
        TFakeReply firstPage;
        std::string logged; // start of the line
    };
    const std::vector<TCase> cases = {
        {"a failed first fetch", TFakeReply::Page("", 500, "Internal Server Error"),
         "Connection error: 500 Internal Server Error. "},
        {"no result on the first page",
         TFakeReply::Page("<html><body>Please prove you are human</body></html>"),
         "No results were recognised on the first page of Alpha for 'shoes'."},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        tables.SECacheClientDataSet.EmptyDataSet();
        Remember("Alpha", "shoes", kSite + "a", 2, 1);
        RememberNotFound("Alpha", "shoes"); // carries best 2
        Remember("Alpha", "boots", kSite + "b", 4, 1);
        const std::vector<Record> before = tables.SECacheClientDataSet.AllRecords();
        window.log.clear();
        window.refreshes = 0;
        server.Route(Target("Alpha", "shoes", 1), c.firstPage);

        Walk("Alpha", "shoes", 10);
        ASSERT_EQ(window.log.size(), 1u);
        EXPECT_EQ(window.log[0].rfind(c.logged, 0), 0u) << window.log[0];
        EXPECT_EQ(tables.SECacheClientDataSet.AllRecords(), before);
        EXPECT_EQ(window.refreshes, 1);
    }
    // A pair never measured keeps no record.
    Walk("Alpha", "sandals", 10);
    EXPECT_TRUE(Records("Alpha", "sandals").empty());
}

TEST_F(Scan, AnEngineWithoutADefinitionEndsTheScanAndAsksNoOtherEngine) {
    Remember("Alpha", "shoes", kSite + "a", 2, 1);
    const std::vector<Record> before = tables.SECacheClientDataSet.AllRecords();
    try {
        Walk("Nowhere", "shoes", 10);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "The search engine 'Nowhere' is not defined.");
    }
    EXPECT_EQ(server.RequestCount(), 0u);
    EXPECT_EQ(tables.SECacheClientDataSet.AllRecords(), before);
    EXPECT_EQ(window.refreshes, 1);
    EXPECT_TRUE(window.pairs.empty()); // the scan's error box tells of it
    EXPECT_EQ(window.status, "");
}

TEST_F(Scan, StopDuringAFetchEndsThePairUnloggedAndStartsNoOther) {
    Remember("Alpha", "shoes", kSite + "old", 15, 2);
    server.SetHandler([this](const TFakeRequest& request) {
        if (request.Target == Target("Alpha", "shoes", 2)) {
            StopRequested = true; // "Stop scanning" pressed while the page is on its way
            return TFakeReply::Silence();
        }
        return TFakeReply::Page(ResultPage(Links(10, {{3, "a"}}), Target("Alpha", "shoes", 2)));
    });
    RunScan(scan, {"Alpha", "Beta"}, {"shoes"}, 20);
    EXPECT_EQ(server.RequestCount(), 2u);
    EXPECT_TRUE(window.log.empty());
    EXPECT_TRUE(window.pairs.empty()); // stopped: neither checked nor failed
    EXPECT_EQ(Records("Alpha", "shoes"), (std::vector<std::string>{kSite + "a@3/1"}));
    EXPECT_EQ(window.refreshes, 1);
}

TEST_F(Scan, EveryPairAskedToItsEndIsReportedCheckedOrFailedWithItsLogLine) {
    Serve("Alpha", "shoes", {Links(3)});
    Serve("Beta", "shoes", {Links(3, {{2, "a"}})});
    server.Route(Target("Alpha", "boots", 1), TFakeReply::Page("", 500, "Internal Server Error"));
    server.Route(Target("Beta", "boots", 1), TFakeReply::Page("<html>no results here</html>"));
    RunScan(scan, {"Alpha", "Beta"}, {"boots", "shoes"}, 10);
    ASSERT_EQ(window.log.size(), 2u);
    EXPECT_EQ(window.pairs,
              (std::vector<std::string>{"Alpha/boots: " + window.log[0], "Alpha/shoes",
                                        "Beta/boots: " + window.log[1], "Beta/shoes"}));
}

TEST_F(Scan, PairsRunEnginesOuterInCaseBlindOrderWithTheGaugeAfterEachPage) {
    server.SetFallback(TFakeReply::Page(ResultPage(Links(3))));
    window.engines = {"Gamma", "Alpha", "Beta"};
    TClientDataSet& words = tables.WordClientDataSet;
    words.Append();
    words.FieldByName("Word1").SetAsString("shoes");
    words.FieldByName("Word2").SetAsString("Boots");
    words.FieldByName("Word4").SetAsString("SHOES");
    words.Post();

    StartScan(scan);
    std::vector<std::string> targets;
    for (const TFakeRequest& request : server.Requests())
        targets.push_back(request.Target);
    EXPECT_EQ(targets,
              (std::vector<std::string>{Target("Alpha", "Boots", 1), Target("Alpha", "shoes", 1),
                                        Target("Beta", "Boots", 1), Target("Beta", "shoes", 1),
                                        Target("Gamma", "Boots", 1), Target("Gamma", "shoes", 1)}));
    // Three results a page, total 60: the walk's reading after its page, then the pair's.
    EXPECT_EQ(window.gauge, (std::vector<int>{5, 16, 21, 33, 38, 50, 55, 66, 71, 83, 88, 100}));
    EXPECT_TRUE(StopRequested);
}

TEST(ScanDepth, TheDeepestChosenButtonWins) {
    const std::vector<std::pair<std::vector<bool>, int>> rows = {
        {std::vector<bool>(8, false), 10},
        {{true, false, false, false, false, false, false, false}, 10},
        {{false, true, false, false, false, false, false, false}, 20},
        {{false, false, false, false, true, false, false, false}, 50},
        {{false, false, false, false, false, true, false, false}, 100},
        {{false, false, false, false, false, false, true, false}, 150},
        {{false, true, false, false, false, false, false, true}, 200},
        {{true, false, true, false, false, false, false, false}, 30},
    };
    for (const auto& [chosen, depth] : rows)
        EXPECT_EQ(ScanDepth(chosen), depth);
}
