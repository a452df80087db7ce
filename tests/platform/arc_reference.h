#pragma once

// The pixels of an arc, decided one pixel at a time the slow way: membership of the filled
// ellipse, the outline as the members with a neighbour outside, the arc's directions as angles
// measured from the start ray, and places along the outline by sorting one quarter's pixels.

#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"

namespace tavlo::platform::test {

__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UnsignedWide;

// A box; its sides are below 2^32 long, so that the squares below fit in 128 bits.
struct Box64 {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
};

inline Box64 Grown(const Box64& b, std::int64_t by) {
  return Box64{b.left - by, b.top - by, b.right + by, b.bottom + by};
}

inline Wide AbsWide(Wide v) { return v < 0 ? -v : v; }

// Pixel (x, y) covers [x, x + 1) by [y, y + 1); it belongs to the filled ellipse when its centre
// lies inside or on the ellipse that touches the four sides of the box, or when it lies in the
// box's middle row or column (two of each for an even side).
inline bool InFilledEllipse(const Box64& b, std::int64_t x, std::int64_t y) {
  if (x < b.left || x >= b.right || y < b.top || y >= b.bottom) return false;
  // Everything doubled: centre offsets and full axes. dx^2/a^2 + dy^2/c^2 <= 1, with |dx| < a
  // and |dy| < c inside the box.
  const auto dx = static_cast<UnsignedWide>(AbsWide(Wide{2} * x + 1 - b.left - b.right));
  const auto dy = static_cast<UnsignedWide>(AbsWide(Wide{2} * y + 1 - b.top - b.bottom));
  const auto a = static_cast<UnsignedWide>(b.right - b.left);
  const auto c = static_cast<UnsignedWide>(b.bottom - b.top);
  if (dx <= 1 || dy <= 1) return true;
  return dx * dx * (c * c) <= a * a * (c * c - dy * dy);
}

// The pen's pixels for the whole ellipse: width 1 (or 0) gives the filled ellipse's pixels with
// a 4-neighbour outside it; a wider pen the band between the box grown by (width - 1) / 2 and
// the box shrunk by the rest. An empty box has none, however wide the pen.
inline bool OnOutline(const Box64& b, std::uint32_t width, std::int64_t x, std::int64_t y) {
  if (b.right <= b.left || b.bottom <= b.top) return false;
  if (width <= 1) {
    return InFilledEllipse(b, x, y) &&
           (!InFilledEllipse(b, x - 1, y) || !InFilledEllipse(b, x + 1, y) ||
            !InFilledEllipse(b, x, y - 1) || !InFilledEllipse(b, x, y + 1));
  }
  const std::int64_t grow = (width - 1) / 2;
  const std::int64_t shrink = std::int64_t{width} - grow;
  return InFilledEllipse(Grown(b, grow), x, y) && !InFilledEllipse(Grown(b, -shrink), x, y);
}

// A direction in the usual mathematical orientation (y up), doubled, from the box centre.
struct Direction {
  Wide x = 0;
  Wide y = 0;
};

inline Direction DirectionOf(const Box64& b, std::int64_t x, std::int64_t y) {
  return Direction{Wide{2} * x + 1 - b.left - b.right, -(Wide{2} * y + 1 - b.top - b.bottom)};
}

// Orders directions by their angle in [0, 360) degrees.
inline bool AngleLess(Direction a, Direction b) {
  auto half = [](Direction d) { return d.y > 0 || (d.y == 0 && d.x > 0) ? 0 : 1; };
  if (half(a) != half(b)) return half(a) < half(b);
  return a.x * b.y - a.y * b.x > 0;
}

// Whether the pixel's direction lies counter-clockwise from the start ray up to the end ray; the
// whole turn when the rays point the same way. A ray from the centre to the centre points right;
// the centre pixel itself lies on every arc.
inline bool InArc(const Box64& b, Point start, Point end, std::int64_t x, std::int64_t y) {
  Direction s = DirectionOf(b, start.x, start.y);
  Direction e = DirectionOf(b, end.x, end.y);
  const Direction p = DirectionOf(b, x, y);
  if (s.x == 0 && s.y == 0) s.x = 1;
  if (e.x == 0 && e.y == 0) e.x = 1;
  if (p.x == 0 && p.y == 0) return true;
  const bool s_before_e = AngleLess(s, e);
  const bool e_before_s = AngleLess(e, s);
  if (!s_before_e && !e_before_s) return true;
  if (s_before_e) return !AngleLess(p, s) && !AngleLess(e, p);
  return !AngleLess(p, s) || !AngleLess(e, p);
}

// Places along a width-1 outline: the upper-right quarter (axes included) sorted from its
// rightmost point up to its top point; every pixel takes the place of its mirror image there.
class PlaceMap {
 public:
  explicit PlaceMap(const Box64& b) : box_(b) {
    std::vector<std::pair<std::int64_t, std::int64_t>> quarter;  // (ay, -ax)
    for (std::int64_t y = b.top; y < b.bottom; ++y) {
      for (std::int64_t x = b.left; x < b.right; ++x) {
        const Direction d = DirectionOf(b, x, y);
        if (d.x < 0 || d.y < 0 || !OnOutline(b, 1, x, y)) continue;
        quarter.emplace_back(RowIndex(y), -ColumnIndex(x));
      }
    }
    std::sort(quarter.begin(), quarter.end());
    for (std::size_t i = 0; i < quarter.size(); ++i) {
      places_[{-quarter[i].second, quarter[i].first}] = static_cast<std::int64_t>(i);
      order_.emplace_back(-quarter[i].second, quarter[i].first);
    }
  }

  // -1 for a pixel that is not on the outline's quarter image.
  std::int64_t PlaceOf(std::int64_t x, std::int64_t y) const {
    const auto it = places_.find({ColumnIndex(x), RowIndex(y)});
    return it == places_.end() ? -1 : it->second;
  }
  // The quarter's pixels as (column index, row index) from the centre, in place order.
  const std::vector<std::pair<std::int64_t, std::int64_t>>& order() const { return order_; }

 private:
  // Pixel columns counted outward from the centre column (or the two middle columns).
  std::int64_t ColumnIndex(std::int64_t x) const {
    const Wide d = AbsWide(Wide{2} * x + 1 - box_.left - box_.right);
    return static_cast<std::int64_t>(d / 2);
  }
  std::int64_t RowIndex(std::int64_t y) const {
    const Wide d = AbsWide(Wide{2} * y + 1 - box_.top - box_.bottom);
    return static_cast<std::int64_t>(d / 2);
  }

  Box64 box_;
  std::map<std::pair<std::int64_t, std::int64_t>, std::int64_t> places_;
  std::vector<std::pair<std::int64_t, std::int64_t>> order_;
};

// The documented dash patterns as runs of pixels, on first.
inline std::vector<int> DashRuns(PenStyle style) {
  switch (style) {
    case PenStyle::kDash:
      return {12, 4};
    case PenStyle::kDot:
      return {2, 2};
    case PenStyle::kDashDot:
      return {8, 3, 2, 3};
    case PenStyle::kDashDotDot:
      return {8, 3, 2, 3, 2, 3};
    default:
      return {1};
  }
}

inline bool DashOn(PenStyle style, std::int64_t place) {
  const std::vector<int> runs = DashRuns(style);
  std::int64_t period = 0;
  for (int r : runs) period += r;
  std::int64_t p = place % period;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    if (p < runs[i]) return i % 2 == 0;
    p -= runs[i];
  }
  return false;
}

// Binary raster operations as their table states them, on all 32 bits.
inline std::uint32_t ReferenceRasterOp(RasterOp op, std::uint32_t p, std::uint32_t d) {
  switch (op) {
    case RasterOp::kCopyPen:
      return p;
    case RasterOp::kXorPen:
      return p ^ d;
    case RasterOp::kMergePen:
      return p | d;
    case RasterOp::kMaskPen:
      return p & d;
    case RasterOp::kNotCopyPen:
      return ~p;
    case RasterOp::kNot:
      return ~d;
    case RasterOp::kNotXorPen:
      return ~(p ^ d);
    case RasterOp::kNotMergePen:
      return ~(p | d);
    case RasterOp::kNotMaskPen:
      return ~(p & d);
    case RasterOp::kMaskNotPen:
      return ~p & d;
    case RasterOp::kMergeNotPen:
      return ~p | d;
    case RasterOp::kMaskPenNot:
      return p & ~d;
    case RasterOp::kMergePenNot:
      return p | ~d;
    case RasterOp::kBlack:
      return 0;
    case RasterOp::kWhite:
      return 0xFFFFFFFFu;
    case RasterOp::kNop:
      return d;
  }
  return d;
}

}  // namespace tavlo::platform::test
