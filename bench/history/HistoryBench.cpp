// The history's figures over generated daily scans (depth 100, full result lists):
//   - a year of 10 sites x 4 keywords x 8 engines on disk (goal < 300 MB), and the time each
//     pair's append takes;
//   - opening the History window for one keyword with 3 years x 8 engines (goal < 150 ms);
//   - CSV export of 1,000,000 history rows (goal < 3 s).
// The history's share of a cached depth-200 walk is measured beside the walk, in bench/scan.

#include "HistoryGenerator.h"

#include "history/CsvExport.h"
#include "history/HistoryWindow.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <memory>

using namespace quorvia;
using namespace quorvia::bench;

namespace {

QTemporaryDir& Folder() {
    static QTemporaryDir dir;
    return dir;
}

std::string PathOf(const char* name) {
    return Folder().path().toStdString() + "/" + name;
}

void BM_GenerateYear(benchmark::State& state) {
    const std::string path = PathOf("year.db");
    for (auto _ : state) {
        std::filesystem::remove(path);
        const auto start = std::chrono::steady_clock::now();
        long checks = 0;
        {
            THistoryStore store(path, nullptr);
            checks = GenerateHistory(store, THistoryShape{});
        } // closing folds the write-ahead log into the file
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.counters["checks"] = double(checks);
        state.counters["append_us_per_pair"] = seconds * 1e6 / double(checks);
        state.counters["file_MB"] = double(std::filesystem::file_size(path)) / 1e6;
    }
}

THistoryStore& ThreeYears() {
    static std::unique_ptr<THistoryStore> store = [] {
        auto made = std::make_unique<THistoryStore>(PathOf("three-years.db"), nullptr);
        GenerateHistory(*made, {.sites = 1, .keywords = 1, .engines = 8, .days = 3 * 365});
        return made;
    }();
    return *store;
}

void BM_OpenHistoryWindow(benchmark::State& state) {
    THistoryStore& store = ThreeYears();
    for (auto _ : state) {
        THistoryWindow window(nullptr, store, SiteName(0), KeywordText(0), EngineName(0),
                              Date(2026, 12, 10));
        window.SetRange(THistoryRange::All);
        window.show();
        benchmark::DoNotOptimize(window.grab()); // laid out and drawn once
    }
}

void BM_ExportMillionRows(benchmark::State& state) {
    static std::unique_ptr<THistoryStore> store = [] {
        auto made = std::make_unique<THistoryStore>(PathOf("million.db"), nullptr);
        GenerateHistory(*made, {.days = 782, .listsKept = false}); // 1,000,960 checks
        return made;
    }();
    const std::string csv = PathOf("history.csv");
    long rows = 0;
    for (auto _ : state) {
        ExportHistoryCsv(*store, std::nullopt, csv);
        state.PauseTiming();
        rows = 0;
        store->ForEachRow(std::nullopt, [&](const THistoryRow&) { ++rows; });
        state.ResumeTiming();
    }
    state.counters["rows"] = double(rows);
    state.counters["csv_MB"] = double(std::filesystem::file_size(csv)) / 1e6;
}

} // namespace

BENCHMARK(BM_GenerateYear)->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_OpenHistoryWindow)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ExportMillionRows)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
