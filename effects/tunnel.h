#pragma once

#include <cstdint>

namespace tavlo::effects {

// The grey level that ramp step t (from 2 on) gives palette entry t - 2:
// 4 times (t - 2) / 3 truncated toward zero, the division in extended precision.
std::int32_t TunnelRampGrey(std::int32_t t);

// The angle of the cell at offset (x, y) from the grid's centre, about -atan2(y, x) (the guard
// 0.000001 keeps every divisor non-zero), computed in extended precision and kept as a double.
double TunnelAngle(std::int32_t x, std::int32_t y);

// The colour of the cell at offset (x, y) in the tunnel frame drawn at step t: the XOR of the
// low six bits of the distance and angle textures, scaled by 0.00003 times the squared distance
// and truncated toward zero.
std::uint8_t TunnelColor(std::int32_t x, std::int32_t y, std::int32_t t);

}  // namespace tavlo::effects
