// Colour values, the library palette and its copies, the named colours, and the four pages.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "platform/color.h"
#include "platform/palette.h"
#include "platform/window_system.h"
#include "tavlo/color_tables.h"
#include "tavlo/graphics.h"
#include "tavlo/opening_steps.h"
#include "tavlo/state.h"

namespace tavlo {

std::array<std::uint32_t, 256> NamedColor{};

namespace {

using internal::GraphicsState;
using internal::State;
namespace pf = platform;

constexpr std::uint16_t kMaxPaletteSize = 256;

constexpr pf::PaletteEntry PaletteEntryOf(std::uint32_t color) {
  return pf::PaletteEntry{pf::RedOf(color), pf::GreenOf(color), pf::BlueOf(color), 0};
}

constexpr pf::ColorTableEntry ColorTableEntryOf(std::uint32_t color) {
  return pf::ColorTableEntry{pf::BlueOf(color), pf::GreenOf(color), pf::RedOf(color), 0};
}

// The page DC holds the draw page, so its colour table is the draw page's.
void WriteDrawPageColorTable(GraphicsState& state, std::size_t first,
                             std::span<const pf::ColorTableEntry> entries) {
  state.page_dc->SetColorTable(first, entries);
}

// Each DC maps palette references through the palette's entries as they are now.
void RealizeEverywhere(GraphicsState& state) {
  state.window_dc->RealizePalette();
  state.page_dc->RealizePalette();
  state.pattern_dc->RealizePalette();
}

std::uint16_t PageOrZero(std::uint16_t page) {
  return page < internal::kPageCount ? page : std::uint16_t{0};
}

}  // namespace

std::uint32_t ToDeviceColor(std::uint32_t color) {
  const GraphicsState& state = State();
  if (!state.palette_mode) return color;
  // A palette size of 0 (an opening that stopped before the colours were installed) has no entry
  // to wrap onto; entry 0 is as good as any and avoids dividing by zero.
  if (state.palette_size == 0) return pf::kPaletteReference;
  // Most colours are already entries; the division is left for the others.
  if (color < state.palette_size) return pf::kPaletteReference + color;
  return pf::kPaletteReference + color % state.palette_size;
}

void GetDefaultPalette(PaletteRecord& record) {
  const GraphicsState& state = State();
  const std::uint16_t size =
      state.palette_mode ? std::min(state.palette_capacity, kMaxPaletteSize) : kMaxPaletteSize;
  record.size = size;
  std::copy_n(internal::kDefaultPalette.begin(), size, record.colors.begin());
  if (state.driver == Driver1Bit) {
    // The table starts with black and dark blue; two colours want black and white.
    record.colors[0] = pf::Rgb(0, 0, 0);
    record.colors[1] = pf::Rgb(255, 255, 255);
  }
}

void SetWholePalette(const PaletteRecord& record) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (!state.palette_mode) {
    state.result = ResultNoPalette;
    return;
  }
  // A palette without entries would leave colour values nothing to wrap onto.
  if (record.size == 0 || record.size > state.palette_capacity ||
      record.size > state.color_table.size()) {
    state.result = ResultBadParameter;
    return;
  }

  const std::size_t size = record.size;
  std::array<pf::PaletteEntry, kMaxPaletteSize> entries;
  for (std::size_t i = 0; i < size; ++i) {
    entries[i] = PaletteEntryOf(record.colors[i]);
    state.color_table[i] = ColorTableEntryOf(record.colors[i]);
  }
  // Pixel values beyond the palette still need a colour on the pages.
  std::fill(state.color_table.begin() + static_cast<std::ptrdiff_t>(size), state.color_table.end(),
            state.color_table[0]);

  {
    std::lock_guard lock(state.lock);
    if (const std::shared_ptr<pf::Palette> palette = pf::PaletteOf(state.palette)) {
      palette->Resize(size);
      palette->SetEntries(0, std::span(entries.data(), size));
    }
    WriteDrawPageColorTable(state, 0, state.color_table);
    internal::UpdateNamedColors();
    RealizeEverywhere(state);
  }
  pf::InvalidateWindow(state.window, false);
  state.palette_size = record.size;
}

void SetPaletteEntry(std::uint16_t index, std::uint16_t red, std::uint16_t green,
                     std::uint16_t blue) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (!state.palette_mode) {
    state.result = ResultNoPalette;
    return;
  }
  // The palette size outlives its window; the colour table of a window whose colours were never
  // installed may be shorter.
  if (index >= state.palette_size || index >= state.color_table.size()) {
    state.result = ResultBadParameter;
    return;
  }

  const auto r = static_cast<std::uint8_t>(red);
  const auto g = static_cast<std::uint8_t>(green);
  const auto b = static_cast<std::uint8_t>(blue);
  const pf::PaletteEntry entry{r, g, b, 0};
  state.color_table[index] = pf::ColorTableEntry{b, g, r, 0};

  {
    std::lock_guard lock(state.lock);
    if (const std::shared_ptr<pf::Palette> palette = pf::PaletteOf(state.palette)) {
      palette->SetEntries(index, std::span(&entry, 1));
    }
    WriteDrawPageColorTable(state, index, std::span(&state.color_table[index], 1));
    RealizeEverywhere(state);
  }
  pf::InvalidateWindow(state.window, false);
}

void SetDrawPage(std::uint16_t page) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  page = PageOrZero(page);
  {
    // The number, the selection and the colour table change together: painting may borrow the
    // page DC between any two of them, and it must find the page that the number names, and the
    // colours must land on that page and not on the one painting borrowed.
    std::lock_guard lock(state.lock);
    state.draw_page = page;
    state.page_dc->SelectBitmap(state.pages[page]);
    // Pages receive the palette lazily: a page that was hidden while the palette changed catches
    // up here.
    if (state.palette_mode) WriteDrawPageColorTable(state, 0, state.color_table);
  }
  state.direct_to_window = state.draw_page == state.shown_page;
}

void SetShownPage(std::uint16_t page) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  page = PageOrZero(page);
  state.shown_page = page;
  state.direct_to_window = state.draw_page == state.shown_page;
  pf::InvalidateWindow(state.window, false);
}

namespace internal {

void UpdateNamedColors() {
  GraphicsState& state = State();
  const std::shared_ptr<pf::Palette> palette = pf::PaletteOf(state.palette);
  if (!palette) return;
  for (std::size_t i = 0; i < NamedColor.size(); ++i) {
    NamedColor[i] = palette->NearestIndex(kNamedColorRgb[i]);
  }
}

void LoadNamedColorValues() { NamedColor = kNamedColorRgb; }

void InstallDefaultColors() {
  const GraphicsState& state = State();
  if (state.palette_mode) {
    PaletteRecord record;
    GetDefaultPalette(record);
    SetWholePalette(record);
  } else {
    LoadNamedColorValues();
  }
}

}  // namespace internal

}  // namespace tavlo
