#pragma once

#include <algorithm>
#include <cstdint>

namespace tavlo::platform {

// A rectangle whose right column and bottom row lie outside it.
struct Rect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  constexpr bool Empty() const { return right <= left || bottom <= top; }
  constexpr std::int32_t Width() const { return right - left; }
  constexpr std::int32_t Height() const { return bottom - top; }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// The part of `a` that also lies in `b`; empty rectangles come back with right <= left or
// bottom <= top.
constexpr Rect Intersect(const Rect& a, const Rect& b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
constexpr Rect Union(const Rect& a, const Rect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace tavlo::platform
