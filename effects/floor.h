#pragma once

#include <cstdint>

namespace tavlo::effects {

// The colour of floor cell column c on the row r cells below the horizon (r from 1) in the frame
// drawn with counter s, for a floor `cell_cols` cells wide: ((q AND 15) + 16) XOR k, where q is
// (cell_cols - 1 - c) * 6 / r rounded with ties to even and k is ((1190 div r) + s) AND 15.
// Lies in 16..31.
std::uint8_t FloorColor(std::int32_t r, std::int32_t c, std::int32_t s, std::int32_t cell_cols);

}  // namespace tavlo::effects
