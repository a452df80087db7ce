#pragma once

// The cell grid: cell (x, y) is the 3 by 3 pixel box from (2x, 2y) to (2x + 2, 2y + 2), so
// neighbouring cells share a pixel line and the one drawn later owns it.

#include <cstdint>

namespace tavlo::effects {

// The cell extents an effect reads from the surface size in its set-up. Each effect sets the ones
// it uses before its first frame and reads none that another effect set.
extern std::int16_t CellCols;
extern std::int16_t CellRows;
extern std::int16_t MidCol;
extern std::int16_t MidRow;

// Sets a solid fill of `color` (even when the cell lies off the surface) and fills cell (x, y).
// Clips to the surface; a cell whose box lies wholly beyond the 16-bit drawing coordinates draws
// nothing, and one that straddles their end is cut there.
void PlotCell(std::int32_t x, std::int32_t y, std::uint8_t color);

}  // namespace tavlo::effects
