#include "tools/snapshot/effect_names.h"

#include <array>

namespace tavlo::snapshot {

std::span<const EffectName> EffectNames() {
  // The starfield, the pattern and the figures join once they draw something worth keeping.
  static constexpr std::array<EffectName, 5> kNames{{
      {"rotozoom", "ROTOZOOM"},
      {"tunnel", "TUNEL"},
      {"floor", "PODEA"},
      {"plasma", "PLASMA"},
      {"sinewave", "SINUS WAVE"},
  }};
  return kNames;
}

const effects::ShowEntry* FindEffect(std::string_view name) {
  for (const EffectName& known : EffectNames()) {
    if (known.name != name) continue;
    // The show's own entry, so that the snapshot opens the window with the effect's caption and
    // runs the same set-up and steps.
    for (const effects::ShowEntry& entry : effects::ShowOrder()) {
      if (entry.caption == known.caption) return &entry;
    }
  }
  return nullptr;
}

}  // namespace tavlo::snapshot
