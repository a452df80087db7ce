#pragma once

#include <SDL.h>

#include <vector>

#include "platform/window_system.h"

namespace tavlo::platform::sdl {

// What one round of SDL events asks of the core.
struct PumpedInput {
  std::vector<Message> messages;
  std::vector<WindowHandle> exposed;
};

// Turns SDL events into window messages: key-down and key-up (system ones while Alt is held, and
// for F10), characters of Latin-1 text, the close request, mouse input, and exposure.
class EventTranslator {
 public:
  // Callers hold SdlMutex (window ids are looked up in the SDL window registry).
  void Translate(const SDL_Event& event, PumpedInput& out);

 private:
  void TranslateKey(const SDL_KeyboardEvent& key, bool down, PumpedInput& out);
  void TranslateText(const SDL_TextInputEvent& text, PumpedInput& out);

  // Text arrives after the key-down that typed it, without modifiers of its own.
  KeyModifiers text_modifiers_;
};

}  // namespace tavlo::platform::sdl
