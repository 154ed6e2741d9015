// The page walk and the scan driver against the loopback fake engine, with engine definitions
// read from an SE.cds in a temporary program folder. Requests are counted at the server.

#include "engine/EngineTable.h"
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

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace quorvia;
using namespace quorvia::testing;

namespace {

const std::string kSite = "http://www.site.example/";

// Shaped as the page Mojeek serves automated clients, with HTTP status 200.
const std::string kCaptchaPage =
    "<!DOCTYPE html><html lang=\"en\"><head><title>Captcha</title></head><body><div "
    "class=\"captcha-wrap\"><p>JavaScript is required to complete this challenge.</p></div>"
    "</body></html>";

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
         "No results were recognised on the first page of Alpha for 'shoes'. The engine may "
         "have changed its pages: check its definition with engine-check. The page is kept in "},
        {"a captcha page, answered with 200", TFakeReply::Page(kCaptchaPage),
         "Alpha answered 'shoes' with a captcha (a check for automated clients) instead of "
         "results. Wait an hour or more before you scan Alpha again, or scan it through another "
         "connection. The page is kept in "},
        {"a consent wall",
         TFakeReply::Page("<html><head><title>Before you continue</title></head><body><form "
                          "action=\"https://consent.engine.test/save\"></form></body></html>"),
         "Alpha showed a consent page instead of results for 'shoes'. "},
        {"HTTP 429", TFakeReply::Page("<html>Slow down</html>", 429, "Too Many Requests"),
         "Alpha refused to answer 'shoes' (HTTP 429: too many requests). Wait an hour or more "
         "before you scan Alpha again, or scan it through another connection. The page is kept "
         "in "},
        {"HTTP 403", TFakeReply::Page("<html>No</html>", 403, "Forbidden"),
         "Alpha refused to answer 'shoes' (HTTP 403: forbidden). "},
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

// The page that was not a result list stays where engine-check can read it, and out of the
// cache: the next scan of the day asks the engine again.
TEST_F(Scan, ACaptchaPageIsKeptForEngineCheckAndNeverCached) {
    server.Route(Target("Alpha", "shoes", 1), TFakeReply::Page(kCaptchaPage));
    Walk("Alpha", "shoes", 10);
    ASSERT_EQ(window.log.size(), 1u);
    const std::string& line = window.log[0];
    const std::size_t from = line.find("kept in ");
    const std::size_t to = line.find(" (engine-check reads it).");
    ASSERT_TRUE(from != std::string::npos && to != std::string::npos) << line;
    const std::string kept = line.substr(from + 8, to - from - 8);
    EXPECT_EQ(kept, (CacheRoot() / "^Alpha" / "shoes.0.html").string());
    std::ifstream in(kept, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), kCaptchaPage);
    EXPECT_EQ(ReadCachedPage("Alpha", "shoes", 0), "");

    server.Route(Target("Alpha", "shoes", 1), TFakeReply::Page(ResultPage(Links(10, {{2, "a"}}))));
    Walk("Alpha", "shoes", 10);
    EXPECT_EQ(RequestsFor("shoes"), 2u);
    EXPECT_EQ(Records("Alpha", "shoes"), (std::vector<std::string>{kSite + "a@2/1"}));
}

// The engine's own answer that it found nothing is a measurement: the site truly is not in
// the results.
TEST_F(Scan, AnEnginesNoResultsAnswerLeavesANotFoundRecord) {
    TEngineRecord alpha{"Alpha",
                        server.Url("/"),
                        ResultPageSearchUrl(server.Origin(), QueryPath("Alpha")),
                        kResultPageSearchMask,
                        "",
                        "<div class=\"no-results\">"};
    PutEngineRecord(tables.SE_ClientDataSet, alpha);
    Remember("Alpha", "shoes", kSite + "a", 2, 1);
    server.Route(Target("Alpha", "shoes", 1),
                 TFakeReply::Page("<html><body><div class=\"no-results\">No results.</div>"
                                  "</body></html>"));
    Walk("Alpha", "shoes", 10);
    EXPECT_EQ(window.log, (std::vector<std::string>{
                              "Alpha found no results for 'shoes': the site is recorded as not "
                              "found. Check the keyword's spelling."}));
    EXPECT_EQ(Records("Alpha", "shoes"), (std::vector<std::string>{"Not in first 10 results"}));
    TClientDataSet& t = tables.SECacheClientDataSet;
    ASSERT_TRUE(
        t.Locate("SENAME;Keyword", {Value(std::string("Alpha")), Value(std::string("shoes"))}));
    EXPECT_EQ(t.FieldByName("BestPosition").AsInteger(), 2); // carried from the link it replaced
}

// Engines that page with a form: the shipped DuckDuckGo (POST form with an offset) and
// Startpage (POST form with a page number) definitions, pointed at the fake engine, scanned to
// depth 50 over five pages of their shape.
TEST_F(Scan, FormPagingWalksToTheDepthWithTheFormsRequests) {
    struct TFormEngine {
        std::string stem, host, firstTarget, formTarget;
        // The page's results: the definition's result markup around a host and path.
        std::function<std::string(const std::string& host, const std::string& path)> result;
        // The next-page form of page n, and the body it makes.
        std::function<std::string(int n)> form;
        std::function<std::string(int n)> body;
    };
    const std::vector<TFormEngine> engines = {
        {"duckduckgo", "https://html.duckduckgo.com", "/html/?q=red+shoes", "/html/",
         [](const std::string& host, const std::string& path) {
             return "<div class=\"result results_links results_links_deep web-result \"><h2 "
                    "class=\"result__title\"><a rel=\"nofollow\" class=\"result__a\" "
                    "href=\"https://" +
                    host + "/" + path +
                    "\">Title</a></h2><a "
                    "class=\"result__url\" href=\"https://" +
                    host + "/" + path + "\">\n " + host + "/" + path + "\n</a></div>\n";
         },
         [](int n) {
             return "<form action=\"/html/\" method=\"post\">\n<input type=\"submit\" "
                    "class='btn btn--alt' value=\"Next\" />\n<input type=\"hidden\" name=\"q\" "
                    "value=\"red shoes\" />\n<input type=\"hidden\" name=\"s\" value=\"" +
                    std::to_string(10 * n) + "\" />\n<input type=\"hidden\" name=\"dc\" value=\"" +
                    std::to_string(10 * n + 1) + "\" />\n</form>\n";
         },
         [](int n) {
             return "q=red+shoes&s=" + std::to_string(10 * n) + "&dc=" + std::to_string(10 * n + 1);
         }},
        {"startpage", "https://www.startpage.com", "/sp/search?query=red+shoes&cat=web",
         "/sp/search",
         [](const std::string& host, const std::string& path) {
             return "<div class=\"result\"><a class=\"result-title result-link css-1bggj8v\" "
                    "href=\"https://" +
                    host + "/" + path +
                    "\" target=\"_blank\"><h2>Title</h2>"
                    "</a></div>\n";
         },
         [](int n) {
             std::string pager;
             for (const auto& [label, page] :
                  {std::pair<std::string, int>{"current page", n}, {"go to page Next", n + 1}})
                 pager += "<form action=\"/sp/search\" method=\"post\" aria-label=\"" + label +
                          "\"><input type=\"hidden\" name=\"query\" value=\"red shoes\"/><input "
                          "type=\"hidden\" name=\"page\" value=\"" +
                          std::to_string(page) + "\"/><button type=\"submit\">" + label +
                          "</button></form>";
             return pager + "\n";
         },
         [](int n) { return "query=red+shoes&page=" + std::to_string(n + 1); }},
    };
    for (const TFormEngine& shape : engines) {
        SCOPED_TRACE(shape.stem);
        TEngineRecord engine =
            ReadEngineSource(std::string(QUORVIA_ENGINE_SOURCES) + "/" + shape.stem + ".txt").at(0);
        const std::size_t host = engine.SearchURL.find(shape.host);
        ASSERT_EQ(host, 0u);
        engine.SearchURL.replace(0, shape.host.size(), server.Origin());
        PutEngineRecord(tables.SE_ClientDataSet, engine);
        // Page n (from 1) answers the request with body(n - 1); the site is at position 47.
        std::map<std::string, int> pageOfRequest = {{"GET " + shape.firstTarget, 1}};
        for (int n = 2; n <= 6; ++n)
            pageOfRequest["POST " + shape.formTarget + " " + shape.body(n - 1)] = n;
        server.SetHandler([&](const TFakeRequest& request) {
            const auto page =
                pageOfRequest.find(request.Method + " " + request.Target +
                                   (request.Method == "POST" ? " " + request.Body : ""));
            if (page == pageOfRequest.end())
                return TFakeReply::Page("<html>unexpected</html>", 404, "Not Found");
            std::string html = "<html><body>\n";
            for (int i = 1; i <= 10; ++i) {
                const int position = (page->second - 1) * 10 + i;
                html += position == 47
                            ? shape.result("www.site.example", "deep/page.html")
                            : shape.result("r" + std::to_string(position) + ".other.test", "");
            }
            return TFakeReply::Page(html + shape.form(page->second) + "</body></html>");
        });
        const std::size_t before = server.RequestCount();

        Walk(engine.SENAME, "red shoes", 50);
        EXPECT_TRUE(window.log.empty()) << window.log.front();
        EXPECT_EQ(Records(engine.SENAME, "red shoes"),
                  (std::vector<std::string>{kSite + "deep/page.html@47/5"}));
        ASSERT_EQ(server.RequestCount(), before + 5);
        for (int n = 1; n <= 5; ++n) {
            const TFakeRequest& request = server.Requests()[before + std::size_t(n) - 1];
            SCOPED_TRACE(n);
            if (n == 1) {
                EXPECT_EQ(request.Method, "GET");
                EXPECT_EQ(request.Target, shape.firstTarget);
                EXPECT_EQ(request.Body, "");
            } else {
                EXPECT_EQ(request.Method, "POST");
                EXPECT_EQ(request.Target, shape.formTarget);
                EXPECT_EQ(request.Body, shape.body(n - 1));
                EXPECT_EQ(request.Header("content-type"), "application/x-www-form-urlencoded");
                EXPECT_EQ(request.Header("referer"),
                          server.Url(n == 2 ? shape.firstTarget : shape.formTarget));
            }
        }
        // The same day, the pages come from the cache.
        Walk(engine.SENAME, "red shoes", 50);
        EXPECT_EQ(server.RequestCount(), before + 5);
    }
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
