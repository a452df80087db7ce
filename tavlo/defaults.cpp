// The drawing state that every new graphics window starts with.

#include <array>
#include <cstdint>

#include "platform/device_context.h"
#include "tavlo/graphics.h"
#include "tavlo/opening_steps.h"
#include "tavlo/state.h"

namespace tavlo::internal {

namespace {

constexpr std::uint32_t kBlack = 12;
constexpr std::uint32_t kWhite = 250;
constexpr std::array<std::uint8_t, 8> kAllSet = {255, 255, 255, 255, 255, 255, 255, 255};

}  // namespace

void ResetDrawingState() {
  GraphicsState& state = State();
  // Recorded only: the pen colour below makes the pen.
  state.line_style = LineSolid;
  state.line_pattern = 0;
  state.line_thickness = 1;
  SetPenColor(NamedColor[kWhite]);
  SetBackgroundColor(NamedColor[kBlack]);
  SetUserFill(kAllSet, NamedColor[kWhite]);
  SetFill(FillSolid, NamedColor[kWhite]);
  // Text: font word 0 at size 16, alignment 0 0, character spacing 0 0. (Added with text.)
  SetViewportRect(0, 0, LastColumn(), LastRow(), false);
  SetMixMode(0);
  SetAspectValues(10000, 10000);
}

}  // namespace tavlo::internal
