#include "platform/ellipse_rows.h"

#include <algorithm>
#include <cmath>

namespace tavlo::platform::kernels {

namespace {

// 128-bit integers, a compiler extension that -Wpedantic accepts when marked as one.
__extension__ typedef unsigned __int128 Uint128;

std::int64_t Abs(std::int64_t v) { return v < 0 ? -v : v; }

template <class Word>
Word Square(std::int64_t v) {
  const auto a = static_cast<Word>(Abs(v));
  return a * a;
}

// The exact test of one row: column |u| lies inside when u^2 h^2 <= w^2 (h^2 - v^2). 64-bit
// words hold it for sides below 2^16, 128-bit ones for every side below 2^32.
template <class Word>
class RowTest {
 public:
  RowTest(std::int64_t width, std::int64_t height, std::int64_t av)
      : h2_(Square<Word>(height)),
        limit_(Square<Word>(width) * static_cast<Word>(static_cast<std::uint64_t>(height - av) *
                                                       static_cast<std::uint64_t>(height + av))) {}
  bool Inside(std::int64_t u) const { return Square<Word>(u) * h2_ <= limit_; }

 private:
  Word h2_;
  Word limit_;
};

// From a guess `u` of the right parity, the largest |u| of the row within `most_steps` steps of
// 2, or -2 when it lies further away.
template <class Word>
std::int64_t Settle(std::int64_t width, std::int64_t height, std::int64_t av, std::int64_t u,
                    std::int64_t most_steps) {
  const RowTest<Word> row(width, height, av);
  const std::int64_t parity = (width - 1) & 1;
  if (row.Inside(u)) {
    for (std::int64_t step = 0; step < most_steps; ++step) {
      if (u + 2 > width - 1 || !row.Inside(u + 2)) return u;
      u += 2;
    }
    return -2;
  }
  for (std::int64_t step = 0; step < most_steps; ++step) {
    u -= 2;
    if (u <= parity) return parity;
    if (row.Inside(u)) return u;
  }
  return -2;
}

}  // namespace

EllipseRows::EllipseRows(std::int64_t width, std::int64_t height)
    : width_(width),
      height_(height),
      narrow_(std::max(width, height) < (std::int64_t{1} << 16)),
      slope_(static_cast<double>(width) / static_cast<double>(height)),
      // A few units in the last place of the edge, which is below the width; generously.
      error_(1e-14 * static_cast<double>(width)) {}

std::int64_t EllipseRows::HalfSpan(std::int64_t av) {
  if (memo_row_[0] == av) return memo_span_[0];
  if (memo_row_[1] == av) return memo_span_[1];
  // The next row along moves the edge by about as many columns as the last one did; when that
  // was a few, a few exact steps from the remembered edge find it sooner than a square root.
  int near = -1;
  for (int i = 0; i < 2; ++i) {
    if (memo_span_[i] >= 0 && (memo_row_[i] == av + 2 || memo_row_[i] == av - 2)) near = i;
  }
  std::int64_t span = -2;
  if (av > height_ - 1) {
    span = -1;
  } else if (av <= 1) {
    span = width_ - 1;
  } else if (near >= 0 && last_move_ <= kMostSteps) {
    span = Settled(av, memo_span_[near], kMostSteps);
  }
  if (span == -2) span = Compute(av);
  if (near >= 0 && span >= 0) {
    last_move_ = Abs(span - memo_span_[near]) / 2;
  }
  memo_row_[memo_next_] = av;
  memo_span_[memo_next_] = span;
  memo_next_ ^= 1;
  return span;
}

std::int64_t EllipseRows::Settled(std::int64_t av, std::int64_t u, std::int64_t most_steps) const {
  return narrow_ ? Settle<std::uint64_t>(width_, height_, av, u, most_steps)
                 : Settle<Uint128>(width_, height_, av, u, most_steps);
}

std::int64_t EllipseRows::Compute(std::int64_t av) const {
  if (av > height_ - 1) return -1;
  if (av <= 1) return width_ - 1;
  const std::int64_t parity = (width_ - 1) & 1;
  // The edge lies at u = (w / h) sqrt(h^2 - v^2). A double lands within `error_` of it; when the
  // edge is further than that from a whole number, its whole part is the answer.
  const auto room =
      static_cast<std::uint64_t>(height_ - av) * static_cast<std::uint64_t>(height_ + av);
  const double edge = slope_ * std::sqrt(static_cast<double>(room));
  const auto whole = static_cast<std::int64_t>(edge);  // the edge is not negative
  std::int64_t u = std::min(whole, width_ - 1);
  if ((u - parity) & 1) --u;
  u = std::max(u, parity);
  const double fraction = edge - static_cast<double>(whole);
  if (fraction > error_ && 1 - fraction > error_) return u;
  // Too close to call: the exact test settles it, a step or two away at most.
  return Settled(av, u, width_);
}

bool EllipseRows::Inside(std::int64_t u, std::int64_t v) const {
  if (Abs(u) > width_ || Abs(v) > height_) return false;
  return RowTest<Uint128>(width_, height_, Abs(v)).Inside(u);
}

}  // namespace tavlo::platform::kernels
