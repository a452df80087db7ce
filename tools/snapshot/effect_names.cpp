#include "tools/snapshot/effect_names.h"

#include <array>

namespace tavlo::snapshot {

std::span<const EffectName> EffectNames() {
  static constexpr std::array<EffectName, 8> kNames{{
      {"starfield", "STELUTE", Program::kEffectsShow},
      {"rotozoom", "ROTOZOOM", Program::kEffectsShow},
      {"pattern", "MODEL", Program::kEffectsShow},
      {"tunnel", "TUNEL", Program::kEffectsShow},
      {"floor", "PODEA", Program::kEffectsShow},
      {"plasma", "PLASMA", Program::kEffectsShow},
      {"sinewave", "SINUS WAVE", Program::kEffectsShow},
      {"figures", "FIGURI DEFORMABILE", Program::kFigures},
  }};
  return kNames;
}

const EffectName* FindEffect(std::string_view name) {
  for (const EffectName& known : EffectNames()) {
    if (known.name == name) return &known;
  }
  return nullptr;
}

}  // namespace tavlo::snapshot
