// The drawing state that every new graphics window starts with.

#include <array>
#include <cstdint>
#include <mutex>

#include "platform/device_context.h"
#include "tavlo/graphics.h"
#include "tavlo/opening_steps.h"
#include "tavlo/state.h"

namespace tavlo::internal {

namespace {

constexpr std::uint32_t kBlack = 12;
constexpr std::uint32_t kWhite = 250;
constexpr std::array<std::uint8_t, 8> kAllSet = {255, 255, 255, 255, 255, 255, 255, 255};

// Stands in for mix mode 0 until the mix-mode operation exists: its transparent background mode
// leaves the gaps of hatches alone. (Its raster operation, copy, is what a new DC already has.)
void SetTransparentBackgroundMode() {
  GraphicsState& state = State();
  if (!state.open.load(std::memory_order_acquire)) return;
  std::lock_guard lock(state.lock);
  state.window_dc->SetBackgroundMode(platform::BackgroundMode::kTransparent);
  state.page_dc->SetBackgroundMode(platform::BackgroundMode::kTransparent);
}

}  // namespace

void ResetDrawingState() {
  // Pen: line settings style 0, bit pattern 0, thickness 1; then the pen colour white.
  // (Added with pen drawing.)
  SetBackgroundColor(NamedColor[kBlack]);
  SetUserFill(kAllSet, NamedColor[kWhite]);
  SetFill(FillSolid, NamedColor[kWhite]);
  // Text: font word 0 at size 16, alignment 0 0, character spacing 0 0. (Added with text.)
  SetViewportRect(0, 0, LastColumn(), LastRow(), false);
  // Mix mode 0. (Replaced by the mix-mode operation when pen drawing lands.)
  SetTransparentBackgroundMode();
  SetAspectValues(10000, 10000);
}

}  // namespace tavlo::internal
