// The plasma's colours and its frames on the show's window.

#include "effects/plasma.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "effects/effects.h"
#include "tests/effects/effect_run.h"

namespace tavlo::effects {
namespace {

struct PlasmaCase {
  std::int32_t x;
  std::int32_t y;
  std::int32_t t;
  std::uint8_t color;
};

const PlasmaCase kPlasma[] = {
    {0, 0, 0, 0},
    {5, 3, 10, 9},  // two negative differences take part with their high bits set
    {100, 50, 200, 8},
    {319, 199, 0, 7},
    {255, 255, 0, 255},  // at t = 0 the colour is the low byte of x AND y
    {300, 290, 0, 32},
    {0, 0, 1, 1},  // -1 AND 1 AND 1 AND -1
    {0, 0, 255, 1},
};

TEST(PlasmaTest, MatchesTheWorkedValues) {
  for (const PlasmaCase& c : kPlasma) {
    EXPECT_EQ(PlasmaColor(c.x, c.y, c.t), c.color) << "x " << c.x << " y " << c.y << " t " << c.t;
  }
}

// The plasma formula written out plainly, with 64-bit values that cannot overflow here.
std::uint8_t ReferencePlasma(std::int64_t x, std::int64_t y, std::int64_t t) {
  return static_cast<std::uint8_t>((x - t) & (y + t) & (x + t) & (y - t) & 0xFF);
}

class PlasmaRunTest : public testing::EffectTest {};

TEST_F(PlasmaRunTest, ThirdFrameCoversColumns0To639AndRows0To400) {
  const auto effect = MakePlasma();
  const auto page = testing::RunSteps(*effect, "PLASMA", 3);
  ASSERT_TRUE(page);
  // The third frame is drawn with t = 2; rows 401 to 479 are never drawn.
  EXPECT_TRUE(testing::ShowsCells(*page, {0, 0, 319, 199}, [](std::int32_t x, std::int32_t y) {
    return ReferencePlasma(x, y, 2);
  }));
}

}  // namespace
}  // namespace tavlo::effects
