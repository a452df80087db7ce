#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/geometry.h"
#include "platform/objects.h"
#include "platform/surface.h"

// Rectangle fills on a Surface. Every kernel takes a rectangle already clipped to the surface
// (0 <= left < right <= width, 0 <= top < bottom <= height) and raw pixel values already
// resolved for the surface's depth; none of them clips, resolves colours or takes a lock.
namespace tavlo::platform::kernels {

// A 32-bit word that may alias the bytes of a surface's rows.
using AliasedWord = std::uint32_t __attribute__((may_alias));

// The rows of a clipped rectangle: row i (0 <= i < count) starts at first + i * step.
struct Rows {
  std::uint8_t* first;
  std::ptrdiff_t step;
  int count;
  std::uint8_t* operator[](int i) const { return first + i * step; }
};

inline Rows RowsOf(Surface& surface, const Rect& r) {
  const std::ptrdiff_t step = surface.height() > 1 ? surface.Row(1) - surface.Row(0) : 0;
  return Rows{surface.Row(r.top), step, r.bottom - r.top};
}

// Solid fill of an 8-bit surface from byte `left` of each row. Inline, and without a call to
// memset for narrow boxes, so that the device context's path for the effects' 3 by 3 cells costs
// a few stores per row: two overlapping stores cover any width from 2 to 16.
inline void FillSolid8(const Rows& rows, int left, int width, std::uint8_t value) {
  std::uint8_t* const p = rows.first + left;
  const std::size_t w = static_cast<std::size_t>(width);
  if (w > 16) {
    for (int i = 0; i < rows.count; ++i) std::memset(p + i * rows.step, value, w);
  } else if (w >= 8) {
    const std::uint64_t v = value * 0x0101010101010101ull;
    for (int i = 0; i < rows.count; ++i) {
      std::memcpy(p + i * rows.step, &v, 8);
      std::memcpy(p + i * rows.step + w - 8, &v, 8);
    }
  } else if (w >= 4) {
    const std::uint32_t v = value * 0x01010101u;
    for (int i = 0; i < rows.count; ++i) {
      std::memcpy(p + i * rows.step, &v, 4);
      std::memcpy(p + i * rows.step + w - 4, &v, 4);
    }
  } else if (w >= 2) {
    const auto v = static_cast<std::uint16_t>(value * 0x0101u);
    for (int i = 0; i < rows.count; ++i) {
      std::memcpy(p + i * rows.step, &v, 2);
      std::memcpy(p + i * rows.step + w - 2, &v, 2);
    }
  } else {
    for (int i = 0; i < rows.count; ++i) p[i * rows.step] = value;
  }
}

// Solid fill of a 32-bit surface. Boxes 2 to 4 pixels wide take two overlapping 8-byte stores
// a row, for the same reason as above: a general loop spends more on its set-up than on 3 pixels.
inline void FillSolid32(const Rows& rows, int left, int width, std::uint32_t value) {
  if (width >= 2 && width <= 4) {
    const std::uint64_t v = value * 0x0000000100000001ull;
    std::uint8_t* const p = rows.first + std::size_t(left) * 4;
    const std::size_t last_pair = (static_cast<std::size_t>(width) - 2) * 4;
    for (int i = 0; i < rows.count; ++i) {
      std::memcpy(p + i * rows.step, &v, 8);
      std::memcpy(p + i * rows.step + last_pair, &v, 8);
    }
    return;
  }
  for (int i = 0; i < rows.count; ++i) {
    AliasedWord* words = reinterpret_cast<AliasedWord*>(rows[i] + std::size_t(left) * 4);
    for (int x = 0; x < width; ++x) words[x] = value;
  }
}

// Solid fill of a 1- or 4-bit surface: partial bytes at the ends, whole bytes between.
void FillSolidPacked(const Rows& rows, int left, int right, int bits_per_pixel,
                     std::uint32_t value);

// Solid fill of any depth.
void FillSolid(Surface& surface, const Rect& r, std::uint32_t value);

// An 8 by 8 tile aligned to the surface origin, encoded as the bytes that 8 pixels of each tile
// row occupy at one depth (8 pixels of `bpp` bits are `bpp` bytes), with a mask of the bits it
// paints. Pixel (x, y) of the surface takes tile pixel (x & 7, y & 7).
struct Tile {
  int bits_per_pixel = 8;
  bool masked = false;                       // false: the mask is all ones
  std::array<std::uint8_t, 8 * 32> bytes{};  // tile row r at r * 32, bits_per_pixel bytes
  std::array<std::uint8_t, 8 * 32> mask{};
};

// Encodes 64 raw pixel values (row by row from the top). Bit 7 - c of paint_rows[r] says whether
// tile pixel (c, r) is painted; a tile that paints every pixel is not masked.
void EncodeTile(int bits_per_pixel, const std::array<std::uint32_t, 64>& values,
                const std::array<std::uint8_t, 8>& paint_rows, Tile& tile);

// The pixels of a hatch's lines in an 8 by 8 tile, as paint rows for EncodeTile (see HatchStyle).
std::array<std::uint8_t, 8> HatchRows(HatchStyle hatch);

// Fills columns left to right - 1 of the rows, whose first is surface row `top`, with a tile,
// leaving the pixels outside its mask alone.
void FillTile(const Rows& rows, int left, int right, int top, const Tile& tile);

}  // namespace tavlo::platform::kernels
