#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string_view>

#include "effects/effect.h"

namespace tavlo::effects {

struct ShowEntry {
  std::string_view caption;
  std::unique_ptr<Effect> (*make)();
};

// The seven effects in the order of the show.
const std::array<ShowEntry, 7>& ShowOrder();

// The frame pattern every effect shares: opens a 640 by 480 window of 256 palette colours with
// the effect's caption, sets the effect up, steps it until a key waits and closes the window.
// False, with nothing run, when the window could not be opened.
bool RunEffect(const ShowEntry& entry);

// The same opening and set-up, then exactly `steps` steps, no key check, and the window left
// open for a look at it (the snapshot tool); the caller closes graphics. False, with nothing
// run, when the window could not be opened.
bool OpenAndStep(const ShowEntry& entry, long steps);

// Runs the seven effects one after another. Returns the exit status: 0 after the seventh, 1 when
// a window could not be opened, after one line on `errors` that says why.
int RunShow(std::FILE* errors);

}  // namespace tavlo::effects
