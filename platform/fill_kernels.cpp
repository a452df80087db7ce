#include "platform/fill_kernels.h"

#include <cstring>

namespace tavlo::platform::kernels {

namespace {

// The bytes that a span of pixels covers in a row, and which bits of the first and last of them
// belong to it; pixel 0 sits in the high bits of byte 0.
struct ByteSpan {
  std::size_t first;
  std::size_t last;
  std::uint8_t first_mask;
  std::uint8_t last_mask;
};

ByteSpan ByteSpanOf(int left, int right, int bits_per_pixel) {
  const std::size_t start_bit = static_cast<std::size_t>(left) * bits_per_pixel;
  const std::size_t end_bit = static_cast<std::size_t>(right) * bits_per_pixel;
  const unsigned end_rest = end_bit & 7;
  return ByteSpan{start_bit >> 3, (end_bit - 1) >> 3,
                  static_cast<std::uint8_t>(0xFFu >> (start_bit & 7)),
                  static_cast<std::uint8_t>(end_rest ? 0xFFu << (8 - end_rest) : 0xFFu)};
}

inline void Blend(std::uint8_t& byte, std::uint8_t value, std::uint8_t mask) {
  byte = static_cast<std::uint8_t>((byte & ~mask) | (value & mask));
}

}  // namespace

void FillSolidPacked(const Rows& rows, int left, int right, int bits_per_pixel,
                     std::uint32_t value) {
  const std::uint8_t byte = bits_per_pixel == 1 ? ((value & 1) ? 0xFF : 0x00)
                                                : static_cast<std::uint8_t>((value & 0xF) * 0x11);
  const ByteSpan span = ByteSpanOf(left, right, bits_per_pixel);
  for (int i = 0; i < rows.count; ++i) {
    std::uint8_t* row = rows[i];
    if (span.first == span.last) {
      Blend(row[span.first], byte, span.first_mask & span.last_mask);
      continue;
    }
    Blend(row[span.first], byte, span.first_mask);
    std::memset(row + span.first + 1, byte, span.last - span.first - 1);
    Blend(row[span.last], byte, span.last_mask);
  }
}

void FillSolid(Surface& surface, const Rect& r, std::uint32_t value) {
  const Rows rows = RowsOf(surface, r);
  switch (surface.bits_per_pixel()) {
    case 8:
      FillSolid8(rows, r.left, r.right - r.left, static_cast<std::uint8_t>(value));
      break;
    case 32:
      FillSolid32(rows, r.left, r.right - r.left, value);
      break;
    default:
      FillSolidPacked(rows, r.left, r.right, surface.bits_per_pixel(), value);
      break;
  }
}

void EncodeTile(int bits_per_pixel, const std::array<std::uint32_t, 64>& values,
                const std::array<std::uint8_t, 8>& paint_rows, Tile& tile) {
  tile.bits_per_pixel = bits_per_pixel;
  tile.bytes.fill(0);
  tile.mask.fill(0);
  tile.masked = false;
  for (int r = 0; r < 8; ++r) {
    std::uint8_t* bytes = tile.bytes.data() + r * 32;
    std::uint8_t* mask = tile.mask.data() + r * 32;
    if (paint_rows[static_cast<std::size_t>(r)] != 0xFF) tile.masked = true;
    for (int c = 0; c < 8; ++c) {
      const std::uint32_t v = values[static_cast<std::size_t>(r * 8 + c)];
      const bool painted = (paint_rows[static_cast<std::size_t>(r)] >> (7 - c)) & 1;
      const std::uint8_t m = painted ? 0xFF : 0x00;
      switch (bits_per_pixel) {
        case 1: {
          const auto bit = static_cast<std::uint8_t>(0x80u >> c);
          if (v & 1) bytes[0] |= bit;
          mask[0] |= bit & m;
          break;
        }
        case 4: {
          const int shift = (c & 1) ? 0 : 4;
          bytes[c >> 1] |= static_cast<std::uint8_t>((v & 0xF) << shift);
          mask[c >> 1] |= static_cast<std::uint8_t>((0xFu << shift) & m);
          break;
        }
        case 8:
          bytes[c] = static_cast<std::uint8_t>(v);
          mask[c] = m;
          break;
        default:
          for (int k = 0; k < 4; ++k) {
            bytes[c * 4 + k] = static_cast<std::uint8_t>(v >> (8 * k));
            mask[c * 4 + k] = m;
          }
          break;
      }
    }
  }
}

std::array<std::uint8_t, 8> HatchRows(HatchStyle hatch) {
  std::array<std::uint8_t, 8> rows{};
  const bool horizontal = hatch == HatchStyle::kHorizontal || hatch == HatchStyle::kCross;
  const bool vertical = hatch == HatchStyle::kVertical || hatch == HatchStyle::kCross;
  const bool rising = hatch == HatchStyle::kRisingDiagonal || hatch == HatchStyle::kDiagonalCross;
  const bool falling = hatch == HatchStyle::kFallingDiagonal || hatch == HatchStyle::kDiagonalCross;
  for (int y = 0; y < 8; ++y) {
    unsigned bits = 0;
    if (horizontal && y == 0) bits |= 0xFF;
    if (vertical) bits |= 0x80;            // x % 8 == 0
    if (rising) bits |= 0x80u >> (7 - y);  // (x + y) % 8 == 7
    if (falling) bits |= 0x80u >> y;       // (x - y) % 8 == 0
    rows[static_cast<std::size_t>(y)] = static_cast<std::uint8_t>(bits);
  }
  return rows;
}

void FillTile(const Rows& rows, int left, int right, int top, const Tile& tile) {
  const int bpp = tile.bits_per_pixel;
  const std::size_t period_mask = static_cast<std::size_t>(bpp) - 1;  // bpp bytes per 8 pixels
  const ByteSpan span = ByteSpanOf(left, right, bpp);
  const std::size_t f = span.first & period_mask;
  const std::size_t l = span.last & period_mask;
  for (int i = 0; i < rows.count; ++i) {
    std::uint8_t* row = rows[i];
    const std::size_t tile_row = static_cast<std::size_t>((top + i) & 7) * 32;
    const std::uint8_t* bytes = tile.bytes.data() + tile_row;
    const std::uint8_t* mask = tile.mask.data() + tile_row;
    if (span.first == span.last) {
      Blend(row[span.first], bytes[f], mask[f] & span.first_mask & span.last_mask);
      continue;
    }
    Blend(row[span.first], bytes[f], mask[f] & span.first_mask);
    if (tile.masked) {
      for (std::size_t b = span.first + 1; b < span.last; ++b) {
        Blend(row[b], bytes[b & period_mask], mask[b & period_mask]);
      }
    } else {
      for (std::size_t b = span.first + 1; b < span.last; ++b) row[b] = bytes[b & period_mask];
    }
    Blend(row[span.last], bytes[l], mask[l] & span.last_mask);
  }
}

}  // namespace tavlo::platform::kernels
