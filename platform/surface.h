#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "platform/color.h"
#include "platform/geometry.h"

namespace tavlo::platform {

enum class RowOrder { kBottomUp, kTopDown };

// A device-independent bitmap: width x height pixels of 1, 4, 8 or 32 bits, rows 32-bit aligned,
// with a colour table for the paletted depths. Pixel (x, y) has y counted from the top whatever
// the row order in memory. Not thread-safe: its users serialise access.
class Surface {
 public:
  // A surface with every pixel 0 and a colour table of `color_table_size` black entries (clamped
  // to what the depth can address; none for 32 bits). Null when the size is not positive, the
  // depth is not 1, 4, 8 or 32, or the pixels would not fit in memory.
  static std::shared_ptr<Surface> Create(int width, int height, int bits_per_pixel,
                                         int color_table_size = 0,
                                         RowOrder order = RowOrder::kBottomUp);

  int width() const { return width_; }
  int height() const { return height_; }
  int bits_per_pixel() const { return bits_per_pixel_; }
  Rect bounds() const { return Rect{0, 0, width_, height_}; }
  std::size_t stride() const { return stride_; }

  // The first byte of row y, 0 <= y < height.
  std::uint8_t* Row(int y) { return pixels_.data() + RowOffset(y); }
  const std::uint8_t* Row(int y) const { return pixels_.data() + RowOffset(y); }

  // The raw pixel value at (x, y): a colour-table index, or a 0x00RRGGBB word for 32 bits.
  // Coordinates outside the surface read 0 and write nothing.
  std::uint32_t PixelAt(int x, int y) const;
  void SetPixelAt(int x, int y, std::uint32_t value);

  // The pixel at (x, y) as 0x00RRGGBB, through the colour table for the paletted depths.
  std::uint32_t RgbAt(int x, int y) const;

  std::span<const ColorTableEntry> color_table() const { return color_table_; }
  // Writes entries from `first` on; entries beyond the table are dropped. Changes the version.
  void SetColorTable(std::size_t first, std::span<const ColorTableEntry> entries);
  // Counts changes of the colour table, so that users can cache what they derive from it.
  std::uint64_t color_table_version() const { return color_table_version_; }

  // The 0x00RRGGBB word of every colour-table index, rebuilt only when the table has changed.
  const std::array<std::uint32_t, 256>& IndexToRgb() const;

 private:
  Surface(int width, int height, int bits_per_pixel, int color_table_size, RowOrder order);
  std::size_t RowOffset(int y) const {
    const int row = order_ == RowOrder::kBottomUp ? height_ - 1 - y : y;
    return static_cast<std::size_t>(row) * stride_;
  }

  int width_;
  int height_;
  int bits_per_pixel_;
  RowOrder order_;
  std::size_t stride_;
  std::vector<std::uint8_t> pixels_;
  std::vector<ColorTableEntry> color_table_;
  std::uint64_t color_table_version_ = 0;
  mutable std::uint64_t index_to_rgb_version_ = ~std::uint64_t{0};
  mutable std::array<std::uint32_t, 256> index_to_rgb_{};
};

}  // namespace tavlo::platform
