#pragma once
// Shading of grid rows: a colour made darker by a percentage of each component.

#include <compare>
#include <cstdint>

namespace quorvia {

struct RgbColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    constexpr auto operator<=>(const RgbColor&) const = default;
};

// Each component c becomes c - round(c * percent / 100), halves rounded up; percent is
// clamped to 0..100. White darkened by 7 is (237, 237, 237), by 3 (247, 247, 247).
RgbColor DarkenColor(RgbColor color, int percent);

} // namespace quorvia
