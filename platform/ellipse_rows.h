#pragma once

#include <cstdint>

// The filled ellipse of a box, row by row, in exact integer arithmetic.
//
// Coordinates are doubled and taken from the box centre: in a box `width` by `height`, pixel
// column x sits at u = 2x + 1 - left - right and row y at v = 2y + 1 - top - bottom, so that
// |u| < width and |v| < height inside the box and u has the parity of width - 1. A pixel belongs
// to the filled ellipse when its centre lies inside or on the ellipse touching the box's four
// sides, u^2 h^2 + v^2 w^2 <= w^2 h^2, or when it lies in the middle row(s) (|v| <= 1) or middle
// column(s) (|u| <= 1) of the box.
namespace tavlo::platform::kernels {

// Sides of up to 2^32 - 1 keep every square of a square below 2^128.
inline constexpr std::int64_t kMaxEllipseSide = 0xFFFFFFFF;

class EllipseRows {
 public:
  EllipseRows() = default;
  // 0 < width, height <= kMaxEllipseSide.
  EllipseRows(std::int64_t width, std::int64_t height);

  std::int64_t width() const { return width_; }
  std::int64_t height() const { return height_; }

  // The largest |u| in the row at |v| = av, or -1 when that row lies outside the box. Remembers
  // the last two rows asked for: an outline asks for every row as itself and as the edge of its
  // neighbour.
  std::int64_t HalfSpan(std::int64_t av);

  // Whether the point (u, v) lies inside or on the ellipse itself (no middle rows or columns).
  bool Inside(std::int64_t u, std::int64_t v) const;

 private:
  // The row at |v| (2 <= av < height) from a square root, checked exactly near whole numbers.
  std::int64_t Compute(std::int64_t av) const;
  // The row at |v| = av found within `most_steps` exact steps from a guess `u`, or -2.
  std::int64_t Settled(std::int64_t av, std::int64_t u, std::int64_t most_steps) const;

  std::int64_t width_ = 0;
  std::int64_t height_ = 0;
  bool narrow_ = false;  // sides below 2^16: the exact tests fit in 64 bits
  double slope_ = 0;     // width / height
  double error_ = 0;     // what a double may be off by at the edge
  std::int64_t memo_row_[2] = {-1, -1};
  std::int64_t memo_span_[2] = {-1, -1};
  int memo_next_ = 0;
  // Columns (in steps of 2 in u) that the edge moved between the last two neighbouring rows.
  std::int64_t last_move_ = 0;
  static constexpr std::int64_t kMostSteps = 6;
};

}  // namespace tavlo::platform::kernels
