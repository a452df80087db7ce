// The pen, the mix mode, and the pixels and outlines drawn with them.

#include <array>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/device_context.h"
#include "platform/geometry.h"
#include "platform/objects.h"
#include "tavlo/graphics.h"
#include "tavlo/state.h"
#include "tavlo/wrap16.h"

namespace tavlo {

namespace {

using internal::GraphicsState;
using internal::State;
namespace pf = platform;

// Line styles 0 to 6; two of them are invisible.
constexpr std::array<pf::PenStyle, 7> kLineStyles = {
    pf::PenStyle::kSolid,      pf::PenStyle::kDot,  pf::PenStyle::kDashDot, pf::PenStyle::kDash,
    pf::PenStyle::kDashDotDot, pf::PenStyle::kNull, pf::PenStyle::kNull};

// The raster operation of each value of a mix mode's low four bits.
constexpr std::array<pf::RasterOp, 16> kRasterOps = {
    pf::RasterOp::kCopyPen,     pf::RasterOp::kXorPen,      pf::RasterOp::kMergePen,
    pf::RasterOp::kMaskPen,     pf::RasterOp::kNotCopyPen,  pf::RasterOp::kNot,
    pf::RasterOp::kNotXorPen,   pf::RasterOp::kNotMergePen, pf::RasterOp::kNotMaskPen,
    pf::RasterOp::kMaskNotPen,  pf::RasterOp::kMergeNotPen, pf::RasterOp::kMaskPenNot,
    pf::RasterOp::kMergePenNot, pf::RasterOp::kBlack,       pf::RasterOp::kWhite,
    pf::RasterOp::kNop};

constexpr std::uint32_t kUnitAspect = 10000;

// One degree in radians, to the precision of the 80-bit reals.
constexpr long double kRadiansPerDegree = 0.01745329251994329577L;

// The cosine and sine of a whole number of degrees, in 80-bit reals.
struct UnitVector {
  long double cos;
  long double sin;
};

// Programs draw most arcs between the same angles (a circle is 0 to 360 degrees), and the 80-bit
// sine and cosine cost more than a small outline: the last two angles' values are kept.
UnitVector UnitVectorAt(std::uint16_t degrees) {
  struct Memo {
    std::int32_t degrees = -1;
    UnitVector unit{};
  };
  thread_local std::array<Memo, 2> memo;
  thread_local std::size_t older = 0;
  for (const Memo& m : memo) {
    if (m.degrees == degrees) return m.unit;
  }
  const long double angle = static_cast<long double>(degrees) * kRadiansPerDegree;
  Memo& slot = memo[older];
  slot = Memo{degrees, UnitVector{std::cos(angle), std::sin(angle)}};
  older = 1 - older;
  return slot.unit;
}

// radius times a cosine or sine, rounded to the nearest integer, ties to even (the default
// rounding mode; llrint stores the x87 value straight to an integer under it).
std::int32_t RoundedOffset(std::uint16_t radius, long double unit) {
  return static_cast<std::int32_t>(std::llrint(static_cast<long double>(radius) * unit));
}

// A radius corrected by an aspect value: 32-bit product, truncating division, 16-bit result.
// None for an aspect value of 0.
std::optional<std::uint16_t> CorrectRadius(std::uint16_t radius, std::uint32_t aspect) {
  if (aspect == 0) return std::nullopt;
  return static_cast<std::uint16_t>(std::uint32_t{radius} * kUnitAspect / aspect);
}

}  // namespace

void SetPenColor(std::uint32_t color) {
  GraphicsState& state = State();
  state.pen_color = color;
  SetPenStyle(state.line_style, state.line_pattern, state.line_thickness);
  if (state.result != ResultOk) return;
  const pf::DeviceColor device_color = ToDeviceColor(state.pen_color);
  // Painting uses the window DC on the window thread; a DC serves one thread at a time.
  std::lock_guard lock(state.lock);
  state.window_dc->SetTextColor(device_color);
  state.page_dc->SetTextColor(device_color);
}

void SetPenStyle(std::uint16_t style, std::uint16_t bit_pattern, std::uint16_t thickness) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (style >= kLineStyles.size()) {
    state.result = ResultBadParameter;
    return;
  }
  state.line_style = style;
  state.line_pattern = bit_pattern;
  state.line_thickness = thickness;
  const pf::PenRecord pen{kLineStyles[style], thickness, ToDeviceColor(state.pen_color)};

  std::lock_guard lock(state.lock);
  state.pen = pf::CreatePen(pen);
  const pf::PenHandle displaced = state.window_dc->SelectPen(state.pen);
  state.page_dc->SelectPen(state.pen);
  if (displaced != state.initial_pen) pf::DeleteObject(displaced);
}

void SetMixMode(std::int16_t mode) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  // Both truncate toward zero, so every mode below 0 has a negative remainder or quotient.
  const int remainder = mode % 16;
  const int quotient = mode / 16;
  if (remainder < 0 || (quotient != 0 && quotient != 1)) {
    state.result = ResultBadParameter;
    return;
  }
  const pf::RasterOp op = kRasterOps[static_cast<std::size_t>(remainder)];
  const pf::BackgroundMode background =
      quotient == 0 ? pf::BackgroundMode::kTransparent : pf::BackgroundMode::kOpaque;

  std::lock_guard lock(state.lock);
  state.window_dc->SetRasterOp(op);
  state.window_dc->SetBackgroundMode(background);
  state.page_dc->SetRasterOp(op);
  state.page_dc->SetBackgroundMode(background);
}

void PlotPixel(std::int16_t x, std::int16_t y, std::uint32_t color) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  const pf::Point at{internal::Add16(x, state.origin_x), internal::Add16(y, state.origin_y)};
  const pf::DeviceColor device_color = ToDeviceColor(color);

  std::lock_guard lock(state.lock);
  if (state.direct_to_window.load(std::memory_order_relaxed)) {
    state.window_dc->SetPixel(at, device_color);
  }
  state.page_dc->SetPixel(at, device_color);
}

void DrawEllipseArc(std::int16_t x, std::int16_t y, std::uint16_t start, std::uint16_t end,
                    std::uint16_t x_radius, std::uint16_t y_radius) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  const std::int32_t cx = internal::Add16(x, state.origin_x);
  const std::int32_t cy = internal::Add16(y, state.origin_y);

  // The end points come from the radii before the aspect correction.
  const UnitVector start_unit = UnitVectorAt(start);
  const UnitVector end_unit = UnitVectorAt(end);
  const std::int32_t start_x = RoundedOffset(x_radius, start_unit.cos);
  const std::int32_t start_y = RoundedOffset(y_radius, start_unit.sin);
  const std::int32_t end_x = RoundedOffset(x_radius, end_unit.cos);
  const std::int32_t end_y = RoundedOffset(y_radius, end_unit.sin);

  if (!state.unit_aspect) {
    const std::optional<std::uint16_t> corrected_x = CorrectRadius(x_radius, state.aspect_x);
    const std::optional<std::uint16_t> corrected_y = CorrectRadius(y_radius, state.aspect_y);
    if (!corrected_x || !corrected_y) {
      state.result = ResultBadParameter;
      return;
    }
    x_radius = *corrected_x;
    y_radius = *corrected_y;
  }

  const pf::Rect box{cx - x_radius, cy - y_radius, cx + x_radius + 1, cy + y_radius + 1};
  // Screen rows grow downward, so the sine is subtracted: angles turn counter-clockwise.
  const pf::Point from{cx + start_x, cy - start_y};
  const pf::Point to{cx + end_x, cy - end_y};

  std::lock_guard lock(state.lock);
  if (state.direct_to_window.load(std::memory_order_relaxed)) {
    state.window_dc->DrawArc(box, from, to);
  }
  state.page_dc->DrawArc(box, from, to);
}

void DrawCircle(std::int16_t x, std::int16_t y, std::uint16_t radius) {
  DrawEllipseArc(x, y, 0, 360, radius, radius);
}

}  // namespace tavlo
