#pragma once

#include "platform/geometry.h"
#include "platform/surface.h"

namespace tavlo::platform::kernels {

// Copies the pixels of `source` whose top-left corner is (source_left, source_top) onto
// `destination` within `to`, which is already clipped so that both blocks lie inside their
// surfaces. The same depth copies raw values (row by row, overlapping blocks of one surface
// included); a paletted source onto 32 bits goes through its cached index-to-RGB table; any
// other pair through RGB and the destination's nearest colour-table entry.
void CopyBlock(Surface& destination, const Rect& to, const Surface& source, int source_left,
               int source_top);

}  // namespace tavlo::platform::kernels
