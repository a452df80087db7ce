// The tunnel's grey ramp, angles and colours, and its two phases on the show's window.

#include "effects/tunnel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "effects/effects.h"
#include "platform/color.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/effects/effect_run.h"

namespace tavlo::effects {
namespace {

TEST(TunnelTest, RampStepsGiveGreyLevelsInThrees) {
  struct RampCase {
    std::int32_t t;
    std::int32_t grey;
  };
  const RampCase kRamp[] = {{2, 0}, {3, 0}, {4, 0}, {5, 4}, {7, 4}, {8, 8}, {110, 144}, {113, 148}};
  for (const RampCase& c : kRamp) EXPECT_EQ(TunnelRampGrey(c.t), c.grey) << "t " << c.t;
}

TEST(TunnelTest, AngleIsMinusAtan2UpToTheGuard) {
  struct AngleCase {
    std::int32_t x;
    std::int32_t y;
  };
  const AngleCase kAngles[] = {
      {5, 0}, {0, 5},  {0, -5}, {-5, 1},  {-5, -1},   {-5, 0},
      {3, 4}, {-3, 4}, {3, -4}, {-3, -4}, {158, 118}, {-159, -119},
  };
  for (const AngleCase& c : kAngles) {
    EXPECT_NEAR(TunnelAngle(c.x, c.y), -std::atan2(static_cast<double>(c.y), c.x), 1e-5)
        << "(" << c.x << ", " << c.y << ")";
  }
  // Along the positive x axis the angle is negative zero, which counts as 0.
  EXPECT_TRUE(std::signbit(TunnelAngle(5, 0)));
  EXPECT_EQ(TunnelAngle(0, 0), 0.0);
  // Just below and just above the negative x axis.
  EXPECT_LT(TunnelAngle(-159, 1), -3.1);
  EXPECT_GT(TunnelAngle(-159, -1), 3.1);
}

struct ColorCase {
  std::int32_t x;
  std::int32_t y;
  std::int32_t t;
  std::uint8_t color;
};

// The first frame is drawn at t = 114.
const ColorCase kTunnelColors[] = {
    {0, 0, 114, 0},
    {100, 50, 114, 23},
    {-100, -50, 114, 8},
    {-159, -119, 114, 66},
    {158, 118, 114, 27},
    // Below d = 530 the brightness stays under 1 whatever the texture.
    {22, 5, 114, 0},
    {-22, -5, 500, 0},
    {0, -23, 1000, 0},
    {-23, 0, 115, 0},
    {16, 16, 117, 0},
};

TEST(TunnelTest, ColorsMatchTheWorkedValues) {
  for (const ColorCase& c : kTunnelColors) {
    EXPECT_EQ(TunnelColor(c.x, c.y, c.t), c.color) << "(" << c.x << ", " << c.y << ") at t " << c.t;
  }
}

// The tunnel colour written out plainly: 64-bit products that never wrap, π as a literal.
std::uint8_t ReferenceTunnel(std::int64_t x, std::int64_t y, std::int64_t t) {
  const long double pi = 3.14159265358979323846264338327950288L;
  const long double lx = static_cast<long double>(x);
  const long double ly = static_cast<long double>(y);
  double a = 0;
  if (y < 0) {
    a = static_cast<double>(std::atan(lx / (ly + 0.000001L)) + pi / 2.0L);
  } else if (x >= 0) {
    a = static_cast<double>(-std::atan(ly / (lx + 0.000001L)));
  } else {
    a = static_cast<double>(std::atan(lx / (ly + 0.000001L)) - pi / 2.0L);
  }
  const std::int64_t d = x * x + y * y;
  const auto u = static_cast<std::int64_t>(std::nearbyint(
      std::sqrt(static_cast<long double>(d)) * 5.2L + static_cast<long double>(-10000 * t)));
  const auto v = static_cast<std::int64_t>(
      std::nearbyint(static_cast<long double>(a) * 191.0L + static_cast<long double>(10 * t)));
  const auto w = static_cast<long double>((u & 63) ^ (v & 63));
  return static_cast<std::uint8_t>(
      static_cast<std::int64_t>(w * (static_cast<long double>(d) * 0.00003L)) & 0xFF);
}

TEST(TunnelTest, StepProductsWrapWithoutChangingTheLowBits) {
  // -10000 t leaves the 32-bit range after t = 214748, and 10 t after 214748364; neither changes
  // the low six bits, so the colours match those of products that do not wrap.
  const std::int32_t kSteps[] = {214748, 214749,    214750,
                                 214781, 214748365, std::numeric_limits<std::int32_t>::max()};
  const std::pair<std::int32_t, std::int32_t> kOffsets[] = {{0, 0},       {100, 50},  {-100, -50},
                                                            {-159, -119}, {158, 118}, {120, -90}};
  for (const std::int32_t t : kSteps) {
    for (const auto& [x, y] : kOffsets) {
      EXPECT_EQ(TunnelColor(x, y, t), ReferenceTunnel(x, y, t))
          << "(" << x << ", " << y << ") at t " << t;
    }
  }
}

class TunnelRunTest : public testing::EffectTest {};

// On the 640 by 480 window the ramp runs for t = 0 to 113 and the first frame is drawn at t = 114.
constexpr int kRampSteps = 114;

TEST_F(TunnelRunTest, RampPhaseSetsEntries0To111GreyAndDrawsNothing) {
  const auto effect = MakeTunnel();
  const auto page = testing::RunSteps(*effect, "TUNEL", kRampSteps);
  ASSERT_TRUE(page);
  EXPECT_TRUE(testing::AllZero(*page));

  PaletteRecord defaults;
  GetDefaultPalette(defaults);
  const auto table = inspect::ColorTable();
  ASSERT_EQ(table.size(), 256u);
  for (std::uint32_t entry = 0; entry < 256; ++entry) {
    // Entry e is set at step e + 2 to 4 * (e div 3).
    const std::uint32_t rgb =
        entry < 112 ? 0x010101u * (4 * (entry / 3)) : platform::PixelWordOf(defaults.colors[entry]);
    EXPECT_EQ(platform::PixelWordOf(table[entry]), rgb) << "entry " << entry;
  }
}

TEST_F(TunnelRunTest, SecondFrameCoversCells0To317By0To237) {
  const auto effect = MakeTunnel();
  const auto page = testing::RunSteps(*effect, "TUNEL", kRampSteps + 2);
  ASSERT_TRUE(page);
  EXPECT_TRUE(testing::ShowsCells(*page, {0, 0, 317, 237}, [](std::int32_t x, std::int32_t y) {
    return ReferenceTunnel(x - 159, y - 119, kRampSteps + 1);
  }));
}

}  // namespace
}  // namespace tavlo::effects
