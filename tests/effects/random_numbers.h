#pragma once

// The 32-bit Mersenne Twister seeded with one number, written out from its published definition,
// for checking the effects' random numbers independently of the generator they use.

#include <array>
#include <cstdint>

namespace tavlo::effects::testing {

class ReferenceTwister {
 public:
  explicit ReferenceTwister(std::uint32_t seed) {
    state_[0] = seed;
    for (std::uint32_t i = 1; i < kSize; ++i) {
      state_[i] = 1812433253u * (state_[i - 1] ^ (state_[i - 1] >> 30)) + i;
    }
  }

  std::uint32_t Next() {
    if (index_ == kSize) {
      for (std::uint32_t i = 0; i < kSize; ++i) {
        const std::uint32_t y = (state_[i] & 0x80000000u) | (state_[(i + 1) % kSize] & 0x7FFFFFFFu);
        state_[i] = state_[(i + 397) % kSize] ^ (y >> 1) ^ ((y & 1) ? 0x9908B0DFu : 0u);
      }
      index_ = 0;
    }
    std::uint32_t y = state_[index_++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    return y ^ (y >> 18);
  }

  // A uniform real in [0, 1) and a uniform integer in 0..n-1, as the effects draw them.
  long double Real() { return static_cast<long double>(Next()) / 4294967296.0L; }
  std::uint32_t Below(std::uint32_t n) {
    return static_cast<std::uint32_t>(std::uint64_t{Next()} * n / 4294967296u);
  }

 private:
  static constexpr std::uint32_t kSize = 624;
  std::array<std::uint32_t, kSize> state_{};
  std::uint32_t index_ = kSize;
};

}  // namespace tavlo::effects::testing
