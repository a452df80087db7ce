#include "platform/surface.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

namespace tavlo::platform {

namespace {

// The largest pixel buffer a surface may have. Far above any page or window the library makes
// (640 by 480 by 4 bytes is 1.2 MB), and low enough that a mistaken size fails here instead of
// taking the machine's memory or overflowing an offset computed in std::size_t.
constexpr std::uint64_t kMaxPixelBytes = std::uint64_t{1} << 30;

bool ValidDepth(int bits_per_pixel) {
  return bits_per_pixel == 1 || bits_per_pixel == 4 || bits_per_pixel == 8 || bits_per_pixel == 32;
}

std::uint64_t StrideOf(int width, int bits_per_pixel) {
  // Rows are padded to whole 32-bit words; computed in 64 bits so that no width overflows.
  const std::uint64_t bits = static_cast<std::uint64_t>(width) * bits_per_pixel;
  return (bits + 31) / 32 * 4;
}

}  // namespace

std::shared_ptr<Surface> Surface::Create(int width, int height, int bits_per_pixel,
                                         int color_table_size, RowOrder order) {
  if (width <= 0 || height <= 0 || !ValidDepth(bits_per_pixel)) return nullptr;
  const std::uint64_t stride = StrideOf(width, bits_per_pixel);
  if (stride > kMaxPixelBytes / static_cast<std::uint64_t>(height)) return nullptr;
  try {
    return std::shared_ptr<Surface>(
        new Surface(width, height, bits_per_pixel, color_table_size, order));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

Surface::Surface(int width, int height, int bits_per_pixel, int color_table_size, RowOrder order)
    : width_(width),
      height_(height),
      bits_per_pixel_(bits_per_pixel),
      order_(order),
      stride_(static_cast<std::size_t>(StrideOf(width, bits_per_pixel))),
      pixels_(stride_ * static_cast<std::size_t>(height)) {
  if (bits_per_pixel <= 8) {
    const int capacity = 1 << bits_per_pixel;
    color_table_.resize(static_cast<std::size_t>(std::clamp(color_table_size, 0, capacity)));
  }
}

std::uint32_t Surface::PixelAt(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const std::uint8_t* row = Row(y);
  switch (bits_per_pixel_) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
      return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu;
    case 8:
      return row[x];
    default: {
      const std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
      return (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
              std::uint32_t{p[3]} << 24);
    }
  }
}

void Surface::SetPixelAt(int x, int y, std::uint32_t value) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  std::uint8_t* row = Row(y);
  switch (bits_per_pixel_) {
    case 1: {
      const auto bit = static_cast<std::uint8_t>(0x80u >> (x & 7));
      row[x >> 3] =
          static_cast<std::uint8_t>((value & 1u) ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case 4: {
      const int shift = (x & 1) ? 0 : 4;
      std::uint8_t& byte = row[x >> 1];
      byte = static_cast<std::uint8_t>((byte & ~(0xFu << shift)) | ((value & 0xFu) << shift));
      break;
    }
    case 8:
      row[x] = static_cast<std::uint8_t>(value);
      break;
    default: {
      std::uint8_t* p = row + static_cast<std::size_t>(x) * 4;
      p[0] = static_cast<std::uint8_t>(value);
      p[1] = static_cast<std::uint8_t>(value >> 8);
      p[2] = static_cast<std::uint8_t>(value >> 16);
      p[3] = static_cast<std::uint8_t>(value >> 24);
      break;
    }
  }
}

std::uint32_t Surface::RgbAt(int x, int y) const {
  const std::uint32_t value = PixelAt(x, y);
  if (bits_per_pixel_ == 32) return value & 0x00FFFFFFu;
  // An index beyond a short colour table reads as black.
  return value < color_table_.size() ? PixelWordOf(color_table_[value]) : 0;
}

void Surface::SetColorTable(std::size_t first, std::span<const ColorTableEntry> entries) {
  if (first < color_table_.size()) {
    const std::size_t count = std::min(entries.size(), color_table_.size() - first);
    std::copy_n(entries.begin(), count, color_table_.begin() + static_cast<std::ptrdiff_t>(first));
  }
  ++color_table_version_;
}

const std::array<std::uint32_t, 256>& Surface::IndexToRgb() const {
  if (index_to_rgb_version_ != color_table_version_) {
    index_to_rgb_.fill(0);
    for (std::size_t i = 0; i < color_table_.size(); ++i) {
      index_to_rgb_[i] = PixelWordOf(color_table_[i]);
    }
    index_to_rgb_version_ = color_table_version_;
  }
  return index_to_rgb_;
}

}  // namespace tavlo::platform
