// The sine wave's colours and amplitudes, and its frames on the show's window.

#include "effects/sine_wave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "effects/effects.h"
#include "tests/effects/effect_run.h"

namespace tavlo::effects {
namespace {

TEST(SineWaveTest, AmplitudeOfFrameNIsCosN) {
  EXPECT_EQ(SineWaveAmplitude(0), 1.0);
  EXPECT_NEAR(SineWaveAmplitude(1), 0.5403023, 1e-7);
  EXPECT_NEAR(SineWaveAmplitude(2), -0.4161468, 1e-7);
  EXPECT_NEAR(SineWaveAmplitude(3), -0.9899925, 1e-7);
}

struct WaveCase {
  std::int32_t i;
  std::int32_t j;
  double amplitude;
  std::uint8_t color;
  const char* why;
};

TEST(SineWaveTest, ColorsMatchTheWorkedValues) {
  const double cos2 = static_cast<double>(std::cos(2.0L));
  const WaveCase kWave[] = {
      {0, 0, 1.0, 16, "the block's corner"},
      {30, 60, 1.0, 19, ""},
      {50, 20, 1.0, 21, ""},
      {100, 0, 1.0, 19, "p = 12.5 goes to the even 12 (up would give 18), q = -1 gives 15"},
      {4, 0, 1.0, 16, "p = 0.5 goes to the even 0"},
      {12, 0, 1.0, 19, "p = 1.5 goes to the even 2 (truncating would give 16)"},
      {30, 60, cos2, 28, "the third frame, with a negative amplitude"},
  };
  for (const WaveCase& c : kWave) {
    EXPECT_EQ(SineWaveColor(c.i, c.j, c.amplitude), c.color)
        << "(i, j) (" << c.i << ", " << c.j << ") A " << c.amplitude << ": " << c.why;
  }
}

// The sine wave colour written out plainly.
std::uint8_t ReferenceWave(std::int32_t i, std::int32_t j, double amplitude) {
  const long double a = amplitude;
  const long double p = std::cos(i / 19.6L) * a * std::sin(j / 19.6L) + i / 8.0L;
  const long double q = std::sin(i / 19.6L) * a * std::cos(j / 19.6L) + j / 8.0L;
  const auto p_bits = static_cast<std::int64_t>(std::nearbyint(p)) & 15;
  const auto q_bits = static_cast<std::int64_t>(std::nearbyint(q)) & 15;
  return static_cast<std::uint8_t>((p_bits + 16) ^ q_bits);
}

class SineWaveRunTest : public testing::EffectTest {};

TEST_F(SineWaveRunTest, ThirdFrameFillsOnlyTheBlock) {
  const auto effect = MakeSineWave();
  const auto page = testing::RunSteps(*effect, "SINUS WAVE", 3);
  ASSERT_TRUE(page);
  // Cells 120..220 by 50..150, pixels 240..442 by 100..302; the third frame's amplitude is cos 2.
  const double cos2 = static_cast<double>(std::cos(2.0L));
  EXPECT_TRUE(testing::ShowsCells(
      *page, {120, 50, 220, 150},
      [cos2](std::int32_t x, std::int32_t y) { return ReferenceWave(x - 120, y - 50, cos2); }));
  EXPECT_EQ(page->PixelAt(300, 220), 28u) << "cell (150, 110) of the worked values";
}

}  // namespace
}  // namespace tavlo::effects
