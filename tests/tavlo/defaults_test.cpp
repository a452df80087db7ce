// The drawing state that every new window starts with.

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/device_context.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tests/support/graphics_fixture.h"
#include "tests/tavlo/drawing_helpers.h"

namespace tavlo::testing {
namespace {

using platform::BackgroundMode;

struct DriverCase {
  std::int16_t driver;
  std::int16_t mode;
  int width, height, bits_per_pixel;
  std::uint32_t white_on_page;    // index, or 0x00RRGGBB at 32 bits
  std::uint32_t white_on_window;  // the palette's nearest to white
};

constexpr DriverCase kDrivers[] = {
    {Driver1Bit, Mode320x200, 320, 200, 1, 1, 0xffffff},
    {Driver4Bit, Mode320x200, 320, 200, 4, 15, 0xfcfcfc},
    {Driver8Bit, Mode640x480, 640, 480, 8, 15, 0xfcfcfc},
    {DriverDesktop, Mode320x200, 320, 200, 32, 0xffffff, 0xffffff},
};

void ExpectDefaultState(const DriverCase& c) {
  auto& state = internal::State();
  EXPECT_EQ(state.fill_pattern, FillSolid);
  EXPECT_EQ(state.fill_color, NamedColor[250]);
  EXPECT_EQ(state.background_color, NamedColor[12]);
  EXPECT_EQ(state.viewport.x1, 0);
  EXPECT_EQ(state.viewport.y1, 0);
  EXPECT_EQ(state.viewport.x2, c.width - 1);
  EXPECT_EQ(state.viewport.y2, c.height - 1);
  EXPECT_FALSE(state.viewport.clip);
  EXPECT_EQ(state.origin_x, 0);
  EXPECT_EQ(state.origin_y, 0);
  EXPECT_EQ(state.aspect_x, 10000u);
  EXPECT_EQ(state.aspect_y, 10000u);
  EXPECT_TRUE(state.unit_aspect);
  EXPECT_EQ(state.pen_color, NamedColor[250]);
  EXPECT_EQ(state.line_style, LineSolid);
  EXPECT_EQ(state.line_pattern, 0);
  EXPECT_EQ(state.line_thickness, 1);
  EXPECT_EQ(LastResult(), ResultOk);

  std::lock_guard lock(state.lock);
  const platform::PenRecord pen = platform::PenOf(state.pen);
  EXPECT_EQ(pen.style, platform::PenStyle::kSolid);
  EXPECT_EQ(pen.width, 1u);
  EXPECT_EQ(pen.color, ToDeviceColor(NamedColor[250]));
  EXPECT_FALSE(state.clip_region);
  for (platform::DeviceContext* dc : {state.window_dc, state.page_dc.get()}) {
    EXPECT_EQ(dc->background_color(), ToDeviceColor(NamedColor[12]));
    EXPECT_EQ(dc->background_mode(), BackgroundMode::kTransparent);
    EXPECT_EQ(dc->clip_rect(), std::nullopt);
    EXPECT_EQ(dc->position(), (platform::Point{0, 0}));
    EXPECT_EQ(dc->brush(), state.brush);
    EXPECT_EQ(dc->pen(), state.pen);
    EXPECT_EQ(dc->text_color(), ToDeviceColor(NamedColor[250]));
    EXPECT_EQ(dc->raster_op(), platform::RasterOp::kCopyPen);
  }
}

// A white box at the top-left corner, then the pattern bitmap, which starts white all over.
void ExpectWhiteFills(const DriverCase& c) {
  FillBox(0, 0, 9, 9);
  auto page = Picture(c.width, c.height, c.bits_per_pixel, 0);
  Paint(*page, 0, 0, 9, 9, c.white_on_page);
  EXPECT_TRUE(SamePicture(*Page(0), *page, "white_box"));
  auto window = Picture(c.width, c.height, 32, 0);
  Paint(*window, 0, 0, 9, 9, c.white_on_window);
  EXPECT_TRUE(WindowBecomes(*window, "white_box_window"));

  SetFill(FillUser, NamedColor[12]);
  FillBox(20, 0, 35, 15);
  Paint(*page, 20, 0, 35, 15, c.white_on_page);
  EXPECT_TRUE(SamePicture(*Page(0), *page, "white_pattern"));
}

class DefaultsTest : public GraphicsTest {};

TEST_F(DefaultsTest, EveryDriverStartsWithTheDefaults) {
  for (const DriverCase& c : kDrivers) {
    SCOPED_TRACE(c.driver);
    OpenOrFail(c.driver, c.mode);
    ExpectDefaultState(c);
    ExpectWhiteFills(c);
    CloseGraphics();
  }
}

TEST_F(DefaultsTest, ASecondOpeningForgetsWhatTheFirstWindowSet) {
  const DriverCase& c = kDrivers[2];
  OpenOrFail(c.driver, c.mode);
  SetViewportRect(10, 10, 20, 20, true);
  SetBackgroundColor(5);
  SetUserFill({0x81, 0, 0, 0, 0, 0, 0, 0x81}, 3);
  SetFill(FillCross, 3);
  SetMixMode(22);
  SetPenColor(7);
  SetPenStyle(LineDashed, 0xF0F0, 9);
  SetAspectValues(1, 2);
  MovePen(5, 5);
  CloseGraphics();

  OpenOrFail(c.driver, c.mode);
  ExpectDefaultState(c);
  ExpectWhiteFills(c);
}

}  // namespace
}  // namespace tavlo::testing
