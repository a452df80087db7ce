#pragma once

// A small PNG writer for tests and tools: uncompressed (stored) deflate blocks, no dependencies.

#include <cstdint>
#include <span>
#include <string>

namespace tavlo::png {

// Writes an 8-bit RGB PNG of width x height pixels; pixel (x, y) is rgb[y * width + x] as
// 0x00RRGGBB. False when the sizes do not match or the file cannot be written.
bool WriteRgb(const std::string& path, int width, int height, std::span<const std::uint32_t> rgb);

// Writes an indexed PNG of 1, 2, 4 or 8 bits per pixel. `rows` holds height rows of
// (width * bit_depth + 7) / 8 bytes each, pixels packed from the high bits down as PNG packs
// them; `palette` holds up to 2^bit_depth entries as 0x00RRGGBB. False when the sizes do not
// match or the file cannot be written.
bool WriteIndexed(const std::string& path, int width, int height, int bit_depth,
                  std::span<const std::uint8_t> rows, std::span<const std::uint32_t> palette);

}  // namespace tavlo::png
