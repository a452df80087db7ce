// The pattern's running colour, its worked pixel, and whole frames on small windows.

#include "effects/pattern.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "effects/effects.h"
#include "effects/random.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/effects/effect_run.h"
#include "tests/effects/random_numbers.h"

namespace tavlo::effects {
namespace {

struct ColorCase {
  std::uint32_t c, r;
  std::int32_t x, y;
  std::uint32_t next;
};

TEST(PatternTest, RunningColourMatchesTheWorkedValues) {
  const ColorCase cases[] = {
      {5, 10, 3, 2, 14},     // the worked pixel
      {0, 0, 0, 0, 0},       //
      {255, 344, 0, 0, 87},  // (255 + 344) mod 256
      {200, 100, 639, 479, (300 ^ 639 ^ 479) & 255},
      {1, 0, 256, 512, 1},  // coordinates above 255 lose their high bits
  };
  for (const ColorCase& c : cases) {
    EXPECT_EQ(PatternColor(c.c, c.r, c.x, c.y), c.next)
        << c.c << " " << c.r << " (" << c.x << ", " << c.y << ")";
  }
}

class PatternRunTest : public testing::EffectTest {
 protected:
  void TearDown() override {
    FixSeed(std::nullopt);
    testing::EffectTest::TearDown();
  }
};

// Frames on windows of a few sizes, against the frames computed here: every pixel, the last
// column and row included, drawn in the running colour that carries on across frames.
TEST_F(PatternRunTest, FramesMatchAnIndependentlyComputedPage) {
  struct Size {
    std::int32_t width, height;
  };
  for (const Size size : {Size{1, 1}, Size{17, 5}, Size{40, 30}}) {
    SCOPED_TRACE(::testing::Message() << size.width << " by " << size.height);
    CustomWidth = size.width;
    CustomHeight = size.height;
    std::int16_t driver = Driver8Bit;
    std::int16_t mode = ModeCustom;
    OpenGraphics(driver, mode, "MODEL");
    ASSERT_TRUE(GraphicsOpen());
    constexpr std::uint32_t kSeed = 4242;
    FixSeed(kSeed);
    const auto effect = MakePattern();
    effect->SetUp();

    testing::ReferenceTwister random(kSeed);
    std::uint32_t c = 0;
    std::vector<std::uint32_t> expected(static_cast<std::size_t>(size.width * size.height));
    for (int frame = 0; frame < 3; ++frame) {
      effect->Step();
      const std::uint32_t r = random.Below(345);
      ASSERT_LE(r, 344u);
      for (std::int32_t y = 0; y < size.height; ++y) {
        for (std::int32_t x = 0; x < size.width; ++x) {
          c = ((c + r) ^ static_cast<std::uint32_t>(x) ^ static_cast<std::uint32_t>(y)) % 256;
          expected[static_cast<std::size_t>(y * size.width + x)] = c;
        }
      }
      const auto page = inspect::SnapshotPage(0);
      ASSERT_TRUE(page);
      for (std::int32_t y = 0; y < size.height; ++y) {
        for (std::int32_t x = 0; x < size.width; ++x) {
          ASSERT_EQ(page->PixelAt(x, y), expected[static_cast<std::size_t>(y * size.width + x)])
              << "frame " << frame << " pixel (" << x << ", " << y << ")";
        }
      }
    }
    CloseGraphics();
  }
}

}  // namespace
}  // namespace tavlo::effects
