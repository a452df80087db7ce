#pragma once

#include <cstdint>

namespace tavlo::effects {

// The running colour after pixel (x, y) of a frame with random offset r, from the running colour
// c before it: ((c + r) XOR x XOR y) AND 255.
std::uint32_t PatternColor(std::uint32_t c, std::uint32_t r, std::int32_t x, std::int32_t y);

}  // namespace tavlo::effects
