#pragma once

#include <cstdint>

#include "platform/device_context.h"

// Raster operations on the raw pixel values of a surface: palette indices of 1, 4 or 8 bits, or
// 0x00RRGGBB words.
namespace tavlo::platform::kernels {

// For a fixed pen value every bit of a raster operation's result is 0, 1, the pixel's bit or its
// complement, so each operation is new = (old & keep) ^ flip with two masks.
struct PixelMix {
  std::uint32_t keep = 0;
  std::uint32_t flip = 0;
  friend constexpr bool operator==(const PixelMix&, const PixelMix&) = default;
};

// The bits a pixel value of this depth holds: the low 1, 4 or 8 bits, or 24 for 32-bit pixels,
// whose top byte stays 0.
constexpr std::uint32_t DepthMask(int bits_per_pixel) {
  return bits_per_pixel >= 32 ? 0x00FFFFFFu : (1u << bits_per_pixel) - 1;
}

// The resulting pixel of `op` for pen value `pen` and pixel value `pixel`, over all 32 bits.
constexpr std::uint32_t ApplyRasterOp(RasterOp op, std::uint32_t pen, std::uint32_t pixel) {
  switch (op) {
    case RasterOp::kBlack:
      return 0;
    case RasterOp::kNotMergePen:
      return ~(pen | pixel);
    case RasterOp::kMaskNotPen:
      return ~pen & pixel;
    case RasterOp::kNotCopyPen:
      return ~pen;
    case RasterOp::kMaskPenNot:
      return pen & ~pixel;
    case RasterOp::kNot:
      return ~pixel;
    case RasterOp::kXorPen:
      return pen ^ pixel;
    case RasterOp::kNotMaskPen:
      return ~(pen & pixel);
    case RasterOp::kMaskPen:
      return pen & pixel;
    case RasterOp::kNotXorPen:
      return ~(pen ^ pixel);
    case RasterOp::kNop:
      return pixel;
    case RasterOp::kMergeNotPen:
      return ~pen | pixel;
    case RasterOp::kCopyPen:
      return pen;
    case RasterOp::kMergePenNot:
      return pen | ~pixel;
    case RasterOp::kMergePen:
      return pen | pixel;
    case RasterOp::kWhite:
      return ~0u;
  }
  return pixel;
}

constexpr PixelMix MixOf(RasterOp op, std::uint32_t pen, int bits_per_pixel) {
  const std::uint32_t mask = DepthMask(bits_per_pixel);
  const std::uint32_t on_zero = ApplyRasterOp(op, pen, 0);
  const std::uint32_t on_ones = ApplyRasterOp(op, pen, mask);
  return PixelMix{(on_zero ^ on_ones) & mask, on_zero & mask};
}

// Mixes pixels x0 to x1 - 1 of one row (0 <= x0 < x1 <= width). One of these is chosen per
// primitive for the surface's depth and the mix.
using SpanMixer = void (*)(std::uint8_t* row, int x0, int x1, PixelMix mix);

// The mixer for a depth; a plain store when the mix keeps no bit of the old pixel.
SpanMixer SpanMixerFor(int bits_per_pixel, PixelMix mix);

}  // namespace tavlo::platform::kernels
