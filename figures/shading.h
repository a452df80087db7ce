#pragma once

// The two figures, drawn cell by cell with PlotCell. Both shade a cell by diamond-shaped contours
// around the centre, scaled to the figure's half-width and half-height.

#include <cstdint>

namespace tavlo::figures {

// The colour of cell (x, y) in a figure centred on (cx, cy) with half-sizes rx and ry and shade
// step `step`: step * (|((y - cy) * rx) div ry| + |((x - cx) * ry) div rx|) in 32-bit
// two's-complement arithmetic, div truncating toward zero. A zero half-size makes its term 0.
std::int32_t Shade(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy,
                   std::int32_t rx, std::int32_t ry, std::int32_t step);

// Plots every cell of the (2rx + 1) by (2ry + 1) rectangle around (cx, cy) in the low byte of its
// shade, row by row from the top, each row from the left. Nothing when a half-size is negative.
void FillDiamond(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                 std::int32_t step);

// Plots rows cy - ry to cy + ry from the top; the row dy rows from the centre runs from cx - w to
// cx + w from the left, w being rx * sqrt(1 - (dy / ry)^2) rounded half to even. Same shades.
void FillEllipse(std::int32_t cx, std::int32_t cy, std::int32_t rx, std::int32_t ry,
                 std::int32_t step);

}  // namespace tavlo::figures
