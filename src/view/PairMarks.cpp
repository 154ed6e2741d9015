#include "view/PairMarks.h"

namespace quorvia {

void TPairMarks::PairEnded(std::string_view site, std::string_view engine, std::string_view keyword,
                           std::string_view failure) {
    Key key{std::string(site), std::string(engine), std::string(keyword)};
    if (failure.empty())
        failures_.erase(key);
    else
        failures_[std::move(key)] = std::string(failure);
}

const std::string* TPairMarks::Failure(std::string_view site, std::string_view engine,
                                       std::string_view keyword) const {
    const auto found = failures_.find(std::tuple(site, engine, keyword));
    return found == failures_.end() ? nullptr : &found->second;
}

std::vector<std::string> TPairMarks::Keywords(std::string_view site,
                                              std::string_view engine) const {
    std::vector<std::string> keywords;
    for (const auto& [key, failure] : failures_)
        if (std::get<0>(key) == site && std::get<1>(key) == engine)
            keywords.push_back(std::get<2>(key));
    return keywords;
}

std::vector<std::string> TPairMarks::Engines(std::string_view site) const {
    std::vector<std::string> engines;
    for (const auto& [key, failure] : failures_)
        if (std::get<0>(key) == site && (engines.empty() || engines.back() != std::get<1>(key)))
            engines.push_back(std::get<1>(key));
    return engines;
}

} // namespace quorvia
