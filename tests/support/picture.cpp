#include "tests/support/picture.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "tools/png/png.h"

namespace tavlo::testing {

bool WritePng(const std::string& path, const platform::Surface& surface) {
  const int width = surface.width();
  const int height = surface.height();
  const int bpp = surface.bits_per_pixel();
  if (bpp > 8) {
    std::vector<std::uint32_t> rgb;
    rgb.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) rgb.push_back(surface.RgbAt(x, y));
    }
    return png::WriteRgb(path, width, height, rgb);
  }

  const int count = 1 << bpp;
  const auto table = surface.color_table();
  bool distinct = false;
  for (std::size_t i = 1; i < table.size(); ++i) distinct |= !(table[i] == table[0]);
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < count; ++i) {
    if (distinct) {
      const platform::ColorTableEntry e = static_cast<std::size_t>(i) < table.size()
                                              ? table[static_cast<std::size_t>(i)]
                                              : platform::ColorTableEntry{};
      palette.push_back(platform::PixelWordOf(e));
    } else {
      const auto grey = static_cast<std::uint32_t>(i * 255 / (count - 1));
      palette.push_back(grey * 0x010101u);
    }
  }
  // Paletted rows are the surface's own bytes: PNG packs sub-byte pixels high bits first too.
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * bpp + 7) / 8;
  std::vector<std::uint8_t> rows;
  rows.reserve(row_bytes * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y)
    rows.insert(rows.end(), surface.Row(y), surface.Row(y) + row_bytes);
  return png::WriteIndexed(path, width, height, bpp, rows, palette);
}

::testing::AssertionResult SamePicture(const platform::Surface& actual,
                                       const platform::Surface& expected, std::string_view name) {
  const std::string base(name);
  auto write_both = [&] {
    WritePng(base + ".actual.png", actual);
    WritePng(base + ".expected.png", expected);
  };
  if (actual.width() != expected.width() || actual.height() != expected.height() ||
      actual.bits_per_pixel() != expected.bits_per_pixel()) {
    write_both();
    return ::testing::AssertionFailure()
           << base << ": actual is " << actual.width() << "x" << actual.height() << "x"
           << actual.bits_per_pixel() << ", expected " << expected.width() << "x"
           << expected.height() << "x" << expected.bits_per_pixel();
  }
  const bool rgb = actual.bits_per_pixel() == 32;
  std::size_t differing = 0;
  int first_x = 0, first_y = 0;
  std::uint32_t first_actual = 0, first_expected = 0;
  for (int y = 0; y < actual.height(); ++y) {
    for (int x = 0; x < actual.width(); ++x) {
      const std::uint32_t a = rgb ? actual.RgbAt(x, y) : actual.PixelAt(x, y);
      const std::uint32_t e = rgb ? expected.RgbAt(x, y) : expected.PixelAt(x, y);
      if (a == e) continue;
      if (differing++ == 0) {
        first_x = x;
        first_y = y;
        first_actual = a;
        first_expected = e;
      }
    }
  }
  if (differing == 0) return ::testing::AssertionSuccess();
  write_both();
  std::ostringstream message;
  message << base << ": " << differing << " pixel(s) differ; first at (" << first_x << ", "
          << first_y << "): actual " << std::hex << "0x" << first_actual << ", expected 0x"
          << first_expected << std::dec << "; wrote " << base << ".actual.png and " << base
          << ".expected.png";
  return ::testing::AssertionFailure() << message.str();
}

}  // namespace tavlo::testing
