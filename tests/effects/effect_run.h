#pragma once

// For the effect tests: an effect run the way the show runs it, on a 640 by 480 window of 256
// colours, and its page read back as cells.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <string_view>

#include "effects/effect.h"
#include "platform/surface.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/support/graphics_fixture.h"

namespace tavlo::effects::testing {

// Opens the window as the show does, sets the effect up and steps it `steps` times. Null when
// the window did not open (the failure is already reported).
inline std::shared_ptr<platform::Surface> RunSteps(Effect& effect, std::string_view caption,
                                                   int steps) {
  std::int16_t driver = Driver8Bit;
  std::int16_t mode = Mode640x480;
  OpenGraphics(driver, mode, caption);
  if (!GraphicsOpen()) {
    ADD_FAILURE() << "OpenGraphics left " << LastResult();
    return nullptr;
  }
  effect.SetUp();
  for (int i = 0; i < steps; ++i) effect.Step();
  return inspect::SnapshotPage(0);
}

// The cells a frame draws, both ends included.
struct CellArea {
  std::int32_t first_col;
  std::int32_t first_row;
  std::int32_t last_col;
  std::int32_t last_row;
};

// Checks a page after a frame that drew every cell of `area` in increasing order: a sample of
// the pixels the area covers (every third pixel each way, and its last pixel column and row)
// shows expected(cell x, cell y) of the cell drawn last over it, and every pixel outside the
// area holds 0.
inline ::testing::AssertionResult ShowsCells(
    const platform::Surface& page, CellArea area,
    const std::function<std::uint8_t(std::int32_t, std::int32_t)>& expected) {
  // Cell (x, y) covers pixels 2x..2x + 2, so the area reaches one pixel past twice its last cell.
  const int left = std::max(0, 2 * area.first_col);
  const int top = std::max(0, 2 * area.first_row);
  const int right = std::min(page.width() - 1, 2 * area.last_col + 2);
  const int bottom = std::min(page.height() - 1, 2 * area.last_row + 2);
  const auto inside = [&](int x, int y) {
    return x >= left && x <= right && y >= top && y <= bottom;
  };
  const auto sampled = [&](int v, int first, int last) {
    return (v - first) % 3 == 0 || v == last;
  };

  int wrong = 0;
  std::ostringstream first;
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      std::uint32_t want = 0;
      if (inside(x, y)) {
        if (!sampled(x, left, right) || !sampled(y, top, bottom)) continue;
        want = expected(std::min(x / 2, area.last_col), std::min(y / 2, area.last_row));
      }
      const std::uint32_t got = page.PixelAt(x, y);
      if (got == want) continue;
      if (wrong++ == 0) {
        first << "pixel (" << x << ", " << y << ") holds " << got << ", want " << want
              << (inside(x, y) ? "" : " (never drawn)");
      }
    }
  }
  if (wrong == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << wrong << " pixels differ; first " << first.str();
}

// Checks that no pixel of the page has been drawn.
inline ::testing::AssertionResult AllZero(const platform::Surface& page) {
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.PixelAt(x, y) != 0) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") holds " << page.PixelAt(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Closes any window a test left open.
class EffectTest : public tavlo::testing::GraphicsTest {};

}  // namespace tavlo::effects::testing
