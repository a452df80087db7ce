// Fills, the user pattern, the background colour, and the boxes painted with them.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tests/support/graphics_fixture.h"
#include "tests/tavlo/drawing_helpers.h"

namespace tavlo::testing {
namespace {

using platform::BackgroundMode;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

// How a colour value of the test lands on a page and on the window, per driver.
struct Driver {
  std::int16_t code;
  int bits_per_pixel;
};
constexpr Driver kDriver1{Driver1Bit, 1};
constexpr Driver kDriver2{Driver4Bit, 4};
constexpr Driver kDriver3{Driver8Bit, 8};
constexpr Driver kDriver9{DriverDesktop, 32};

// Test colours: small indices in the palette drivers, red-first RGB words in the desktop driver.
std::uint32_t ColorFor(const Driver& driver, std::uint32_t index_or_rgb) {
  return driver.code == DriverDesktop ? ColorValue(index_or_rgb) : index_or_rgb;
}
std::uint32_t WindowRgb(const Driver& driver, std::uint32_t page_value) {
  if (driver.code == DriverDesktop) return page_value;
  if (driver.code == Driver1Bit) return page_value == 0 ? 0x000000 : 0xffffff;
  return DefaultPaletteRedFirst()[page_value];
}

// The same picture through the window's eyes.
std::shared_ptr<platform::Surface> AsWindow(const Driver& driver, const platform::Surface& page) {
  auto window = Picture(page.width(), page.height(), 32, 0);
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      window->SetPixelAt(x, y, WindowRgb(driver, page.PixelAt(x, y)));
    }
  }
  return window;
}

// Fills the whole page with one colour through the library.
void PaintWholePage(std::uint32_t color) {
  SetFill(FillSolid, color);
  FillBox(-32768, -32768, 32767, 32767);
}

class FillTest : public GraphicsTest {};

// The hatch lines of the fill patterns, on the surface's own grid.
bool OnHatch(std::uint16_t pattern, int x, int y) {
  const bool horizontal = y % 8 == 0;
  const bool vertical = x % 8 == 0;
  const bool rising = (x + y) % 8 == 7;
  const bool falling = ((x - y) % 8 + 8) % 8 == 0;
  switch (pattern) {
    case FillHorizontal:
      return horizontal;
    case FillVertical:
      return vertical;
    case FillCross:
      return horizontal || vertical;
    case FillRisingDiagonal:
      return rising;
    case FillFallingDiagonal:
      return falling;
    case FillDiagonalCross:
      return rising || falling;
    default:
      return false;
  }
}

TEST_F(FillTest, HatchesInBothBackgroundModes) {
  for (const Driver& driver : {kDriver2, kDriver3, kDriver9}) {
    OpenOrFail(driver.code, Mode320x200);
    const std::uint32_t underneath = driver.code == DriverDesktop ? 0x203040 : 3;
    const std::uint32_t gap = driver.code == DriverDesktop ? 0x0000ff : 2;
    const std::uint32_t line = driver.code == DriverDesktop ? 0xffff00 : 9;
    for (std::uint16_t pattern = FillHorizontal; pattern <= FillDiagonalCross; ++pattern) {
      for (const BackgroundMode mode : {BackgroundMode::kTransparent, BackgroundMode::kOpaque}) {
        SCOPED_TRACE(::testing::Message() << "driver " << driver.code << " pattern " << pattern
                                          << " opaque " << (mode == BackgroundMode::kOpaque));
        PaintWholePage(ColorFor(driver, underneath));
        SetBackgroundColor(ColorFor(driver, gap));
        UseBackgroundMode(mode);
        SetFill(pattern, ColorFor(driver, line));
        FillBox(5, 6, 40, 30);
        ASSERT_EQ(LastResult(), ResultOk);

        auto expected = Picture(kWidth, kHeight, driver.bits_per_pixel, underneath);
        for (int y = 6; y <= 30; ++y) {
          for (int x = 5; x <= 40; ++x) {
            if (OnHatch(pattern, x, y)) {
              expected->SetPixelAt(x, y, line);
            } else if (mode == BackgroundMode::kOpaque) {
              expected->SetPixelAt(x, y, gap);
            }
          }
        }
        ASSERT_TRUE(SamePicture(*Page(0), *expected, "hatch_page"));
        ASSERT_TRUE(SamePicture(*Window(), *AsWindow(driver, *expected), "hatch_window"));
      }
    }
    CloseGraphics();
  }
}

// Bit 7 of byte r is column 0 of row r.
bool PatternBit(const std::array<std::uint8_t, 8>& pattern, int x, int y) {
  return (pattern[static_cast<std::size_t>(y % 8)] >> (7 - x % 8)) & 1;
}

TEST_F(FillTest, UserPatternTakesTheColoursOfItsMomentInBothBackgroundModes) {
  const std::array<std::uint8_t, 8> pattern = {0x80, 0x01, 0xF0, 0x0F, 0xAA, 0x55, 0x00, 0xFF};
  for (const Driver& driver : {kDriver1, kDriver2, kDriver3, kDriver9}) {
    OpenOrFail(driver.code, Mode320x200);
    const std::uint32_t set = driver.code == DriverDesktop ? 0x11ee22 : 1;
    const std::uint32_t clear = driver.code == DriverDesktop ? 0x3300cc : 0;
    const std::uint32_t later = driver.code == DriverDesktop ? 0x777777 : 1;
    for (const BackgroundMode mode : {BackgroundMode::kTransparent, BackgroundMode::kOpaque}) {
      SCOPED_TRACE(::testing::Message()
                   << "driver " << driver.code << " opaque " << (mode == BackgroundMode::kOpaque));
      PaintWholePage(0);
      UseBackgroundMode(mode);
      SetBackgroundColor(ColorFor(driver, clear));
      SetUserFill(pattern, ColorFor(driver, set));
      ASSERT_EQ(LastResult(), ResultOk);
      // Neither the background colour nor the fill colour of later calls repaint the pattern.
      SetBackgroundColor(ColorFor(driver, later));
      SetFill(FillUser, ColorFor(driver, later));
      FillBox(8, 16, 39, 47);

      auto expected = Picture(kWidth, kHeight, driver.bits_per_pixel, 0);
      for (int y = 16; y <= 47; ++y) {
        for (int x = 8; x <= 39; ++x)
          expected->SetPixelAt(x, y, PatternBit(pattern, x, y) ? set : clear);
      }
      ASSERT_TRUE(SamePicture(*Page(0), *expected, "user_pattern_page"));
      ASSERT_TRUE(SamePicture(*Window(), *AsWindow(driver, *expected), "user_pattern_window"));
      EXPECT_EQ(internal::State().fill_pattern, FillUser);
      EXPECT_EQ(internal::State().fill_color, ColorFor(driver, later));
    }
    CloseGraphics();
  }
}

TEST_F(FillTest, OnePixelPatternOnABackgroundOfItsMoment) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetBackgroundColor(2);
  SetUserFill({128, 0, 0, 0, 0, 0, 0, 0}, 9);
  SetBackgroundColor(5);
  FillBox(0, 0, 15, 15);
  auto expected = Picture(kWidth, kHeight, 8, 0);
  Paint(*expected, 0, 0, 15, 15, 2);
  for (const int at : {0, 8}) {
    expected->SetPixelAt(at, 0, 9);
    expected->SetPixelAt(at, 8, 9);
  }
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "one_pixel_pattern"));
}

// Each case paints one box with a viewport origin and expects the inclusive rectangle it covers
// on the page (nothing when `painted` is false).
struct BoxCase {
  const char* name;
  std::int16_t origin_x, origin_y;
  std::int16_t x1, y1, x2, y2;
  bool painted;
  int left, top, right, bottom;
};

TEST_F(FillTest, BoxesCoverBothEndsAfterTheOriginIsAdded) {
  const BoxCase cases[] = {
      {"worked_example", 0, 0, 4, 6, 6, 8, true, 4, 6, 6, 8},
      {"one_pixel", 0, 0, 5, 5, 5, 5, true, 5, 5, 5, 5},
      {"crossed_corners", 0, 0, 6, 8, 4, 6, true, 4, 6, 6, 8},
      {"viewport_origin", 100, 50, 0, 0, 9, 9, true, 100, 50, 109, 59},
      {"crossed_then_moved", 10, 10, 5, 5, -5, -5, true, 5, 5, 15, 15},
      {"partly_off_the_page", 0, 0, -5, -5, 2, 3, true, 0, 0, 2, 3},
      {"whole_16_bit_range", 0, 0, -32768, -32768, 32767, 32767, true, 0, 0, kWidth - 1,
       kHeight - 1},
      {"far_corner_of_the_range", 0, 0, 32767, 32767, 32767, 32767, false, 0, 0, 0, 0},
      {"right_of_the_page", 0, 0, 400, 0, 500, 10, false, 0, 0, 0, 0},
      {"left_of_the_page", 0, 0, -32768, -10, -1, -1, false, 0, 0, 0, 0},
      // -32768 + -32768 wraps round to 0.
      {"origin_wraps_onto_the_page", -32768, -32768, -32768, -32768, -32759, -32759, true, 0, 0, 9,
       9},
      // 32600 + 300 wraps to -32636: the box lands far to the left.
      {"origin_wraps_off_the_page", 300, 0, 32600, 0, 32767, 0, false, 0, 0, 0, 0},
  };
  OpenOrFail(Driver8Bit, Mode320x200);
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.name);
    ClearScreen();
    SetViewportRect(c.origin_x, c.origin_y, 32767, 32767, false);
    SetFill(FillSolid, 9);
    FillBox(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(LastResult(), ResultOk);
    auto expected = Picture(kWidth, kHeight, 8, 0);
    if (c.painted) Paint(*expected, c.left, c.top, c.right, c.bottom, 9);
    EXPECT_TRUE(SamePicture(*Page(0), *expected, c.name));
    EXPECT_TRUE(SamePicture(*Window(), *AsWindow(kDriver3, *expected), c.name));
  }
}

TEST_F(FillTest, RefusedPatternKeepsTheFillAndItsBrush) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetFill(FillCross, 9);
  const platform::BrushHandle brush = internal::State().brush;
  SetFill(10, 4);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  SetFill(65535, 4);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  EXPECT_EQ(internal::State().brush, brush);
  EXPECT_EQ(internal::State().fill_pattern, FillCross);
  EXPECT_EQ(internal::State().fill_color, 9u);

  FillBox(0, 0, 7, 7);
  auto expected = Picture(kWidth, kHeight, 8, 0);
  for (int y = 0; y <= 7; ++y) {
    for (int x = 0; x <= 7; ++x) {
      if (OnHatch(FillCross, x, y)) expected->SetPixelAt(x, y, 9);
    }
  }
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "previous_fill"));
}

TEST_F(FillTest, BackgroundPatternPaintsTheBackgroundWhateverTheColour) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetBackgroundColor(6);
  SetFill(FillBackground, 9);
  EXPECT_EQ(LastResult(), ResultOk);
  EXPECT_EQ(internal::State().fill_color, 6u);
  FillBox(0, 0, 3, 3);
  auto expected = Picture(kWidth, kHeight, 8, 0);
  Paint(*expected, 0, 0, 3, 3, 6);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "background_fill"));
}

TEST_F(FillTest, HollowFillPaintsNothing) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetFill(FillHollow, 9);
  EXPECT_EQ(LastResult(), ResultOk);
  FillBox(0, 0, 100, 100);
  EXPECT_EQ(LastResult(), ResultOk);
  EXPECT_TRUE(SamePicture(*Page(0), *Picture(kWidth, kHeight, 8, 0), "hollow"));
}

TEST_F(FillTest, EraseViewportPaintsTheViewportAndKeepsTheFill) {
  OpenOrFail(Driver8Bit, Mode320x200);
  PaintWholePage(9);
  SetBackgroundColor(2);
  SetViewportRect(10, 20, 49, 59, false);
  SetFill(FillCross, 7);
  MovePen(30, 30);
  EraseViewport();
  EXPECT_EQ(LastResult(), ResultOk);

  auto expected = Picture(kWidth, kHeight, 8, 9);
  Paint(*expected, 10, 20, 49, 59, 2);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "erased_viewport"));
  EXPECT_TRUE(SamePicture(*Window(), *AsWindow(kDriver3, *expected), "erased_viewport_window"));
  EXPECT_EQ(internal::State().fill_pattern, FillCross);
  EXPECT_EQ(internal::State().fill_color, 7u);
  EXPECT_EQ(internal::State().page_dc->position(), (platform::Point{10, 20}));

  // The fill that comes back is the cross hatch in 7.
  FillBox(0, 0, 7, 7);
  for (int y = 20; y <= 27; ++y) {
    for (int x = 10; x <= 17; ++x) {
      if (OnHatch(FillCross, x, y)) expected->SetPixelAt(x, y, 7);
    }
  }
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "fill_after_erase"));
}

TEST_F(FillTest, EraseViewportKeepsTheUserPattern) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetUserFill({0xFF, 0, 0, 0, 0, 0, 0, 0}, 9);
  EraseViewport();
  FillBox(0, 0, 7, 7);
  auto expected = Picture(kWidth, kHeight, 8, 0);
  Paint(*expected, 0, 0, 7, 0, 9);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "pattern_after_erase"));
}

// The size of a viewport from -32768 to 32767 does not fit in 16 bits; erasing it still covers
// all of it.
TEST_F(FillTest, EraseViewportCoversAViewportWiderThanTheCoordinateRange) {
  OpenOrFail(Driver8Bit, Mode320x200);
  PaintWholePage(9);
  SetBackgroundColor(2);
  for (const bool clip : {false, true}) {
    SCOPED_TRACE(clip);
    SetViewportRect(-32768, -32768, 32767, 32767, clip);
    PaintWholePage(9);
    EraseViewport();
    EXPECT_TRUE(SamePicture(*Page(0), *Picture(kWidth, kHeight, 8, 2), "erase_huge_viewport"));
  }
}

TEST_F(FillTest, ClearScreenClearsThePageAndRestoresTheClippingViewport) {
  OpenOrFail(Driver8Bit, Mode320x200);
  PaintWholePage(9);
  SetBackgroundColor(2);
  SetViewportRect(10, 20, 49, 59, true);
  ClearScreen();
  EXPECT_EQ(LastResult(), ResultOk);
  auto expected = Picture(kWidth, kHeight, 8, 2);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "cleared"));
  EXPECT_EQ(internal::State().page_dc->position(), (platform::Point{10, 20}));

  SetFill(FillSolid, 4);
  FillBox(-100, -100, 500, 500);
  Paint(*expected, 10, 20, 49, 59, 4);
  EXPECT_TRUE(SamePicture(*Page(0), *expected, "clipped_after_clear"));
  EXPECT_TRUE(SamePicture(*Window(), *AsWindow(kDriver3, *expected), "clipped_window"));
}

TEST_F(FillTest, ClosedLibraryRefusesFillsAndDrawsNothing) {
  const std::function<void()> operations[] = {
      [] { SetFill(FillSolid, 1); }, [] { SetUserFill({}, 1); }, [] { FillBox(0, 0, 1, 1); },
      [] { SetBackgroundColor(1); }, [] { EraseViewport(); },    [] { ClearScreen(); },
      [] { SetFill(10, 1); },
  };
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    operations[i]();
    EXPECT_EQ(LastResult(), ResultNotOpen);
  }
}

// Every setting replaces the object it made before; closing releases what is left.
TEST_F(FillTest, SettingsReplaceTheirObjectsAndClosingReleasesThem) {
  const std::size_t before_opening = platform::LiveObjectCount();
  OpenOrFail(Driver8Bit, Mode320x200);
  const std::size_t after_opening = platform::LiveObjectCount();
  for (std::uint16_t i = 0; i < 50; ++i) {
    const auto byte = static_cast<std::uint8_t>(i);
    SetFill(static_cast<std::uint16_t>(i % 10), i);
    SetUserFill({byte, 0, 0, 0, 0, 0, 0, byte}, i);
    SetViewportRect(0, 0, 20, 20, true);
    EraseViewport();
    ClearScreen();
  }
  SetViewportRect(0, 0, 20, 20, false);
  SetFill(FillSolid, 1);
  EXPECT_EQ(platform::LiveObjectCount(), after_opening);
  SetViewportRect(0, 0, 20, 20, true);
  CloseGraphics();
  EXPECT_EQ(platform::LiveObjectCount(), before_opening);
}

}  // namespace
}  // namespace tavlo::testing
