// Times our matcher and PCRE2's interpreter on the searches a scan makes: stepping a result
// pattern through a 200 KB page of 100 results, one next-page search over that page, a lazy
// next-page search over the same page without a next link (the last page of every walk), and
// the two address patterns over 1,000 result snippets. Prints time per input and the ratio.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/TRegExpr.h"

namespace {

const char* const kResultPattern = "<li class=\"res\"><h3><a href=\"";
const char* const kNextPattern = "<a class=\"next\" href=\"([^\"]*)\">";
const char* const kLazyNextPattern = "href=\"(.*?)\">Next";
const char* const kAbsolutePattern =
    "(?i)(FTP|HTTP)://([_a-z\\d\\-]+(\\.[_a-z\\d\\-]+)+)((/[_a-z\\?\\=\\%\\&\\d\\-\\\\\\./~]+)+)*";
const char* const kBarePattern =
    "(?i)([_a-z\\d\\-]+(\\.[_a-z\\d\\-]+)+)((/[_a-z\\?\\=\\%\\&\\d\\-\\\\\\./~]+)+)*";

std::string Snippet(int i) {
    const std::string host = "www.site" + std::to_string(i) + ".example.com";
    std::string s = "http://\">Result <b>number</b> " + std::to_string(i) + "</a></h3>";
    s += "<div class=\"abs\">Some words about <b>widgets</b> and gadgets, &nbsp;with prices "
         "and reviews; see also the shop. Lorem ipsum dolor sit amet, consectetur adipiscing "
         "elit, sed do eiusmod tempor incididunt ut labore et dolore magna aliqua.</div>";
    s += "<cite>" + host + "/dir/page" + std::to_string(i) + ".html?x=1&amp;y=2</cite>";
    s += "<a href=\"http://" + host + "/dir/page" + std::to_string(i) +
         ".html\" class=\"more\">More</a> <span>Cached - Similar pages</span></li>\n";
    return s;
}

// A result page of about 200 KB: a head full of markup, then 100 results padded to size.
const std::string& Page() {
    static const std::string page = [] {
        std::string p = "<html><head><title>results</title><style>";
        for (int i = 0; i < 200; ++i)
            p += "<!-- .c" + std::to_string(i) + " { color: #333; margin: 0 } -->\n";
        p += "</style></head><body><ul>\n";
        std::string pad;
        for (int i = 0; i < 21; ++i)
            pad += "<span class=\"x\"><a href=\"/related?q=" + std::to_string(i) +
                   "\">related</a></span> <i>info</i>\n";
        for (int i = 0; i < 100; ++i)
            p += std::string(kResultPattern) + Snippet(i).substr(7) + pad;
        p += "</ul><div class=\"nav\"><a href=\"/s?q=a\">1</a> <a class=\"next\" "
             "href=\"/s?q=widgets&amp;start=10\">Next</a></div></body></html>\n";
        return p;
    }();
    return page;
}

// The same page as the last of a walk shows it: no next link.
const std::string& LastPage() {
    static const std::string page = [] {
        std::string p = Page();
        const std::size_t next = p.rfind("\">Next</a>");
        return p.replace(next, 10, "\">Last</a>");
    }();
    return page;
}

const std::vector<std::string>& Snippets() {
    static const std::vector<std::string> snippets = [] {
        std::vector<std::string> s;
        for (int i = 0; i < 1000; ++i)
            s.push_back(Snippet(i));
        return s;
    }();
    return snippets;
}

class Pcre {
public:
    explicit Pcre(const char* pattern) {
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED,
                              PCRE2_DOTALL, &error, &offset, nullptr);
        if (!code_)
            throw std::runtime_error("pcre2_compile failed");
        data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    }
    ~Pcre() {
        pcre2_match_data_free(data_);
        pcre2_code_free(code_);
    }
    // Start of the match at or after `from`, or -1.
    long Find(const std::string& text, std::size_t from, std::size_t& end) {
        const int rc = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(),
                                   from, 0, data_, nullptr);
        if (rc < 0)
            return -1;
        const PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data_);
        end = ov[1];
        return long(ov[0]);
    }

private:
    pcre2_code* code_ = nullptr;
    pcre2_match_data* data_ = nullptr;
};

void StepResultsOurs(benchmark::State& state) {
    quorvia::TRegExpr re(kResultPattern);
    for (auto _ : state) {
        int n = 0;
        for (bool f = re.FindFirst(Page()); f; f = re.FindNext())
            ++n;
        if (n != 100)
            state.SkipWithError("wrong count");
    }
}
void StepResultsPcre(benchmark::State& state) {
    Pcre re(kResultPattern);
    for (auto _ : state) {
        int n = 0;
        std::size_t end = 0;
        for (long at = re.Find(Page(), 0, end); at >= 0; at = re.Find(Page(), end, end))
            ++n;
        if (n != 100)
            state.SkipWithError("wrong count");
    }
}
void NextPageOurs(benchmark::State& state) {
    quorvia::TRegExpr re(kNextPattern);
    for (auto _ : state)
        if (!re.FindFirst(Page()) || re.Match(1) != "/s?q=widgets&amp;start=10")
            state.SkipWithError("no next page");
}
void NextPagePcre(benchmark::State& state) {
    Pcre re(kNextPattern);
    std::size_t end = 0;
    for (auto _ : state)
        if (re.Find(Page(), 0, end) < 0)
            state.SkipWithError("no next page");
}
void NoNextPageOurs(benchmark::State& state) {
    quorvia::TRegExpr re(kLazyNextPattern);
    for (auto _ : state)
        if (re.FindFirst(LastPage()))
            state.SkipWithError("a next page found");
}
void NoNextPagePcre(benchmark::State& state) {
    Pcre re(kLazyNextPattern);
    std::size_t end = 0;
    for (auto _ : state)
        if (re.Find(LastPage(), 0, end) >= 0)
            state.SkipWithError("a next page found");
}
void AddressesOurs(benchmark::State& state) {
    quorvia::TRegExpr absolute(kAbsolutePattern), bare(kBarePattern);
    for (auto _ : state)
        for (const std::string& s : Snippets()) {
            benchmark::DoNotOptimize(absolute.FindFirst(s));
            benchmark::DoNotOptimize(bare.FindFirst(s));
        }
}
void AddressesPcre(benchmark::State& state) {
    Pcre absolute(kAbsolutePattern), bare(kBarePattern);
    std::size_t end = 0;
    for (auto _ : state)
        for (const std::string& s : Snippets()) {
            benchmark::DoNotOptimize(absolute.Find(s, 0, end));
            benchmark::DoNotOptimize(bare.Find(s, 0, end));
        }
}

BENCHMARK(StepResultsOurs);
BENCHMARK(StepResultsPcre);
BENCHMARK(NextPageOurs);
BENCHMARK(NextPagePcre);
BENCHMARK(NoNextPageOurs);
BENCHMARK(NoNextPagePcre);
BENCHMARK(AddressesOurs);
BENCHMARK(AddressesPcre);

// Collects the CPU time of each benchmark to print the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            times_[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        struct Row {
            const char* label;
            const char* ours;
            const char* pcre;
            double inputs;
        };
        const Row rows[] = {
            {"step result pattern, per 200 KB page", "StepResultsOurs", "StepResultsPcre", 1},
            {"next-page pattern, per 200 KB page", "NextPageOurs", "NextPagePcre", 1},
            {"lazy next-page pattern, no next link", "NoNextPageOurs", "NoNextPagePcre", 1},
            {"two address patterns, per snippet", "AddressesOurs", "AddressesPcre", 1000},
        };
        std::printf("\n%-40s %12s %12s %8s\n", "input", "ours", "PCRE2", "ratio");
        for (const Row& row : rows) {
            const double ours = times_[row.ours] / row.inputs;
            const double pcre = times_[row.pcre] / row.inputs;
            std::printf("%-40s %10.0fns %10.0fns %8.2f\n", row.label, ours, pcre, ours / pcre);
        }
    }

private:
    std::map<std::string, double> times_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    std::printf("page: %zu bytes\n", Page().size());
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
