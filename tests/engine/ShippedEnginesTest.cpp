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
    std::optional<TPageRequest> next;
};

// Keyed by the definition's file name. Each page holds ten results for "red shoes".
const std::map<std::string, TSample> kSamples = {
    {"bing",
     {{{3, "http://www.sample-shop.example"}, {7, "http://www.sample-shop.example"}},
      GetRequest("https://www.bing.com/search?q=red+shoes&first=11&FORM=PORE")}},
    {"yahoo",
     {{{2, "http://www.sample-shop.example"}},
      GetRequest(
          "https://search.yahoo.com/search;_ylt=AwrPnx;_ylu=Y29sbwNncTE-?p=red+shoes&b=11&pz=10&"
          "bct=0&xargs=0")}},
    {"aol",
     {{{5, "http://www.sample-shop.example"}, {9, "http://www.sample-shop.example"}},
      GetRequest(
          "https://search.aol.com/aol/search;_ylt=AwrPnx;_ylu=Y29sbwNncTE-?q=red+shoes&b=11&pz=10&"
          "bct=0&xargs=0")}},
    {"duckduckgo",
     {{{1, "http://www.sample-shop.example"},
       {6, "http://www.sample-shop.example/red-shoes/index.html"}},
      TPageRequest{"https://html.duckduckgo.com/html/", true,
                   "q=red+shoes&s=10&nextParams=&v=l&o=json&dc=11&api=d.js&vqd=4-1234567890&"
                   "kl=wt-wt"}}},
    {"startpage",
     {{{4, "http://www.sample-shop.example"}},
      TPageRequest{"https://www.startpage.com/sp/search", true,
                   "lui=english&language=english&query=red+shoes&cat=web&sc=Xy12ab34Cd56Ef&pl=&"
                   "t=device&segment=startpage.udog&page=2&abd=0&abe=0&qsr=all&qadf=moderate&"
                   "with_date="}}},
    {"mojeek",
     {{{8, "http://www.sample-shop.example"},
       {10, "http://www.sample-shop.example/red-shoes/index.html"}},
      GetRequest("https://www.mojeek.com/search?q=red+shoes&s=11")}},
    {"brave",
     {{{2, "http://www.sample-shop.example"},
       {5, "http://www.sample-shop.example/red-shoes/index.html"}},
      GetRequest("https://search.brave.com/search?q=red+shoes&offset=1&spellcheck=0")}},
    {"wiby",
     {{{6, "http://www.sample-shop.example"}}, GetRequest("https://wiby.me/?q=red+shoes&p=2")}},
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

// The page as a code formatter lays it out: every attribute of a tag on a line of its own and
// the tag's ">" on the next line. Live pages come without that whitespace, but a definition
// has to read both forms.
std::string ReLaidOut(const std::string& page) {
    std::string out;
    bool inTag = false;
    char quote = 0;
    for (std::size_t i = 0; i < page.size(); ++i) {
        const char c = page[i];
        if (c == '<' && i + 1 < page.size() && page[i + 1] != '!')
            inTag = true;
        if (inTag && (c == '"' || c == '\''))
            quote = quote == 0 ? c : quote == c ? 0 : quote;
        if (quote != 0) {
            out += c;
            continue;
        }
        if (inTag && c == ' ') {
            out += "\n        ";
            continue;
        }
        if (inTag && c == '>') {
            out += "\n      ";
            inTag = false;
        }
        out += c;
    }
    return out;
}

void ExpectSampleResults(const DefinitionParts& parts, const std::string& page,
                         const TSample& sample) {
    const TPageCheck check = CheckResultPage(parts, page);
    ASSERT_EQ(check.results.size(), 10u);
    for (const TCheckedResult& result : check.results) {
        const auto site = sample.siteLinks.find(result.position);
        if (site != sample.siteLinks.end()) {
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
    EXPECT_EQ(check.next, sample.next);
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
        const DefinitionParts parts = SplitDefinition(engine);
        EXPECT_TRUE(FirstQueryAddress(parts.queryTemplate, "red+shoes").starts_with("https://"));
        EXPECT_TRUE(engine.MainURL.starts_with("https://"));

        const std::string page =
            ReadWhole(std::filesystem::path(QUORVIA_SAMPLE_PAGES) / (stem + ".html"));
        ASSERT_FALSE(page.empty());
        {
            SCOPED_TRACE("as served");
            ExpectSampleResults(parts, page, sample->second);
        }
        {
            SCOPED_TRACE("re-laid-out");
            ExpectSampleResults(parts, ReLaidOut(page), sample->second);
        }
    }
    EXPECT_EQ(withSample.size(), kSamples.size()) << "a sample without a shipped definition";
    EXPECT_GE(engines.size(), 6u);
}

// Older Bing pages had result blocks without the displayed address the pattern runs on to; the
// lazy part of the pattern then took the next block's address and every later rank shifted.
TEST(ShippedEngines, AResultWithoutItsAddressKeepsTheRanksAfterIt) {
    const TEngineRecord bing = ShippedEngines().at("bing");
    const DefinitionParts parts = SplitDefinition(bing);
    // The Bing sample with the displayed address (<cite>...</cite>) of result 4 taken out.
    std::string page = ReadWhole(std::filesystem::path(QUORVIA_SAMPLE_PAGES) / "bing.html");
    std::size_t block = 0;
    for (int n = 0; n < 4; ++n)
        block = page.find("<li class=\"b_algo", block + 1);
    const std::size_t cite = page.find("<cite>", block);
    const std::size_t citeEnd = page.find("</cite>", cite);
    ASSERT_LT(citeEnd, page.find("<li class=\"b_algo", block + 1));
    page.erase(cite, citeEnd + 7 - cite);
    const TPageCheck check = CheckResultPage(parts, page);
    ASSERT_EQ(check.results.size(), 10u);
    for (const TCheckedResult& result : check.results) {
        SCOPED_TRACE(result.position);
        EXPECT_EQ(result.cut, result.position == 4);
        if (result.position == 4)
            EXPECT_EQ(result.link, "");
        else if (result.position == 3 || result.position == 7)
            EXPECT_EQ(result.link, "http://www.sample-shop.example");
        else
            EXPECT_EQ(GetSiteKey(result.link),
                      "www.other-" + std::to_string(result.position) + ".example");
    }
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
