#pragma once
// The one clock of the program: today's local date and a millisecond tick counter.
// Tests fix "today" so that bookkeeping over several days can be checked.

#include <cstdint>
#include <optional>

#include "platform/Date.h"

namespace quorvia::Clock {

// Today's date in local time, or the date set by SetTodayForTesting.
Date Today();
// Fixes Today() to a date; std::nullopt gives the real clock back.
void SetTodayForTesting(std::optional<Date> date);

// Milliseconds since an arbitrary start, wrapping at 2^32 like the system tick count.
std::uint32_t TickCount();

} // namespace quorvia::Clock
