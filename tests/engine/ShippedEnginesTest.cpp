// Every shipped engine definition run over its sample result page (tests/data/engines/): the
// results it counts, the link it takes from each, and the next page's address.

#include "engine/EngineSource.h"
#include "engine/ResultLink.h"
#include "engine/ResultPageCheck.h"
#include "platform/ProgramFolder.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

using namespace quorvia;

namespace {

const std::string kSite = "www.sample-shop.example";

struct TSample {
    std::map<int, std::string> siteLinks; // position -> link; the others are www.other-<p>.example
    std::optional<std::string> next;
};

// Keyed by the definition's file name. Each page holds ten results for "red shoes".
const std::map<std::string, TSample> kSamples = {
    {"bing",
     {{{3, "http://www.sample-shop.example"}, {7, "http://www.sample-shop.example"}},
      "https://www.bing.com/search?q=red+shoes&first=11&FORM=PORE"}},
    {"yahoo",
     {{{2, "http://www.sample-shop.example"}},
      "https://search.yahoo.com/search?p=red+shoes&b=11&pz=10&bct=0&xargs=0"}},
    {"aol",
     {{{5, "http://www.sample-shop.example"}, {9, "http://www.sample-shop.example"}},
      "https://search.aol.com/aol/search?q=red+shoes&b=11&pz=10&bct=0"}},
    {"duckduckgo",
     {{{1, "http://www.sample-shop.example"},
       {6, "http://www.sample-shop.example/red-shoes/index.html"}},
      std::nullopt}},
    {"startpage", {{{4, "http://www.sample-shop.example"}}, std::nullopt}},
    {"mojeek",
     {{{8, "http://www.sample-shop.example"},
       {10, "http://www.sample-shop.example/red-shoes/index.html"}},
      "https://www.mojeek.com/search?q=red+shoes&s=11"}},
    {"brave",
     {{{2, "http://www.sample-shop.example"},
       {5, "http://www.sample-shop.example/red-shoes/index.html"}},
      "https://search.brave.com/search?q=red+shoes&offset=1&spellcheck=0"}},
    {"wiby", {{{6, "http://www.sample-shop.example"}}, "https://wiby.me/?q=red+shoes&p=2"}},
};

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::map<std::string, TEngineRecord> ShippedEngines() {
    std::map<std::string, TEngineRecord> engines;
    for (const auto& file : std::filesystem::directory_iterator(QUORVIA_ENGINE_SOURCES)) {
        if (file.path().extension() != ".txt")
            continue;
        const auto records = ReadEngineSource(file.path().string());
        EXPECT_EQ(records.size(), 1u) << file.path() << ": one engine per file";
        if (!records.empty())
            engines[file.path().stem().string()] = records[0];
    }
    return engines;
}

} // namespace

TEST(ShippedEngines, EachDefinitionReadsItsSamplePage) {
    const auto engines = ShippedEngines();
    std::set<std::string> withSample;
    for (const auto& [stem, engine] : engines) {
        SCOPED_TRACE(engine.SENAME);
        const auto sample = kSamples.find(stem);
        ASSERT_NE(sample, kSamples.end()) << stem << ".txt has no sample page";
        withSample.insert(stem);
        const DefinitionParts parts = SplitDefinition(engine.SearchURL, engine.SearchMask);
        EXPECT_TRUE(FirstQueryAddress(parts.queryTemplate, "red+shoes").starts_with("https://"));
        EXPECT_TRUE(engine.MainURL.starts_with("https://"));

        const std::string page =
            ReadWhole(std::filesystem::path(QUORVIA_SAMPLE_PAGES) / (stem + ".html"));
        ASSERT_FALSE(page.empty());
        const TPageCheck check = CheckResultPage(parts, page);
        ASSERT_EQ(check.results.size(), 10u);
        for (const TCheckedResult& result : check.results) {
            const auto site = sample->second.siteLinks.find(result.position);
            if (site != sample->second.siteLinks.end()) {
                EXPECT_EQ(result.link, site->second) << "position " << result.position;
                EXPECT_TRUE(IsSiteLink(kSite, result.link));
            } else {
                EXPECT_EQ(GetSiteKey(result.link),
                          "www.other-" + std::to_string(result.position) + ".example")
                    << "position " << result.position << ": " << result.link;
            }
            // The link is taken at the snippet's very start (every sample host has "www.").
            EXPECT_TRUE(StartsWithIgnoreAsciiCase(result.snippet, GetSiteKey(result.link)))
                << result.snippet.substr(0, 60);
        }
        EXPECT_EQ(check.nextAddress, sample->second.next);
    }
    EXPECT_EQ(withSample.size(), kSamples.size()) << "a sample without a shipped definition";
    EXPECT_GE(engines.size(), 6u);
}

TEST(ShippedEngines, ListsNameShippedEngines) {
    std::set<std::string> names;
    for (const auto& [stem, engine] : ShippedEngines())
        names.insert(engine.SENAME);
    for (const char* list : {"IntSe.lst", "badhtml.lst"}) {
        const auto lines = ReadLineList(std::string(QUORVIA_DATA_DIR) + "/" + list);
        EXPECT_FALSE(lines.empty()) << list;
        for (const std::string& line : lines)
            EXPECT_TRUE(names.contains(line)) << list << ": \"" << line << "\"";
    }
    for (const std::string& agent : ReadLineList(std::string(QUORVIA_DATA_DIR) + "/ua.lst"))
        EXPECT_TRUE(agent.starts_with("Mozilla/5.0 (") && Trim(agent) == agent) << agent;
}
