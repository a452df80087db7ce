#pragma once

#include <cstdint>
#include <optional>

namespace tavlo::effects {

// A star: its place in the plane (-10000..9999 each way once placed) and its depth (1..100 when
// placed, 0 for a free slot of the ring).
struct Star {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t z = 0;
};

struct ScreenPoint {
  std::int32_t x;
  std::int32_t y;
  friend bool operator==(ScreenPoint, ScreenPoint) = default;
};

// A new star from three uniform reals in [0, 1): x and y from R * 20000 - 10000 and z from
// R * 100 + 1, formed in extended precision and truncated toward zero.
Star PlaceStar(long double rx, long double ry, long double rz);

// Where a star of depth z >= 1 appears: (last_column div 2 + x div z, last_row div 2 + y div z),
// divisions truncating toward zero. None when that is off screen; the last column and row count
// as off screen.
std::optional<ScreenPoint> ProjectStar(const Star& star, std::int32_t last_column,
                                       std::int32_t last_row);

// The palette index a star of depth z >= 1 is drawn in: 32 - (z mod 8), 25 to 32.
std::uint32_t StarColor(std::int32_t z);

}  // namespace tavlo::effects
