#pragma once

#include <cstdint>

namespace tavlo::effects {

// The colour of cell (x, y) in the plasma frame drawn with counter t (0 to 255): the low byte of
// (x - t) AND (y + t) AND (x + t) AND (y - t) on 32-bit two's-complement values.
std::uint8_t PlasmaColor(std::int32_t x, std::int32_t y, std::int32_t t);

}  // namespace tavlo::effects
