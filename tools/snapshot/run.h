#pragma once

#include "tools/snapshot/effect_names.h"

namespace tavlo::snapshot {

enum class RunOutcome {
  kShown,     // the window shows the picture to photograph
  kNoWindow,  // the window did not open; LastResult() says why
  kNotShown,  // the window never showed the last frame's page
};

// Opens the window of `effect` and runs `steps` of its steps: those of the show's effect, or
// frames of the figures, which then waits until the window shows the page just flipped to (the
// repaint runs on the window thread). The window stays open; the caller closes graphics.
RunOutcome OpenAndRun(const EffectName& effect, long steps);

}  // namespace tavlo::snapshot
