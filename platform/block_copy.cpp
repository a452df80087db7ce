#include "platform/block_copy.h"

#include <cstdint>
#include <cstring>

#include "platform/fill_kernels.h"
#include "platform/palette.h"

namespace tavlo::platform::kernels {

namespace {

// Walks the rows of a copy in the order that reads every source row before it is overwritten
// when both blocks lie on one surface: from the bottom when the block moves down.
template <class CopyRow>
void ForEachRow(bool bottom_up, int height, CopyRow copy_row) {
  if (bottom_up) {
    for (int i = height - 1; i >= 0; --i) copy_row(i);
  } else {
    for (int i = 0; i < height; ++i) copy_row(i);
  }
}

void CopySameDepth(Surface& destination, const Rect& to, const Surface& source, int sx, int sy) {
  const int bpp = destination.bits_per_pixel();
  const int width = to.right - to.left;
  const int height = to.bottom - to.top;
  const bool same_surface = &destination == &source;
  const bool bottom_up = same_surface && to.top > sy;
  const std::size_t dst_bit = static_cast<std::size_t>(to.left) * bpp;
  const std::size_t src_bit = static_cast<std::size_t>(sx) * bpp;
  const std::size_t bits = static_cast<std::size_t>(width) * bpp;

  if ((dst_bit & 7) == (src_bit & 7)) {
    // Byte-aligned alike (always so for 8 and 32 bits): whole bytes move with memmove; a partial
    // byte at either end is merged under a mask. The source's end bytes are read before anything
    // is written, since on one surface they may be among the bytes written.
    const std::size_t first = dst_bit >> 3;
    const std::size_t last = (dst_bit + bits - 1) >> 3;
    const std::size_t src_first = src_bit >> 3;
    const unsigned head = dst_bit & 7;
    const unsigned tail = (dst_bit + bits) & 7;
    const auto first_mask = static_cast<std::uint8_t>(0xFFu >> head);
    const auto last_mask = static_cast<std::uint8_t>(tail ? 0xFFu << (8 - tail) : 0xFFu);
    ForEachRow(bottom_up, height, [&](int i) {
      std::uint8_t* d = destination.Row(to.top + i);
      const std::uint8_t* s = source.Row(sy + i);
      const std::size_t count = last - first + 1;
      if (head == 0 && tail == 0) {
        std::memmove(d + first, s + src_first, count);
        return;
      }
      const std::uint8_t s_first = s[src_first];
      const std::uint8_t s_last = s[src_first + count - 1];
      if (count == 1) {
        const std::uint8_t m = first_mask & last_mask;
        d[first] = static_cast<std::uint8_t>((d[first] & ~m) | (s_first & m));
        return;
      }
      if (count > 2) std::memmove(d + first + 1, s + src_first + 1, count - 2);
      d[first] = static_cast<std::uint8_t>((d[first] & ~first_mask) | (s_first & first_mask));
      d[last] = static_cast<std::uint8_t>((d[last] & ~last_mask) | (s_last & last_mask));
    });
    return;
  }

  // Packed pixels at different bit offsets: one pixel at a time, walking against the direction
  // of the move so that a block overlapping itself reads each pixel before it is overwritten.
  const bool right_to_left = same_surface && to.left > sx;
  ForEachRow(bottom_up, height, [&](int i) {
    if (right_to_left) {
      for (int x = width - 1; x >= 0; --x) {
        destination.SetPixelAt(to.left + x, to.top + i, source.PixelAt(sx + x, sy + i));
      }
    } else {
      for (int x = 0; x < width; ++x) {
        destination.SetPixelAt(to.left + x, to.top + i, source.PixelAt(sx + x, sy + i));
      }
    }
  });
}

void CopyPalettedTo32(Surface& destination, const Rect& to, const Surface& source, int sx, int sy) {
  const std::array<std::uint32_t, 256>& lut = source.IndexToRgb();
  const int width = to.right - to.left;
  const int bpp = source.bits_per_pixel();
  for (int i = 0; i < to.bottom - to.top; ++i) {
    AliasedWord* d =
        reinterpret_cast<AliasedWord*>(destination.Row(to.top + i) + std::size_t(to.left) * 4);
    const std::uint8_t* s = source.Row(sy + i);
    switch (bpp) {
      case 8:
        s += sx;
        for (int x = 0; x < width; ++x) d[x] = lut[s[x]];
        break;
      case 4:
        for (int x = 0; x < width; ++x) {
          const int p = sx + x;
          d[x] = lut[(s[p >> 1] >> ((p & 1) ? 0 : 4)) & 0xF];
        }
        break;
      default:
        for (int x = 0; x < width; ++x) {
          const int p = sx + x;
          d[x] = lut[(s[p >> 3] >> (7 - (p & 7))) & 1];
        }
        break;
    }
  }
}

// Any other pair of depths: each pixel as RGB, then the destination's nearest entry; a run of
// one colour is looked up once.
void CopyThroughRgb(Surface& destination, const Rect& to, const Surface& source, int sx, int sy) {
  const bool to_32 = destination.bits_per_pixel() == 32;
  const auto table = destination.color_table();
  std::uint32_t last_rgb = 0;
  std::uint32_t last_value = 0;
  bool have_last = false;
  for (int y = 0; y < to.bottom - to.top; ++y) {
    for (int x = 0; x < to.right - to.left; ++x) {
      const std::uint32_t rgb = source.RgbAt(sx + x, sy + y);
      std::uint32_t value;
      if (to_32) {
        value = rgb;
      } else if (have_last && rgb == last_rgb) {
        value = last_value;
      } else {
        // The word 0x00RRGGBB as a device colour 0x00BBGGRR.
        value = NearestIndex(
            table, Rgb(static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                       static_cast<std::uint8_t>(rgb)));
        last_rgb = rgb;
        last_value = value;
        have_last = true;
      }
      destination.SetPixelAt(to.left + x, to.top + y, value);
    }
  }
}

}  // namespace

void CopyBlock(Surface& destination, const Rect& to, const Surface& source, int source_left,
               int source_top) {
  if (to.Empty()) return;
  const int dst_bpp = destination.bits_per_pixel();
  const int src_bpp = source.bits_per_pixel();
  if (dst_bpp == src_bpp) {
    CopySameDepth(destination, to, source, source_left, source_top);
  } else if (dst_bpp == 32) {
    CopyPalettedTo32(destination, to, source, source_left, source_top);
  } else {
    CopyThroughRgb(destination, to, source, source_left, source_top);
  }
}

}  // namespace tavlo::platform::kernels
