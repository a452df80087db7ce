#include "tests/support/picture.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

namespace tavlo::testing {

namespace {

using Bytes = std::vector<std::uint8_t>;

const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < size; ++i) crc = CrcTable()[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBigEndian(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 24));
  out.push_back(static_cast<std::uint8_t>(v >> 16));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void PutChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBigEndian(out, Crc(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
Bytes ZlibStored(const Bytes& raw) {
  Bytes out = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    const std::size_t n = std::min<std::size_t>(raw.size() - pos, 65535);
    const bool final_block = pos + n == raw.size();
    out.push_back(final_block ? 1 : 0);
    out.push_back(static_cast<std::uint8_t>(n));
    out.push_back(static_cast<std::uint8_t>(n >> 8));
    out.push_back(static_cast<std::uint8_t>(~n));
    out.push_back(static_cast<std::uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
               raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (std::uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutBigEndian(out, b << 16 | a);
  return out;
}

}  // namespace

bool WritePng(const std::string& path, const platform::Surface& surface) {
  const int width = surface.width();
  const int height = surface.height();
  const int bpp = surface.bits_per_pixel();
  const bool paletted = bpp <= 8;

  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.push_back(static_cast<std::uint8_t>(paletted ? bpp : 8));
  header.push_back(paletted ? 3 : 2);  // indexed or RGB
  header.push_back(0);
  header.push_back(0);
  header.push_back(0);
  PutChunk(png, "IHDR", header);

  if (paletted) {
    const int count = 1 << bpp;
    const auto table = surface.color_table();
    bool distinct = false;
    for (std::size_t i = 1; i < table.size(); ++i) distinct |= !(table[i] == table[0]);
    Bytes palette;
    for (int i = 0; i < count; ++i) {
      if (distinct) {
        const platform::ColorTableEntry e = static_cast<std::size_t>(i) < table.size()
                                                ? table[static_cast<std::size_t>(i)]
                                                : platform::ColorTableEntry{};
        palette.insert(palette.end(), {e.red, e.green, e.blue});
      } else {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (count - 1));
        palette.insert(palette.end(), {grey, grey, grey});
      }
    }
    PutChunk(png, "PLTE", palette);
  }

  // Paletted rows are the surface's own bytes: PNG packs sub-byte pixels high bits first too.
  const std::size_t row_bytes = paletted ? (static_cast<std::size_t>(width) * bpp + 7) / 8
                                         : static_cast<std::size_t>(width) * 3;
  Bytes raw;
  raw.reserve((row_bytes + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);  // no filter
    if (paletted) {
      const std::uint8_t* row = surface.Row(y);
      raw.insert(raw.end(), row, row + row_bytes);
    } else {
      for (int x = 0; x < width; ++x) {
        const std::uint32_t rgb = surface.RgbAt(x, y);
        raw.insert(raw.end(),
                   {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                    static_cast<std::uint8_t>(rgb)});
      }
    }
  }
  PutChunk(png, "IDAT", ZlibStored(raw));
  PutChunk(png, "IEND", {});

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) return false;
  return std::fwrite(png.data(), 1, png.size(), file.get()) == png.size();
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
