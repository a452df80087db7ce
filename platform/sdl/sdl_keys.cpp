#include "platform/sdl/sdl_keys.h"

#include "platform/virtual_keys.h"

namespace tavlo::platform::sdl {
namespace {

constexpr std::uint32_t kVkPrintScreen = 44;
constexpr std::uint32_t kVkLeftWindows = 91;
constexpr std::uint32_t kVkRightWindows = 92;
constexpr std::uint32_t kVkSeparator = 108;
constexpr std::uint32_t kVkF13 = 124;
// The punctuation keys of a US keyboard.
constexpr std::uint32_t kVkOemSemicolon = 186;
constexpr std::uint32_t kVkOemPlus = 187;
constexpr std::uint32_t kVkOemComma = 188;
constexpr std::uint32_t kVkOemMinus = 189;
constexpr std::uint32_t kVkOemPeriod = 190;
constexpr std::uint32_t kVkOemSlash = 191;
constexpr std::uint32_t kVkOemBackquote = 192;
constexpr std::uint32_t kVkOemOpenBracket = 219;
constexpr std::uint32_t kVkOemBackslash = 220;
constexpr std::uint32_t kVkOemCloseBracket = 221;
constexpr std::uint32_t kVkOemQuote = 222;

// The keypad keys that are digits with Num Lock on and navigation keys with it off.
std::uint32_t KeypadKey(SDL_Scancode scancode, bool num_lock) {
  switch (scancode) {
    case SDL_SCANCODE_KP_0:
      return num_lock ? kVkNumpad0 : kVkInsert;
    case SDL_SCANCODE_KP_1:
      return num_lock ? kVkNumpad0 + 1 : kVkEnd;
    case SDL_SCANCODE_KP_2:
      return num_lock ? kVkNumpad0 + 2 : kVkDown;
    case SDL_SCANCODE_KP_3:
      return num_lock ? kVkNumpad0 + 3 : kVkNext;
    case SDL_SCANCODE_KP_4:
      return num_lock ? kVkNumpad0 + 4 : kVkLeft;
    case SDL_SCANCODE_KP_5:
      return num_lock ? kVkNumpad0 + 5 : kVkClear;
    case SDL_SCANCODE_KP_6:
      return num_lock ? kVkNumpad0 + 6 : kVkRight;
    case SDL_SCANCODE_KP_7:
      return num_lock ? kVkNumpad0 + 7 : kVkHome;
    case SDL_SCANCODE_KP_8:
      return num_lock ? kVkNumpad0 + 8 : kVkUp;
    case SDL_SCANCODE_KP_9:
      return num_lock ? kVkNumpad0 + 9 : kVkPrior;
    case SDL_SCANCODE_KP_PERIOD:
      return num_lock ? kVkDecimal : kVkDelete;
    default:
      return 0;
  }
}

std::uint32_t PunctuationKey(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_SEMICOLON:
      return kVkOemSemicolon;
    case SDLK_EQUALS:
      return kVkOemPlus;
    case SDLK_COMMA:
      return kVkOemComma;
    case SDLK_MINUS:
      return kVkOemMinus;
    case SDLK_PERIOD:
      return kVkOemPeriod;
    case SDLK_SLASH:
      return kVkOemSlash;
    case SDLK_BACKQUOTE:
      return kVkOemBackquote;
    case SDLK_LEFTBRACKET:
      return kVkOemOpenBracket;
    case SDLK_BACKSLASH:
      return kVkOemBackslash;
    case SDLK_RIGHTBRACKET:
      return kVkOemCloseBracket;
    case SDLK_QUOTE:
      return kVkOemQuote;
    default:
      return 0;
  }
}

std::uint32_t NamedKey(SDL_Scancode scancode) {
  switch (scancode) {
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_RETURN2:
    case SDL_SCANCODE_KP_ENTER:
      return kVkReturn;
    case SDL_SCANCODE_ESCAPE:
      return kVkEscape;
    case SDL_SCANCODE_BACKSPACE:
      return kVkBack;
    case SDL_SCANCODE_TAB:
      return kVkTab;
    case SDL_SCANCODE_SPACE:
      return kVkSpace;
    case SDL_SCANCODE_CLEAR:
    case SDL_SCANCODE_KP_CLEAR:
      return kVkClear;
    case SDL_SCANCODE_PAUSE:
      return kVkPause;
    case SDL_SCANCODE_APPLICATION:
    case SDL_SCANCODE_MENU:
      return kVkApps;
    case SDL_SCANCODE_INSERT:
      return kVkInsert;
    case SDL_SCANCODE_DELETE:
      return kVkDelete;
    case SDL_SCANCODE_HOME:
      return kVkHome;
    case SDL_SCANCODE_END:
      return kVkEnd;
    case SDL_SCANCODE_PAGEUP:
      return kVkPrior;
    case SDL_SCANCODE_PAGEDOWN:
      return kVkNext;
    case SDL_SCANCODE_LEFT:
      return kVkLeft;
    case SDL_SCANCODE_UP:
      return kVkUp;
    case SDL_SCANCODE_RIGHT:
      return kVkRight;
    case SDL_SCANCODE_DOWN:
      return kVkDown;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT:
      return kVkShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL:
      return kVkControl;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT:
      return kVkMenu;
    case SDL_SCANCODE_LGUI:
      return kVkLeftWindows;
    case SDL_SCANCODE_RGUI:
      return kVkRightWindows;
    case SDL_SCANCODE_CAPSLOCK:
      return kVkCapital;
    case SDL_SCANCODE_NUMLOCKCLEAR:
      return kVkNumLock;
    case SDL_SCANCODE_SCROLLLOCK:
      return kVkScroll;
    case SDL_SCANCODE_PRINTSCREEN:
      return kVkPrintScreen;
    case SDL_SCANCODE_KP_MULTIPLY:
      return kVkMultiply;
    case SDL_SCANCODE_KP_PLUS:
      return kVkAdd;
    case SDL_SCANCODE_KP_MINUS:
      return kVkSubtract;
    case SDL_SCANCODE_KP_DIVIDE:
      return kVkDivide;
    case SDL_SCANCODE_KP_COMMA:
      return kVkSeparator;
    default:
      return 0;
  }
}

}  // namespace

std::uint32_t VirtualKeyOf(const SDL_Keysym& keysym) {
  const SDL_Keycode sym = keysym.sym;
  const SDL_Scancode scancode = keysym.scancode;
  // Letters and digits follow the keyboard layout, as the key's own label does.
  if (sym >= SDLK_a && sym <= SDLK_z) return kVkA + static_cast<std::uint32_t>(sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return kVk0 + static_cast<std::uint32_t>(sym - SDLK_0);
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) {
    return kVkF1 + static_cast<std::uint32_t>(scancode - SDL_SCANCODE_F1);
  }
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) {
    return kVkF13 + static_cast<std::uint32_t>(scancode - SDL_SCANCODE_F13);
  }
  if (const std::uint32_t keypad = KeypadKey(scancode, (keysym.mod & KMOD_NUM) != 0)) {
    return keypad;
  }
  if (const std::uint32_t named = NamedKey(scancode)) return named;
  if (const std::uint32_t punctuation = PunctuationKey(sym)) return punctuation;
  // A layout whose letters are not Latin still has keys in the places of A to Z and 0 to 9.
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) {
    return kVkA + static_cast<std::uint32_t>(scancode - SDL_SCANCODE_A);
  }
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return kVk0 + 1 + static_cast<std::uint32_t>(scancode - SDL_SCANCODE_1);
  }
  if (scancode == SDL_SCANCODE_0) return kVk0;
  return 0;
}

}  // namespace tavlo::platform::sdl
