#pragma once

#include <optional>

#include "platform/objects.h"

// Look-ups for the platform's own use (device contexts): unlike PenOf and the rest they tell an
// unknown handle from a default record.
namespace tavlo::platform::internal {

std::optional<PenRecord> FindPen(PenHandle handle);
std::optional<BrushRecord> FindBrush(BrushHandle handle);
// The brush into `out`, without a copy of its 64 pattern colours unless it is a pattern brush
// (for the others `out.pattern` stays as it was). False, with `out` untouched, for an unknown
// handle.
bool ReadBrush(BrushHandle handle, BrushRecord& out);
std::optional<FontRecord> FindFont(FontHandle handle);
std::optional<RegionRecord> FindRegion(RegionHandle handle);

}  // namespace tavlo::platform::internal
