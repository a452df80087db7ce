// Colour values, the default palette, named colours, palette changes and the four pages.

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/color.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/support/graphics_fixture.h"
#include "tests/tavlo/drawing_helpers.h"

namespace tavlo::testing {
namespace {

using platform::ColorTableEntry;

constexpr int kWidth = 320;
constexpr int kHeight = 200;

ColorTableEntry TableEntry(std::uint32_t rrggbb) {
  return ColorTableEntry{static_cast<std::uint8_t>(rrggbb), static_cast<std::uint8_t>(rrggbb >> 8),
                         static_cast<std::uint8_t>(rrggbb >> 16), 0};
}

// The palette each driver starts with, red first.
std::vector<std::uint32_t> StartingPalette(std::int16_t driver) {
  const auto table = DefaultPaletteRedFirst();
  switch (driver) {
    case Driver1Bit:
      return {0x000000, 0xffffff};
    case Driver4Bit:
      return {table.begin(), table.begin() + 16};
    default:
      return {table.begin(), table.end()};
  }
}

// A page pixel as the window would show it.
std::uint32_t ShownRgb(std::int16_t driver, std::uint32_t page_value) {
  if (driver == DriverDesktop) return page_value;
  return StartingPalette(driver)[page_value];
}

class PaletteTest : public GraphicsTest {};

TEST_F(PaletteTest, DefaultPaletteOfEachDriver) {
  for (const std::int16_t driver : {Driver1Bit, Driver4Bit, Driver8Bit, DriverDesktop}) {
    SCOPED_TRACE(driver);
    OpenOrFail(driver, Mode320x200);
    PaletteRecord record;
    record.colors.fill(0xDEADBEEF);
    GetDefaultPalette(record);

    const auto table = DefaultPaletteRedFirst();
    std::vector<std::uint32_t> expected =
        driver == DriverDesktop ? std::vector<std::uint32_t>(table.begin(), table.end())
                                : StartingPalette(driver);
    ASSERT_EQ(record.size, expected.size());
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t want = i < expected.size() ? ColorValue(expected[i]) : 0xDEADBEEF;
      EXPECT_EQ(record.colors[i], want) << "entry " << i;
    }
    CloseGraphics();
  }
}

TEST_F(PaletteTest, OpeningInstallsTheDriversPaletteOnTheDrawPage) {
  for (const std::int16_t driver : {Driver1Bit, Driver4Bit, Driver8Bit}) {
    SCOPED_TRACE(driver);
    OpenOrFail(driver, Mode320x200);
    const std::vector<std::uint32_t> palette = StartingPalette(driver);
    EXPECT_EQ(inspect::PaletteSize(), palette.size());
    const auto table = inspect::ColorTable();
    const auto page = Page(0);
    ASSERT_EQ(table.size(), palette.size());
    ASSERT_GE(page->color_table().size(), palette.size());
    for (std::size_t i = 0; i < palette.size(); ++i) {
      EXPECT_EQ(table[i], TableEntry(palette[i])) << "entry " << i;
      EXPECT_EQ(page->color_table()[i], TableEntry(palette[i])) << "page entry " << i;
    }
    CloseGraphics();
  }
}

TEST_F(PaletteTest, NamedColorsPointAtTheNearestEntryOrHoldTheirValue) {
  const auto named = NamedColorsRedFirst();
  for (const std::int16_t driver : {Driver1Bit, Driver4Bit, Driver8Bit, DriverDesktop}) {
    SCOPED_TRACE(driver);
    OpenOrFail(driver, Mode320x200);
    std::array<std::uint32_t, 256> palette{};
    const std::vector<std::uint32_t> starting = StartingPalette(driver);
    std::copy(starting.begin(), starting.end(), palette.begin());
    for (std::size_t i = 0; i < 256; ++i) {
      const std::uint32_t want =
          driver == DriverDesktop
              ? ColorValue(named[i])
              : NearestEntry(palette, static_cast<int>(starting.size()), named[i]);
      EXPECT_EQ(NamedColor[i], want) << "named colour " << i;
    }
    CloseGraphics();
  }
}

TEST_F(PaletteTest, BlackAndWhiteNamedColorsInTheEightBitPalette) {
  OpenOrFail(Driver8Bit, Mode320x200);
  EXPECT_EQ(NamedColor[12], 0u);    // 000000, first of several blacks
  EXPECT_EQ(NamedColor[250], 15u);  // fcfcfc, before its twin at 31
}

// Each case fills one pixel with a colour value and reads the page and the window.
struct ColorCase {
  std::int16_t driver;
  std::uint32_t color;
  std::uint32_t page_value;  // index, or 0x00RRGGBB at 32 bits
};

TEST_F(PaletteTest, ColorValuesWrapAroundThePaletteOrAreRgb) {
  const ColorCase cases[] = {
      {Driver8Bit, 300, 44},                // 300 modulo 256
      {Driver8Bit, 0xFFFFFFFF, 255},        // the top of the unsigned range
      {Driver4Bit, 17, 1},                  // modulo 16
      {Driver1Bit, 3, 1},                   // modulo 2
      {DriverDesktop, 0x0000FF, 0xFF0000},  // red in the low byte
      {DriverDesktop, 0xFF0000, 0x0000FF},  // blue in the third byte
  };
  for (const ColorCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << "driver " << c.driver << " colour " << c.color);
    OpenOrFail(c.driver, Mode320x200);
    SetFill(FillSolid, c.color);
    FillBox(3, 4, 3, 4);
    EXPECT_EQ(LastResult(), ResultOk);
    EXPECT_EQ(Page(0)->PixelAt(3, 4), c.page_value);
    EXPECT_EQ(Window()->RgbAt(3, 4), ShownRgb(c.driver, c.page_value));
    CloseGraphics();
  }
}

TEST_F(PaletteTest, ToDeviceColorNamesAPaletteEntryInPaletteDrivers) {
  OpenOrFail(Driver8Bit, Mode320x200);
  EXPECT_EQ(ToDeviceColor(300), 0x01000000u + 44);
  CloseGraphics();
  OpenOrFail(DriverDesktop, Mode320x200);
  EXPECT_EQ(ToDeviceColor(0x00123456), 0x00123456u);
}

TEST_F(PaletteTest, OneEntryTakesTheLowBytesAndReachesTheWindow) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetPaletteEntry(0, 300, 0x1FF, 0x203);
  EXPECT_EQ(LastResult(), ResultOk);
  const ColorTableEntry want{0x03, 0xFF, 44, 0};
  EXPECT_EQ(inspect::ColorTable()[0], want);
  EXPECT_EQ(Page(0)->color_table()[0], want);
  EXPECT_EQ(inspect::PaletteSize(), 256);
  // Every pixel of the fresh page is entry 0.
  EXPECT_TRUE(WindowBecomes(*Picture(kWidth, kHeight, 32, 0x2CFF03), "entry_zero_changed"));
}

TEST_F(PaletteTest, PaletteChangeRecoloursTheShownPage) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetFill(FillSolid, 5);
  FillBox(10, 20, 29, 39);
  auto expected = Picture(kWidth, kHeight, 32, 0x000000);
  Paint(*expected, 10, 20, 29, 39, 0xa800a8);
  EXPECT_TRUE(WindowBecomes(*expected, "box_in_entry_5"));

  SetPaletteEntry(5, 0x0a, 0x14, 0x1e);
  Paint(*expected, 10, 20, 29, 39, 0x0a141e);
  EXPECT_TRUE(WindowBecomes(*expected, "entry_5_changed"));
  // The page keeps its indices; only their meaning changed.
  EXPECT_EQ(Page(0)->PixelAt(10, 20), 5u);
  // Drawing after the change goes onto the window in the new colour, with no repaint to help.
  FillBox(50, 50, 50, 50);
  EXPECT_EQ(Window()->RgbAt(50, 50), 0x0a141eu);
}

TEST_F(PaletteTest, WholePaletteReachesTheWindowAndNewDrawing) {
  OpenOrFail(Driver8Bit, Mode320x200);
  PaletteRecord record;
  record.size = 256;
  for (std::uint32_t i = 0; i < 256; ++i) record.colors[i] = ColorValue(i << 16 | 0x0000FF);
  SetWholePalette(record);
  EXPECT_EQ(LastResult(), ResultOk);
  // Drawn after the change, straight onto the window in the new colours.
  SetFill(FillSolid, 7);
  FillBox(0, 0, 9, 9);
  auto expected = Picture(kWidth, kHeight, 32, 0x0000FF);
  Paint(*expected, 0, 0, 9, 9, 0x0700FF);
  EXPECT_TRUE(WindowBecomes(*expected, "whole_palette"));
}

TEST_F(PaletteTest, ASmallerPaletteWrapsColoursAndLimitsEntries) {
  OpenOrFail(Driver8Bit, Mode320x200);
  PaletteRecord record;
  record.size = 16;
  std::array<std::uint32_t, 256> red_first{};
  for (std::uint32_t i = 0; i < 16; ++i) {
    red_first[i] = (i * 16) << 16 | (255 - i * 16) << 8 | 0x40;
    record.colors[i] = ColorValue(red_first[i]);
  }
  record.colors[16] = ColorValue(0x123456);  // beyond the size: ignored
  SetWholePalette(record);
  ASSERT_EQ(LastResult(), ResultOk);
  EXPECT_EQ(inspect::PaletteSize(), 16);

  const auto table = inspect::ColorTable();
  const auto page = Page(0);
  const auto page_table = page->color_table();
  for (std::size_t i = 0; i < 256; ++i) {
    const ColorTableEntry want = TableEntry(red_first[i < 16 ? i : 0]);
    EXPECT_EQ(table[i], want) << "entry " << i;
    EXPECT_EQ(page_table[i], want) << "page entry " << i;
  }

  SetFill(FillSolid, 17);
  FillBox(0, 0, 0, 0);
  EXPECT_EQ(Page(0)->PixelAt(0, 0), 1u);

  SetPaletteEntry(16, 1, 2, 3);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  SetPaletteEntry(15, 1, 2, 3);
  EXPECT_EQ(LastResult(), ResultOk);

  const auto named = NamedColorsRedFirst();
  for (std::size_t i = 0; i < 256; ++i) {
    EXPECT_EQ(NamedColor[i], NearestEntry(red_first, 16, named[i])) << "named colour " << i;
  }
}

TEST_F(PaletteTest, RefusedPaletteChangesChangeNothing) {
  OpenOrFail(Driver8Bit, Mode320x200);
  const auto table_before = inspect::ColorTable();
  const auto page_before = Page(0);
  const auto named_before = NamedColor;

  PaletteRecord empty;
  empty.size = 0;
  PaletteRecord too_big;
  too_big.size = 257;
  too_big.colors.fill(ColorValue(0xffffff));
  const std::function<void()> refused[] = {
      [] { SetPaletteEntry(256, 1, 2, 3); },
      [] { SetPaletteEntry(65535, 1, 2, 3); },
      [&] { SetWholePalette(empty); },
      [&] { SetWholePalette(too_big); },
  };
  for (std::size_t i = 0; i < std::size(refused); ++i) {
    SCOPED_TRACE(i);
    refused[i]();
    EXPECT_EQ(LastResult(), ResultBadParameter);
    EXPECT_EQ(inspect::PaletteSize(), 256);
    EXPECT_EQ(inspect::ColorTable(), table_before);
    EXPECT_TRUE(SamePicture(*Page(0), *page_before, "refused_palette_change"));
    EXPECT_TRUE(std::equal(page_before->color_table().begin(), page_before->color_table().end(),
                           Page(0)->color_table().begin()));
    EXPECT_EQ(NamedColor, named_before);
  }
}

TEST_F(PaletteTest, TwoEntryPaletteRefusesAThirdEntry) {
  OpenOrFail(Driver1Bit, Mode320x200);
  PaletteRecord three;
  three.size = 3;
  SetWholePalette(three);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  SetPaletteEntry(2, 1, 2, 3);
  EXPECT_EQ(LastResult(), ResultBadParameter);
  EXPECT_EQ(inspect::PaletteSize(), 2);
}

TEST_F(PaletteTest, DesktopDriverHasNoPalette) {
  OpenOrFail(DriverDesktop, Mode320x200);
  PaletteRecord record;
  record.size = 16;
  SetWholePalette(record);
  EXPECT_EQ(LastResult(), ResultNoPalette);
  SetPaletteEntry(0, 1, 2, 3);
  EXPECT_EQ(LastResult(), ResultNoPalette);
  EXPECT_EQ(NamedColor[250], ColorValue(0xffffff));
}

TEST_F(PaletteTest, ClosedLibraryRefusesPaletteAndPageOperations) {
  PaletteRecord record;
  record.size = 16;
  const std::function<void()> operations[] = {
      [&] { SetWholePalette(record); },
      [] { SetPaletteEntry(0, 1, 2, 3); },
      [] { SetDrawPage(1); },
      [] { SetShownPage(1); },
  };
  for (std::size_t i = 0; i < std::size(operations); ++i) {
    SCOPED_TRACE(i);
    operations[i]();
    EXPECT_EQ(LastResult(), ResultNotOpen);
  }
  // These two need no window and leave the result code alone.
  PaletteRecord defaults;
  GetDefaultPalette(defaults);
  EXPECT_EQ(defaults.colors[9], ColorValue(0x8484fc));
  EXPECT_EQ(ToDeviceColor(0x123), 0x123u);
  EXPECT_EQ(LastResult(), ResultNotOpen);
}

TEST_F(PaletteTest, PageNumbersOutOfRangeSelectPageZero) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetDrawPage(1);
  SetDrawPage(7);
  EXPECT_EQ(LastResult(), ResultOk);
  SetFill(FillSolid, 4);
  FillBox(0, 0, 4, 4);
  EXPECT_EQ(Page(0)->PixelAt(4, 4), 4u);
  EXPECT_EQ(Page(1)->PixelAt(4, 4), 0u);
  // Shown page 0 is also the draw page: drawing goes straight to the window.
  EXPECT_EQ(Window()->RgbAt(4, 4), 0xa80000u);

  SetDrawPage(2);
  SetShownPage(2);
  SetShownPage(65535);
  EXPECT_EQ(LastResult(), ResultOk);
  FillBox(10, 10, 10, 10);
  auto expected = Picture(kWidth, kHeight, 32, 0);
  Paint(*expected, 0, 0, 4, 4, 0xa80000);
  EXPECT_TRUE(WindowBecomes(*expected, "shown_page_zero"));
}

TEST_F(PaletteTest, BoxOnAHiddenPageShowsOnlyWhenItsPageIsShown) {
  OpenOrFail(Driver8Bit, Mode320x200);
  const auto black = Picture(kWidth, kHeight, 32, 0);
  ASSERT_TRUE(WindowBecomes(*black, "fresh_window"));

  SetDrawPage(1);
  SetFill(FillSolid, 4);
  FillBox(10, 10, 19, 19);
  auto page_expected = Picture(kWidth, kHeight, 8, 0);
  Paint(*page_expected, 10, 10, 19, 19, 4);
  EXPECT_TRUE(SamePicture(*Page(1), *page_expected, "hidden_page"));
  EXPECT_TRUE(SamePicture(*Page(0), *Picture(kWidth, kHeight, 8, 0), "shown_page_untouched"));
  // Long enough for any stray repaint to have happened.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(SamePicture(*Window(), *black, "window_before_flip"));

  SetShownPage(1);
  auto shown = Picture(kWidth, kHeight, 32, 0);
  Paint(*shown, 10, 10, 19, 19, 0xa80000);
  EXPECT_TRUE(WindowBecomes(*shown, "window_after_flip"));
  // Now draw page and shown page agree again: drawing shows at once.
  FillBox(30, 30, 30, 30);
  EXPECT_EQ(Window()->RgbAt(30, 30), 0xa80000u);
}

TEST_F(PaletteTest, HiddenPagesCatchUpWithPaletteChangesWhenDrawnOn) {
  OpenOrFail(Driver8Bit, Mode320x200);
  SetDrawPage(1);
  SetPaletteEntry(4, 1, 2, 3);
  const ColorTableEntry changed{3, 2, 1, 0};
  const ColorTableEntry original = TableEntry(0xa80000);
  EXPECT_EQ(Page(1)->color_table()[4], changed);
  EXPECT_EQ(Page(0)->color_table()[4], original);

  SetDrawPage(0);
  EXPECT_EQ(Page(0)->color_table()[4], changed);
}

// Two pages drawn in turn and shown in turn, as an animation flips them; the window always
// shows the frame last finished, never one being drawn.
TEST_F(PaletteTest, PageFlippingShowsFinishedFrames) {
  OpenOrFail(Driver8Bit, Mode320x200);
  for (std::uint32_t frame = 1; frame <= 6; ++frame) {
    SCOPED_TRACE(frame);
    const std::uint16_t hidden = static_cast<std::uint16_t>(frame % 2);
    SetDrawPage(hidden);
    ClearScreen();
    SetFill(FillSolid, frame);
    const auto x = static_cast<std::int16_t>(frame * 20);
    FillBox(x, 10, static_cast<std::int16_t>(x + 9), 19);
    SetShownPage(hidden);

    auto expected = Picture(kWidth, kHeight, 32, 0);
    Paint(*expected, x, 10, x + 9, 19, DefaultPaletteRedFirst()[frame]);
    ASSERT_TRUE(WindowBecomes(*expected, "flip_frame"));
  }
}

}  // namespace
}  // namespace tavlo::testing
