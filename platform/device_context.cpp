#include "platform/device_context.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/block_copy.h"
#include "platform/fill_kernels.h"
#include "platform/objects_internal.h"
#include "platform/palette.h"

namespace tavlo::platform {

namespace {

// How the selected brush fills on the current surface: the one branch taken per FillRect.
enum class FillKind : std::uint8_t { kNothing, kSolid8, kSolid32, kSolidPacked, kTile };

}  // namespace

struct DeviceContext::Derived {
  // Where the surface's rows lie: row y starts at row0 + y * step. A surface's pixels never move,
  // and a selected surface stays alive, so these hold until the next surface is selected.
  std::uint8_t* row0 = nullptr;
  std::ptrdiff_t step = 0;

  // The selected palette's entries as 32-bit pixel words, as they were when it was realised.
  std::vector<std::uint32_t> palette_words;

  // Counts the selections and realisations that can change what a colour means here; a
  // surface's identity in the nearest-colour memo below.
  std::uint64_t serial = 1;
  std::uint64_t surface_serial = 0;

  // The selected brush as raw pixels of the current surface, worked out at `brush_serial` and
  // valid while nothing it was read from has changed since: the serial, the surface's colour
  // table when an RGB colour was matched against it, the background colour and mode for a hatch.
  std::uint64_t brush_serial = 0;
  bool brush_uses_table = false;
  bool brush_uses_background = false;
  std::uint64_t brush_table_version = 0;
  DeviceColor brush_background = 0;
  BackgroundMode brush_mode = BackgroundMode::kOpaque;
  FillKind fill = FillKind::kNothing;
  std::uint32_t solid = 0;
  kernels::Tile tile;

  // The last RGB colour matched against a paletted surface's colour table.
  mutable bool nearest_valid = false;
  mutable std::uint64_t nearest_surface_serial = 0;
  mutable std::uint64_t nearest_table_version = 0;
  mutable DeviceColor nearest_rgb = 0;
  mutable std::uint32_t nearest_index = 0;

  bool BrushIsCurrent(const Surface& surface, DeviceColor background, BackgroundMode mode) const {
    return brush_serial == serial &&
           (!brush_uses_table || brush_table_version == surface.color_table_version()) &&
           (!brush_uses_background || (brush_background == background && brush_mode == mode));
  }

  void SurfaceChanged(Surface* surface) {
    row0 = surface ? surface->Row(0) : nullptr;
    step = surface && surface->height() > 1 ? surface->Row(1) - surface->Row(0) : 0;
    ++serial;
    ++surface_serial;
  }

  kernels::Rows RowsOf(const Rect& r) const {
    return kernels::Rows{row0 + r.top * step, step, r.bottom - r.top};
  }
};

DeviceContext::DeviceContext() : derived_(std::make_unique<Derived>()) {}
DeviceContext::~DeviceContext() = default;

std::unique_ptr<DeviceContext> DeviceContext::CreateMemory() {
  std::unique_ptr<DeviceContext> dc(new DeviceContext());
  dc->SelectBitmap(StockBitmap());
  dc->SelectPen(StockPen());
  dc->SelectBrush(StockBrush());
  dc->SelectFont(StockFont());
  dc->SelectPalette(StockPalette(), false);
  return dc;
}

std::unique_ptr<DeviceContext> DeviceContext::CreateForWindow(
    std::shared_ptr<WindowSurface> window) {
  std::unique_ptr<DeviceContext> dc(new DeviceContext());
  dc->surface_ = window ? window->surface() : nullptr;
  dc->derived_->SurfaceChanged(dc->surface_);
  dc->window_ = std::move(window);
  dc->SelectPen(StockPen());
  dc->SelectBrush(StockBrush());
  dc->SelectFont(StockFont());
  dc->SelectPalette(StockPalette(), false);
  return dc;
}

BitmapHandle DeviceContext::SelectBitmap(BitmapHandle bitmap) {
  if (window_) return BitmapHandle{};
  std::shared_ptr<Surface> surface = SurfaceOf(bitmap);
  if (!surface) return BitmapHandle{};
  const BitmapHandle previous = bitmap_;
  bitmap_ = bitmap;
  bitmap_surface_ = std::move(surface);
  surface_ = bitmap_surface_.get();
  derived_->SurfaceChanged(surface_);
  return previous;
}

PenHandle DeviceContext::SelectPen(PenHandle pen) {
  const std::optional<PenRecord> record = internal::FindPen(pen);
  if (!record) return PenHandle{};
  pen_record_ = *record;
  return std::exchange(pen_, pen);
}

BrushHandle DeviceContext::SelectBrush(BrushHandle brush) {
  // Read straight into the context's record: a solid brush is a few bytes, and this runs twice
  // for every cell that the effects plot.
  if (!internal::ReadBrush(brush, brush_record_)) return BrushHandle{};
  ++derived_->serial;
  return std::exchange(brush_, brush);
}

FontHandle DeviceContext::SelectFont(FontHandle font) {
  if (!internal::FindFont(font)) return FontHandle{};
  return std::exchange(font_, font);
}

PaletteHandle DeviceContext::SelectPalette(PaletteHandle palette, bool /*force_background*/) {
  std::shared_ptr<Palette> object = PaletteOf(palette);
  if (!object) return PaletteHandle{};
  palette_object_ = std::move(object);
  // A palette is usable as soon as it is selected; RealizePalette picks up later changes of its
  // entries.
  Realize();
  return std::exchange(palette_, palette);
}

void DeviceContext::RealizePalette() { Realize(); }

void DeviceContext::Realize() {
  Derived& d = *derived_;
  d.palette_words.clear();
  if (palette_object_) {
    for (const PaletteEntry& e : palette_object_->entries()) {
      d.palette_words.push_back(PixelWordOf(e));
    }
  }
  ++d.serial;
}

void DeviceContext::SelectClipRegion(RegionHandle region) {
  if (!region) {
    clip_.reset();
    return;
  }
  if (const std::optional<RegionRecord> record = internal::FindRegion(region)) {
    clip_ = record->rect;
  }
}

std::uint32_t DeviceContext::Resolve(DeviceColor color) const {
  const Derived& d = *derived_;
  const int bpp = surface_->bits_per_pixel();
  if (IsPaletteIndexColor(color)) {
    const std::uint32_t index = PaletteIndexOf(color);
    if (bpp <= 8) return index & ((1u << bpp) - 1);
    if (d.palette_words.empty()) return 0;
    return index < d.palette_words.size() ? d.palette_words[index] : d.palette_words[0];
  }
  const DeviceColor rgb = color & 0x00FFFFFF;
  if (bpp == 32) return PixelWordOf(rgb);
  const std::uint64_t version = surface_->color_table_version();
  if (!d.nearest_valid || d.nearest_rgb != rgb || d.nearest_surface_serial != d.surface_serial ||
      d.nearest_table_version != version) {
    d.nearest_index = NearestIndex(surface_->color_table(), rgb);
    d.nearest_rgb = rgb;
    d.nearest_surface_serial = d.surface_serial;
    d.nearest_table_version = version;
    d.nearest_valid = true;
  }
  return d.nearest_index;
}

inline Rect DeviceContext::Clip(const Rect& rect) const {
  Rect r = Intersect(rect, surface_->bounds());
  if (clip_) r = Intersect(r, *clip_);
  return r;
}

void DeviceContext::UpdateBrush() {
  Derived& d = *derived_;
  const int bpp = surface_->bits_per_pixel();
  const BrushRecord& brush = brush_record_;
  d.brush_serial = d.serial;
  d.brush_uses_table = false;
  d.brush_uses_background = brush.style == BrushStyle::kHatched;
  d.brush_table_version = surface_->color_table_version();
  d.brush_background = background_color_;
  d.brush_mode = background_mode_;
  auto resolve = [&](DeviceColor color) {
    d.brush_uses_table |= bpp <= 8 && !IsPaletteIndexColor(color);
    return Resolve(color);
  };

  switch (brush.style) {
    case BrushStyle::kSolid:
      d.solid = resolve(brush.color);
      d.fill = bpp == 8    ? FillKind::kSolid8
               : bpp == 32 ? FillKind::kSolid32
                           : FillKind::kSolidPacked;
      return;
    case BrushStyle::kHatched:
    case BrushStyle::kPattern:
      break;
    default:
      d.fill = FillKind::kNothing;
      return;
  }

  // Only tiled brushes get here: the solid path above builds no tile.
  std::array<std::uint32_t, 64> values{};
  std::array<std::uint8_t, 8> paint_rows;
  paint_rows.fill(0xFF);
  if (brush.style == BrushStyle::kHatched) {
    const std::uint32_t line = resolve(brush.color);
    const std::array<std::uint8_t, 8> hatch = kernels::HatchRows(brush.hatch);
    if (background_mode_ == BackgroundMode::kOpaque) {
      const std::uint32_t gap = resolve(background_color_);
      for (std::size_t i = 0; i < 64; ++i) {
        values[i] = ((hatch[i / 8] >> (7 - i % 8)) & 1) ? line : gap;
      }
    } else {
      values.fill(line);
      paint_rows = hatch;
    }
  } else {
    for (std::size_t i = 0; i < 64; ++i) values[i] = resolve(brush.pattern[i]);
  }
  kernels::EncodeTile(bpp, values, paint_rows, d.tile);
  d.fill = FillKind::kTile;
}

inline bool DeviceContext::UpdateSolidEntryBrush() {
  const BrushRecord& brush = brush_record_;
  if (brush.style != BrushStyle::kSolid || !IsPaletteIndexColor(brush.color)) return false;
  Derived& d = *derived_;
  const std::uint32_t index = PaletteIndexOf(brush.color);
  switch (surface_->bits_per_pixel()) {
    case 8:
      d.solid = index & 0xFF;
      d.fill = FillKind::kSolid8;
      break;
    case 32:
      if (index >= d.palette_words.size()) return false;
      d.solid = d.palette_words[index];
      d.fill = FillKind::kSolid32;
      break;
    default:
      return false;
  }
  // Neither the colour table nor the background takes part in a palette entry's solid fill.
  d.brush_serial = d.serial;
  d.brush_uses_table = false;
  d.brush_uses_background = false;
  return true;
}

Rect DeviceContext::FillClipped(const Rect& rect) {
  const Rect r = Clip(rect);
  if (r.Empty()) return Rect{};
  Derived& d = *derived_;
  if (!d.BrushIsCurrent(*surface_, background_color_, background_mode_) &&
      !UpdateSolidEntryBrush()) {
    UpdateBrush();
  }
  switch (d.fill) {
    case FillKind::kSolid8:
      kernels::FillSolid8(d.RowsOf(r), r.left, r.right - r.left,
                          static_cast<std::uint8_t>(d.solid));
      return r;
    case FillKind::kSolid32:
      kernels::FillSolid32(d.RowsOf(r), r.left, r.right - r.left, d.solid);
      return r;
    case FillKind::kSolidPacked:
      kernels::FillSolidPacked(d.RowsOf(r), r.left, r.right, surface_->bits_per_pixel(), d.solid);
      return r;
    case FillKind::kTile:
      kernels::FillTile(d.RowsOf(r), r.left, r.right, r.top, d.tile);
      return r;
    case FillKind::kNothing:
      break;
  }
  return Rect{};
}

void DeviceContext::FillRect(const Rect& rect) {
  if (surface_ == nullptr) return;
  if (!window_) {
    FillClipped(rect);
    return;
  }
  std::lock_guard lock(window_->mutex());
  const Rect painted = FillClipped(rect);
  if (!painted.Empty()) window_->MarkChanged(painted);
}

void DeviceContext::SetPixel(Point at, DeviceColor color) {
  if (surface_ == nullptr) return;
  if (at.x < 0 || at.y < 0 || at.x >= surface_->width() || at.y >= surface_->height()) return;
  if (clip_ &&
      (at.x < clip_->left || at.x >= clip_->right || at.y < clip_->top || at.y >= clip_->bottom)) {
    return;
  }
  const std::uint32_t value = Resolve(color);
  // The pattern effect sets every pixel of the window one call at a time: the two depths of the
  // show's pages and windows are stored straight into the row, the others by the surface.
  const Derived& d = *derived_;
  std::uint8_t* const row = d.row0 + at.y * d.step;
  const auto store = [&] {
    switch (surface_->bits_per_pixel()) {
      case 8:
        row[at.x] = static_cast<std::uint8_t>(value);
        break;
      case 32:
        std::memcpy(row + std::size_t{4} * static_cast<std::size_t>(at.x), &value, 4);
        break;
      default:
        surface_->SetPixelAt(at.x, at.y, value);
        break;
    }
  };
  if (!window_) {
    store();
    return;
  }
  std::lock_guard lock(window_->mutex());
  store();
  window_->MarkChanged(Rect{at.x, at.y, at.x + 1, at.y + 1});
}

void DeviceContext::SetColorTable(std::size_t first, std::span<const ColorTableEntry> entries) {
  if (window_ || !bitmap_surface_) return;
  bitmap_surface_->SetColorTable(first, entries);
}

void DeviceContext::CopyFrom(const DeviceContext& source, Point source_at,
                             const Rect& destination) {
  if (surface_ == nullptr || source.surface_ == nullptr) return;
  const Rect to = Clip(destination);
  if (to.Empty()) return;
  // Where the destination's corner falls on the source, in 64 bits: the two points may lie at
  // opposite ends of the 32-bit range.
  const std::int64_t dx = std::int64_t{source_at.x} - destination.left;
  const std::int64_t dy = std::int64_t{source_at.y} - destination.top;
  const std::int64_t left = std::max<std::int64_t>(to.left + dx, 0);
  const std::int64_t top = std::max<std::int64_t>(to.top + dy, 0);
  const std::int64_t right = std::min<std::int64_t>(to.right + dx, source.surface_->width());
  const std::int64_t bottom = std::min<std::int64_t>(to.bottom + dy, source.surface_->height());
  if (left >= right || top >= bottom) return;
  const Rect block{static_cast<std::int32_t>(left - dx), static_cast<std::int32_t>(top - dy),
                   static_cast<std::int32_t>(right - dx), static_cast<std::int32_t>(bottom - dy)};

  // A window's pixels are read and written under its mutex; two windows' mutexes are taken
  // together, without an order that could deadlock.
  WindowSurface* const to_window = window_.get();
  WindowSurface* const from_window =
      source.window_.get() == to_window ? nullptr : source.window_.get();
  std::unique_lock<WindowSurface::Lock> to_lock;
  std::unique_lock<WindowSurface::Lock> from_lock;
  if (to_window && from_window) {
    std::lock(to_window->mutex(), from_window->mutex());
    to_lock = std::unique_lock(to_window->mutex(), std::adopt_lock);
    from_lock = std::unique_lock(from_window->mutex(), std::adopt_lock);
  } else if (to_window) {
    to_lock = std::unique_lock(to_window->mutex());
  } else if (from_window) {
    from_lock = std::unique_lock(from_window->mutex());
  }
  kernels::CopyBlock(*surface_, block, *source.surface_, static_cast<int>(left),
                     static_cast<int>(top));
  if (to_window) to_window->MarkChanged(block);
}

}  // namespace tavlo::platform
