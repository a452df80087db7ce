#pragma once

// Drawing coordinates are 16-bit and wrap around: the sum of a coordinate and the viewport
// origin is taken modulo 65536. Internal.

#include <cstdint>

namespace tavlo::internal {

// a + b in 16-bit two's complement; only the low 16 bits of b count.
constexpr std::int16_t Add16(std::int16_t a, std::int32_t b) {
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(static_cast<std::uint16_t>(a) + static_cast<std::uint16_t>(b)));
}

// a - b in 16-bit two's complement.
constexpr std::int16_t Subtract16(std::int16_t a, std::int16_t b) {
  return static_cast<std::int16_t>(
      static_cast<std::uint16_t>(static_cast<std::uint16_t>(a) - static_cast<std::uint16_t>(b)));
}

}  // namespace tavlo::internal
