#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/color.h"

namespace tavlo::platform {

// A logical palette of up to 65536 entries.
class Palette {
 public:
  explicit Palette(std::size_t entry_count) : entries_(entry_count) {}

  std::span<const PaletteEntry> entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }

  // New entries are black; entries beyond the new size are dropped.
  void Resize(std::size_t entry_count) { entries_.resize(entry_count); }
  // Writes entries from `first` on; entries beyond the palette are dropped.
  void SetEntries(std::size_t first, std::span<const PaletteEntry> entries);

  // The index of the entry nearest to an RGB device colour: least squared distance in RGB, the
  // lowest index on a tie. 0 for an empty palette.
  std::uint32_t NearestIndex(DeviceColor rgb) const;

 private:
  std::vector<PaletteEntry> entries_;
};

// The index of the colour-table entry nearest to an RGB device colour, by the same measure.
std::uint32_t NearestIndex(std::span<const ColorTableEntry> table, DeviceColor rgb);

}  // namespace tavlo::platform
