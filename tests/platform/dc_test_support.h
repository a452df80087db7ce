#pragma once

// Helpers shared by the platform drawing tests: a memory context drawing on a surface of the
// test's own, surfaces filled with seeded noise, and a per-pixel reference of colour resolution.

#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <span>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"

namespace tavlo::platform::test {

// A memory context with `surface` selected; deletes the bitmap handle when it goes.
struct MemoryDc {
  explicit MemoryDc(std::shared_ptr<Surface> s) : surface(std::move(s)) {
    dc = DeviceContext::CreateMemory();
    bitmap = CreateBitmap(surface);
    dc->SelectBitmap(bitmap);
  }
  ~MemoryDc() {
    dc->SelectBitmap(StockBitmap());
    DeleteObject(bitmap);
  }
  DeviceContext* operator->() const { return dc.get(); }

  std::shared_ptr<Surface> surface;
  std::unique_ptr<DeviceContext> dc;
  BitmapHandle bitmap;
};

inline std::shared_ptr<Surface> Copy(const Surface& s, RowOrder order = RowOrder::kBottomUp) {
  auto copy = Surface::Create(s.width(), s.height(), s.bits_per_pixel(),
                              static_cast<int>(s.color_table().size()), order);
  copy->SetColorTable(0, s.color_table());
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) copy->SetPixelAt(x, y, s.PixelAt(x, y));
  }
  return copy;
}

// A coordinate for a random rectangle: one time in `extreme_one_in` an end of the 32-bit or
// 16-bit range, otherwise a value within `margin` pixels around a surface of `size`.
inline std::int32_t RandomCoordinate(std::mt19937& rng, int size, int extreme_one_in, int margin) {
  constexpr std::int32_t kExtremes[] = {std::numeric_limits<std::int32_t>::min(),
                                        std::numeric_limits<std::int32_t>::max(), -32768, 32767};
  const int pick = std::uniform_int_distribution<int>(0, extreme_one_in - 1)(rng);
  if (pick < 4) return kExtremes[pick];
  return std::uniform_int_distribution<std::int32_t>(-margin, size + margin)(rng);
}

inline std::uint32_t MaxValue(int bpp) { return bpp == 32 ? 0x00FFFFFFu : (1u << bpp) - 1; }

inline void FillNoise(Surface& s, std::mt19937& rng) {
  std::uniform_int_distribution<std::uint32_t> value(0, MaxValue(s.bits_per_pixel()));
  for (int y = 0; y < s.height(); ++y) {
    for (int x = 0; x < s.width(); ++x) s.SetPixelAt(x, y, value(rng));
  }
}

inline void RandomColorTable(Surface& s, std::mt19937& rng) {
  std::vector<ColorTableEntry> table(s.color_table().size());
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto& e : table) {
    e = ColorTableEntry{static_cast<std::uint8_t>(byte(rng)), static_cast<std::uint8_t>(byte(rng)),
                        static_cast<std::uint8_t>(byte(rng)), 0};
  }
  s.SetColorTable(0, table);
}

// The rules, written out the slow way: a palette reference stores its masked index on a paletted
// surface and goes through the realised palette (entry 0 beyond it) on a 32-bit one; an RGB
// colour is its pixel word on 32 bits and the nearest colour-table entry (lowest on a tie)
// otherwise.
inline std::uint32_t ReferenceResolve(DeviceColor color, const Surface& s,
                                      std::span<const PaletteEntry> palette) {
  const int bpp = s.bits_per_pixel();
  if ((color >> 24) == 1) {
    const std::uint32_t index = color & 0xFFFF;
    if (bpp < 32) return index % (1u << bpp);
    if (palette.empty()) return 0;
    const PaletteEntry e = index < palette.size() ? palette[index] : palette[0];
    return std::uint32_t{e.red} << 16 | std::uint32_t{e.green} << 8 | e.blue;
  }
  const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
  if (bpp == 32) return std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
  std::uint32_t best = 0;
  long best_distance = -1;
  const auto table = s.color_table();
  for (std::size_t i = 0; i < table.size(); ++i) {
    const long d = long(table[i].red - r) * (table[i].red - r) +
                   long(table[i].green - g) * (table[i].green - g) +
                   long(table[i].blue - b) * (table[i].blue - b);
    if (best_distance < 0 || d < best_distance) {
      best_distance = d;
      best = static_cast<std::uint32_t>(i);
    }
  }
  return best;
}

}  // namespace tavlo::platform::test
