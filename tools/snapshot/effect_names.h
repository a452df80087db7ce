#pragma once

#include <span>
#include <string_view>

#include "effects/show.h"

namespace tavlo::snapshot {

// A name on the command line and the caption of the show's effect that it stands for.
struct EffectName {
  std::string_view name;
  std::string_view caption;
};

// The effects that can be photographed, in show order.
std::span<const EffectName> EffectNames();

// The show's entry for a command-line name; null for a name not in the table.
const effects::ShowEntry* FindEffect(std::string_view name);

}  // namespace tavlo::snapshot
