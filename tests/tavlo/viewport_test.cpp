// The viewport, its clipping, the current position and the aspect values.

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tests/support/graphics_fixture.h"
#include "tests/tavlo/drawing_helpers.h"

namespace tavlo::testing {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr std::uint32_t kBoxColor = 9;
constexpr std::uint32_t kBoxRgb = 0x8484fc;

platform::Point PagePosition() {
  auto& state = internal::State();
  std::lock_guard lock(state.lock);
  return state.page_dc->position();
}
platform::Point WindowPosition() {
  auto& state = internal::State();
  std::lock_guard lock(state.lock);
  return state.window_dc->position();
}

class ViewportTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    OpenOrFail(Driver8Bit, Mode640x480);
    SetFill(FillSolid, kBoxColor);
  }
};

// Each case sets a viewport, fills one box in it and expects an inclusive rectangle of the page.
struct ClipCase {
  const char* name;
  std::int16_t vx1, vy1, vx2, vy2;
  bool clip;
  std::int16_t x1, y1, x2, y2;
  int left, top, right, bottom;
};

TEST_F(ViewportTest, BoxesAreClippedToTheViewportOnlyWhenAskedTo) {
  const ClipCase cases[] = {
      {"clipped", 10, 20, 109, 119, true, 0, 0, 200, 200, 10, 20, 109, 119},
      {"not_clipped", 10, 20, 109, 119, false, 0, 0, 200, 200, 10, 20, 210, 220},
      {"one_pixel_viewport", 30, 40, 30, 40, true, -10, -10, 10, 10, 30, 40, 30, 40},
      {"larger_than_the_surface", -100, -100, 2000, 2000, true, 100, 100, 5000, 5000, 0, 0,
       kWidth - 1, kHeight - 1},
      // -32768 + -32768 wraps round to 0; -32068 + -32768 to 700.
      {"whole_coordinate_range", -32768, -32768, 32767, 32767, true, -32768, -32768, -32068, -32268,
       0, 0, kWidth - 1, kHeight - 1},
  };
  for (const ClipCase& c : cases) {
    SCOPED_TRACE(c.name);
    SetViewportRect(0, 0, LastColumn(), LastRow(), false);
    ClearScreen();
    SetViewportRect(c.vx1, c.vy1, c.vx2, c.vy2, c.clip);
    EXPECT_EQ(LastResult(), ResultOk);
    FillBox(c.x1, c.y1, c.x2, c.y2);
    auto expected = Picture(kWidth, kHeight, 8, 0);
    Paint(*expected, c.left, c.top, c.right, c.bottom, kBoxColor);
    EXPECT_TRUE(SamePicture(*Page(0), *expected, c.name));
    auto window = Picture(kWidth, kHeight, 32, 0);
    Paint(*window, c.left, c.top, c.right, c.bottom, kBoxRgb);
    EXPECT_TRUE(SamePicture(*Window(), *window, c.name));
  }
}

TEST_F(ViewportTest, CrossedCornersAreRefusedAndTheViewportStays) {
  SetViewportRect(10, 20, 109, 119, true);
  for (const auto& [x1, y1, x2, y2] :
       {std::array<std::int16_t, 4>{5, 5, 4, 9}, std::array<std::int16_t, 4>{5, 9, 9, 5},
        std::array<std::int16_t, 4>{32767, 0, -32768, 0}}) {
    SCOPED_TRACE(::testing::Message() << x1 << " " << y1 << " " << x2 << " " << y2);
    MovePen(3, 3);
    SetViewportRect(x1, y1, x2, y2, false);
    EXPECT_EQ(LastResult(), ResultBadParameter);
    EXPECT_EQ(PagePosition(), (platform::Point{13, 23}));
  }
  FillBox(0, 0, 200, 200);
  auto expected = Picture(kWidth, kHeight, 8, 0);
  Paint(*expected, 10, 20, 109, 119, kBoxColor);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "previous_viewport"));
}

TEST_F(ViewportTest, TheViewportMovesThePenToItsOrigin) {
  SetViewportRect(10, 20, 300, 300, false);
  EXPECT_EQ(PagePosition(), (platform::Point{10, 20}));
  EXPECT_EQ(WindowPosition(), (platform::Point{10, 20}));
  MovePen(5, 7);
  EXPECT_EQ(LastResult(), ResultOk);
  EXPECT_EQ(PagePosition(), (platform::Point{15, 27}));
  EXPECT_EQ(WindowPosition(), (platform::Point{15, 27}));
  // The sum wraps in 16 bits.
  SetViewportRect(-32768, 100, 0, 200, false);
  MovePen(-32768, 32767);
  EXPECT_EQ(PagePosition(), (platform::Point{0, -32669}));
}

// Painting lifts the clipping while it copies, so a repaint shows what lies outside the viewport.
TEST_F(ViewportTest, RepaintingIsNotClippedByTheViewport) {
  SetDrawPage(1);
  FillBox(0, 0, 9, 9);
  SetViewportRect(100, 100, 199, 199, true);
  SetShownPage(1);
  auto expected = Picture(kWidth, kHeight, 32, 0);
  Paint(*expected, 0, 0, 9, 9, kBoxRgb);
  EXPECT_TRUE(WindowBecomes(*expected, "repaint_with_clip"));
  // And the clipping is in force again afterwards.
  FillBox(-100, -100, 500, 500);
  Paint(*expected, 100, 100, 199, 199, kBoxRgb);
  EXPECT_TRUE(WindowBecomes(*expected, "clip_after_repaint"));
}

TEST_F(ViewportTest, ClosedLibraryLeavesTheViewportAndPenAlone) {
  CloseGraphics();
  SetViewportRect(0, 0, 10, 10, true);
  EXPECT_EQ(LastResult(), ResultNotOpen);
  MovePen(1, 1);
  EXPECT_EQ(LastResult(), ResultNotOpen);
}

TEST_F(ViewportTest, AspectValuesNeedNoWindowAndLeaveTheResultAlone) {
  struct AspectCase {
    std::uint16_t x, y;
    bool unit;
  };
  const AspectCase cases[] = {
      {5000, 10000, false}, {10000, 5000, false}, {10000, 10000, true},
      {0, 65535, false},    {0, 0, false},
  };
  SetFill(10, 0);  // leaves ResultBadParameter behind
  for (const bool open : {true, false}) {
    if (!open) CloseGraphics();  // leaves ResultOk behind
    const std::int16_t left_behind = LastResult();
    for (const AspectCase& c : cases) {
      SCOPED_TRACE(::testing::Message() << c.x << " " << c.y << " open " << open);
      SetAspectValues(c.x, c.y);
      EXPECT_EQ(LastResult(), left_behind);
      EXPECT_EQ(internal::State().aspect_x, c.x);
      EXPECT_EQ(internal::State().aspect_y, c.y);
      EXPECT_EQ(internal::State().unit_aspect, c.unit);
    }
  }
}

}  // namespace
}  // namespace tavlo::testing
