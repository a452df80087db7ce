// The current fill, the user pattern, the background colour, and the boxes painted with them.

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>

#include "platform/device_context.h"
#include "platform/geometry.h"
#include "platform/objects.h"
#include "platform/surface.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tavlo/wrap16.h"

namespace tavlo {

namespace {

using internal::GraphicsState;
using internal::State;
namespace pf = platform;

constexpr int kPatternSize = 8;

// What a fill pattern (0 to 9) asks of a brush. Kept apart from the platform's brush record,
// whose 64 pattern colours SetFill would otherwise fill in for every cell only to leave unused.
struct FillBrush {
  pf::BrushStyle style = pf::BrushStyle::kHatched;
  pf::HatchStyle hatch = pf::HatchStyle::kHorizontal;
  pf::DeviceColor color = 0;
};

// The brush of a fill pattern (0 to 9) drawn in `device_color`.
FillBrush BrushForPattern(std::uint16_t pattern, pf::DeviceColor device_color) {
  FillBrush brush;
  brush.color = device_color;
  switch (pattern) {
    case FillBackground:
    case FillSolid:
      brush.style = pf::BrushStyle::kSolid;
      break;
    case FillHorizontal:
      brush.hatch = pf::HatchStyle::kHorizontal;
      break;
    case FillVertical:
      brush.hatch = pf::HatchStyle::kVertical;
      break;
    case FillCross:
      brush.hatch = pf::HatchStyle::kCross;
      break;
    case FillRisingDiagonal:
      brush.hatch = pf::HatchStyle::kRisingDiagonal;
      break;
    case FillFallingDiagonal:
      brush.hatch = pf::HatchStyle::kFallingDiagonal;
      break;
    case FillDiagonalCross:
      brush.hatch = pf::HatchStyle::kDiagonalCross;
      break;
    case FillUser:
      brush.style = pf::BrushStyle::kPattern;
      break;
    default:
      brush.style = pf::BrushStyle::kHollow;
      break;
  }
  return brush;
}

// Pattern 8 copies the pattern bitmap into the brush. Without a bitmap (an opening that stopped
// before the drawing state was reset) the fill paints nothing rather than keep an old brush.
pf::BrushHandle CreateFillBrush(const GraphicsState& state, const FillBrush& brush) {
  if (brush.style == pf::BrushStyle::kPattern) {
    if (const pf::BrushHandle pattern = pf::CreatePatternBrush(state.pattern_bitmap)) {
      return pattern;
    }
    return pf::CreateBrush(pf::BrushStyle::kHollow, pf::HatchStyle::kHorizontal, 0);
  }
  return pf::CreateBrush(brush.style, brush.hatch, brush.color);
}

// An 8 by 8 bitmap in the page's format, so that the pattern's pixels mean what the page's mean.
pf::BitmapHandle CreatePatternBitmap(const GraphicsState& state) {
  const pf::Surface* page = state.page_dc->surface();
  if (page == nullptr) return {};
  std::shared_ptr<pf::Surface> pattern =
      pf::Surface::Create(kPatternSize, kPatternSize, page->bits_per_pixel(),
                          static_cast<int>(page->color_table().size()));
  if (!pattern) return {};
  pattern->SetColorTable(0, page->color_table());
  return pf::CreateBitmap(std::move(pattern));
}

// Paints columns x1 to x2 and rows y1 to y2 of the viewport, both ends included, with the
// current brush. The origin is added in 16 bits; the box then reaches 32768 at most, so the
// ends widen to 32 bits before they grow by one.
inline void PaintBox(GraphicsState& state, std::int16_t x1, std::int16_t y1, std::int16_t x2,
                     std::int16_t y2) {
  const std::int16_t left = internal::Add16(x1, state.origin_x);
  const std::int16_t top = internal::Add16(y1, state.origin_y);
  const std::int16_t right = internal::Add16(x2, state.origin_x);
  const std::int16_t bottom = internal::Add16(y2, state.origin_y);
  const pf::Rect rect{left, top, std::int32_t{right} + 1, std::int32_t{bottom} + 1};

  std::lock_guard lock(state.lock);
  if (state.direct_to_window.load(std::memory_order_relaxed)) state.window_dc->FillRect(rect);
  state.page_dc->FillRect(rect);
}

}  // namespace

void SetFill(std::uint16_t pattern, std::uint32_t color) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (pattern > FillHollow) {
    state.result = ResultBadParameter;
    return;
  }
  if (pattern == FillBackground) color = state.background_color;
  // Converted now: a later palette change does not recolour the brush.
  const FillBrush brush = BrushForPattern(pattern, ToDeviceColor(color));
  state.fill_pattern = pattern;
  state.fill_color = color;

  std::lock_guard lock(state.lock);
  state.brush = CreateFillBrush(state, brush);
  const pf::BrushHandle displaced = state.window_dc->SelectBrush(state.brush);
  state.page_dc->SelectBrush(state.brush);
  if (displaced != state.initial_brush) pf::DeleteObject(displaced);
}

void SetUserFill(std::array<std::uint8_t, 8> pattern, std::uint32_t color) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  const pf::DeviceColor foreground = ToDeviceColor(color);
  const pf::DeviceColor background = ToDeviceColor(state.background_color);

  {
    std::lock_guard lock(state.lock);
    pf::DeleteObject(state.pattern_bitmap);
    state.pattern_bitmap = CreatePatternBitmap(state);
    state.pattern_dc->SelectBitmap(state.pattern_bitmap);
    for (int row = 0; row < kPatternSize; ++row) {
      // Bit 7 is the leftmost column: walk the columns from the right, taking the low bit.
      std::uint8_t bits = pattern[static_cast<std::size_t>(row)];
      for (int column = kPatternSize - 1; column >= 0; --column) {
        state.pattern_dc->SetPixel(pf::Point{column, row}, (bits & 1) ? foreground : background);
        bits = static_cast<std::uint8_t>(bits >> 1);
      }
    }
    // The pattern lives on in the brushes made from it; it stays selected nowhere.
    state.pattern_dc->SelectBitmap(state.initial_page_bitmap);
  }
  SetFill(FillUser, color);
}

void FillBox(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  PaintBox(state, x1, y1, x2, y2);
}

void SetBackgroundColor(std::uint32_t color) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  state.background_color = color;
  const pf::DeviceColor device_color = ToDeviceColor(color);
  // Painting uses the window DC on the window thread; a DC serves one thread at a time.
  std::lock_guard lock(state.lock);
  state.window_dc->SetBackgroundColor(device_color);
  state.page_dc->SetBackgroundColor(device_color);
}

void EraseViewport() {
  GraphicsState& state = State();
  MovePen(0, 0);
  if (state.result != ResultOk) return;
  const std::uint16_t saved_pattern = state.fill_pattern;
  const std::uint32_t saved_color = state.fill_color;
  SetFill(FillSolid, state.background_color);
  // The box from the origin to (width, height) ends on the viewport's far corner in 16-bit
  // arithmetic. A viewport wider or higher than 32767 has a size that reads as negative, which
  // the corner exchange of FillBox would turn into a sliver; so the box is painted as it is.
  PaintBox(state, 0, 0, state.viewport_width, state.viewport_height);
  SetFill(saved_pattern, saved_color);
}

void ClearScreen() {
  GraphicsState& state = State();
  const internal::ViewportSettings saved = state.viewport;
  SetViewportRect(0, 0, LastColumn(), LastRow(), false);
  EraseViewport();
  SetViewportRect(saved.x1, saved.y1, saved.x2, saved.y2, saved.clip);
}

}  // namespace tavlo
