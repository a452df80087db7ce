// The starfield: placing, projecting and colouring stars, and its steps on the show's window
// against the same stars followed here.

#include "effects/starfield.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

#include "effects/effects.h"
#include "effects/random.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/effects/effect_run.h"
#include "tests/effects/random_numbers.h"
#include "tests/support/picture.h"

namespace tavlo::effects {
namespace {

constexpr std::int32_t kLastColumn = 639;
constexpr std::int32_t kLastRow = 479;

struct ProjectionCase {
  std::string_view name;
  Star star;
  std::optional<ScreenPoint> at;
};

TEST(StarfieldTest, ProjectionMatchesTheWorkedStars) {
  const ProjectionCase cases[] = {
      {"worked_star_before", {5000, -3000, 50}, ScreenPoint{419, 179}},
      {"worked_star_after", {5000, -3000, 49}, ScreenPoint{421, 178}},
      {"centre", {0, 0, 100}, ScreenPoint{319, 239}},
      {"quotients_truncate_toward_zero", {-99, -101, 100}, ScreenPoint{319, 238}},
      {"last_column_is_off_screen", {320, 0, 1}, std::nullopt},
      {"one_before_the_last_column", {319, 0, 1}, ScreenPoint{638, 239}},
      {"last_row_is_off_screen", {0, 240, 1}, std::nullopt},
      {"left_edge", {-319, 0, 1}, ScreenPoint{0, 239}},
      {"left_of_the_edge", {-320, 0, 1}, std::nullopt},
      {"far_corner", {-10000, -10000, 1}, std::nullopt},
  };
  for (const ProjectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<ScreenPoint> at = ProjectStar(c.star, kLastColumn, kLastRow);
    ASSERT_EQ(at.has_value(), c.at.has_value());
    if (at) {
      EXPECT_EQ(at->x, c.at->x);
      EXPECT_EQ(at->y, c.at->y);
    }
  }
}

TEST(StarfieldTest, ColoursRunFrom25To32) {
  const std::uint32_t colours[] = {32, 31, 30, 29, 28, 27, 26, 25};
  for (std::int32_t z = 1; z <= 100; ++z) EXPECT_EQ(StarColor(z), colours[z % 8]) << z;
  EXPECT_EQ(StarColor(49), 31u);  // the worked star after its move
}

TEST(StarfieldTest, PlacedStarsSpanTheirRanges) {
  const long double kLargest = 4294967295.0L / 4294967296.0L;
  struct Case {
    long double rx, ry, rz;
    Star star;
  };
  const Case cases[] = {
      {0, 0, 0, {-10000, -10000, 1}},
      {kLargest, kLargest, kLargest, {9999, 9999, 100}},
      {0.5L, 0.25L, 0.5L, {0, -5000, 51}},
      // -0.4 truncates toward zero, to 0, not to -1.
      {0.49998L, 0.50002L, 0.009999L, {0, 0, 1}},
  };
  for (const Case& c : cases) {
    const Star s = PlaceStar(c.rx, c.ry, c.rz);
    EXPECT_EQ(s.x, c.star.x);
    EXPECT_EQ(s.y, c.star.y);
    EXPECT_EQ(s.z, c.star.z);
  }
}

class StarfieldRunTest : public testing::EffectTest {
 protected:
  void TearDown() override {
    FixSeed(std::nullopt);
    testing::EffectTest::TearDown();
  }
};

// The effect's steps draw what a plain replay of the same stars draws: the ring followed here
// from the same random numbers, each star erased and drawn with the library's pen and circles.
TEST_F(StarfieldRunTest, StepsDrawTheStarsOfAnIndependentReplay) {
  constexpr std::uint32_t kSeed = 77;
  constexpr int kSteps = 1700;  // three passes over the ring and part of a fourth
  FixSeed(kSeed);
  const auto effect = MakeStarfield();
  const auto page = testing::RunSteps(*effect, "STELUTE", kSteps);
  ASSERT_TRUE(page);
  CloseGraphics();

  std::int16_t driver = Driver8Bit;
  std::int16_t mode = Mode640x480;
  OpenGraphics(driver, mode, "REPLAY");
  ASSERT_TRUE(GraphicsOpen());
  testing::ReferenceTwister random(kSeed);
  std::array<std::array<std::int32_t, 3>, 500> ring{};
  auto project = [](const std::array<std::int32_t, 3>& s) -> std::optional<ScreenPoint> {
    const std::int32_t sx = 319 + s[0] / s[2];
    const std::int32_t sy = 239 + s[1] / s[2];
    if (sx < 0 || sx >= 639 || sy < 0 || sy >= 479) return std::nullopt;
    return ScreenPoint{sx, sy};
  };
  int drawn = 0;
  for (int step = 0; step < kSteps; ++step) {
    auto& s = ring[static_cast<std::size_t>(step % 500)];
    if (s[2] == 0) {
      for (int axis = 0; axis < 2; ++axis) {
        s[static_cast<std::size_t>(axis)] =
            static_cast<std::int32_t>(random.Real() * 20000.0L - 10000.0L);
      }
      s[2] = static_cast<std::int32_t>(random.Real() * 100.0L + 1);
    }
    if (const auto at = project(s)) {
      SetPenColor(0);
      DrawCircle(static_cast<std::int16_t>(at->x), static_cast<std::int16_t>(at->y), 2);
    }
    --s[2];
    if (s[2] > 0) {
      if (const auto at = project(s)) {
        SetPenColor(static_cast<std::uint32_t>(32 - s[2] % 8));
        DrawCircle(static_cast<std::int16_t>(at->x), static_cast<std::int16_t>(at->y), 2);
        ++drawn;
      }
    }
  }
  EXPECT_GT(drawn, 1000);
  const auto replay = inspect::SnapshotPage(0);
  ASSERT_TRUE(replay);
  EXPECT_TRUE(tavlo::testing::SamePicture(*page, *replay, "starfield"));
}

// With all slots free, the first step places star 0 from three draws and draws it; nothing else
// is on the page.
TEST_F(StarfieldRunTest, FirstStepPlacesAndDrawsStarZero) {
  constexpr std::uint32_t kSeed = 1;
  FixSeed(kSeed);
  testing::ReferenceTwister random(kSeed);
  const long double rx = random.Real();
  const long double ry = random.Real();
  const long double rz = random.Real();
  Star star = PlaceStar(rx, ry, rz);
  --star.z;
  const auto effect = MakeStarfield();
  const auto page = testing::RunSteps(*effect, "STELUTE", 1);
  ASSERT_TRUE(page);
  int lit = 0;
  for (int y = 0; y < page->height(); ++y) {
    for (int x = 0; x < page->width(); ++x) lit += page->PixelAt(x, y) != 0 ? 1 : 0;
  }
  const std::optional<ScreenPoint> at =
      star.z > 0 ? ProjectStar(star, kLastColumn, kLastRow) : std::nullopt;
  if (!at) {
    EXPECT_EQ(lit, 0);
    return;
  }
  EXPECT_GT(lit, 0);
  EXPECT_EQ(page->PixelAt(at->x + 2, at->y), StarColor(star.z));
  EXPECT_EQ(page->PixelAt(at->x - 2, at->y), StarColor(star.z));
  EXPECT_EQ(page->PixelAt(at->x, at->y), 0u);  // an outline: the centre stays dark
}

}  // namespace
}  // namespace tavlo::effects
