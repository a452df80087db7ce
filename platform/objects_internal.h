#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "platform/brush_table.h"
#include "platform/objects.h"

// Look-ups for the platform's own use (device contexts): unlike PenOf and the rest they tell an
// unknown handle from a default record.
namespace tavlo::platform::internal {

std::optional<PenRecord> FindPen(PenHandle handle);
std::optional<BrushRecord> FindBrush(BrushHandle handle);

// The object table's brushes. Published once the table is made (it is never destroyed), so
// that the device contexts' selections, two for every cell the effects plot, read a brush
// without a call.
inline std::atomic<BrushTable*> brush_table{nullptr};
// Makes the object table if need be; its brushes.
BrushTable& MakeObjectTable();
inline BrushTable& Brushes() {
  BrushTable* const table = brush_table.load(std::memory_order_acquire);
  return table != nullptr ? *table : MakeObjectTable();
}
// A pattern brush's 64 colours into `out`; false when the tile is gone.
bool ReadPatternTile(std::uint32_t tile, std::array<DeviceColor, 64>& out);

// The brush into `out`, without a copy of its 64 pattern colours unless it is a pattern brush
// (for the others `out.pattern` stays as it was). False, with `out` untouched, for an unknown
// handle.
inline bool ReadBrush(BrushHandle handle, BrushRecord& out) {
  BrushTable::Entry entry;
  if (!Brushes().Read(handle.id, entry)) return false;
  // A tile that is gone belonged to a brush deleted on another thread meanwhile: unknown too.
  if (entry.tile != 0 && !ReadPatternTile(entry.tile, out.pattern)) return false;
  out.style = entry.style;
  out.hatch = entry.hatch;
  out.color = entry.color;
  return true;
}
std::optional<FontRecord> FindFont(FontHandle handle);
std::optional<RegionRecord> FindRegion(RegionHandle handle);

}  // namespace tavlo::platform::internal
