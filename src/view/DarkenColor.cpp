#include "view/DarkenColor.h"

#include <algorithm>

namespace quorvia {

RgbColor DarkenColor(RgbColor color, int percent) {
    percent = std::clamp(percent, 0, 100);
    auto darken = [percent](std::uint8_t c) { return std::uint8_t(c - (c * percent + 50) / 100); };
    return {darken(color.red), darken(color.green), darken(color.blue)};
}

} // namespace quorvia
