// The record store at the size of a large ranking history: 100,000 SECache records
// (100 sites x 10 engines x 10 keywords x 10 pages). Saves and loads the file, walks every
// site's pairs through the master link and the pair filter, and locates records on the four
// sort fields (binary search) against a locate on a field outside the sort order (a scan).
#include "store/Tables.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <random>

using namespace quorvia;

namespace {

constexpr int kSites = 100, kEngines = 10, kKeywords = 10, kPages = 10;

std::string SiteName(int s) {
    return "site" + std::to_string(s) + ".example.com";
}
std::string Engine(int e) {
    return "Engine " + std::to_string(e);
}
std::string Keyword(int k) {
    return "key phrase " + std::to_string(k);
}
std::string Url(int s, int p) {
    return "http://" + SiteName(s) + "/page" + std::to_string(p) + ".html";
}

struct Fixture {
    Fixture() {
        TClientDataSet& sites = tables.WebSiteClientDataSet;
        TClientDataSet& cache = tables.SECacheClientDataSet;
        for (int s = 0; s < kSites; ++s) {
            sites.Append();
            sites.FieldByName("SiteName").SetAsString(SiteName(s));
            sites.Post();
            for (int e = 0; e < kEngines; ++e)
                for (int k = 0; k < kKeywords; ++k)
                    for (int p = 0; p < kPages; ++p) {
                        cache.Append();
                        cache.FieldByName("SENAME").SetAsString(Engine(e));
                        cache.FieldByName("Keyword").SetAsString(Keyword(k));
                        cache.FieldByName("url").SetAsString(Url(s, p));
                        cache.FieldByName("Position").SetAsInteger(p + 1);
                        cache.FieldByName("BestPosition").SetAsInteger(p + 1);
                        cache.FieldByName("Page").SetAsInteger(1);
                        cache.FieldByName("DT").SetAsDate(Date(2026, 12, 10));
                        cache.Post(); // LastPosition and the rest stay null
                    }
        }
        path = dir.path().toStdString() + "/SECache.cds";
        SaveDataSet(cache, path);
    }
    QTemporaryDir dir;
    TTables tables;
    std::string path;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_Save100k(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state)
        SaveDataSet(f.tables.SECacheClientDataSet, f.path);
    state.counters["records"] = double(f.tables.SECacheClientDataSet.AllRecords().size());
}

void BM_Load100k(benchmark::State& state) {
    Fixture& f = Shared();
    TTables fresh;
    for (auto _ : state)
        fresh.SECacheClientDataSet.LoadFromFile(f.path);
    state.counters["records"] = double(fresh.SECacheClientDataSet.AllRecords().size());
}

// Every site, every engine and keyword: switch the pair filter on, walk its records.
void BM_WalkMasterLinkAndPairFilter(benchmark::State& state) {
    Fixture& f = Shared();
    TClientDataSet& sites = f.tables.WebSiteClientDataSet;
    TClientDataSet& cache = f.tables.SECacheClientDataSet;
    long long visited = 0;
    for (auto _ : state) {
        for (sites.First(); !sites.Eof(); sites.Next())
            for (int e = 0; e < kEngines; ++e)
                for (int k = 0; k < kKeywords; ++k) {
                    cache.SetFilter(PairFilter(Engine(e), Keyword(k)));
                    cache.SetFiltered(true);
                    for (cache.First(); !cache.Eof(); cache.Next()) {
                        benchmark::DoNotOptimize(cache.FieldByName("Position").AsInteger());
                        ++visited;
                    }
                    cache.SetFilter("");
                    cache.SetFiltered(false);
                }
    }
    state.counters["records/s"] = benchmark::Counter(double(visited), benchmark::Counter::kIsRate);
}

template <bool OnSortFields> void BM_Locate(benchmark::State& state) {
    Fixture& f = Shared();
    TClientDataSet& sites = f.tables.WebSiteClientDataSet;
    TClientDataSet& cache = f.tables.SECacheClientDataSet;
    cache.SetMaster(nullptr, ""); // all 100,000 records visible
    std::mt19937 gen(1);
    std::uniform_int_distribution<int> site(0, kSites - 1), small(0, 9);
    for (auto _ : state) {
        const int s = site(gen), e = small(gen), k = small(gen), p = small(gen);
        bool found = OnSortFields
                         ? cache.Locate("SiteName;SENAME;keyword;url",
                                        {SiteName(s), Engine(e), Keyword(k), Url(s, p)})
                         : cache.Locate("DTBest", {"2000-01-01"}); // absent: scans everything
        benchmark::DoNotOptimize(found);
    }
    cache.SetMaster(&sites, "SiteName");
}

} // namespace

BENCHMARK(BM_Save100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Load100k)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WalkMasterLinkAndPairFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Locate<true>)->Name("BM_LocateOnFourSortFields")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Locate<false>)->Name("BM_LocateOutsideSortOrder")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
