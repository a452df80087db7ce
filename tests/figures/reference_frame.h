#pragma once

// An independent drawing of the figures for the tests: motion and shading worked from their
// definitions with 64-bit integers and double reals (the wobble's cosine taken of the phase
// t mod 20), painted cell by cell into a plain surface the way the cell grid covers pixels.

#include <cmath>
#include <cstdint>
#include <memory>
#include <numbers>
#include <span>

#include "platform/surface.h"

namespace tavlo::figures::testing {

inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;

struct ReferencePose {
  std::int64_t column;       // X, the diamond's centre column
  std::int64_t row;          // Y
  std::int64_t deformation;  // A
};

// The pose of frame t, for any t >= 1, beyond the 32-bit range too.
inline ReferencePose PoseAt(std::int64_t t) {
  const std::int64_t m = t % 200;
  const double wobble = std::cos(2.0 * std::numbers::pi * static_cast<double>(t % 20) / 20.0);
  return {std::llabs(t % 456 - 228) + 46, 210 - (199 - m) * m / 80,
          static_cast<std::int64_t>(std::nearbyint(wobble * static_cast<double>(199 - m) / 20.0))};
}

// k (|((y - cy) rx) div ry| + |((x - cx) ry) div rx|), div truncating toward zero, for sizes that
// stay far from the 32-bit ends; a zero half-size gives its term 0.
inline std::int64_t ShadeOf(std::int64_t x, std::int64_t y, std::int64_t cx, std::int64_t cy,
                            std::int64_t rx, std::int64_t ry, std::int64_t k) {
  const std::int64_t f = ry == 0 ? 0 : (y - cy) * rx / ry;
  const std::int64_t g = rx == 0 ? 0 : (x - cx) * ry / rx;
  return k * (std::llabs(f) + std::llabs(g));
}

// A page of 8-bit indices, all `background`.
inline std::shared_ptr<platform::Surface> BlankPage(std::uint8_t background = 0) {
  auto page = platform::Surface::Create(kWidth, kHeight, 8, 256, platform::RowOrder::kTopDown);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) page->SetPixelAt(x, y, background);
  }
  return page;
}

// Cell (x, y): pixels 2x..2x + 2 by 2y..2y + 2; the surface drops what falls outside it.
inline void PaintCell(platform::Surface& page, std::int64_t x, std::int64_t y,
                      std::int64_t colour) {
  for (std::int64_t py = 2 * y; py <= 2 * y + 2; ++py) {
    for (std::int64_t px = 2 * x; px <= 2 * x + 2; ++px) {
      if (px < 0 || py < 0 || px >= kWidth || py >= kHeight) continue;
      page.SetPixelAt(static_cast<int>(px), static_cast<int>(py),
                      static_cast<std::uint32_t>(colour & 0xFF));
    }
  }
}

// The rectangle of cells, top row first, each row from the left.
inline void PaintDiamond(platform::Surface& page, std::int64_t cx, std::int64_t cy, std::int64_t rx,
                         std::int64_t ry, std::int64_t k) {
  for (std::int64_t y = cy - ry; y <= cy + ry; ++y) {
    for (std::int64_t x = cx - rx; x <= cx + rx; ++x) {
      PaintCell(page, x, y, ShadeOf(x, y, cx, cy, rx, ry, k));
    }
  }
}

// Row dy from the centre reaches nearbyint(rx sqrt(1 - (dy / ry)^2)) cells either side.
inline void PaintEllipse(platform::Surface& page, std::int64_t cx, std::int64_t cy, std::int64_t rx,
                         std::int64_t ry, std::int64_t k) {
  for (std::int64_t y = cy - ry; y <= cy + ry; ++y) {
    const double ratio = ry == 0 ? 0.0 : static_cast<double>(y - cy) / static_cast<double>(ry);
    const auto w = static_cast<std::int64_t>(
        std::nearbyint(static_cast<double>(rx) * std::sqrt(1.0 - ratio * ratio)));
    for (std::int64_t x = cx - w; x <= cx + w; ++x) {
      PaintCell(page, x, y, ShadeOf(x, y, cx, cy, rx, ry, k));
    }
  }
}

// The page that frame t draws: the diamond, then the ellipse mirrored about column 160.
inline std::shared_ptr<platform::Surface> FramePage(std::int64_t t) {
  auto page = BlankPage();
  const ReferencePose pose = PoseAt(t);
  const std::int64_t rx = 36 + pose.deformation;
  const std::int64_t ry = 30 - pose.deformation;
  PaintDiamond(*page, pose.column, pose.row, rx, ry, 2);
  PaintEllipse(*page, 320 - pose.column, pose.row, rx, ry, 1);
  return page;
}

// What a window shows of an 8-bit page through a colour table.
inline std::shared_ptr<platform::Surface> ThroughPalette(
    const platform::Surface& page, std::span<const platform::ColorTableEntry> table) {
  auto window =
      platform::Surface::Create(page.width(), page.height(), 32, 0, platform::RowOrder::kTopDown);
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      window->SetPixelAt(x, y, platform::PixelWordOf(table[page.PixelAt(x, y)]));
    }
  }
  return window;
}

}  // namespace tavlo::figures::testing
