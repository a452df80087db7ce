// The viewport, the current position and the aspect values.

#include <cstdint>
#include <mutex>

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

constexpr std::uint16_t kUnitAspect = 10000;

}  // namespace

void SetViewportRect(std::int16_t x1, std::int16_t y1, std::int16_t x2, std::int16_t y2,
                     bool clip) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  if (x1 > x2 || y1 > y2) {
    state.result = ResultBadParameter;
    return;
  }

  state.viewport = internal::ViewportSettings{x1, y1, x2, y2, clip};
  state.viewport_width = internal::Subtract16(x2, x1);
  state.viewport_height = internal::Subtract16(y2, y1);
  state.origin_x = x1;
  state.origin_y = y1;
  MovePen(0, 0);

  std::lock_guard lock(state.lock);
  if (state.clip_region) {
    state.window_dc->SelectClipRegion({});
    state.page_dc->SelectClipRegion({});
    pf::DeleteObject(state.clip_region);
    state.clip_region = {};
  }
  if (clip) {
    // The region leaves out its right column and bottom row; the viewport includes them.
    state.clip_region =
        pf::CreateRectRegion(pf::Rect{x1, y1, std::int32_t{x2} + 1, std::int32_t{y2} + 1});
    state.window_dc->SelectClipRegion(state.clip_region);
    state.page_dc->SelectClipRegion(state.clip_region);
  }
}

void MovePen(std::int16_t x, std::int16_t y) {
  GraphicsState& state = State();
  if (!internal::BeginOperation(state)) return;
  const pf::Point to{internal::Add16(x, state.origin_x), internal::Add16(y, state.origin_y)};
  // Painting uses the window DC on the window thread; a DC serves one thread at a time.
  std::lock_guard lock(state.lock);
  state.window_dc->MoveTo(to);
  state.page_dc->MoveTo(to);
}

void SetAspectValues(std::uint16_t aspect_x, std::uint16_t aspect_y) {
  GraphicsState& state = State();
  state.aspect_x = aspect_x;
  state.aspect_y = aspect_y;
  state.unit_aspect = aspect_x == kUnitAspect && aspect_y == kUnitAspect;
}

}  // namespace tavlo
