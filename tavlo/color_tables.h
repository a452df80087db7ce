#pragma once

// The library's fixed colour tables. Internal.

#include <array>
#include <cstdint>

namespace tavlo::internal {

// The palette that every opening installs: entries 0-15 are the sixteen classic colours, then a
// grey ramp, hue wheels at three saturations and three brightnesses, and black from 247 on.
// Colour values, red in the low byte.
extern const std::array<std::uint32_t, 256> kDefaultPalette;
// What the 256 named colours stand for, as colour values; 12 is black and 250 is white.
extern const std::array<std::uint32_t, 256> kNamedColorRgb;

}  // namespace tavlo::internal
