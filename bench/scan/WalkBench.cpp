// One engine-and-keyword walk to depth 200 over 20 result pages of 10 results, every page
// from today's cache: the matchers, the snippets, the link extraction and site test, the
// cache reads and the bookkeeping of a pair, without the network. The site is met twice.
// Pages are about 24 KB, roughly what an engine sends. Goal: under 20 ms a pair.
// The same walk again with the ranking history kept: the pair and its 200 results appended
// to a history file each time. Goal: less than 10 % added.

#include "engine/PageCache.h"
#include "engine/ResultPageWalk.h"
#include "history/HistoryRecorder.h"
#include "net/PageFetcher.h"
#include "store/Tables.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <stdexcept>

using namespace quorvia;

namespace {

constexpr int kPages = 20, kResultsPerPage = 10, kDepth = 200;
const std::string kEngine = "Bench Engine", kKeyword = "red shoes";

class TQuietWindow : public IScanWindow {
public:
    void SetStatusText(const std::string&) override {}
    void SetGaugeEnabled(bool) override {}
    void SetGaugePosition(int) override {}
    void LogError(const std::string& message) override { throw std::runtime_error(message); }
    void ClearLog() override {}
    void ProcessMessages() override {}
    std::string SelectedSiteName() const override { return "site.example"; }
    bool ScanForFirst() const override { return false; }
    std::vector<std::string> CheckedEngineNames() const override { return {kEngine}; }
    std::vector<bool> DepthButtonsChosen() const override { return {}; }
    void RefreshResults() override {}
};

std::string Page(int index) {
    std::string page = "<html><head><title>red shoes - Search</title><style>" +
                       std::string(4000, ' ') + "</style><script>" + std::string(6000, 'x') +
                       "</script></head><body><div id=\"results\">\n";
    for (int r = 1; r <= kResultsPerPage; ++r) {
        const int position = index * kResultsPerPage + r;
        const std::string link = position == 57 || position == 163
                                     ? "http://www.site.example/shoes/" + std::to_string(position)
                                     : "http://shop" + std::to_string(position) + ".example/red";
        page += "<div class=\"result\"><h3><a href=\"" + link + "\">Red <b>shoes</b> at shop " +
                std::to_string(position) + "</a></h3><p class=\"snippet\">" +
                std::string(900, 's') + "</p><cite>" + link + "</cite></div>\n";
    }
    page += "</div><a class=\"next\" href=\"/search?q=red+shoes&amp;start=" +
            std::to_string((index + 1) * kResultsPerPage) + "\">Next</a>" + std::string(3000, ' ') +
            "</body></html>\n";
    return page;
}

struct TFixture {
    TFixture() {
        SetCacheRoot(dir.path().toStdString() + "/Cache");
        CreateCacheFolder();
        for (int i = 0; i < kPages; ++i)
            WriteCachedPage(kEngine, "red+shoes", Page(i), i);

        TClientDataSet& engines = tables.SE_ClientDataSet;
        engines.Append();
        engines.FieldByName("SENAME").SetAsString(kEngine);
        engines.FieldByName("MainURL").SetAsString("http://127.0.0.1:9/");
        engines.FieldByName("SearchURL")
            .SetAsString("http://127.0.0.1:9\",\"/search?q=@@@\",\"<a class=\"next\" "
                         "href=\"([^\"]+)\">Next");
        engines.FieldByName("SearchMask").SetAsString("<div class=\"result\">");
        engines.Post();
        tables.WebSiteClientDataSet.Append();
        tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString("site.example");
        tables.WebSiteClientDataSet.Post();
    }
    QTemporaryDir dir;
    TTables tables;
    TQuietWindow window;
    std::vector<std::string> badHtml;
};

void BM_CachedWalkDepth200(benchmark::State& state) {
    TFixture f;
    const bool keepHistory = state.range(0) != 0;
    THistoryStore history(f.dir.path().toStdString() + "/History.db", nullptr);
    std::string historyFailure;
    THistoryRecorder recorder(&history,
                              [&](const std::string& message) { historyFailure = message; });
    TScanContext scan{f.window, f.tables, f.badHtml, keepHistory ? &recorder : nullptr};
    StopRequested = false;
    for (auto _ : state) {
        int done = 0;
        CheckEngineKeyword(scan, kEngine, kKeyword, kDepth, done, kDepth);
        if (done != kDepth)
            state.SkipWithError("the walk did not reach the depth from the cache");
    }
    if (!historyFailure.empty())
        state.SkipWithError(historyFailure.c_str());
    state.counters["records"] = double(f.tables.SECacheClientDataSet.RecordCount());
}

} // namespace

BENCHMARK(BM_CachedWalkDepth200)->ArgName("history")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
