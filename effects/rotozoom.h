#pragma once

#include <cstdint>

namespace tavlo::effects {

// The rotation coefficients of one rotozoom frame: 128 |sin a| cos a and 128 |sin a| sin a,
// each rounded to the nearest integer with ties to even.
struct RotozoomCoefficients {
  std::int32_t a = 0;
  std::int32_t b = 0;
  friend constexpr bool operator==(const RotozoomCoefficients&,
                                   const RotozoomCoefficients&) = default;
};

// The angle of the next frame: `angle` + 0.08, summed in extended precision and kept as a double.
double NextRotozoomAngle(double angle);

// The coefficients for a frame drawn at `angle`, evaluated in extended precision.
RotozoomCoefficients RotozoomCoefficientsAt(double angle);

// The colour of the cell at offset (j, i) from the grid's centre: the low byte of
// ((j A - i B) AND (i A + j B)) div 128, with 32-bit wrapping products and a quotient truncated
// toward zero.
std::uint8_t RotozoomColor(std::int32_t j, std::int32_t i, RotozoomCoefficients coefficients);

}  // namespace tavlo::effects
