#pragma once
// The engine-and-keyword pairs the last scan of a site could not check, each with the log
// line that told why. The grid marks their rows; a pair's mark goes when the pair is next
// checked. Kept for the run only: the ranking records are never touched by it.

#include <map>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace quorvia {

class TPairMarks {
public:
    // What a scan found for one pair of a site: checked when failure is empty.
    void PairEnded(std::string_view site, std::string_view engine, std::string_view keyword,
                   std::string_view failure);
    // The log line of a marked pair, or nullptr when the pair is not marked.
    const std::string* Failure(std::string_view site, std::string_view engine,
                               std::string_view keyword) const;
    // The marked keywords of one engine of a site, in keyword order.
    std::vector<std::string> Keywords(std::string_view site, std::string_view engine) const;
    // The engines of a site that have a marked pair, in name order.
    std::vector<std::string> Engines(std::string_view site) const;

private:
    using Key = std::tuple<std::string, std::string, std::string>; // site, engine, keyword
    std::map<Key, std::string, std::less<>> failures_;
};

} // namespace quorvia
