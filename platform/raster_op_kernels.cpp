#include "platform/raster_op_kernels.h"

#include <cstddef>
#include <cstring>

namespace tavlo::platform::kernels {

namespace {

// A 32-bit word that may alias the bytes of a surface's rows.
using AliasedWord = std::uint32_t __attribute__((may_alias));

void Store8(std::uint8_t* row, int x0, int x1, PixelMix mix) {
  std::memset(row + x0, static_cast<int>(mix.flip & 0xFF), static_cast<std::size_t>(x1 - x0));
}

void Mix8(std::uint8_t* row, int x0, int x1, PixelMix mix) {
  const auto keep = static_cast<std::uint8_t>(mix.keep);
  const auto flip = static_cast<std::uint8_t>(mix.flip);
  for (int x = x0; x < x1; ++x) row[x] = static_cast<std::uint8_t>((row[x] & keep) ^ flip);
}

void Store32(std::uint8_t* row, int x0, int x1, PixelMix mix) {
  AliasedWord* words = reinterpret_cast<AliasedWord*>(row);
  for (int x = x0; x < x1; ++x) words[x] = mix.flip;
}

void Mix32(std::uint8_t* row, int x0, int x1, PixelMix mix) {
  AliasedWord* words = reinterpret_cast<AliasedWord*>(row);
  for (int x = x0; x < x1; ++x) words[x] = (words[x] & mix.keep) ^ mix.flip;
}

// Packed pixels: pixel 0 in the high bits of byte 0. The masks repeat across the byte, so whole
// bytes mix at once and the partial bytes at the ends mix under a bit mask.
template <int kBits>
void MixPacked(std::uint8_t* row, int x0, int x1, PixelMix mix) {
  constexpr unsigned kRepeat = kBits == 1 ? 0xFFu : 0x11u;
  const auto keep = static_cast<std::uint8_t>((mix.keep & ((1u << kBits) - 1)) * kRepeat);
  const auto flip = static_cast<std::uint8_t>((mix.flip & ((1u << kBits) - 1)) * kRepeat);
  const std::size_t start_bit = static_cast<std::size_t>(x0) * kBits;
  const std::size_t end_bit = static_cast<std::size_t>(x1) * kBits;
  const std::size_t first = start_bit >> 3;
  const std::size_t last = (end_bit - 1) >> 3;
  auto mix_byte = [&](std::size_t i, unsigned bits) {
    const auto mixed = static_cast<std::uint8_t>((row[i] & keep) ^ flip);
    row[i] = static_cast<std::uint8_t>((row[i] & ~bits) | (mixed & bits));
  };
  const unsigned first_bits = 0xFFu >> (start_bit & 7);
  const unsigned last_bits = (end_bit & 7) ? (0xFFu << (8 - (end_bit & 7))) & 0xFFu : 0xFFu;
  if (first == last) {
    mix_byte(first, first_bits & last_bits);
    return;
  }
  mix_byte(first, first_bits);
  for (std::size_t i = first + 1; i < last; ++i) {
    row[i] = static_cast<std::uint8_t>((row[i] & keep) ^ flip);
  }
  mix_byte(last, last_bits);
}

}  // namespace

SpanMixer SpanMixerFor(int bits_per_pixel, PixelMix mix) {
  const bool store = mix.keep == 0;
  switch (bits_per_pixel) {
    case 1:
      return MixPacked<1>;
    case 4:
      return MixPacked<4>;
    case 8:
      return store ? Store8 : Mix8;
    default:
      return store ? Store32 : Mix32;
  }
}

}  // namespace tavlo::platform::kernels
