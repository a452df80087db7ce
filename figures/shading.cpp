#include "figures/shading.h"

#include <cmath>

#include "effects/cells.h"

namespace tavlo::figures {
namespace {

// |((position - centre) * scale) div divisor| with the difference and the product wrapped to 32
// bits. The quotient is taken in 64 bits, where -2^31 div -1 is 2^31 instead of a fault; as a
// magnitude on 32 bits that is what the wrapped quotient would give.
std::uint32_t ContourTerm(std::int32_t position, std::int32_t centre, std::int32_t scale,
                          std::int32_t divisor) {
  // A zero half-size leaves only the centre's row (or column), whose offset is 0: 0 / 0 counts
  // as 0 instead of a fault.
  if (divisor == 0) return 0;
  const std::uint32_t offset =
      static_cast<std::uint32_t>(position) - static_cast<std::uint32_t>(centre);
  const auto product = static_cast<std::int32_t>(offset * static_cast<std::uint32_t>(scale));
  const std::int64_t quotient = std::int64_t{product} / divisor;
  return static_cast<std::uint32_t>(quotient < 0 ? -quotient : quotient);
}

// The row `dy` rows from the centre of an ellipse reaches `HalfWidth` cells either side.
std::int32_t HalfWidth(std::int64_t dy, std::int32_t rx, std::int32_t ry) {
  // A zero half-height leaves one row, the centre's, where 0 / 0 stands for a ratio of 0.
  if (ry == 0) return rx;
  const long double ratio = static_cast<long double>(dy) / static_cast<long double>(ry);
  const long double width = std::sqrt(1.0L - ratio * ratio) * static_cast<long double>(rx);
  return static_cast<std::int32_t>(std::nearbyint(width));
}

// Plots cells first..last of row y (64-bit ends, so that a figure near the end of the 32-bit
// range neither overflows nor loops forever).
void PlotRow(std::int64_t y, std::int64_t first, std::int64_t last, std::int32_t cx,
             std::int32_t cy, std::int32_t rx, std::int32_t ry, std::int32_t step) {
  const auto row = static_cast<std::int32_t>(y);
  for (std::int64_t x = first; x <= last; ++x) {
    const auto column = static_cast<std::int32_t>(x);
    effects::PlotCell(column, row,
                      static_cast<std::uint8_t>(Shade(column, row, cx, cy, rx, ry, step)));
  }
}

}  // namespace

std::int32_t Shade(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   std::int32_t rx, std::int32_t ry, std::int32_t step) {
  const std::uint32_t sum = ContourTerm(y, cy, rx, ry) + ContourTerm(x, cx, ry, rx);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(step) * sum);
}

void FillDiamond(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                 std::int32_t step) {
  for (std::int64_t y = std::int64_t{cy} - ry; y <= std::int64_t{cy} + ry; ++y) {
    PlotRow(y, std::int64_t{cx} - rx, std::int64_t{cx} + rx, cx, cy, rx, ry, step);
  }
}

void FillEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                 std::int32_t step) {
  for (std::int64_t y = std::int64_t{cy} - ry; y <= std::int64_t{cy} + ry; ++y) {
    const std::int32_t w = HalfWidth(y - cy, rx, ry);
    PlotRow(y, std::int64_t{cx} - w, std::int64_t{cx} + w, cx, cy, rx, ry, step);
  }
}

}  // namespace tavlo::figures
