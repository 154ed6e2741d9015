#include "HistoryGenerator.h"

#include <algorithm>
#include <random>
#include <vector>

namespace quorvia::bench {

namespace {

constexpr int kPoolSize = 260; // competitor pages per keyword, over about 120 hosts

struct TPool {
    std::vector<std::string> links;
    // Per engine: the standing of each pool page, and of the site's page.
    std::vector<std::vector<double>> standing;
    std::vector<double> site;
};

} // namespace

std::string SiteName(int site) {
    return "www.site" + std::to_string(site + 1) + ".example";
}

std::string KeywordText(int keyword) {
    static const char* const words[] = {"red shoes",       "running shoes", "trail boots",
                                        "leather sandals", "kids sneakers", "shoe repair"};
    return words[keyword % 6] + (keyword >= 6 ? " " + std::to_string(keyword) : std::string());
}

std::string EngineName(int engine) {
    static const char* const names[] = {"Bing",  "Brave Search", "DuckDuckGo", "Mojeek",
                                        "Qwant", "Startpage",    "Wiby",       "Yahoo"};
    return engine < 8 ? names[engine] : "Engine " + std::to_string(engine + 1);
}

long GenerateHistory(THistoryStore& store, const THistoryShape& shape, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> drift(0.0, 0.6);
    std::uniform_real_distribution<double> start(0.0, 100.0);

    const int pairsPerEngine = shape.sites * shape.keywords;
    std::vector<TPool> pools(static_cast<std::size_t>(pairsPerEngine));
    for (int p = 0; p < pairsPerEngine; ++p) {
        TPool& pool = pools[std::size_t(p)];
        for (int i = 0; i < kPoolSize; ++i)
            pool.links.push_back("http://" + std::string(i % 3 ? "www." : "") + "shop" +
                                 std::to_string((p * 37 + i) % 900 / 2) + ".example/" +
                                 std::to_string(p) + "/item-" + std::to_string(i) + ".html");
        for (int e = 0; e < shape.engines; ++e) {
            std::vector<double> standing(kPoolSize);
            for (double& s : standing)
                s = start(random);
            pool.standing.push_back(std::move(standing));
            pool.site.push_back(start(random) * 0.35);
        }
    }

    long checks = 0;
    std::vector<int> order(kPoolSize);
    for (int day = shape.days - 1; day >= 0; --day) {
        const Date date(shape.lastDay.Days() - std::chrono::days(day));
        for (int e = 0; e < shape.engines; ++e)
            for (int p = 0; p < pairsPerEngine; ++p) {
                TPool& pool = pools[std::size_t(p)];
                std::vector<double>& standing = pool.standing[std::size_t(e)];
                for (double& s : standing)
                    s += drift(random);
                double& site = pool.site[std::size_t(e)];
                site = std::clamp(site + drift(random) * 2, 0.0, 140.0);

                TPairMeasurement m;
                m.siteName = SiteName(p / shape.keywords);
                m.engineName = EngineName(e);
                m.keyword = KeywordText(p % shape.keywords);
                m.depth = shape.depth;
                m.date = date;
                for (int i = 0; i < kPoolSize; ++i)
                    order[std::size_t(i)] = i;
                std::partial_sort(order.begin(), order.begin() + shape.depth, order.end(),
                                  [&](int a, int b) {
                                      return standing[std::size_t(a)] < standing[std::size_t(b)];
                                  });
                // The site takes the place its standing earns among the others.
                int sitePosition = 1;
                while (sitePosition <= shape.depth &&
                       standing[std::size_t(order[std::size_t(sitePosition - 1)])] < site)
                    ++sitePosition;
                const std::string siteLink = "http://" + m.siteName + "/" + std::to_string(p % 3);
                for (int position = 1, i = 0; position <= shape.depth; ++position) {
                    TResultEntry entry{position, (position - 1) / 10 + 1, {}};
                    if (position == sitePosition) {
                        entry.link = siteLink;
                        m.found.push_back(entry);
                    } else {
                        entry.link = pool.links[std::size_t(order[std::size_t(i++)])];
                    }
                    if (shape.listsKept)
                        m.results.push_back(std::move(entry));
                }
                store.Append(m);
                ++checks;
            }
    }
    return checks;
}

} // namespace quorvia::bench
