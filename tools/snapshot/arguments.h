#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "tools/snapshot/effect_names.h"

namespace tavlo::snapshot {

struct Arguments {
  const EffectName* effect = nullptr;
  long steps = 0;
  std::string out;
  std::optional<int> page;  // a page as an indexed PNG instead of the window
  // Replaces the tick count as the seed of the effects' random numbers (0 to 4294967295).
  std::optional<std::uint32_t> seed;
};

// The largest step count accepted: more than a minute of any effect.
inline constexpr long kMaxSteps = 1'000'000;

// EFFECT STEPS OUT.png [--page N], with --page allowed anywhere. Nothing for a wrong effect
// name, a step count that is not a whole number from 0 to kMaxSteps, a page other than 0 to 3,
// or missing or extra words.
std::optional<Arguments> ParseArguments(std::span<const char* const> words);

// The one usage line, with the known effect names.
std::string UsageLine();

}  // namespace tavlo::snapshot
