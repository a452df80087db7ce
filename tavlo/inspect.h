#pragma once

// A look inside the library for tests and tools. Programs do not use it.

#include <cstdint>
#include <memory>
#include <vector>

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

// Pictures in plain numbers, for tools that write them out.
struct RgbPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row from the top
};
struct IndexedPicture {
  int width = 0;
  int height = 0;
  int bits_per_pixel = 0;
  std::vector<std::uint8_t> rows;      // (width * bits + 7) / 8 bytes a row, from the top
  std::vector<std::uint32_t> palette;  // the page's colour table as 0x00RRGGBB
};

// The window's client area as the person sees it, copied under the window surface's lock; an
// empty picture when there is no window. Headless backend only.
RgbPicture WindowPicture();
// A page (0 to 3) with its colour table; an empty picture when no window is open, the page
// does not exist or has no colour table.
IndexedPicture PagePicture(int page);

}  // namespace tavlo::inspect
