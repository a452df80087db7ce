#pragma once

#include <cstdint>
#include <optional>

#include "platform/window_system.h"

namespace tavlo::platform {

// The character that a key-down message makes when the window system sends no text for it:
// Enter 13, Escape 27, Backspace 8, Tab 9 (not with Control), and Control with a letter 1 to 26
// (not with Alt). Nothing for every other key.
std::optional<std::uint8_t> CharacterForKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers);

}  // namespace tavlo::platform
