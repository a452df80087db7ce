// The floor's colours and its frames on the show's window.

#include "effects/floor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "effects/effects.h"
#include "tests/effects/effect_run.h"

namespace tavlo::effects {
namespace {

// The show's window gives 319 cell columns.
constexpr std::int32_t kCellCols = 319;

struct FloorCase {
  std::int32_t r;
  std::int32_t c;
  std::int32_t s;
  std::uint8_t color;
  const char* why;
};

const FloorCase kFloor[] = {
    {1, 0, 1, 19, "the horizon row's left end"},
    {1, 318, 1, 23, "q is 0 at the right end of every row"},
    {7, 100, 1, 16, ""},
    {121, 0, 1, 26, "the last row on the surface"},
    {4, 315, 1, 30, "q = 4.5 goes to the even neighbour 4 (rounding up would give 31)"},
    {4, 317, 1, 24, "q = 1.5 goes to the even neighbour 2"},
    {1, 0, 0, 18, "k wraps with s"},
    {238, 0, 15, 28, "the last row drawn, below the surface"},
};

TEST(FloorTest, MatchesTheWorkedValues) {
  for (const FloorCase& c : kFloor) {
    EXPECT_EQ(FloorColor(c.r, c.c, c.s, kCellCols), c.color)
        << "(r, c) (" << c.r << ", " << c.c << ") s " << c.s << ": " << c.why;
  }
}

// The floor colour written out plainly.
std::uint8_t ReferenceFloor(std::int64_t r, std::int64_t c, std::int64_t s) {
  const auto q = static_cast<std::int64_t>(
      std::nearbyint(static_cast<long double>((kCellCols - 1 - c) * 6) / r));
  const std::int64_t k = (1190 / r + s) & 15;
  return static_cast<std::uint8_t>(((q & 15) + 16) ^ k);
}

class FloorRunTest : public testing::EffectTest {};

TEST_F(FloorRunTest, SecondFrameFillsTheLowerHalfButColumn639) {
  const auto effect = MakeFloor();
  const auto page = testing::RunSteps(*effect, "PODEA", 2);
  ASSERT_TRUE(page);
  // Cell rows 119 (r = 1) to 356 (r = 238), clipped at the bottom; pixel rows 0 to 237 and
  // column 639 are never drawn. The second frame has s = 2.
  EXPECT_TRUE(testing::ShowsCells(*page, {0, 119, 318, 356}, [](std::int32_t x, std::int32_t y) {
    return ReferenceFloor(y - 118, x, 2);
  }));
}

}  // namespace
}  // namespace tavlo::effects
