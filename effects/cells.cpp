#include "effects/cells.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "tavlo/graphics.h"

namespace tavlo::effects {

std::int16_t CellCols = 0;
std::int16_t CellRows = 0;
std::int16_t MidCol = 0;
std::int16_t MidRow = 0;

namespace {

constexpr std::int32_t kCellScale = 2;

struct PixelSpan {
  std::int16_t first;
  std::int16_t last;
};

// The pixels one cell coordinate covers along its axis. Taking the low 16 bits of a span that
// lies beyond the drawing coordinates would land it back on the surface (cell 16383 would become
// a stripe across the whole window, cell 32767 would paint column 0), so such a span is dropped
// and one that straddles the end is cut there instead.
std::optional<PixelSpan> CellPixels(std::int32_t cell) {
  constexpr std::int64_t kLow = std::numeric_limits<std::int16_t>::min();
  constexpr std::int64_t kHigh = std::numeric_limits<std::int16_t>::max();
  const std::int64_t first = std::int64_t{cell} * kCellScale;
  const std::int64_t last = first + kCellScale;
  if (last < kLow || first > kHigh) return std::nullopt;
  return PixelSpan{static_cast<std::int16_t>(std::clamp(first, kLow, kHigh)),
                   static_cast<std::int16_t>(std::clamp(last, kLow, kHigh))};
}

}  // namespace

void PlotCell(std::int32_t x, std::int32_t y, std::uint8_t color) {
  SetFill(FillSolid, color);
  // Every cell of the effects and the figures: its box lies within the drawing coordinates.
  constexpr std::int32_t kPlainLow = std::numeric_limits<std::int16_t>::min() / kCellScale;
  constexpr std::int32_t kPlainHigh = std::numeric_limits<std::int16_t>::max() / kCellScale - 1;
  if (x >= kPlainLow && x <= kPlainHigh && y >= kPlainLow && y <= kPlainHigh) {
    const auto left = static_cast<std::int16_t>(x * kCellScale);
    const auto top = static_cast<std::int16_t>(y * kCellScale);
    FillBox(left, top, static_cast<std::int16_t>(left + kCellScale),
            static_cast<std::int16_t>(top + kCellScale));
    return;
  }
  const std::optional<PixelSpan> columns = CellPixels(x);
  const std::optional<PixelSpan> rows = CellPixels(y);
  if (!columns || !rows) return;
  FillBox(columns->first, rows->first, columns->last, rows->last);
}

}  // namespace tavlo::effects
