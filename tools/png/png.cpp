#include "tools/png/png.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace tavlo::png {

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

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
  std::uint32_t crc = ~std::uint32_t{0};
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

// A zlib stream of stored (uncompressed) deflate blocks: the pictures are small and the
// writer stays a page long.
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

Bytes Header(int width, int height, int bit_depth, std::uint8_t color_type) {
  Bytes header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.push_back(static_cast<std::uint8_t>(bit_depth));
  header.push_back(color_type);
  header.push_back(0);  // deflate
  header.push_back(0);  // adaptive filtering (every row uses filter 0)
  header.push_back(0);  // no interlace
  return header;
}

// `raw` is the image's rows, each with its filter byte in front.
bool WriteFile(const std::string& path, const Bytes& header, const Bytes* palette,
               const Bytes& raw) {
  Bytes png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(png, "IHDR", header);
  if (palette != nullptr) PutChunk(png, "PLTE", *palette);
  PutChunk(png, "IDAT", ZlibStored(raw));
  PutChunk(png, "IEND", {});
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                       &std::fclose);
  if (!file) return false;
  if (std::fwrite(png.data(), 1, png.size(), file.get()) != png.size()) return false;
  // A full disk shows up at the close.
  return std::fclose(file.release()) == 0;
}

bool ValidSize(int width, int height) {
  return width > 0 && height > 0 && width <= (1 << 24) && height <= (1 << 24);
}

}  // namespace

bool WriteRgb(const std::string& path, int width, int height, std::span<const std::uint32_t> rgb) {
  if (!ValidSize(width, height) ||
      rgb.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return false;
  }
  Bytes raw;
  raw.reserve((static_cast<std::size_t>(width) * 3 + 1) * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < rgb.size(); ++i) {
    if (i % static_cast<std::size_t>(width) == 0) raw.push_back(0);  // no filter
    raw.insert(raw.end(),
               {static_cast<std::uint8_t>(rgb[i] >> 16), static_cast<std::uint8_t>(rgb[i] >> 8),
                static_cast<std::uint8_t>(rgb[i])});
  }
  return WriteFile(path, Header(width, height, 8, 2), nullptr, raw);
}

bool WriteIndexed(const std::string& path, int width, int height, int bit_depth,
                  std::span<const std::uint8_t> rows, std::span<const std::uint32_t> palette) {
  if (!ValidSize(width, height) ||
      (bit_depth != 1 && bit_depth != 2 && bit_depth != 4 && bit_depth != 8) || palette.empty() ||
      palette.size() > (std::size_t{1} << bit_depth)) {
    return false;
  }
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * bit_depth + 7) / 8;
  if (rows.size() != row_bytes * static_cast<std::size_t>(height)) return false;
  Bytes plte;
  for (std::uint32_t entry : palette) {
    plte.insert(plte.end(),
                {static_cast<std::uint8_t>(entry >> 16), static_cast<std::uint8_t>(entry >> 8),
                 static_cast<std::uint8_t>(entry)});
  }
  Bytes raw;
  raw.reserve((row_bytes + 1) * static_cast<std::size_t>(height));
  for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
    raw.push_back(0);  // no filter
    raw.insert(raw.end(), rows.begin() + static_cast<std::ptrdiff_t>(y * row_bytes),
               rows.begin() + static_cast<std::ptrdiff_t>((y + 1) * row_bytes));
  }
  return WriteFile(path, Header(width, height, bit_depth, 3), &plte, raw);
}

}  // namespace tavlo::png
