#pragma once

#include <cstdint>
#include <span>

#include "platform/device_context.h"
#include "platform/ellipse_rows.h"
#include "platform/geometry.h"

// Which pixels an elliptic arc covers, one surface row at a time.
//
// The filled ellipse of a box (see ellipse_rows.h; the box's right column and bottom row lie
// outside it) holds its middle row(s) and column(s), so that the outline always reaches all four
// sides of the box, also for very thin boxes. A pen of width 1 draws the pixels of that set that
// have a
// 4-neighbour outside it; a wider pen draws the band between the ellipse of the box grown by
// (width - 1) / 2 on every side and the one of the box shrunk by the rest of the width. An arc
// keeps the pixels whose direction from the box centre lies counter-clockwise (on screen) from
// the start ray up to the end ray, both rays included (a ray to the centre points right, and a
// pixel at the centre lies on every arc).
//
// A pixel's place along a width-1 outline is its number of 8-connected steps from the leftmost
// or rightmost point of the outline on its side, counted up and down from there: the outline's
// four quarters are mirror images, and so are the dash patterns drawn on them.
namespace tavlo::platform::kernels {

// A run of pixels in one row, columns x0 to x1 inclusive. The pixel at x0 has place `place`
// along the outline; each pixel further right changes it by `place_step` (-1, 0 or +1). Places
// are only worked out when asked for.
struct ArcSpan {
  int y = 0;
  int x0 = 0;
  int x1 = 0;
  std::int64_t place = 0;
  int place_step = 0;
};

// Every row holds at most four spans: two pieces of the outline, each cut by up to two runs of
// arc directions, or one full row cut twice and split at the centre for its places.
inline constexpr int kMaxArcRowSpans = 4;

class ArcOutline {
 public:
  // `visible` is where pixels may be written: inside the surface and the clip, not empty. The
  // width counts 0 as 1. An empty box has no pixels.
  ArcOutline(const Rect& box, Point start, Point end, std::uint32_t width, const Rect& visible,
             bool with_places);

  // No pixel of the outline can fall in the visible rectangle.
  bool Empty() const { return first_row_ >= end_row_; }
  // The visible rows that may hold pixels: first_row() <= y < end_row().
  int first_row() const { return first_row_; }
  int end_row() const { return end_row_; }

  // Writes the spans of row y (first_row() <= y < end_row()) left to right, disjoint and within
  // the visible rectangle, and returns how many there are.
  // Rows asked for one after the other cost one row of ellipse arithmetic each.
  int RowSpans(int y, std::span<ArcSpan, kMaxArcRowSpans> out);

 private:
  // Which directions the arc keeps (see the constructor).
  enum class Sweep : std::uint8_t { kAll, kBothSides, kEitherSide, kStartSide };
  struct Columns {
    std::int64_t first;
    std::int64_t last;
  };

  int ArcColumns(std::int64_t v, Columns (&out)[2]) const;
  std::int64_t PlaceOf(std::int64_t u, std::int64_t v) const;

  // Doubled coordinates: pixel (x, y) sits at u = 2x - kx_, v = 2y - ky_ from the box centre.
  std::int64_t kx_ = 0;
  std::int64_t ky_ = 0;
  // The pen's ellipse and the one it leaves out: for a thin pen both the box's own, the hole of
  // a row being its outer neighbour row; for a wide one the grown and the shrunk box's.
  EllipseRows outer_;
  EllipseRows inner_;
  bool has_inner_ = false;
  bool thin_ = true;
  std::int64_t column_parity_ = 0;  // of u: 1 when the box is of even width
  std::int64_t row_parity_ = 0;

  Sweep sweep_ = Sweep::kAll;
  std::int64_t start_u_ = 0;
  std::int64_t start_v_ = 0;
  std::int64_t end_u_ = 0;
  std::int64_t end_v_ = 0;

  // Places along the outline: rows nearer the middle than `steep_rows_` count rows, the others
  // count columns back from `place_peak_`.
  bool with_places_ = false;
  std::int64_t steep_rows_ = 0;
  std::int64_t place_peak_ = 0;

  std::int64_t visible_left_ = 0;
  std::int64_t visible_right_ = 0;  // last visible column
  int first_row_ = 0;
  int end_row_ = 0;
};

}  // namespace tavlo::platform::kernels
