#pragma once
// A calendar date without a time of day. The zero date is 1899-12-30; a null date is a
// separate state that tables keep beside the value, not a special Date.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace quorvia {

class Date {
public:
    constexpr Date() = default; // the zero date
    constexpr Date(int year, unsigned month, unsigned day)
        : days_(std::chrono::sys_days(std::chrono::year_month_day(
              std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)))) {}
    constexpr explicit Date(std::chrono::sys_days days) : days_(days) {}

    constexpr std::chrono::sys_days Days() const { return days_; }
    std::chrono::year_month_day Ymd() const { return std::chrono::year_month_day(days_); }
    int Year() const { return int(Ymd().year()); }
    unsigned Month() const { return unsigned(Ymd().month()); }
    unsigned Day() const { return unsigned(Ymd().day()); }

    // "YYYY-MM-DD"
    std::string ToIso() const;
    // Parses "YYYY-MM-DD"; nothing for any other text or an impossible date.
    static std::optional<Date> FromIso(std::string_view text);

    constexpr auto operator<=>(const Date&) const = default;

private:
    std::chrono::sys_days days_ =
        std::chrono::sys_days(std::chrono::year(1899) / std::chrono::December / 30);
};

} // namespace quorvia
