// What a key without a character puts in the queue: a zero and a second code, chosen by the key
// and by Shift, Control and Alt.

#include <algorithm>
#include <array>
#include <cstdint>

#include "keyboard/key_queue.h"
#include "platform/virtual_keys.h"
#include "platform/window_system.h"

namespace tavlo::keyboard {
namespace {

namespace vk = platform;

struct Held {
  bool shift;
  bool control;
  bool alt;
};

Held HeldModifiers() {
  // A key counts as held when the high bit of its state is set.
  return Held{platform::KeyState(vk::kVkShift) < 0, platform::KeyState(vk::kVkControl) < 0,
              platform::KeyState(vk::kVkMenu) < 0};
}

// Navigation and editing keys: Shift makes no difference, Control wins over Alt.
struct NavigationKey {
  std::uint32_t key;
  std::uint8_t plain;
  std::uint8_t control;
  std::uint8_t alt;
};
constexpr std::array<NavigationKey, 11> kNavigationKeys{{
    {vk::kVkPrior, 73, 132, 153},
    {vk::kVkNext, 81, 118, 161},
    {vk::kVkEnd, 79, 117, 165},
    {vk::kVkHome, 71, 119, 164},
    {vk::kVkLeft, 75, 115, 155},
    {vk::kVkUp, 72, 141, 152},
    {vk::kVkRight, 77, 116, 157},
    {vk::kVkDown, 80, 145, 160},
    {vk::kVkInsert, 82, 146, 162},
    {vk::kVkDelete, 83, 147, 163},
    {vk::kVkClear, 76, 143, 76},  // Alt is not looked at: it gives the plain code
}};

// Keypad operators: only with Control or Alt; their plain character comes as a character.
struct KeypadKey {
  std::uint32_t key;
  std::uint8_t control;
  std::uint8_t alt;
};
constexpr std::array<KeypadKey, 5> kKeypadKeys{{
    {vk::kVkMultiply, 149, 70},
    {vk::kVkAdd, 144, 78},
    {vk::kVkSubtract, 142, 74},
    {vk::kVkDecimal, 150, 114},
    {vk::kVkDivide, 148, 69},
}};

// Alt with a letter gives the letter's scan code, A to Z.
constexpr std::array<std::uint8_t, 26> kAltLetterCodes{30, 48, 46, 32, 18, 33, 34, 35, 23,
                                                       36, 37, 38, 50, 49, 24, 25, 16, 19,
                                                       31, 20, 22, 47, 17, 45, 21, 44};

template <class Table>
const auto* Find(const Table& table, std::uint32_t key) {
  const auto found =
      std::find_if(table.begin(), table.end(), [key](const auto& row) { return row.key == key; });
  return found == table.end() ? nullptr : &*found;
}

// F1 to F12; Shift wins over Control, Control over Alt.
void TranslateFunctionKey(std::uint32_t key, Held held) {
  const bool low = key <= vk::kVkF10;  // F1 to F10 and F11, F12 have codes of their own
  std::uint32_t code = 0;
  if (held.shift) {
    code = low ? key - 28 : key + 13;
  } else if (held.control) {
    code = low ? key - 18 : key + 15;
  } else if (held.alt) {
    code = low ? key - 8 : key + 17;
  } else {
    code = low ? key - 53 : key + 11;
  }
  PushExtendedKey(static_cast<std::uint8_t>(code));
}

// The digits of the main keyboard: Control and Alt are two independent tests, Control first.
void TranslateDigitKey(std::uint32_t key, Held held) {
  const bool zero = key == vk::kVk0;
  if (held.control) PushExtendedKey(static_cast<std::uint8_t>(zero ? 10 : key - vk::kVk0));
  if (held.alt) PushExtendedKey(static_cast<std::uint8_t>(zero ? 129 : key + 71));
}

}  // namespace

void TranslateKeyDown(std::uint32_t virtual_key) {
  const Held held = HeldModifiers();

  if (const NavigationKey* row = Find(kNavigationKeys, virtual_key)) {
    PushExtendedKey(held.control ? row->control : held.alt ? row->alt : row->plain);
    return;
  }
  if (virtual_key >= vk::kVkF1 && virtual_key <= vk::kVkF12) {
    TranslateFunctionKey(virtual_key, held);
    return;
  }
  if (const KeypadKey* row = Find(kKeypadKeys, virtual_key)) {
    if (held.control) {
      PushExtendedKey(row->control);
    } else if (held.alt) {
      PushExtendedKey(row->alt);
    }
    return;
  }
  if (virtual_key >= vk::kVk0 && virtual_key <= vk::kVk9) {
    TranslateDigitKey(virtual_key, held);
    return;
  }
  if (virtual_key >= vk::kVkA && virtual_key <= vk::kVkZ) {
    if (held.alt) PushExtendedKey(kAltLetterCodes[virtual_key - vk::kVkA]);
    return;
  }

  switch (virtual_key) {
    case vk::kVkBack:
      if (held.alt) PushExtendedKey(14);
      break;
    case vk::kVkTab:
      if (held.control) PushKey(30);  // a single code, not a pair
      break;
    case vk::kVkReturn:
      if (held.alt) PushExtendedKey(166);
      break;
    case vk::kVkPause:
      if (held.alt) {
        PushExtendedKey(169);
      } else if (!held.control) {
        PushExtendedKey(12);
      }
      break;
    case vk::kVkSpace:
      if (held.alt) PushExtendedKey(11);
      break;
    case vk::kVkApps:
      PushExtendedKey(151);
      break;
    default:
      break;  // its character, if it has one, comes as a character message
  }
}

}  // namespace tavlo::keyboard
