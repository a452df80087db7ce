#include "platform/objects.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/brush_table.h"
#include "platform/objects_internal.h"
#include "platform/spin_lock.h"

namespace tavlo::platform {

namespace {

// A handle's id is the slot number plus one in the low 20 bits and the slot's generation in the
// high 12, so that a handle kept after its deletion does not name the object that reuses the
// slot (until the slot has been reused 4096 times).
constexpr int kSlotBits = 20;
constexpr std::uint32_t kSlotMask = (std::uint32_t{1} << kSlotBits) - 1;
constexpr std::uint32_t kMaxSlots = kSlotMask - 1;
constexpr std::uint32_t kGenerationMask = 0xFFF;
constexpr std::uint32_t kNoSlot = ~std::uint32_t{0};

// Objects of one kind. Deleted slots form a free list threaded through the slots themselves, so
// that once the vector has grown to the largest number of objects alive at once, creating and
// deleting never allocates. One lock per kind, held for the copy of a small record at most: a
// cell of the effects creates, selects twice and deletes a brush, so the lock is a cheap one.
template <class Record>
class Table {
 public:
  Table() { slots_.reserve(64); }

  // 0 only when the table has run out of slot numbers.
  std::uint32_t Add(Record record, bool stock = false) {
    std::lock_guard lock(lock_);
    std::uint32_t slot;
    if (free_head_ != kNoSlot) {
      slot = free_head_;
      free_head_ = slots_[slot].next_free;
    } else {
      if (slots_.size() >= kMaxSlots) return 0;
      slot = static_cast<std::uint32_t>(slots_.size());
      slots_.emplace_back();
    }
    Slot& s = slots_[slot];
    s.record = std::move(record);
    s.live = true;
    s.stock = stock;
    if (!stock) ++live_count_;
    return s.generation << kSlotBits | (slot + 1);
  }

  // Hands the removed record to the caller, so that what it owns (a pattern tile, the last
  // reference to a surface) is released outside the lock.
  bool Remove(std::uint32_t id, Record* removed = nullptr) {
    Record taken{};
    {
      std::lock_guard lock(lock_);
      Slot* s = Find(id);
      if (s == nullptr || s->stock) return false;
      taken = std::exchange(s->record, Record{});
      s->live = false;
      s->generation = (s->generation + 1) & kGenerationMask;
      s->next_free = free_head_;
      free_head_ = (id & kSlotMask) - 1;
      --live_count_;
    }
    if (removed != nullptr) *removed = std::move(taken);
    return true;
  }

  // Calls `read` with the record under the lock; false, without calling it, for an unknown id.
  template <class Read>
  bool Visit(std::uint32_t id, Read&& read) {
    std::lock_guard lock(lock_);
    const Slot* s = Find(id);
    if (s == nullptr) return false;
    read(s->record);
    return true;
  }

  std::optional<Record> Get(std::uint32_t id) {
    std::optional<Record> copy;
    Visit(id, [&](const Record& record) { copy = record; });
    return copy;
  }

  std::size_t live_count() {
    std::lock_guard lock(lock_);
    return live_count_;
  }

 private:
  struct Slot {
    Record record{};
    std::uint32_t generation = 1;
    std::uint32_t next_free = kNoSlot;
    bool live = false;
    bool stock = false;
  };

  Slot* Find(std::uint32_t id) {
    const std::uint32_t slot_plus_one = id & kSlotMask;
    if (slot_plus_one == 0 || slot_plus_one > slots_.size()) return nullptr;
    Slot& s = slots_[slot_plus_one - 1];
    if (!s.live || s.generation != id >> kSlotBits) return nullptr;
    return &s;
  }

  SpinLock lock_;
  std::vector<Slot> slots_;
  std::uint32_t free_head_ = kNoSlot;
  std::size_t live_count_ = 0;
};

// A pattern brush's 64 colours, out of line: solid and hatched brushes, nearly all of them, stay
// small.
using PatternTile = std::array<DeviceColor, 64>;

struct Registry {
  Table<PenRecord> pens;
  internal::BrushTable brushes;
  Table<PatternTile> tiles;  // internal: not counted among the live objects
  Table<FontRecord> fonts;
  Table<RegionRecord> regions;
  Table<std::shared_ptr<Surface>> bitmaps;
  Table<std::shared_ptr<Palette>> palettes;

  PenHandle stock_pen;
  BrushHandle stock_brush;
  FontHandle stock_font;
  BitmapHandle stock_bitmap;
  PaletteHandle stock_palette;

  Registry() {
    stock_pen.id = pens.Add(PenRecord{PenStyle::kSolid, 1, Rgb(0, 0, 0)}, true);
    stock_brush.id = brushes.Add({BrushStyle::kSolid, {}, Rgb(255, 255, 255), 0}, true);
    FontRecord system;
    std::memcpy(system.face.data(), "System", 7);
    system.height = 16;
    system.weight = 700;
    stock_font.id = fonts.Add(system, true);

    const ColorTableEntry black_white_table[] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    std::shared_ptr<Surface> one_pixel = Surface::Create(1, 1, 1, 2);
    one_pixel->SetColorTable(0, black_white_table);
    stock_bitmap.id = bitmaps.Add(std::move(one_pixel), true);

    const PaletteEntry black_white[] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    auto palette = std::make_shared<Palette>(2);
    palette->SetEntries(0, black_white);
    stock_palette.id = palettes.Add(std::move(palette), true);
    internal::brush_table.store(&brushes, std::memory_order_release);
  }
};

// Never destroyed: the library's own finalisation may still delete objects while the process's
// static objects are being destroyed.
Registry& Objects() {
  static Registry* const registry = new Registry;
  return *registry;
}

}  // namespace

PenHandle CreatePen(const PenRecord& pen) { return PenHandle{Objects().pens.Add(pen)}; }
BrushHandle CreateBrush(BrushStyle style, HatchStyle hatch, DeviceColor color) {
  if (style == BrushStyle::kPattern) return BrushHandle{};
  return BrushHandle{Objects().brushes.Add({style, hatch, color, 0})};
}

BrushHandle CreateBrush(const BrushRecord& brush) {
  Registry& r = Objects();
  internal::BrushTable::Entry stored{brush.style, brush.hatch, brush.color, 0};
  if (brush.style == BrushStyle::kPattern) {
    stored.tile = r.tiles.Add(brush.pattern);
    if (stored.tile == 0) return BrushHandle{};
  }
  const BrushHandle handle{r.brushes.Add(stored)};
  if (!handle && stored.tile != 0) r.tiles.Remove(stored.tile);
  return handle;
}

BrushHandle CreatePatternBrush(BitmapHandle bitmap) {
  const std::shared_ptr<Surface> surface = SurfaceOf(bitmap);
  if (!surface) return BrushHandle{};
  BrushRecord brush;
  brush.style = BrushStyle::kPattern;
  const bool paletted = surface->bits_per_pixel() <= 8;
  const std::uint32_t corner = surface->PixelAt(0, 0);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const std::uint32_t value =
          (x < surface->width() && y < surface->height()) ? surface->PixelAt(x, y) : corner;
      brush.pattern[static_cast<std::size_t>(y * 8 + x)] =
          paletted ? PaletteIndexColor(value)
                   : Rgb(static_cast<std::uint8_t>(value >> 16),
                         static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value));
    }
  }
  return CreateBrush(brush);
}

FontHandle CreateFont(const FontRecord& font) { return FontHandle{Objects().fonts.Add(font)}; }
RegionHandle CreateRectRegion(Rect rect) {
  return RegionHandle{Objects().regions.Add(RegionRecord{rect})};
}
BitmapHandle CreateBitmap(std::shared_ptr<Surface> surface) {
  if (!surface) return BitmapHandle{};
  return BitmapHandle{Objects().bitmaps.Add(std::move(surface))};
}
PaletteHandle CreatePalette(std::span<const PaletteEntry> entries) {
  auto palette = std::make_shared<Palette>(entries.size());
  palette->SetEntries(0, entries);
  return PaletteHandle{Objects().palettes.Add(std::move(palette))};
}

bool DeleteObject(PenHandle handle) { return Objects().pens.Remove(handle.id); }
bool DeleteObject(BrushHandle handle) {
  Registry& r = Objects();
  internal::BrushTable::Entry removed;
  if (!r.brushes.Remove(handle.id, removed)) return false;
  if (removed.tile != 0) r.tiles.Remove(removed.tile);
  return true;
}
bool DeleteObject(FontHandle handle) { return Objects().fonts.Remove(handle.id); }
bool DeleteObject(RegionHandle handle) { return Objects().regions.Remove(handle.id); }
bool DeleteObject(BitmapHandle handle) { return Objects().bitmaps.Remove(handle.id); }
bool DeleteObject(PaletteHandle handle) { return Objects().palettes.Remove(handle.id); }

PenRecord PenOf(PenHandle handle) { return internal::FindPen(handle).value_or(PenRecord{}); }
BrushRecord BrushOf(BrushHandle handle) {
  return internal::FindBrush(handle).value_or(BrushRecord{});
}
FontRecord FontOf(FontHandle handle) { return internal::FindFont(handle).value_or(FontRecord{}); }
RegionRecord RegionOf(RegionHandle handle) {
  return internal::FindRegion(handle).value_or(RegionRecord{});
}
std::shared_ptr<Surface> SurfaceOf(BitmapHandle handle) {
  return Objects().bitmaps.Get(handle.id).value_or(nullptr);
}
std::shared_ptr<Palette> PaletteOf(PaletteHandle handle) {
  return Objects().palettes.Get(handle.id).value_or(nullptr);
}

PenHandle StockPen() { return Objects().stock_pen; }
BrushHandle StockBrush() { return Objects().stock_brush; }
FontHandle StockFont() { return Objects().stock_font; }
BitmapHandle StockBitmap() { return Objects().stock_bitmap; }
PaletteHandle StockPalette() { return Objects().stock_palette; }

std::size_t LiveObjectCount() {
  Registry& r = Objects();
  return r.pens.live_count() + r.brushes.live_count() + r.fonts.live_count() +
         r.regions.live_count() + r.bitmaps.live_count() + r.palettes.live_count();
}

namespace internal {

std::optional<PenRecord> FindPen(PenHandle handle) { return Objects().pens.Get(handle.id); }
BrushTable& MakeObjectTable() { return Objects().brushes; }

bool ReadPatternTile(std::uint32_t tile, std::array<DeviceColor, 64>& out) {
  return Objects().tiles.Visit(tile, [&](const PatternTile& colours) { out = colours; });
}

std::optional<BrushRecord> FindBrush(BrushHandle handle) {
  BrushRecord record;
  if (!ReadBrush(handle, record)) return std::nullopt;
  return record;
}
std::optional<FontRecord> FindFont(FontHandle handle) { return Objects().fonts.Get(handle.id); }
std::optional<RegionRecord> FindRegion(RegionHandle handle) {
  return Objects().regions.Get(handle.id);
}

}  // namespace internal

}  // namespace tavlo::platform
