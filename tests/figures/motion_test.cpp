// The figures' motion: the frames worked by hand, the deformation over a whole cycle against an
// independent computation, and the frame counter running on past the 32-bit range.

#include "figures/motion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>

#include "tests/figures/reference_frame.h"

namespace tavlo::figures {
namespace {

constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

struct PoseCase {
  const char* name;
  std::int32_t t;
  std::int32_t x;
  std::int32_t y;
  std::int32_t a;
};

void PrintTo(const PoseCase& c, std::ostream* os) { *os << c.name; }

// X, Y and A worked by hand from the motion's definition.
const PoseCase kPoseCases[] = {
    {"t1_first_frame", 1, 273, 208, 9},
    {"t200_lowest_and_widest", 200, 74, 210, 10},   // m = 0; 200 mod 456 = 200: |200 - 228| + 46
    {"t400_lowest_and_widest", 400, 218, 210, 10},  // |400 - 228| + 46
    {"t5_at_rest", 5, 269, 210 - 194 * 5 / 80, 0},  // m = 5: Y = 210 - 12
    {"t15_at_rest", 15, 259, 210 - 184 * 15 / 80, 0},
    {"t25_at_rest", 25, 249, 210 - 174 * 25 / 80, 0},
    {"t99_highest", 99, 175, 87, 5},                      // cos(9.9 pi) * 100 / 20 = 4.76...: A = 5
    {"t100_highest", 100, 174, 87, 5},                    // cos(10 pi) * 99 / 20 = 4.95
    {"t199_lowest_at_rest", 199, 75, 210, 0},             // amplitude 0 at m = 199
    {"t228_leftmost", 228, 46, 210 - 171 * 28 / 80, -7},  // m = 28: cos(22.8 pi) * 171 / 20
    {"t456_rightmost", 456, 274, 210 - 143 * 56 / 80, 2},  // m = 56: cos(45.6 pi) * 143 / 20
    {"t114_centred_on_the_mirror", 114, 160, 210 - 85 * 114 / 80, -1},
};

class PoseTable : public ::testing::TestWithParam<PoseCase> {};

TEST_P(PoseTable, GivesCentreRowAndDeformation) {
  const PoseCase& c = GetParam();
  EXPECT_EQ(CentreColumn(c.t), c.x);
  EXPECT_EQ(CentreRow(c.t), c.y);
  EXPECT_EQ(Deformation(c.t), c.a);
}

INSTANTIATE_TEST_SUITE_P(WorkedFrames, PoseTable, ::testing::ValuesIn(kPoseCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST(Deformation, DependsOnTheBouncePhaseAloneAndMatchesAnIndependentValue) {
  for (std::int32_t m = 0; m < 200; ++m) {
    // The cosine of the phase within its own 20-frame period, in double precision.
    const double wobble = std::cos(std::numbers::pi * (m % 20) / 10.0);
    const auto want = static_cast<std::int32_t>(std::nearbyint(wobble * (199 - m) / 20.0));
    SCOPED_TRACE(::testing::Message() << "m = " << m);
    for (std::int32_t t : {m, m + 200, m + 5 * 11400, m + 200 * 1000000}) {
      EXPECT_EQ(Deformation(t), want) << "t = " << t;
    }
  }
}

TEST(Deformation, HasTheWorkedShapeOverACycle) {
  EXPECT_EQ(Deformation(200), 10);
  for (std::int32_t m = 5; m < 200; m += 10) EXPECT_EQ(Deformation(m), 0) << "m = " << m;
  for (std::int32_t m = 0; m < 200; ++m) {
    EXPECT_GE(Deformation(m), -9) << m;
    EXPECT_LE(Deformation(m), 10) << m;
  }
}

TEST(FrameCounter, CountsUpByOne) {
  for (std::int32_t t : {0, 1, 455, 11399, 11400, kMax32 - 1}) EXPECT_EQ(NextFrame(t), t + 1);
}

TEST(FrameCounter, GoesOnWithTheValueCongruentTo2To31AfterTheLast) {
  const std::int64_t after_last = std::int64_t{kMax32} + 1;
  EXPECT_EQ(NextFrame(kMax32), after_last % 11400);
  EXPECT_EQ(NextFrame(kMax32), 8648);
}

// Across the end of the 32-bit range every frame keeps the pose that an unbounded counter would
// give it, so the motion has no seam.
TEST(FrameCounter, MotionRunsOnSeamlesslyPastTheEnd) {
  std::int32_t t = kMax32 - 11400;
  std::int64_t unbounded = t;
  for (int frame = 0; frame < 2 * 11400; ++frame) {
    t = NextFrame(t);
    ++unbounded;
    const figures::testing::ReferencePose want = figures::testing::PoseAt(unbounded);
    ASSERT_EQ(CentreColumn(t), want.column) << "frame " << unbounded;
    ASSERT_EQ(CentreRow(t), want.row) << "frame " << unbounded;
    ASSERT_EQ(Deformation(t), want.deformation) << "frame " << unbounded;
  }
}

}  // namespace
}  // namespace tavlo::figures
