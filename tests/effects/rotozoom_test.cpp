// The rotozoom's coefficients and colours, and its frames on the show's window.

#include "effects/rotozoom.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "effects/effects.h"
#include "tests/effects/effect_run.h"

namespace tavlo::effects {
namespace {

TEST(RotozoomTest, FirstThreeFramesUseTheWorkedCoefficients) {
  const RotozoomCoefficients want[] = {{10, 1}, {20, 3}, {30, 7}};
  double angle = 0.0;
  for (const RotozoomCoefficients& w : want) {
    angle = NextRotozoomAngle(angle);
    const RotozoomCoefficients got = RotozoomCoefficientsAt(angle);
    EXPECT_EQ(got, w) << "angle " << angle << ": (" << got.a << ", " << got.b << ")";
  }
}

struct RotozoomCase {
  std::int32_t j;
  std::int32_t i;
  RotozoomCoefficients coefficients;
  std::uint8_t color;
};

const RotozoomCase kRotozoom[] = {
    {100, 50, {10, 1}, 4},
    {-159, -119, {10, 1}, 245},  // c div 128 is -11, whose low byte is 245
    {158, 118, {10, 1}, 10},
    {0, 0, {10, 1}, 0},
    {-159, -119, {0, 0}, 0},  // without a coefficient everything is colour 0
    {158, 118, {0, 0}, 0},
    // With (A, B) = (1, 0) and j = i, c is j: the quotient truncates toward zero.
    {-1, -1, {1, 0}, 0},
    {-128, -128, {1, 0}, 255},
    {-129, -129, {1, 0}, 255},  // -1, not -2
    {-256, -256, {1, 0}, 254},
    {127, 127, {1, 0}, 0},
    {128, 128, {1, 0}, 1},
};

TEST(RotozoomTest, ColorsMatchTheWorkedValues) {
  for (const RotozoomCase& c : kRotozoom) {
    EXPECT_EQ(RotozoomColor(c.j, c.i, c.coefficients), c.color)
        << "(j, i) (" << c.j << ", " << c.i << ") with (A, B) (" << c.coefficients.a << ", "
        << c.coefficients.b << ")";
  }
}

// The rotozoom colour written out plainly, with 64-bit values that cannot overflow here.
std::uint8_t ReferenceRotozoom(std::int64_t j, std::int64_t i, std::int64_t a, std::int64_t b) {
  return static_cast<std::uint8_t>((((j * a - i * b) & (i * a + j * b)) / 128) & 0xFF);
}

class RotozoomRunTest : public testing::EffectTest {};

TEST_F(RotozoomRunTest, SecondFrameCoversCells0To317By0To237) {
  const auto effect = MakeRotozoom();
  const auto page = testing::RunSteps(*effect, "ROTOZOOM", 2);
  ASSERT_TRUE(page);
  // The second frame has (A, B) = (20, 3); the centre is cell (159, 119), and pixel columns
  // 637 to 639 and rows 477 to 479 are never drawn.
  EXPECT_TRUE(testing::ShowsCells(*page, {0, 0, 317, 237}, [](std::int32_t x, std::int32_t y) {
    return ReferenceRotozoom(x - 159, y - 119, 20, 3);
  }));
}

}  // namespace
}  // namespace tavlo::effects
