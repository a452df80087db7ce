#pragma once

#include <span>
#include <string_view>

namespace tavlo::snapshot {

// Whose code runs a name: an effect of the show (by its caption), or the figures program.
enum class Program { kEffectsShow, kFigures };

// A name on the command line, the caption of the window it opens, and the program that draws it.
struct EffectName {
  std::string_view name;
  std::string_view caption;
  Program program;
};

// The names that can be photographed: the show's effects in show order, then the figures.
std::span<const EffectName> EffectNames();

// The row for a command-line name; null for a name not in the table.
const EffectName* FindEffect(std::string_view name);

}  // namespace tavlo::snapshot
