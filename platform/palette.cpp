#include "platform/palette.h"

#include <algorithm>
#include <cstdint>

namespace tavlo::platform {

namespace {

// Least squared distance in RGB, the first (lowest) index winning a tie because only a strictly
// smaller distance replaces the best so far.
template <class Entry>
std::uint32_t Nearest(std::span<const Entry> entries, DeviceColor rgb) {
  const int red = RedOf(rgb);
  const int green = GreenOf(rgb);
  const int blue = BlueOf(rgb);
  std::uint32_t best_index = 0;
  int best_distance = 3 * 255 * 255 + 1;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int dr = entries[i].red - red;
    const int dg = entries[i].green - green;
    const int db = entries[i].blue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < best_distance) {
      best_distance = distance;
      best_index = static_cast<std::uint32_t>(i);
      if (distance == 0) break;
    }
  }
  return best_index;
}

}  // namespace

void Palette::SetEntries(std::size_t first, std::span<const PaletteEntry> entries) {
  if (first >= entries_.size()) return;
  const std::size_t count = std::min(entries.size(), entries_.size() - first);
  std::copy_n(entries.begin(), count, entries_.begin() + static_cast<std::ptrdiff_t>(first));
}

std::uint32_t Palette::NearestIndex(DeviceColor rgb) const {
  return Nearest(std::span<const PaletteEntry>(entries_), rgb);
}

std::uint32_t NearestIndex(std::span<const ColorTableEntry> table, DeviceColor rgb) {
  return Nearest(table, rgb);
}

}  // namespace tavlo::platform
