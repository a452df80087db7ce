#pragma once

// A look inside the library for tests and tools. Programs do not use it.

#include <cstdint>
#include <memory>

#include "platform/surface.h"
#include "tavlo/state.h"

namespace tavlo::inspect {

// A copy of a page (0 to 3) taken under the library's lock, with its own colour table; null
// when no window is open or the page does not exist.
std::shared_ptr<platform::Surface> SnapshotPage(int page);
// Reads the screen size again, as the library did at program start, after a test has changed
// the headless screen.
void RereadScreenSize();
// The number of palette entries in use.
std::uint16_t PaletteSize();
// The library's copy of the palette as a bitmap colour table.
std::vector<platform::ColorTableEntry> ColorTable();

}  // namespace tavlo::inspect
