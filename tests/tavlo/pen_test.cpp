// The pen, the mix mode, pixels and outlines, read back from the pages and the window.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <mutex>
#include <ostream>
#include <random>
#include <string_view>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tests/support/graphics_fixture.h"
#include "tests/tavlo/drawing_helpers.h"

namespace tavlo::testing {
namespace {

using platform::BackgroundMode;
using platform::RasterOp;

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr std::uint32_t kUnderneath = 3;
constexpr std::uint32_t kPen = 9;
constexpr std::uint32_t kGap = 5;

class PenTest : public GraphicsTest {
 protected:
  // An 8-bit window whose page 0 is all `kUnderneath`, drawn with the default pen and mix mode.
  void OpenEightBit() {
    OpenOrFail(Driver8Bit, Mode320x200);
    SetFill(FillSolid, kUnderneath);
    FillBox(0, 0, kWidth - 1, kHeight - 1);
  }
};

// The smallest box holding every pixel of the page that is not `kUnderneath`.
struct Bounds {
  int left = 1 << 20;
  int top = 1 << 20;
  int right = -1;
  int bottom = -1;
  friend bool operator==(const Bounds&, const Bounds&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Bounds& b) {
    return out << "(" << b.left << ", " << b.top << ")-(" << b.right << ", " << b.bottom << ")";
  }
};

Bounds DrawnBounds(const platform::Surface& page) {
  Bounds b;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.PixelAt(x, y) == kUnderneath) continue;
      b.left = std::min(b.left, x);
      b.top = std::min(b.top, y);
      b.right = std::max(b.right, x);
      b.bottom = std::max(b.bottom, y);
    }
  }
  return b;
}

int CountValue(const platform::Surface& page, std::uint32_t value) {
  int count = 0;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) count += page.PixelAt(x, y) == value ? 1 : 0;
  }
  return count;
}

struct ExtremesCase {
  std::string_view name;
  std::uint16_t aspect_x, aspect_y;
  std::int16_t origin_x, origin_y;
  std::int16_t x, y;
  std::uint16_t radius;
  Bounds expected;
};
void PrintTo(const ExtremesCase& c, std::ostream* out) { *out << c.name; }

class CircleExtremesTest : public PenTest, public ::testing::WithParamInterface<ExtremesCase> {};

// The radius reaches exactly as far as the aspect values say: 10000 / aspect times the radius,
// truncated.
TEST_P(CircleExtremesTest, OutlineReachesItsRadiiAndNoFurther) {
  const ExtremesCase& c = GetParam();
  OpenEightBit();
  SetViewportRect(c.origin_x, c.origin_y, kWidth - 1, kHeight - 1, false);
  SetAspectValues(c.aspect_x, c.aspect_y);
  SetPenColor(kPen);
  DrawCircle(c.x, c.y, c.radius);
  ASSERT_EQ(LastResult(), ResultOk);
  const auto page = Page(0);
  EXPECT_EQ(DrawnBounds(*page), c.expected);
  EXPECT_EQ(CountValue(*page, kPen) + CountValue(*page, kUnderneath), kWidth * kHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Pen, CircleExtremesTest,
    ::testing::Values(
        ExtremesCase{"unit_aspect", 10000, 10000, 0, 0, 100, 100, 10, {90, 90, 110, 110}},
        ExtremesCase{"rows_halved", 10000, 20000, 0, 0, 100, 100, 10, {90, 95, 110, 105}},
        ExtremesCase{"columns_doubled", 5000, 10000, 0, 0, 100, 100, 10, {80, 90, 120, 110}},
        ExtremesCase{"correction_truncates", 10000, 30000, 0, 0, 100, 100, 10, {90, 97, 110, 103}},
        ExtremesCase{"viewport_origin", 10000, 10000, 30, 40, 0, 0, 5, {25, 35, 35, 45}},
        ExtremesCase{"radius_zero", 10000, 10000, 0, 0, 50, 60, 0, {50, 60, 50, 60}},
        ExtremesCase{"cut_at_the_corner", 10000, 10000, 0, 0, 0, 0, 30, {0, 0, 30, 30}}),
    [](const auto& param_info) { return std::string(param_info.param.name); });

// DrawEllipseArc(x, y, 0, 90, 20, 10) runs from (x + 20, y) counter-clockwise up to (x, y - 10):
// the upper right quarter and nothing else.
TEST_F(PenTest, QuarterArcRunsFromRightUpToTop) {
  OpenEightBit();
  SetPenColor(kPen);
  DrawEllipseArc(100, 100, 0, 90, 20, 10);
  ASSERT_EQ(LastResult(), ResultOk);
  const auto page = Page(0);
  EXPECT_EQ(page->PixelAt(120, 100), kPen);
  EXPECT_EQ(page->PixelAt(100, 90), kPen);
  EXPECT_EQ(DrawnBounds(*page), (Bounds{100, 90, 120, 100}));
}

struct SameArcCase {
  std::string_view name;
  std::uint16_t start, end;            // as drawn
  std::uint16_t same_start, same_end;  // an arc that must look the same
};
void PrintTo(const SameArcCase& c, std::ostream* out) { *out << c.name; }

class SameArcTest : public PenTest, public ::testing::WithParamInterface<SameArcCase> {};

// Angles are taken modulo 360 through their sine and cosine; equal rays give the whole ellipse.
TEST_P(SameArcTest, AnglesBeyondAFullTurnDrawTheSameArc) {
  const SameArcCase& c = GetParam();
  OpenEightBit();
  SetPenColor(kPen);
  DrawEllipseArc(100, 100, c.same_start, c.same_end, 30, 20);
  const auto expected = Page(0);
  FillBox(0, 0, kWidth - 1, kHeight - 1);
  DrawEllipseArc(100, 100, c.start, c.end, 30, 20);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, c.name));
}

INSTANTIATE_TEST_SUITE_P(Pen, SameArcTest,
                         ::testing::Values(SameArcCase{"start_450_is_90", 450, 180, 90, 180},
                                           SameArcCase{"end_400_is_40", 300, 400, 300, 40},
                                           SameArcCase{"0_to_360_is_whole", 0, 360, 0, 0},
                                           SameArcCase{"720_to_0_is_whole", 720, 0, 0, 0}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// The sixteen raster operations on palette indices, computed here from their definitions.
TEST_F(PenTest, MixModesCombinePenAndPixelAsTheirTableSays) {
  constexpr std::uint32_t P = 0x33;
  constexpr std::uint32_t D = 0x5A;
  const std::function<std::uint32_t(std::uint32_t, std::uint32_t)> kOps[16] = {
      [](auto p, auto) { return p; },          [](auto p, auto d) { return p ^ d; },
      [](auto p, auto d) { return p | d; },    [](auto p, auto d) { return p & d; },
      [](auto p, auto) { return ~p; },         [](auto, auto d) { return ~d; },
      [](auto p, auto d) { return ~(p ^ d); }, [](auto p, auto d) { return ~(p | d); },
      [](auto p, auto d) { return ~(p & d); }, [](auto p, auto d) { return ~p & d; },
      [](auto p, auto d) { return ~p | d; },   [](auto p, auto d) { return p & ~d; },
      [](auto p, auto d) { return p | ~d; },   [](auto, auto) { return 0u; },
      [](auto, auto) { return 0xFFFFFFFFu; },  [](auto, auto d) { return d; }};
  OpenOrFail(Driver8Bit, Mode320x200);
  SetPenColor(P);
  for (std::int16_t mode = 0; mode < 32; ++mode) {
    SCOPED_TRACE(mode);
    SetFill(FillSolid, D);
    FillBox(0, 0, kWidth - 1, kHeight - 1);
    SetMixMode(mode);
    ASSERT_EQ(LastResult(), ResultOk);
    DrawCircle(100, 100, 10);
    const auto page = Page(0);
    EXPECT_EQ(page->PixelAt(110, 100), kOps[mode % 16](P, D) & 0xFF);
    EXPECT_EQ(page->PixelAt(100, 100), D);  // inside the outline: untouched
  }
}

// On the desktop driver the operations act on RGB values, and the window shows the same.
TEST_F(PenTest, MixModesActOnRgbInTheDesktopDriver) {
  OpenOrFail(DriverDesktop, Mode320x200);
  const std::uint32_t pen_rgb = 0x123456;
  const std::uint32_t under_rgb = 0xF0C030;
  struct Row {
    std::int16_t mode;
    std::uint32_t expected_rgb;
  };
  for (const Row& row : {Row{1, pen_rgb ^ under_rgb}, Row{4, ~pen_rgb & 0xFFFFFF},
                         Row{5, ~under_rgb & 0xFFFFFF}, Row{14, 0xFFFFFF}}) {
    SCOPED_TRACE(row.mode);
    SetFill(FillSolid, ColorValue(under_rgb));
    FillBox(0, 0, kWidth - 1, kHeight - 1);
    SetPenColor(ColorValue(pen_rgb));
    SetMixMode(row.mode);
    DrawCircle(50, 50, 20);
    EXPECT_EQ(Page(0)->RgbAt(70, 50), row.expected_rgb);
    EXPECT_EQ(Window()->RgbAt(70, 50), row.expected_rgb);
  }
}

// Exclusive-or twice gives back every pixel, on the page and on the window, however the outlines
// lie; PlotPixel still sets its pixel outright.
TEST_F(PenTest, ExclusiveOrOutlinesDrawnTwiceRestoreEveryPixel) {
  OpenOrFail(Driver8Bit, Mode320x200);
  std::mt19937 rng(20261211);
  std::uniform_int_distribution<std::uint32_t> colour(0, 255);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      PlotPixel(static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), colour(rng));
    }
  }
  const auto before = Page(0);
  const auto window_before = Window();
  SetMixMode(1);
  SetPenColor(0xA5);
  auto outlines = [] {
    DrawCircle(160, 100, 50);
    DrawCircle(0, 0, 65535);
    DrawCircle(-32768, 32767, 40000);
    DrawEllipseArc(300, 20, 30, 300, 90, 25);
    DrawEllipseArc(10, 190, 0, 0, 1, 200);
  };
  outlines();
  EXPECT_FALSE(SamePicture(*Page(0), *before, "xor_once"));
  outlines();
  EXPECT_TRUE(SamePicture(*Page(0), *before, "xor_twice"));
  EXPECT_TRUE(WindowBecomes(*window_before, "xor_twice_window"));

  PlotPixel(5, 5, 77);
  PlotPixel(5, 5, 77);
  EXPECT_EQ(Page(0)->PixelAt(5, 5), 77u);
}

// A styled pen draws part of the solid pen's outline. Its gaps take the background colour in the
// opaque background mode and keep what was there in the transparent one.
TEST_F(PenTest, StyledPensLeaveGapsThatTheBackgroundModeFills) {
  OpenEightBit();
  SetPenColor(kPen);
  DrawCircle(160, 100, 40);
  const int solid = CountValue(*Page(0), kPen);
  ASSERT_GT(solid, 200);
  for (std::uint16_t style : {LineDotted, LineDashDot, LineDashed, LineDashDotDot}) {
    for (const std::int16_t mode : {std::int16_t{0}, std::int16_t{16}}) {
      SCOPED_TRACE(::testing::Message() << "style " << style << " mode " << mode);
      SetFill(FillSolid, kUnderneath);
      FillBox(0, 0, kWidth - 1, kHeight - 1);
      SetBackgroundColor(kGap);
      SetMixMode(mode);
      SetPenStyle(style, 0, 1);
      DrawCircle(160, 100, 40);
      const auto page = Page(0);
      const int on = CountValue(*page, kPen);
      const int gaps = CountValue(*page, kGap);
      EXPECT_GT(on, 0);
      EXPECT_LT(on, solid);
      if (mode == 16) {
        EXPECT_EQ(on + gaps, solid);
      } else {
        EXPECT_EQ(gaps, 0);
      }
      EXPECT_EQ(on + gaps + CountValue(*page, kUnderneath), kWidth * kHeight);
      // Every pixel drawn lies on the circle.
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          if (page->PixelAt(x, y) == kUnderneath) continue;
          EXPECT_NEAR(std::hypot(x - 160.0, y - 100.0), 40.0, 1.0) << x << ", " << y;
        }
      }
    }
  }
}

TEST_F(PenTest, InvisibleStylesDrawNothing) {
  OpenEightBit();
  SetPenColor(kPen);
  for (std::uint16_t style : {std::uint16_t{5}, std::uint16_t{6}}) {
    SetPenStyle(style, 0, 1);
    EXPECT_EQ(LastResult(), ResultOk);
    DrawCircle(100, 100, 30);
    EXPECT_EQ(CountValue(*Page(0), kUnderneath), kWidth * kHeight) << style;
  }
}

// A refused style keeps the pen and its settings; a new colour keeps the style, and a new style
// keeps the colour.
TEST_F(PenTest, PenKeepsItsColourAndStyleAcrossChangesAndRefusals) {
  OpenEightBit();
  auto& state = internal::State();
  SetPenColor(40);
  SetPenStyle(LineDashed, 0x1234, 1);
  platform::PenRecord pen = platform::PenOf(state.pen);
  EXPECT_EQ(pen.style, platform::PenStyle::kDash);
  EXPECT_EQ(pen.width, 1u);
  EXPECT_EQ(pen.color, ToDeviceColor(40));

  const platform::PenHandle before = state.pen;
  SetPenStyle(7, 0, 1);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  EXPECT_EQ(state.pen, before);
  EXPECT_EQ(state.line_style, LineDashed);
  EXPECT_EQ(state.line_pattern, 0x1234);

  SetPenStyle(LineDashDot, 0, 3);
  SetPenColor(41);
  pen = platform::PenOf(state.pen);
  EXPECT_EQ(pen.style, platform::PenStyle::kDashDot);
  EXPECT_EQ(pen.width, 3u);
  EXPECT_EQ(pen.color, ToDeviceColor(41));
  std::lock_guard lock(state.lock);
  for (platform::DeviceContext* dc : {state.window_dc, state.page_dc.get()}) {
    EXPECT_EQ(dc->pen(), state.pen);
    EXPECT_EQ(dc->text_color(), ToDeviceColor(41));
  }
}

struct MixModeCase {
  std::int16_t mode;
  std::int16_t result;
  RasterOp op;  // afterwards, with the previous mode 6 (not-xor, transparent)
  BackgroundMode background;
};
void PrintTo(const MixModeCase& c, std::ostream* out) { *out << "mode " << c.mode; }

class MixModeTest : public PenTest, public ::testing::WithParamInterface<MixModeCase> {};

TEST_P(MixModeTest, AcceptsZeroToThirtyOneAndSetsBothContexts) {
  const MixModeCase& c = GetParam();
  OpenEightBit();
  SetMixMode(6);
  SetMixMode(c.mode);
  EXPECT_EQ(LastResult(), c.result);
  auto& state = internal::State();
  std::lock_guard lock(state.lock);
  for (platform::DeviceContext* dc : {state.window_dc, state.page_dc.get()}) {
    EXPECT_EQ(dc->raster_op(), c.op);
    EXPECT_EQ(dc->background_mode(), c.background);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pen, MixModeTest,
    ::testing::Values(
        MixModeCase{0, ResultOk, RasterOp::kCopyPen, BackgroundMode::kTransparent},
        MixModeCase{15, ResultOk, RasterOp::kNop, BackgroundMode::kTransparent},
        MixModeCase{16, ResultOk, RasterOp::kCopyPen, BackgroundMode::kOpaque},
        MixModeCase{17, ResultOk, RasterOp::kXorPen, BackgroundMode::kOpaque},
        MixModeCase{31, ResultOk, RasterOp::kNop, BackgroundMode::kOpaque},
        MixModeCase{32, ResultBadParameter, RasterOp::kNotXorPen, BackgroundMode::kTransparent},
        MixModeCase{-1, ResultBadParameter, RasterOp::kNotXorPen, BackgroundMode::kTransparent},
        MixModeCase{-16, ResultBadParameter, RasterOp::kNotXorPen, BackgroundMode::kTransparent},
        MixModeCase{-32768, ResultBadParameter, RasterOp::kNotXorPen,
                    BackgroundMode::kTransparent}));

TEST_F(PenTest, PlotPixelIsViewportRelativeAndIgnoresPenAndMixMode) {
  OpenEightBit();
  SetViewportRect(10, 20, kWidth - 1, kHeight - 1, false);
  SetPenColor(kPen);
  SetMixMode(1);
  PlotPixel(0, 0, 200);
  PlotPixel(-10, -20, 256 + 7);  // the page's corner; colours wrap at the palette size
  PlotPixel(-11, 0, 1);          // off the page: nothing
  PlotPixel(32767, 32767, 1);
  ASSERT_EQ(LastResult(), ResultOk);
  auto expected = Picture(kWidth, kHeight, 8, kUnderneath);
  expected->SetPixelAt(10, 20, 200);
  expected->SetPixelAt(0, 0, 7);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "plot_pixel"));
}

// Drawing on the shown page shows at once; drawing on a hidden page leaves the window alone.
TEST_F(PenTest, OutlinesReachTheWindowOnlyFromTheShownPage) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetPenColor(kPen);
  SetDrawPage(1);
  DrawCircle(60, 60, 20);
  PlotPixel(1, 1, kPen);
  auto black = Picture(kWidth, kHeight, 32, 0);
  EXPECT_TRUE(SamePicture(*Window(), *black, "hidden_page_window"));
  const auto hidden = Page(1);
  EXPECT_EQ(hidden->PixelAt(80, 60), kPen);
  EXPECT_EQ(hidden->PixelAt(1, 1), kPen);

  SetDrawPage(0);
  DrawCircle(60, 60, 20);
  PlotPixel(1, 1, kPen);
  auto window = Picture(kWidth, kHeight, 32, 0);
  const std::uint32_t pen_rgb = DefaultPaletteRedFirst()[kPen];
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      if (hidden->PixelAt(x, y) == kPen) window->SetPixelAt(x, y, pen_rgb);
    }
  }
  EXPECT_TRUE(WindowBecomes(*window, "shown_page_window"));
}

// An aspect value of 0 would divide by zero: the outline is refused instead.
TEST_F(PenTest, ZeroAspectValueDrawsNothingAndIsRefused) {
  OpenEightBit();
  SetPenColor(kPen);
  for (auto [aspect_x, aspect_y] : {std::pair<std::uint16_t, std::uint16_t>{0, 10000},
                                    std::pair<std::uint16_t, std::uint16_t>{10000, 0}}) {
    SetAspectValues(aspect_x, aspect_y);
    DrawCircle(100, 100, 10);
    EXPECT_EQ(LastResult(), ResultBadParameter);
    DrawEllipseArc(100, 100, 0, 90, 10, 10);
    EXPECT_EQ(LastResult(), ResultBadParameter);
  }
  EXPECT_EQ(CountValue(*Page(0), kUnderneath), kWidth * kHeight);
}

TEST_F(PenTest, WithoutAWindowEveryOperationIsRefusedAndTheColourRecorded) {
  const std::function<void()> operations[] = {[] { SetPenStyle(LineDashed, 0, 1); },
                                              [] { SetMixMode(1); },
                                              [] { PlotPixel(1, 1, 1); },
                                              [] { DrawEllipseArc(1, 1, 0, 90, 5, 5); },
                                              [] { DrawCircle(1, 1, 5); },
                                              [] { SetPenColor(33); }};
  for (const auto& operation : operations) {
    operation();
    EXPECT_EQ(LastResult(), ResultNotOpen);
  }
  EXPECT_EQ(internal::State().pen_color, 33u);
  OpenOrFail(Driver8Bit, Mode320x200);
  EXPECT_EQ(internal::State().pen_color, NamedColor[250]);
}

}  // namespace
}  // namespace tavlo::testing
