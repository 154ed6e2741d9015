// The demo search engine behind `make demo`: a loopback server answering any query with
// realistic result pages in three markups, and the program folder that points Quorvia at it.
//   quorvia_demo_engine <program folder>
// It listens on 127.0.0.1 (a port the system picks), then writes into the folder SE.cds (three
// demo engines), a demo site with four keywords, yesterday's rankings of it, and set.ini with
// the site chosen and the engines ticked, and serves until it is ended.
//
// Every engine answers 10 results a page, 10 pages at most, with a next-page link. The demo
// site stands at positions that depend on engine, keyword and day, sometimes past depth 50,
// sometimes twice; so a scan today moves it against yesterday's records. A few pages come
// slowly.

#include "platform/Clock.h"
#include "platform/CommaText.h"
#include "platform/ProfileFile.h"
#include "store/Tables.h"

#include "support/FakeEngine.h"

#include <QCoreApplication>
#include <QDateTime>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

using namespace quorvia;
using quorvia::testing::TFakeEngine;
using quorvia::testing::TFakeReply;
using quorvia::testing::TFakeRequest;

namespace {

const char* const kSite = "www.quorvia-demo.example";
const std::vector<std::string> kKeywords = {"red shoes", "running shoes", "leather boots",
                                            "shoe repair"};
const int kDepth = 50; // the window's preset depth
const int kPages = 10;

struct TDemoEngine {
    const char* name;
    const char* path;      // the query path, the keyword after it
    const char* searchUrl; // prefix and the rest of the template; the next-page pattern follows
    const char* searchMask;
    const char* result; // printf format: address, title, text
    const char* next;   // printf format: keyword, page number (1-based)
};

const TDemoEngine kEngines[] = {
    {"Demo Web", "/web?q=", "/web?q=@@@", "<li class=\"result\"><a href=\"(https?://)?",
     "<li class=\"result\"><a href=\"%s\">%s</a><p>%s</p></li>\n",
     "<a class=\"next\" href=\"/web?q=%s&amp;page=%d\">Next</a>"},
    {"Demo Find", "/find?query=", "/find?query=@@@",
     "<div class=\"hit\"><h3>[^<]*</h3><cite>(https?://)?",
     "<div class=\"hit\"><h3>%2$s</h3><cite>%1$s</cite><span>%3$s</span></div>\n",
     "<a rel=\"next\" href=\"/find?query=%s&amp;page=%d\">More results</a>"},
    {"Demo Lookup", "/lookup?k=", "/lookup?k=@@@",
     "<tr class=\"row\"><td class=\"n\">\\d+\\.</td><td><a href=\"(https?://)?",
     "<tr class=\"row\"><td class=\"n\">#.</td><td><a href=\"%s\">%s</a><br>%s</td></tr>\n",
     "<a href=\"/lookup?k=%s&amp;page=%d\">&gt;&gt;</a>"},
};

const char* const kNextPatterns[] = {
    "<a class=\"next\" href=\"([^\"]+)\"",
    "<a rel=\"next\" href=\"([^\"]+)\"",
    "<a href=\"([^\"]+)\">&gt;&gt;</a>",
};

const char* const kHosts[] = {
    "www.shoe-planet.example",   "www.footwear-daily.example", "www.runners-corner.example",
    "shop.bootmakers.example",   "www.city-cobbler.example",   "www.sole-review.example",
    "www.stepwise.example",      "blog.sneakerhead.example",   "www.trail-gear.example",
    "www.fashion-finds.example", "www.leatherworks.example",   "www.kids-feet.example",
    "www.outlet-shoes.example",  "news.style-weekly.example",  "www.the-shoe-box.example",
};

// A stable hash of a text (FNV-1a), so positions do not change between runs of the demo.
std::uint32_t Hash(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text)
        h = (h ^ c) * 16777619u;
    return h;
}

// Where the demo site stands for an engine, keyword and day: 0 = not at all.
std::vector<int> SitePositions(int engine, const std::string& keyword, const Date& day) {
    const std::uint32_t h = Hash(std::to_string(engine) + keyword + day.ToIso());
    const int first = int(h % 64) + 1; // past 50 about one time in five
    std::vector<int> positions{first};
    if (h % 5 == 0 && first + 7 <= kPages * 10)
        positions.push_back(first + 7); // a second page of the site further down
    return positions;
}

// The keyword of a query form, and the keyword as a path word.
std::string Replaced(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}
std::string Decode(const std::string& query) {
    return Replaced(query, '+', ' ');
}
std::string Slug(const std::string& keyword) {
    return Replaced(keyword, ' ', '-');
}

std::string Page(int engine, const std::string& query, int page) {
    const TDemoEngine& e = kEngines[engine];
    const std::string keyword = Decode(query);
    const std::vector<int> site = SitePositions(engine, keyword, Clock::Today());
    std::string body = "<!DOCTYPE html>\n<html><head><title>" + keyword + " - " + e.name +
                       "</title></head><body>\n<h1>" + e.name + "</h1>\n";
    char line[1024];
    for (int position = (page - 1) * 10 + 1; position <= page * 10; ++position) {
        std::string address, title;
        if (std::find(site.begin(), site.end(), position) != site.end()) {
            address = std::string("https://") + kSite +
                      (position == site[0] ? "/" : "/shoes/" + Slug(keyword) + ".html");
            title = "Quorvia Demo Shoes - " + keyword;
        } else {
            const std::uint32_t h = Hash(keyword + std::to_string(position) + e.name);
            address = std::string("https://") + kHosts[h % std::size(kHosts)] + "/" +
                      std::to_string(h % 9000 + 1000) + "/" + Slug(keyword);
            title = keyword + " | result " + std::to_string(position);
        }
        std::snprintf(line, sizeof line, e.result, address.c_str(), title.c_str(),
                      ("Everything about " + keyword + ": prices, sizes and reviews.").c_str());
        std::string row = line;
        if (const std::size_t mark = row.find("#."); mark != std::string::npos)
            row.replace(mark, 1, std::to_string(position));
        body += row;
    }
    if (page < kPages) {
        std::snprintf(line, sizeof line, e.next, query.c_str(), page + 1);
        body += line;
    }
    return body + "\n</body></html>\n";
}

TFakeReply Answer(const TFakeRequest& request) {
    for (int engine = 0; engine < int(std::size(kEngines)); ++engine) {
        const std::string path = kEngines[engine].path;
        if (!request.Target.starts_with(path))
            continue;
        std::string query = request.Target.substr(path.size());
        int page = 1;
        if (const std::size_t at = query.find("&page="); at != std::string::npos) {
            page = std::max(1, std::atoi(query.c_str() + at + 6));
            query.erase(at);
        }
        TFakeReply reply = TFakeReply::Page(Page(engine, query, page), 200, "OK",
                                            {"Content-Type: text/html; charset=utf-8"});
        if (Hash(request.Target) % 6 == 0)
            reply.Drip(400, 150); // a slow page, a second or two
        return reply;
    }
    return TFakeReply::Page("<html><body>Not here.</body></html>", 404, "Not Found");
}

void WriteFolder(const std::string& folder, const std::string& origin) {
    TTables tables;
    TClientDataSet& engines = tables.SE_ClientDataSet;
    std::vector<std::string> names;
    for (std::size_t i = 0; i < std::size(kEngines); ++i) {
        engines.Append();
        engines.FieldByName("SENAME").SetAsString(kEngines[i].name);
        engines.FieldByName("MainURL").SetAsString(origin + "/");
        engines.FieldByName("SearchURL")
            .SetAsString(origin + "\",\"" + kEngines[i].searchUrl + "\",\"" + kNextPatterns[i]);
        engines.FieldByName("SearchMask").SetAsString(kEngines[i].searchMask);
        engines.Post();
        names.push_back(kEngines[i].name);
    }
    TClientDataSet& sites = tables.WebSiteClientDataSet;
    sites.Append();
    sites.FieldByName("SiteName").SetAsString(kSite);
    sites.Post();
    TClientDataSet& words = tables.WordClientDataSet;
    words.Append();
    for (std::size_t i = 0; i < kKeywords.size(); ++i)
        words.FieldByName("Word" + std::to_string(i + 1)).SetAsString(kKeywords[i]);
    words.Post();
    // Yesterday's scan, as the bookkeeping would have left it: today's differs.
    const Date yesterday(Clock::Today().Days() - std::chrono::days(1));
    TClientDataSet& rankings = tables.SECacheClientDataSet;
    for (int engine = 0; engine < int(std::size(kEngines)); ++engine)
        for (const std::string& keyword : kKeywords) {
            const std::vector<int> positions = SitePositions(engine, keyword, yesterday);
            for (int position : positions) {
                rankings.Append();
                rankings.FieldByName("SENAME").SetAsString(kEngines[engine].name);
                rankings.FieldByName("Keyword").SetAsString(keyword);
                if (position > kDepth) {
                    rankings.FieldByName("url").SetAsString("Not in first " +
                                                            std::to_string(kDepth) + " results");
                    rankings.Post();
                    break;
                }
                rankings.FieldByName("url").SetAsString(
                    std::string("http://") + kSite +
                    (position == positions[0] ? "" : "/shoes/" + Slug(keyword) + ".html"));
                for (const char* field : {"Position", "BestPosition"})
                    rankings.FieldByName(field).SetAsInteger(position);
                for (const char* field : {"Page", "BestPage"})
                    rankings.FieldByName(field).SetAsInteger((position - 1) / 10 + 1);
                for (const char* field : {"DT", "DTBest"})
                    rankings.FieldByName(field).SetAsDate(yesterday);
                rankings.Post();
            }
        }
    const std::pair<TClientDataSet*, const char*> files[] = {{&engines, "SE.cds"},
                                                             {&sites, "WebSite.cds"},
                                                             {&words, "Word.cds"},
                                                             {&rankings, "SECache.cds"}};
    for (const auto& [table, file] : files)
        SaveDataSet(*table, folder + "/" + file);
    ProfileFile ini(folder + "/set.ini");
    ini.WriteString("TMainForm", "WebSite", kSite);
    ini.WriteString("TMainForm", "SEs", JoinCommaText(names));
    // Walk each engine to the depth, so that second pages of the site show too.
    ini.WriteString("TMainForm", "ScanForFirstTBXCheckBox_Checked", "False");
    ini.WriteInteger("inet", "ConnectType", 1); // straight to loopback, whatever the proxy
    ini.WriteInteger("inet", "timeout", 10);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2 || !std::filesystem::is_directory(argv[1])) {
        std::fprintf(stderr, "usage: %s <program folder>\n", argv[0]);
        return 2;
    }
    TFakeEngine server;
    server.SetHandler(Answer);
    try {
        WriteFolder(argv[1], server.Origin());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::printf("Demo engines at %s, program folder %s\n", server.Origin().c_str(), argv[1]);
    std::fflush(stdout);
    return app.exec();
}
