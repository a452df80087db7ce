#include "tools/snapshot/run.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <thread>

#include "effects/show.h"
#include "figures/program.h"
#include "tavlo/inspect.h"

namespace tavlo::snapshot {
namespace {

constexpr std::chrono::seconds kRepaintPatience{5};

// The show's own entry, so that the snapshot opens the window with the effect's caption and runs
// the same set-up and steps.
const effects::ShowEntry* ShowEntryFor(std::string_view caption) {
  for (const effects::ShowEntry& entry : effects::ShowOrder()) {
    if (entry.caption == caption) return &entry;
  }
  return nullptr;
}

// True when every pixel of the window is the colour of the same pixel of an 8-bit `page`.
bool WindowShows(const inspect::IndexedPicture& page) {
  const inspect::RgbPicture window = inspect::WindowPicture();
  if (page.bits_per_pixel != 8 || window.width != page.width || window.height != page.height) {
    return false;
  }
  for (std::size_t i = 0; i < window.pixels.size(); ++i) {
    if (window.pixels[i] != page.palette[page.rows[i]]) return false;
  }
  return true;
}

bool WaitUntilWindowShows(int page) {
  const inspect::IndexedPicture picture = inspect::PagePicture(page);
  const auto deadline = std::chrono::steady_clock::now() + kRepaintPatience;
  while (!WindowShows(picture)) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return true;
}

}  // namespace

RunOutcome OpenAndRun(const EffectName& effect, long steps) {
  switch (effect.program) {
    case Program::kEffectsShow: {
      // Effects draw straight onto the shown page and the window together: nothing to wait for.
      const effects::ShowEntry* entry = ShowEntryFor(effect.caption);
      if (entry == nullptr || !effects::OpenAndStep(*entry, steps)) return RunOutcome::kNoWindow;
      return RunOutcome::kShown;
    }
    case Program::kFigures: {
      const std::optional<std::uint16_t> shown = figures::OpenAndDraw(steps);
      if (!shown) return RunOutcome::kNoWindow;
      return WaitUntilWindowShows(*shown) ? RunOutcome::kShown : RunOutcome::kNotShown;
    }
  }
  return RunOutcome::kNoWindow;
}

}  // namespace tavlo::snapshot
