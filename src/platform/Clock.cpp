#include "platform/Clock.h"

#include <chrono>
#include <ctime>

namespace quorvia::Clock {

namespace {
std::optional<Date> fixedToday;
}

Date Today() {
    if (fixedToday)
        return *fixedToday;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return Date(local.tm_year + 1900, unsigned(local.tm_mon + 1), unsigned(local.tm_mday));
}

void SetTodayForTesting(std::optional<Date> date) {
    fixedToday = date;
}

std::uint32_t TickCount() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

} // namespace quorvia::Clock
