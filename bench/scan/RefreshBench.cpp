// RefreshResults at the size of a large site: 10,000 ranking records (50 engines x 4 keywords x
// 50 found pages), every engine ticked. Once with a fixed-width measure, which times the rebuild
// itself, and once measuring in the grid's font as the window does.
#include "view/ResultsViewBuilder.h"

#include <benchmark/benchmark.h>

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <random>

using namespace quorvia;

namespace {

constexpr int kEngines = 50, kKeywords = 4, kPagesPerPair = 50;
const char* const kSite = "www.shoes.example";

struct Fixture {
    explicit Fixture(TResultsViewBuilder::TextWidthFunction measure)
        : builder(tables, std::move(measure)) {
        tables.WebSiteClientDataSet.Append();
        tables.WebSiteClientDataSet.FieldByName("SiteName").SetAsString(kSite);
        tables.WebSiteClientDataSet.Post();
        tables.WordClientDataSet.Append();
        for (int k = 0; k < kKeywords; ++k)
            tables.WordClientDataSet.FieldByName("Word" + std::to_string(k + 1))
                .SetAsString("key phrase " + std::to_string(k));
        tables.WordClientDataSet.Post();

        std::mt19937 random(7);
        std::uniform_int_distribution<int> position(1, 200), change(-30, 30);
        TClientDataSet& records = tables.SECacheClientDataSet;
        for (int e = 0; e < kEngines; ++e) {
            const std::string engine = "Engine " + std::to_string(100 + e);
            engines.push_back({engine, true});
            for (int k = 0; k < kKeywords; ++k)
                for (int p = 0; p < kPagesPerPair; ++p) {
                    const int at = position(random);
                    records.Append();
                    records.FieldByName("SENAME").SetAsString(engine);
                    records.FieldByName("Keyword").SetAsString("key phrase " + std::to_string(k));
                    records.FieldByName("url").SetAsString("http://www.shoes.example/page" +
                                                           std::to_string(p) + ".html");
                    records.FieldByName("Position").SetAsInteger(at);
                    records.FieldByName("Page").SetAsInteger((at + 9) / 10);
                    records.FieldByName("LastPosition").SetAsInteger(position(random));
                    records.FieldByName("BestPosition")
                        .SetAsInteger(std::min(at, position(random)));
                    records.FieldByName("ChangePosition").SetAsInteger(change(random));
                    records.FieldByName("ChangePage").SetAsInteger(0);
                    records.FieldByName("DT").SetAsDate(Date(2026, 12, 11));
                    records.Post();
                }
        }
    }

    void Run(benchmark::State& state) {
        for (auto _ : state) {
            builder.RefreshResults(kSite, engines);
            benchmark::DoNotOptimize(tables.ResClientDataSet.RecordCount());
        }
        state.counters["rows"] = tables.ResClientDataSet.RecordCount();
    }

    TTables tables;
    TResultsViewBuilder builder;
    std::vector<TEngineListItem> engines;
};

void BM_RefreshResults(benchmark::State& state) {
    Fixture fixture([](std::string_view text) { return int(text.size()) * 6; });
    fixture.Run(state);
}
BENCHMARK(BM_RefreshResults)->Unit(benchmark::kMillisecond);

void BM_RefreshResultsMeasuredInTheGridFont(benchmark::State& state) {
    QFont font;
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    const QFontMetrics metrics(font);
    Fixture fixture([&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), qsizetype(text.size())));
    });
    fixture.Run(state);
}
BENCHMARK(BM_RefreshResultsMeasuredInTheGridFont)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Font metrics need a GUI application; no display is needed for them.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
