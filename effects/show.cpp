#include "effects/show.h"

#include <cstdint>

#include "effects/effects.h"
#include "keyboard/keys.h"
#include "tavlo/graphics.h"

namespace tavlo::effects {
namespace {

// Set before every opening and passed by reference; with a driver other than 0 opening writes
// nothing back.
std::int16_t driver_variable = 0;
std::int16_t mode_variable = 0;

// Steps 1 to 3 of the frame pattern: open the effect's window and set the effect up. Null when
// the window could not be opened.
std::unique_ptr<Effect> OpenAndSetUp(const ShowEntry& entry) {
  driver_variable = Driver8Bit;
  mode_variable = Mode640x480;
  OpenGraphics(driver_variable, mode_variable, entry.caption);
  // Opening can end with a warning such as ResultNoOpenGL and a usable window; only a window
  // that is not there stops the effect.
  if (!GraphicsOpen()) return nullptr;

  std::unique_ptr<Effect> effect = entry.make();
  effect->SetUp();
  return effect;
}

}  // namespace

const std::array<ShowEntry, 7>& ShowOrder() {
  static const std::array<ShowEntry, 7> order{{
      {"STELUTE", &MakeStarfield},
      {"ROTOZOOM", &MakeRotozoom},
      {"MODEL", &MakePattern},
      {"TUNEL", &MakeTunnel},
      {"PODEA", &MakeFloor},
      {"PLASMA", &MakePlasma},
      {"SINUS WAVE", &MakeSineWave},
  }};
  return order;
}

bool RunEffect(const ShowEntry& entry) {
  const std::unique_ptr<Effect> effect = OpenAndSetUp(entry);
  if (!effect) return false;
  do {
    effect->Step();
  } while (!KeyWaiting());
  CloseGraphics();
  return true;
}

bool OpenAndStep(const ShowEntry& entry, long steps) {
  const std::unique_ptr<Effect> effect = OpenAndSetUp(entry);
  if (!effect) return false;
  for (long i = 0; i < steps; ++i) effect->Step();
  return true;
}

int RunShow(std::FILE* errors) {
  for (const ShowEntry& entry : ShowOrder()) {
    if (!RunEffect(entry)) {
      const std::string_view why = ResultMessage(LastResult());
      std::fprintf(errors, "effects: cannot open the %.*s window: %.*s\n",
                   static_cast<int>(entry.caption.size()), entry.caption.data(),
                   static_cast<int>(why.size()), why.data());
      return 1;
    }
    // Returns at once: graphics is closed, and the codes that ended the effect stay queued until
    // the next window empties the queue.
    NextKey();
  }
  return 0;
}

}  // namespace tavlo::effects
