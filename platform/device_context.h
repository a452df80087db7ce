#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/color.h"
#include "platform/geometry.h"
#include "platform/objects.h"
#include "platform/surface.h"
#include "platform/window_surface.h"

namespace tavlo::platform {

enum class BackgroundMode : std::uint8_t { kTransparent = 1, kOpaque = 2 };

// Binary raster operations: how a pen's colour P meets the pixel D already there.
enum class RasterOp : std::uint8_t {
  kBlack = 1,         // 0
  kNotMergePen = 2,   // not (P or D)
  kMaskNotPen = 3,    // (not P) and D
  kNotCopyPen = 4,    // not P
  kMaskPenNot = 5,    // P and (not D)
  kNot = 6,           // not D
  kXorPen = 7,        // P xor D
  kNotMaskPen = 8,    // not (P and D)
  kMaskPen = 9,       // P and D
  kNotXorPen = 10,    // not (P xor D)
  kNop = 11,          // D
  kMergeNotPen = 12,  // (not P) or D
  kCopyPen = 13,      // P
  kMergePenNot = 14,  // P or (not D)
  kMergePen = 15,     // P or D
  kWhite = 16         // all bits 1
};

struct Point {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend constexpr bool operator==(Point, Point) = default;
};

// A drawing context bound either to a bitmap (a memory context, which starts with the stock 1 by
// 1 bitmap selected) or to a window's surface. It holds the selected objects and the drawing
// attributes, and draws with them. Every operation clips to the surface and to the clip region
// before it touches a pixel. Not thread-safe: its users serialise access; a window context also
// takes the window surface's mutex while it draws.
class DeviceContext {
 public:
  static std::unique_ptr<DeviceContext> CreateMemory();
  static std::unique_ptr<DeviceContext> CreateForWindow(std::shared_ptr<WindowSurface> window);
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // Selecting an object returns the one it displaces. An unknown handle selects nothing and
  // returns no object. A window context has no bitmap to exchange.
  BitmapHandle SelectBitmap(BitmapHandle bitmap);
  PenHandle SelectPen(PenHandle pen);
  BrushHandle SelectBrush(BrushHandle brush);
  FontHandle SelectFont(FontHandle font);
  PaletteHandle SelectPalette(PaletteHandle palette, bool force_background);
  // Maps palette references through the selected palette's entries as they are now.
  void RealizePalette();

  BitmapHandle bitmap() const { return bitmap_; }
  PenHandle pen() const { return pen_; }
  BrushHandle brush() const { return brush_; }
  FontHandle font() const { return font_; }
  PaletteHandle palette() const { return palette_; }

  // Gives the context its own copy of the region's rectangle; no region removes clipping.
  void SelectClipRegion(RegionHandle region);
  std::optional<Rect> clip_rect() const { return clip_; }

  void SetBackgroundColor(DeviceColor color) { background_color_ = color; }
  DeviceColor background_color() const { return background_color_; }
  void SetBackgroundMode(BackgroundMode mode) { background_mode_ = mode; }
  BackgroundMode background_mode() const { return background_mode_; }
  void SetRasterOp(RasterOp op) { raster_op_ = op; }
  RasterOp raster_op() const { return raster_op_; }
  void SetTextColor(DeviceColor color) { text_color_ = color; }
  DeviceColor text_color() const { return text_color_; }
  void SetTextAlign(std::uint32_t flags) { text_align_ = flags; }
  std::uint32_t text_align() const { return text_align_; }
  void SetCharacterExtra(std::int32_t extra) { character_extra_ = extra; }
  std::int32_t character_extra() const { return character_extra_; }
  void SetJustification(std::int32_t break_extra, std::int32_t break_count) {
    break_extra_ = break_extra;
    break_count_ = break_count;
  }
  std::int32_t break_extra() const { return break_extra_; }
  std::int32_t break_count() const { return break_count_; }
  void MoveTo(Point to) { position_ = to; }
  Point position() const { return position_; }

  // Paints the selected brush over the rectangle, its right column and bottom row excluded. The
  // brush is copied unchanged: the raster operation does not apply. Hatch gaps take the
  // background colour in the opaque background mode and are left alone in the transparent one.
  void FillRect(const Rect& rect);
  // Sets one pixel to a colour, copied unchanged.
  void SetPixel(Point at, DeviceColor color);
  // Outlines, with the selected pen and the raster operation, the part of the ellipse inscribed
  // in `box` (right column and bottom row excluded) that runs counter-clockwise on screen from
  // the ray centre->start to the ray centre->end, both ends included; the whole ellipse when the
  // rays point the same way. Every pixel is written once; an empty box draws nothing. The
  // current position is not used.
  void DrawArc(const Rect& box, Point start, Point end);
  // Writes entries of the selected bitmap's colour table from `first` on.
  void SetColorTable(std::size_t first, std::span<const ColorTableEntry> entries);
  // Copies a block of `source` with its top-left corner at `source_at` onto `destination` of this
  // context, converting pixels through the source's colour table where the depths differ.
  void CopyFrom(const DeviceContext& source, Point source_at, const Rect& destination);

  // The surface drawn on: the selected bitmap's, or the window's. Null for none.
  Surface* surface() const { return surface_; }

 private:
  // What the context derives from its objects and attributes for drawing (the realised palette,
  // the selected brush as raw pixels of the current surface), kept up to date lazily.
  struct Derived;

  DeviceContext();
  void Realize();
  std::uint32_t Resolve(DeviceColor color) const;
  Rect Clip(const Rect& rect) const;
  void UpdateBrush();
  // UpdateBrush for the one brush the effects make for every cell: solid, a palette entry, on an
  // 8-bit page or a 32-bit window. False, with nothing done, for any other brush.
  bool UpdateSolidEntryBrush();
  Rect FillClipped(const Rect& rect);

  std::shared_ptr<WindowSurface> window_;
  std::shared_ptr<Surface> bitmap_surface_;  // keeps the selected bitmap alive
  Surface* surface_ = nullptr;

  BitmapHandle bitmap_;
  PenHandle pen_;
  BrushHandle brush_;
  FontHandle font_;
  PaletteHandle palette_;
  PenRecord pen_record_;
  BrushRecord brush_record_;
  std::shared_ptr<Palette> palette_object_;

  std::optional<Rect> clip_;
  DeviceColor background_color_ = Rgb(255, 255, 255);
  BackgroundMode background_mode_ = BackgroundMode::kOpaque;
  RasterOp raster_op_ = RasterOp::kCopyPen;
  DeviceColor text_color_ = 0;
  std::uint32_t text_align_ = 0;
  std::int32_t character_extra_ = 0;
  std::int32_t break_extra_ = 0;
  std::int32_t break_count_ = 0;
  Point position_;

  std::unique_ptr<Derived> derived_;
};

}  // namespace tavlo::platform
