#pragma once

#include <cstdint>

namespace tavlo::platform {

// A device colour: an RGB value with red in the low byte (0x00BBGGRR), or a reference to an
// entry of the palette selected into a device context (kPaletteReference | index).
using DeviceColor = std::uint32_t;

inline constexpr DeviceColor kPaletteReference = 0x01000000;

constexpr DeviceColor Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return DeviceColor{red} | DeviceColor{green} << 8 | DeviceColor{blue} << 16;
}
constexpr DeviceColor PaletteIndexColor(std::uint32_t index) {
  return kPaletteReference | (index & 0xFFFF);
}
constexpr bool IsPaletteIndexColor(DeviceColor c) { return (c & 0xFF000000) == kPaletteReference; }
constexpr std::uint32_t PaletteIndexOf(DeviceColor c) { return c & 0xFFFF; }
constexpr std::uint8_t RedOf(DeviceColor c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(DeviceColor c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(DeviceColor c) { return static_cast<std::uint8_t>(c >> 16); }

// An entry of a logical palette.
struct PaletteEntry {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t flags = 0;
  friend constexpr bool operator==(const PaletteEntry&, const PaletteEntry&) = default;
};

// An entry of a bitmap's colour table, and the layout of a 32-bit pixel: blue, green, red,
// unused. Read as a little-endian word it is 0x00RRGGBB.
struct ColorTableEntry {
  std::uint8_t blue = 0;
  std::uint8_t green = 0;
  std::uint8_t red = 0;
  std::uint8_t reserved = 0;
  friend constexpr bool operator==(const ColorTableEntry&, const ColorTableEntry&) = default;
};

// The 32-bit pixel word (0x00RRGGBB) of an RGB device colour.
constexpr std::uint32_t PixelWordOf(DeviceColor rgb) {
  return std::uint32_t{RedOf(rgb)} << 16 | std::uint32_t{GreenOf(rgb)} << 8 | BlueOf(rgb);
}
constexpr std::uint32_t PixelWordOf(ColorTableEntry e) {
  return std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
}
constexpr std::uint32_t PixelWordOf(PaletteEntry e) {
  return std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
}

}  // namespace tavlo::platform
