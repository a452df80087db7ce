#include "platform/character_translation.h"

#include "platform/virtual_keys.h"

namespace tavlo::platform {

std::optional<std::uint8_t> CharacterForKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers) {
  switch (virtual_key) {
    case kVkReturn:
      return 13;
    case kVkEscape:
      return 27;
    case kVkBack:
      return 8;
    case kVkTab:
      // Control+Tab is a key of its own to the keyboard unit, not a tab character.
      if (modifiers.control) return std::nullopt;
      return 9;
    default:
      break;
  }
  // Control with Alt is how a keyboard reaches its third-level characters; those come as text.
  if (virtual_key >= kVkA && virtual_key <= kVkZ && modifiers.control && !modifiers.alt) {
    return static_cast<std::uint8_t>(virtual_key - kVkA + 1);
  }
  return std::nullopt;
}

}  // namespace tavlo::platform
