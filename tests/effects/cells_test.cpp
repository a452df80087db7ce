// The cell plot on a 640 by 480 window of 256 colours: which pixels a cell covers on the page and
// on the window, how it is clipped, and which cell owns a shared pixel line.

#include "effects/cells.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>

#include "platform/geometry.h"
#include "platform/headless/automation.h"
#include "platform/surface.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/support/graphics_fixture.h"

namespace tavlo::effects {
namespace {

using platform::Rect;

constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();

class CellsTest : public tavlo::testing::GraphicsTest {
 protected:
  void OpenLikeTheShow() { tavlo::testing::OpenOrFail(Driver8Bit, Mode640x480, "CELLS"); }
};

struct CoverageCase {
  std::int32_t x;
  std::int32_t y;
  std::uint8_t color;
  Rect covered;  // on the 640 by 480 surface; empty when the cell draws nothing
  const char* why;
};

const CoverageCase kCoverage[] = {
    {10, 20, 7, {20, 40, 23, 43}, "3 by 3 pixels from (2x, 2y)"},
    {0, 0, 255, {0, 0, 3, 3}, "the top left cell, the highest index"},
    {319, 239, 9, {638, 478, 640, 480}, "the last cell loses its clipped column and row"},
    {-1, -1, 5, {0, 0, 1, 1}, "a cell above and left of the surface reaches its corner"},
    {320, 0, 5, {}, "wholly right of the surface"},
    {0, 240, 5, {}, "wholly below the surface"},
    {-2, 3, 5, {}, "wholly left of the surface"},
    {-16384, 0, 5, {}, "at the low end of the drawing coordinates"},
    // Cut to 16 bits these boxes would wrap back onto the surface.
    {16383, 0, 5, {}, "its right edge is one past the drawing coordinates"},
    {0, 16383, 5, {}, "its bottom edge is one past the drawing coordinates"},
    {-16385, 0, 5, {}, "its left edge is one before the drawing coordinates"},
    {32767, 1, 5, {}, "2x + 2 is 65536"},
    {kMax32, kMin32, 5, {}, "the 32-bit products wrap"},
};

TEST_F(CellsTest, CoversItsBoxOnPageAndWindowClippedToTheSurface) {
  for (const CoverageCase& c : kCoverage) {
    SCOPED_TRACE(::testing::Message() << "PlotCell(" << c.x << ", " << c.y << "): " << c.why);
    OpenLikeTheShow();
    PlotCell(c.x, c.y, c.color);
    const auto page = inspect::SnapshotPage(0);
    const auto window = platform::headless::SnapshotWindowSurface();
    ASSERT_TRUE(page && window);
    ASSERT_EQ(window->width(), page->width());
    ASSERT_EQ(window->height(), page->height());
    const auto table = inspect::ColorTable();
    int wrong_page = 0;
    int wrong_window = 0;
    for (int y = 0; y < page->height(); ++y) {
      for (int x = 0; x < page->width(); ++x) {
        const bool covered = x >= c.covered.left && x < c.covered.right && y >= c.covered.top &&
                             y < c.covered.bottom;
        const std::uint8_t want = covered ? c.color : 0;
        if (page->PixelAt(x, y) != want && wrong_page++ == 0) {
          ADD_FAILURE() << "page pixel (" << x << ", " << y << ") holds " << page->PixelAt(x, y)
                        << ", want " << int{want};
        }
        const std::uint32_t want_rgb = platform::PixelWordOf(table[want]);
        if (window->PixelAt(x, y) != want_rgb && wrong_window++ == 0) {
          ADD_FAILURE() << "window pixel (" << x << ", " << y << ") holds " << std::hex
                        << window->PixelAt(x, y) << ", want " << want_rgb;
        }
      }
    }
    EXPECT_EQ(wrong_page, 0);
    EXPECT_EQ(wrong_window, 0);
    CloseGraphics();
  }
}

TEST_F(CellsTest, TheCellDrawnLaterOwnsTheSharedPixelLine) {
  OpenLikeTheShow();
  PlotCell(10, 20, 7);
  PlotCell(11, 20, 9);  // shares pixel column 22
  PlotCell(10, 21, 4);  // shares pixel row 42
  const auto page = inspect::SnapshotPage(0);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->PixelAt(21, 41), 7u);
  EXPECT_EQ(page->PixelAt(22, 40), 9u);
  EXPECT_EQ(page->PixelAt(24, 40), 9u);
  EXPECT_EQ(page->PixelAt(20, 42), 4u);
  EXPECT_EQ(page->PixelAt(22, 42), 4u);
  EXPECT_EQ(page->PixelAt(23, 42), 9u) << "cell (11, 20) keeps what (10, 21) does not cover";
  EXPECT_EQ(page->PixelAt(22, 43), 4u);
}

}  // namespace
}  // namespace tavlo::effects
