#include "platform/sdl/sdl_events.h"

#include <cstdint>

#include "platform/messages.h"
#include "platform/sdl/sdl_keys.h"
#include "platform/sdl/sdl_window.h"
#include "platform/virtual_keys.h"

namespace tavlo::platform::sdl {
namespace {

// Bits of a mouse message's wparam.
constexpr std::uint32_t kMouseLeft = 0x0001;
constexpr std::uint32_t kMouseRight = 0x0002;
constexpr std::uint32_t kMouseShift = 0x0004;
constexpr std::uint32_t kMouseControl = 0x0008;
constexpr std::uint32_t kMouseMiddle = 0x0010;
constexpr std::int32_t kWheelStep = 120;

KeyModifiers ModifiersOf(Uint16 mod) {
  return KeyModifiers{(mod & KMOD_SHIFT) != 0, (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0};
}

// x in the low 16 bits and y in the high 16 bits, each as a 16-bit signed number.
std::int32_t PackPoint(std::int32_t x, std::int32_t y) {
  const std::uint32_t packed =
      (static_cast<std::uint32_t>(x) & 0xFFFF) | (static_cast<std::uint32_t>(y) & 0xFFFF) << 16;
  return static_cast<std::int32_t>(packed);
}

std::uint32_t MouseFlags(Uint32 buttons) {
  std::uint32_t flags = 0;
  if (buttons & SDL_BUTTON_LMASK) flags |= kMouseLeft;
  if (buttons & SDL_BUTTON_RMASK) flags |= kMouseRight;
  if (buttons & SDL_BUTTON_MMASK) flags |= kMouseMiddle;
  const SDL_Keymod mod = SDL_GetModState();
  if (mod & KMOD_SHIFT) flags |= kMouseShift;
  if (mod & KMOD_CTRL) flags |= kMouseControl;
  return flags;
}

std::uint32_t ButtonMessage(Uint8 button, bool down) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return down ? kMsgLeftButtonDown : kMsgLeftButtonUp;
    case SDL_BUTTON_RIGHT:
      return down ? kMsgRightButtonDown : kMsgRightButtonUp;
    case SDL_BUTTON_MIDDLE:
      return down ? kMsgMiddleButtonDown : kMsgMiddleButtonUp;
    default:
      return 0;
  }
}

void Add(PumpedInput& out, WindowHandle window, std::uint32_t message, std::uint32_t wparam,
         std::int32_t lparam, KeyModifiers modifiers = {}) {
  if (window == 0 || message == 0) return;
  out.messages.push_back(Message{window, message, wparam, lparam, modifiers});
}

// Decodes one UTF-8 sequence at `at`, moving past it; U+FFFD for a malformed one.
char32_t NextCodePoint(const char*& at) {
  const auto lead = static_cast<unsigned char>(*at++);
  if (lead < 0x80) return lead;
  int extra = 0;
  char32_t code = 0;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    code = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    code = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    code = lead & 0x07;
  } else {
    return U'\uFFFD';
  }
  for (int i = 0; i < extra; ++i) {
    const auto next = static_cast<unsigned char>(*at);
    if ((next & 0xC0) != 0x80) return U'\uFFFD';
    ++at;
    code = code << 6 | (next & 0x3F);
  }
  return code;
}

}  // namespace

void EventTranslator::Translate(const SDL_Event& event, PumpedInput& out) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      TranslateKey(event.key, event.type == SDL_KEYDOWN, out);
      break;
    case SDL_TEXTINPUT:
      TranslateText(event.text, out);
      break;
    case SDL_WINDOWEVENT: {
      const WindowHandle window = HandleOfSdlWindow(event.window.windowID);
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        Add(out, window, kMsgClose, 0, 0);
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        MarkExposed(event.window.windowID);
        if (window != 0) out.exposed.push_back(window);
      }
      break;
    }
    case SDL_QUIT:
      // A request to end from outside is a close request to every window: the program decides.
      for (const WindowHandle window : AllSdlWindowHandles()) Add(out, window, kMsgClose, 0, 0);
      break;
    case SDL_MOUSEMOTION:
      Add(out, HandleOfSdlWindow(event.motion.windowID), kMsgMouseMove,
          MouseFlags(event.motion.state), PackPoint(event.motion.x, event.motion.y));
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const bool down = event.type == SDL_MOUSEBUTTONDOWN;
      Add(out, HandleOfSdlWindow(event.button.windowID), ButtonMessage(event.button.button, down),
          MouseFlags(SDL_GetMouseState(nullptr, nullptr)),
          PackPoint(event.button.x, event.button.y));
      break;
    }
    case SDL_MOUSEWHEEL: {
      std::int32_t steps = event.wheel.y;
      if (event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) steps = -steps;
      const auto delta = static_cast<std::uint32_t>(steps * kWheelStep);
      Add(out, HandleOfSdlWindow(event.wheel.windowID), kMsgMouseWheel,
          delta << 16 | MouseFlags(SDL_GetMouseState(nullptr, nullptr)),
          PackPoint(event.wheel.mouseX, event.wheel.mouseY));
      break;
    }
    default:
      break;
  }
}

void EventTranslator::TranslateKey(const SDL_KeyboardEvent& key, bool down, PumpedInput& out) {
  const WindowHandle window = HandleOfSdlWindow(key.windowID);
  const std::uint32_t virtual_key = VirtualKeyOf(key.keysym);
  const KeyModifiers modifiers = ModifiersOf(key.keysym.mod);
  if (down) text_modifiers_ = modifiers;
  if (virtual_key == 0) return;
  // With Alt held, and for F10, keys are system keys: they never become characters.
  const bool system = modifiers.alt || virtual_key == kVkF10;
  std::uint32_t message = 0;
  if (down) {
    message = system ? kMsgSysKeyDown : kMsgKeyDown;
  } else {
    message = system ? kMsgSysKeyUp : kMsgKeyUp;
  }
  // lparam: repeat count 1, the scan code, Alt as the context bit, then the previous state
  // (set on a repeat) and the transition (set on a release).
  std::uint32_t lparam = 1 | (static_cast<std::uint32_t>(key.keysym.scancode) & 0xFF) << 16;
  if (modifiers.alt) lparam |= 1u << 29;
  if (!down || key.repeat != 0) lparam |= 1u << 30;
  if (!down) lparam |= 1u << 31;
  Add(out, window, message, virtual_key, static_cast<std::int32_t>(lparam), modifiers);
}

void EventTranslator::TranslateText(const SDL_TextInputEvent& text, PumpedInput& out) {
  const WindowHandle window = HandleOfSdlWindow(text.windowID);
  // The character messages carry one byte: Latin-1 characters only.
  const std::uint32_t message = text_modifiers_.alt ? kMsgSysChar : kMsgChar;
  for (const char* at = text.text; *at != '\0';) {
    const char32_t code = NextCodePoint(at);
    if (code < 256) Add(out, window, message, static_cast<std::uint32_t>(code), 1, text_modifiers_);
  }
}

}  // namespace tavlo::platform::sdl
