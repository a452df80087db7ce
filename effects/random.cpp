#include "effects/random.h"

#include <atomic>
#include <chrono>

namespace tavlo::effects {
namespace {

// One word, so that fixing and reading the seed need no lock: bit 32 says a seed is fixed.
constexpr std::uint64_t kFixed = std::uint64_t{1} << 32;
std::atomic<std::uint64_t> fixed_seed{0};

std::uint32_t MillisecondTicks() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<std::uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

std::uint32_t SetUpSeed() {
  const std::uint64_t fixed = fixed_seed.load(std::memory_order_relaxed);
  return (fixed & kFixed) != 0 ? static_cast<std::uint32_t>(fixed) : MillisecondTicks();
}

void FixSeed(std::optional<std::uint32_t> seed) {
  fixed_seed.store(seed ? kFixed | *seed : 0, std::memory_order_relaxed);
}

}  // namespace tavlo::effects
