#pragma once

// The pseudo-random numbers of the starfield and the pattern: one generator per effect, seeded
// once, right after its window opens, from the millisecond tick count (or from a seed fixed
// beforehand, so that the snapshot tool and the tests can reproduce a run).

#include <cstdint>
#include <optional>
#include <random>

namespace tavlo::effects {

class Random {
 public:
  explicit Random(std::uint32_t seed) : engine_(seed) {}

  // Uniform in 0 .. n - 1 for n >= 1 (0 for n = 0): the high 32 bits of a 32-bit draw times n.
  std::uint32_t Below(std::uint32_t n) {
    return static_cast<std::uint32_t>((std::uint64_t{engine_()} * n) >> 32);
  }

  // Uniform in [0, 1), a multiple of 2^-32, exact in an 80-bit real.
  long double Real() { return static_cast<long double>(engine_()) * 0x1p-32L; }

 private:
  std::mt19937 engine_;  // 32 bits per draw; the same sequence on every platform
};

// The seed an effect takes in its set-up: the fixed one, or else the millisecond tick count.
std::uint32_t SetUpSeed();

// Fixes the seed of every set-up from now on; none goes back to the tick count.
void FixSeed(std::optional<std::uint32_t> seed);

}  // namespace tavlo::effects
