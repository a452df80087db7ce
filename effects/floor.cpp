// The floor: a checkered plane in perspective below a horizon in the middle of the window,
// streaming toward the viewer and repeating every 16 frames. The upper half is never drawn.

#include "effects/floor.h"

#include <cmath>

#include "effects/cells.h"
#include "effects/effects.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

constexpr std::uint32_t kLateralFactor = 6;
constexpr std::int32_t kDepthNumerator = 1190;
constexpr std::int64_t kTextureMask = 15;
constexpr std::int64_t kColorBase = 16;

class Floor final : public Effect {
 public:
  void SetUp() override {
    CellCols = static_cast<std::int16_t>(std::int32_t{LastColumn()} / 2);
    CellRows = static_cast<std::int16_t>(std::int32_t{LastRow()} / 2);
    MidRow = static_cast<std::int16_t>(std::int32_t{CellRows} / 2);
    s_ = 0;
  }

  void Step() override {
    s_ = (s_ + 1) & 15;
    const std::int32_t cell_cols = CellCols;
    const std::int32_t cell_rows = CellRows;
    const std::int32_t mid_row = MidRow;
    // Rows below the surface are drawn all the same; the fill clips them away.
    for (std::int32_t r = 1; r < cell_rows; ++r) {
      for (std::int32_t c = 0; c < cell_cols; ++c) {
        PlotCell(c, r + mid_row - 1, FloorColor(r, c, s_, cell_cols));
      }
    }
  }

 private:
  std::int32_t s_ = 0;
};

}  // namespace

std::uint8_t FloorColor(std::int32_t r, std::int32_t c, std::int32_t s, std::int32_t cell_cols) {
  const auto numerator = static_cast<std::int32_t>(
      (static_cast<std::uint32_t>(cell_cols) - 1u - static_cast<std::uint32_t>(c)) *
      kLateralFactor);
  // Ties go to the even neighbour: 4.5 gives 4.
  const auto q = static_cast<std::int64_t>(
      std::nearbyint(static_cast<long double>(numerator) / static_cast<long double>(r)));
  const std::int64_t k = ((kDepthNumerator / r) + s) & kTextureMask;
  return static_cast<std::uint8_t>(((q & kTextureMask) + kColorBase) ^ k);
}

std::unique_ptr<Effect> MakeFloor() { return std::make_unique<Floor>(); }

}  // namespace tavlo::effects
