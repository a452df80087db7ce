#pragma once

#include <cstdint>

#include "platform/objects.h"

namespace tavlo::platform {

// A pen style's repeating run of on and off pixels (see PenStyle): pixel i of a period is on
// when bit i of `on` is set.
struct DashPattern {
  std::uint32_t on = 0;
  int period = 1;
};

// The pattern of a styled pen; solid and null have none (all on, one pixel long).
constexpr DashPattern DashPatternOf(PenStyle style) {
  switch (style) {
    case PenStyle::kDash:
      return DashPattern{0x0FFFu, 16};  // 12 on, 4 off
    case PenStyle::kDot:
      return DashPattern{0x3u, 4};  // 2 on, 2 off
    case PenStyle::kDashDot:
      return DashPattern{0x0FFu | 0x3u << 11, 16};  // 8 on, 3 off, 2 on, 3 off
    case PenStyle::kDashDotDot:
      return DashPattern{0x0FFu | 0x3u << 11 | 0x3u << 16, 21};  // 8, 3, 2, 3, 2, 3
    default:
      return DashPattern{1u, 1};
  }
}

}  // namespace tavlo::platform
