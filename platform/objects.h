#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "platform/color.h"
#include "platform/geometry.h"
#include "platform/palette.h"
#include "platform/surface.h"

namespace tavlo::platform {

// A handle to an object of the object table; 0 is no object. The tag keeps pens, brushes and
// the rest apart at compile time.
template <class Tag>
struct Handle {
  std::uint32_t id = 0;
  explicit operator bool() const { return id != 0; }
  friend constexpr bool operator==(Handle, Handle) = default;
};
using PenHandle = Handle<struct PenTag>;
using BrushHandle = Handle<struct BrushTag>;
using FontHandle = Handle<struct FontTag>;
using RegionHandle = Handle<struct RegionTag>;
using BitmapHandle = Handle<struct BitmapTag>;
using PaletteHandle = Handle<struct PaletteTag>;

// How a pen of width 1 alternates drawn (on) and gap (off) pixels along an outline, in pixels,
// starting on at the outline's leftmost and rightmost points: dash 12 on, 4 off; dot 2 on, 2 off;
// dash-dot 8 on, 3 off, 2 on, 3 off; dash-dot-dot 8 on, 3 off, then twice 2 on, 3 off. Gaps take
// the background colour in the opaque background mode (through the raster operation, as the
// pen's pixels do) and are left alone in the transparent one. A wider pen draws every style but
// null as a solid band; null draws nothing.
enum class PenStyle : std::uint8_t {
  kSolid = 0,
  kDash = 1,
  kDot = 2,
  kDashDot = 3,
  kDashDotDot = 4,
  kNull = 5
};

struct PenRecord {
  PenStyle style = PenStyle::kSolid;
  std::uint32_t width = 1;
  DeviceColor color = 0;
};

enum class BrushStyle : std::uint8_t { kSolid = 0, kHollow = 1, kHatched = 2, kPattern = 3 };

// The six hatches. Every hatch is one-pixel lines eight pixels apart, aligned to the surface
// origin: horizontal lines on rows y % 8 == 0, vertical lines on columns x % 8 == 0, lines
// rising to the right where (x + y) % 8 == 7, lines falling to the right where (x - y) % 8 == 0,
// and the two crosses as the unions of those.
enum class HatchStyle : std::uint8_t {
  kHorizontal = 0,
  kVertical = 1,
  kFallingDiagonal = 2,
  kRisingDiagonal = 3,
  kCross = 4,
  kDiagonalCross = 5
};

struct BrushRecord {
  BrushStyle style = BrushStyle::kSolid;
  HatchStyle hatch = HatchStyle::kHorizontal;
  DeviceColor color = 0;
  // For pattern brushes: the 8 by 8 tile, row by row from the top, each pixel as a device
  // colour, taken from the bitmap when the brush is made.
  std::array<DeviceColor, 64> pattern{};
};

// A logical font: what a program asked for. Which face draws it is the font catalogue's business.
struct FontRecord {
  std::array<char, 32> face{};  // zero-terminated
  std::int32_t height = 0;
  std::int32_t width = 0;
  std::int32_t escapement = 0;  // tenths of a degree
  std::int32_t weight = 400;
  bool italic = false;
  bool underline = false;
  bool strike_out = false;
};

struct RegionRecord {
  Rect rect;
};

// Creation never fails for the small records; the table grows as needed and reuses the slots of
// deleted objects without going to the heap again. Every function is safe to call from any
// thread.
PenHandle CreatePen(const PenRecord& pen);
BrushHandle CreateBrush(const BrushRecord& brush);
// A solid, hatched or hollow brush without a record of 64 pattern colours to fill in first: the
// effects make one for every cell they plot. No brush for the pattern style (CreatePatternBrush
// makes those).
BrushHandle CreateBrush(BrushStyle style, HatchStyle hatch, DeviceColor color);
// A pattern brush from the top-left 8 by 8 pixels of a bitmap (pixels beyond a smaller bitmap
// read as its pixel 0). No brush for an unknown bitmap.
BrushHandle CreatePatternBrush(BitmapHandle bitmap);
FontHandle CreateFont(const FontRecord& font);
RegionHandle CreateRectRegion(Rect rect);
// Takes a surface into the table; no handle for a null surface.
BitmapHandle CreateBitmap(std::shared_ptr<Surface> surface);
PaletteHandle CreatePalette(std::span<const PaletteEntry> entries);

// Deletes an object. False for no object, an unknown or already deleted handle, and the stock
// objects, which live as long as the process.
bool DeleteObject(PenHandle handle);
bool DeleteObject(BrushHandle handle);
bool DeleteObject(FontHandle handle);
bool DeleteObject(RegionHandle handle);
bool DeleteObject(BitmapHandle handle);
bool DeleteObject(PaletteHandle handle);

// Copies of the records; the default record for an unknown handle.
PenRecord PenOf(PenHandle handle);
BrushRecord BrushOf(BrushHandle handle);
FontRecord FontOf(FontHandle handle);
RegionRecord RegionOf(RegionHandle handle);
// Shared with the table so that a surface in use outlives the deletion of its handle; null for
// an unknown handle.
std::shared_ptr<Surface> SurfaceOf(BitmapHandle handle);
std::shared_ptr<Palette> PaletteOf(PaletteHandle handle);

// What a new device context holds: a black solid pen of width 1, a white solid brush, the
// system font, a 1 by 1 one-bit bitmap and a palette of black and white.
PenHandle StockPen();
BrushHandle StockBrush();
FontHandle StockFont();
BitmapHandle StockBitmap();
PaletteHandle StockPalette();

// The number of live objects other than the stock ones, for leak checks.
std::size_t LiveObjectCount();

}  // namespace tavlo::platform
