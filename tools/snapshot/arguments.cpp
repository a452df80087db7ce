#include "tools/snapshot/arguments.h"

#include <charconv>
#include <cstdint>
#include <string_view>
#include <vector>

#include "tools/snapshot/effect_names.h"

namespace tavlo::snapshot {

namespace {

// A whole decimal number from `low` to `high`, digits only (no sign, no spaces).
std::optional<long> WholeNumber(std::string_view text, long low, long high) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::optional<Arguments> ParseArguments(std::span<const char* const> words) {
  Arguments arguments;
  std::vector<std::string_view> positional;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word == "--page") {
      if (arguments.page || i + 1 == words.size()) return std::nullopt;
      const std::optional<long> page = WholeNumber(words[++i], 0, 3);
      if (!page) return std::nullopt;
      arguments.page = static_cast<int>(*page);
    } else if (word == "--seed") {
      if (arguments.seed || i + 1 == words.size()) return std::nullopt;
      const std::optional<long> seed = WholeNumber(words[++i], 0, 0xFFFFFFFFL);
      if (!seed) return std::nullopt;
      arguments.seed = static_cast<std::uint32_t>(*seed);
    } else {
      positional.push_back(word);
    }
  }
  if (positional.size() != 3) return std::nullopt;
  arguments.effect = FindEffect(positional[0]);
  const std::optional<long> steps = WholeNumber(positional[1], 0, kMaxSteps);
  if (arguments.effect == nullptr || !steps || positional[2].empty()) return std::nullopt;
  arguments.steps = *steps;
  arguments.out = std::string(positional[2]);
  return arguments;
}

std::string UsageLine() {
  std::string names;
  for (const EffectName& effect : EffectNames()) {
    if (!names.empty()) names += '|';
    names += effect.name;
  }
  return "usage: tavlo-snapshot " + names + " STEPS OUT.png [--page 0-3] [--seed S]";
}

}  // namespace tavlo::snapshot
