#include "platform/Date.h"

#include <charconv>
#include <cstdio>

namespace quorvia {

std::string Date::ToIso() const {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", Year(), Month(), Day());
    return buf;
}

std::optional<Date> Date::FromIso(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    auto number = [&](std::size_t pos, std::size_t len, int& out) {
        for (std::size_t i = pos; i < pos + len; ++i)
            if (text[i] < '0' || text[i] > '9')
                return false;
        std::from_chars(text.data() + pos, text.data() + pos + len, out);
        return true;
    };
    int y = 0, m = 0, d = 0;
    if (!number(0, 4, y) || !number(5, 2, m) || !number(8, 2, d))
        return std::nullopt;
    const std::chrono::year_month_day ymd{std::chrono::year(y), std::chrono::month(unsigned(m)),
                                          std::chrono::day(unsigned(d))};
    if (!ymd.ok())
        return std::nullopt;
    return Date(std::chrono::sys_days(ymd));
}

} // namespace quorvia
