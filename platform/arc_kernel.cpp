#include "platform/arc_kernel.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavlo::platform::kernels {

namespace {

// 128-bit integers, a compiler extension that -Wpedantic accepts when marked as one.
__extension__ typedef __int128 Int128;

std::int64_t Abs(std::int64_t v) { return v < 0 ? -v : v; }

Int128 FloorDiv(Int128 n, Int128 d) {
  Int128 q = n / d;
  if (n % d != 0 && ((n < 0) != (d < 0))) --q;
  return q;
}

std::int64_t ClampTo(Int128 v, std::int64_t lo, std::int64_t hi) {
  return static_cast<std::int64_t>(std::clamp<Int128>(v, lo, hi));
}

}  // namespace

ArcOutline::ArcOutline(const Rect& box, Point start, Point end, std::uint32_t width,
                       const Rect& visible, bool with_places) {
  const std::int64_t w = std::int64_t{box.right} - box.left;
  const std::int64_t h = std::int64_t{box.bottom} - box.top;
  if (w <= 0 || h <= 0 || visible.Empty()) return;
  kx_ = std::int64_t{box.left} + box.right - 1;
  ky_ = std::int64_t{box.top} + box.bottom - 1;
  column_parity_ = (w - 1) & 1;
  row_parity_ = (h - 1) & 1;
  thin_ = width <= 1;
  std::int64_t grow = 0;
  if (thin_) {
    outer_ = EllipseRows(w, h);
  } else {
    // A band so wide that its outer edge would lie 2^31 pixels out is cut there.
    grow = std::min<std::int64_t>((width - 1) / 2, (kMaxEllipseSide - std::max(w, h)) / 2);
    const std::int64_t shrink = std::int64_t{width} - (width - 1) / 2;
    outer_ = EllipseRows(w + 2 * grow, h + 2 * grow);
    has_inner_ = w - 2 * shrink > 0 && h - 2 * shrink > 0;
    if (has_inner_) inner_ = EllipseRows(w - 2 * shrink, h - 2 * shrink);
  }
  visible_left_ = visible.left;
  visible_right_ = std::int64_t{visible.right} - 1;

  // Nothing to draw when the visible pixels (and, for the thin outline, their neighbours) all
  // lie inside the ellipse that the pen leaves out: the ellipse is convex, so the corners tell.
  const std::int64_t margin = thin_ ? 1 : 0;
  const EllipseRows* const hole = thin_ ? &outer_ : has_inner_ ? &inner_ : nullptr;
  if (hole) {
    const std::int64_t left = 2 * (visible.left - margin) - kx_;
    const std::int64_t right = 2 * (visible.right - 1 + margin) - kx_;
    const std::int64_t top = 2 * (visible.top - margin) - ky_;
    const std::int64_t bottom = 2 * (visible.bottom - 1 + margin) - ky_;
    if (hole->Inside(left, top) && hole->Inside(right, top) && hole->Inside(left, bottom) &&
        hole->Inside(right, bottom)) {
      return;
    }
  }

  // The rays, from the centre, with y growing downward. A point at the centre points right.
  start_u_ = 2 * std::int64_t{start.x} - kx_;
  start_v_ = 2 * std::int64_t{start.y} - ky_;
  end_u_ = 2 * std::int64_t{end.x} - kx_;
  end_v_ = 2 * std::int64_t{end.y} - ky_;
  if (start_u_ == 0 && start_v_ == 0) start_u_ = 1;
  if (end_u_ == 0 && end_v_ == 0) end_u_ = 1;
  // Counter-clockwise on screen is counter-clockwise with y pointing up: cross products of
  // (u, -v) vectors.
  const Int128 turn = Int128{start_v_} * end_u_ - Int128{start_u_} * end_v_;
  const Int128 along = Int128{start_u_} * end_u_ + Int128{start_v_} * end_v_;
  if (turn == 0) {
    sweep_ = along > 0 ? Sweep::kAll : Sweep::kStartSide;
  } else {
    sweep_ = turn > 0 ? Sweep::kBothSides : Sweep::kEitherSide;
  }

  with_places_ = with_places && thin_;
  if (with_places_) {
    // Along one quarter, from the side point (ax = last column, ay = 0) to the top point
    // (ax = 0, ay = last row), the outline first steps up or diagonally, then diagonally or
    // sideways: a pixel's place is its ay on the first stretch and peak - ax on the second,
    // where peak is the largest ax + ay of the quarter, reached where the two stretches meet,
    // near the point where the ellipse runs at 45 degrees.
    const std::int64_t pu = column_parity_;
    const std::int64_t pv = row_parity_;
    const std::int64_t last_row = (h - 1 - pv) / 2;
    auto row_sum = [&](std::int64_t ay) { return ay + (outer_.HalfSpan(2 * ay + pv) - pu) / 2; };
    const double dw = static_cast<double>(w);
    const double dh = static_cast<double>(h);
    const double meet_row = (dh * dh / std::sqrt(dw * dw + dh * dh) - static_cast<double>(pv)) / 2;
    const auto near = static_cast<std::int64_t>(std::floor(meet_row));
    place_peak_ = -1;
    auto consider = [&](std::int64_t ay) {
      ay = std::clamp<std::int64_t>(ay, 0, last_row);
      const std::int64_t sum = row_sum(ay);
      if (sum > place_peak_ || (sum == place_peak_ && ay < steep_rows_)) {
        place_peak_ = sum;
        steep_rows_ = ay;
      }
    };
    consider(0);
    consider(1);
    consider(last_row);
    for (std::int64_t ay = near - 2; ay <= near + 3; ++ay) consider(ay);
  }

  first_row_ = static_cast<int>(std::max<std::int64_t>(visible.top, box.top - grow));
  end_row_ = static_cast<int>(std::min<std::int64_t>(visible.bottom, box.bottom + grow));
}

int ArcOutline::ArcColumns(std::int64_t v, Columns (&out)[2]) const {
  const std::int64_t lo = visible_left_;
  const std::int64_t hi = visible_right_;
  // The visible columns where c * u >= q, with u = 2x - kx.
  auto side = [&](std::int64_t c, Int128 q) -> Columns {
    const Int128 n = q + Int128{c} * kx_;
    if (c == 0) return q <= 0 ? Columns{lo, hi} : Columns{lo, lo - 1};
    if (c > 0) return Columns{std::max(lo, ClampTo(-FloorDiv(-n, 2 * Int128{c}), lo, hi + 1)), hi};
    return Columns{lo, std::min(hi, ClampTo(FloorDiv(n, 2 * Int128{c}), lo - 1, hi))};
  };
  if (sweep_ == Sweep::kAll) {
    out[0] = Columns{lo, hi};
    return 1;
  }
  // Left of the start ray (or on it), and right of the end ray (or on it).
  const Columns after_start = side(start_v_, Int128{start_u_} * v);
  if (sweep_ == Sweep::kStartSide) {
    out[0] = after_start;
    return after_start.first <= after_start.last ? 1 : 0;
  }
  const Columns before_end = side(-end_v_, -Int128{end_u_} * v);
  if (sweep_ == Sweep::kBothSides) {
    out[0] = Columns{std::max(after_start.first, before_end.first),
                     std::min(after_start.last, before_end.last)};
    return out[0].first <= out[0].last ? 1 : 0;
  }
  int n = 0;
  for (const Columns& c : {after_start, before_end}) {
    if (c.first <= c.last) out[n++] = c;
  }
  if (n == 2) {
    if (out[1].first < out[0].first) std::swap(out[0], out[1]);
    if (out[1].first <= out[0].last + 1) {
      out[0].last = std::max(out[0].last, out[1].last);
      n = 1;
    }
  }
  return n;
}

std::int64_t ArcOutline::PlaceOf(std::int64_t u, std::int64_t v) const {
  const std::int64_t ax = (Abs(u) - column_parity_) / 2;
  const std::int64_t ay = (Abs(v) - row_parity_) / 2;
  return ay < steep_rows_ ? ay : place_peak_ - ax;
}

int ArcOutline::RowSpans(int y, std::span<ArcSpan, kMaxArcRowSpans> out) {
  const std::int64_t v = 2 * std::int64_t{y} - ky_;
  const std::int64_t av = Abs(v);
  const std::int64_t outer = outer_.HalfSpan(av);
  if (outer < 0) return 0;
  std::int64_t hole;
  if (thin_) {
    // The row further from the centre covers these; the row's own ends always count.
    hole = std::min(outer_.HalfSpan(av + 2), outer - 2);
  } else {
    hole = has_inner_ ? inner_.HalfSpan(av) : -1;
    if (hole >= outer) return 0;
  }
  Columns pieces[2];
  int piece_count;
  if (hole < 0) {
    pieces[0] = Columns{(kx_ - outer) / 2, (kx_ + outer) / 2};
    piece_count = 1;
  } else {
    pieces[0] = Columns{(kx_ - outer) / 2, (kx_ - hole - 2) / 2};
    pieces[1] = Columns{(kx_ + hole + 2) / 2, (kx_ + outer) / 2};
    piece_count = 2;
  }
  Columns arc[2];
  const int arc_count = ArcColumns(v, arc);

  // The first column right of the centre, where places turn back.
  const std::int64_t middle = (kx_ + 1) >> 1;
  const bool steep = with_places_ && (av - row_parity_) / 2 < steep_rows_;
  int n = 0;
  auto emit = [&](std::int64_t first, std::int64_t last, int step) {
    ArcSpan& s = out[static_cast<std::size_t>(n++)];
    s.y = y;
    s.x0 = static_cast<int>(first);
    s.x1 = static_cast<int>(last);
    s.place = with_places_ ? PlaceOf(2 * first - kx_, v) : 0;
    s.place_step = steep ? 0 : step;
  };
  for (int p = 0; p < piece_count; ++p) {
    for (int a = 0; a < arc_count; ++a) {
      const std::int64_t first = std::max(pieces[p].first, arc[a].first);
      const std::int64_t last = std::min(pieces[p].last, arc[a].last);
      if (first > last) continue;
      if (!with_places_) {
        emit(first, last, 0);
      } else {
        if (first < middle) emit(first, std::min(last, middle - 1), +1);
        if (last >= middle) emit(std::max(first, middle), last, -1);
      }
    }
  }
  return n;
}

}  // namespace tavlo::platform::kernels
