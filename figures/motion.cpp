#include "figures/motion.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <numeric>

namespace tavlo::figures {
namespace {

constexpr std::int32_t kR = kRestHalfWidth;
constexpr std::int32_t kBouncePeriod = 200;
constexpr std::int32_t kSidewaysPeriod = 600 - 4 * kR;

static_assert(kSidewaysPeriod == 456);
static_assert(std::lcm(kSidewaysPeriod, kBouncePeriod) == kMotionPeriod);
static_assert(kMotionPeriod % 20 == 0, "the wobble's period divides the motion's");

// 2^31 modulo the motion's period: the counter goes on here instead of overflowing.
constexpr std::int32_t kCounterAfterLast = static_cast<std::int32_t>(
    (std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) % kMotionPeriod);
static_assert(kCounterAfterLast == 8648);

}  // namespace

std::int32_t CentreColumn(std::int32_t t) {
  return std::abs(t % kSidewaysPeriod - (300 - 2 * kR)) + kR + 10;
}

std::int32_t CentreRow(std::int32_t t) {
  const std::int32_t m = t % kBouncePeriod;
  return 210 - (199 - m) * m / 80;
}

std::int32_t Deformation(std::int32_t t) {
  const std::int32_t m = t % kBouncePeriod;
  const long double angle = static_cast<long double>(t) * std::numbers::pi_v<long double> / 10.0L;
  const long double a = std::cos(angle) * static_cast<long double>(199 - m) / 20.0L;
  return static_cast<std::int32_t>(std::nearbyint(a));
}

std::int32_t NextFrame(std::int32_t t) {
  return t == std::numeric_limits<std::int32_t>::max() ? kCounterAfterLast : t + 1;
}

}  // namespace tavlo::figures
