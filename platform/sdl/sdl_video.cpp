#include "platform/sdl/sdl_video.h"

#include <SDL.h>

#include <cstdlib>
#include <optional>
#include <string_view>

namespace tavlo::platform::sdl {
namespace {

// X11 first (it serves Wayland desktops too, through their X server); Wayland itself only where
// a Wayland display is named, since its library complains on standard error when none is.
const char* RealVideoDrivers() {
  const char* const wayland_display = std::getenv("WAYLAND_DISPLAY");
  const bool wayland = wayland_display != nullptr && *wayland_display != '\0';
  // SDL takes a comma-separated list and tries it in order.
  return wayland ? "x11,wayland" : "x11";
}

// A driver named in the environment is honoured unless it is one that draws nowhere: with it a
// program would run with an invisible window instead of failing for want of a display.
bool EnvironmentNamesRealDriver() {
  const char* const named = std::getenv("SDL_VIDEODRIVER");
  if (named == nullptr || *named == '\0') return false;
  const std::string_view drivers(named);
  return drivers.find("offscreen") == std::string_view::npos &&
         drivers.find("dummy") == std::string_view::npos;
}

void SetVideoHints() {
  if (!EnvironmentNamesRealDriver()) {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, RealVideoDrivers(), SDL_HINT_OVERRIDE);
  }
  // SIGINT and SIGTERM keep ending the program instead of becoming a quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // With the software renderer drawing into the window's own framebuffer, making the renderer
  // keeps the X window that input has already been sent to.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  // The close box is the program's to answer; closing the last window must not also quit.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
}

// With no subsystem left, SDL still holds what its initialisation made on the side (its
// desktop-bus connection, hint callbacks), also after a failed one; ending it whole releases
// those too.
void EndSdlWhenUnused() {
  if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

}  // namespace

std::mutex& SdlMutex() {
  // Never destroyed: a window thread may still hold it while the process exits.
  static std::mutex* const mutex = new std::mutex;
  return *mutex;
}

bool InitVideo() {
  // An X server under load now and then refuses a connection that it accepts a moment later
  // ("x11 not available"); without a second try a busy desktop would read as no desktop. With
  // no display at all the tries cost a tenth of a second.
  constexpr int kTries = 5;
  constexpr Uint32 kPauseMs = 20;
  for (int attempt = 1;; ++attempt) {
    SetVideoHints();  // ending SDL whole forgets its hints
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
    EndSdlWhenUnused();
    if (attempt == kTries) return false;
    SDL_Delay(kPauseMs);
  }
}

void QuitVideo() {
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  EndSdlWhenUnused();
}

ScreenSize DesktopSize() {
  constexpr ScreenSize kWithoutDisplay{1920, 1080};
  std::lock_guard lock(SdlMutex());
  static std::optional<ScreenSize> desktop;
  if (desktop) return *desktop;
  desktop = kWithoutDisplay;
  if (InitVideo()) {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
      desktop = ScreenSize{mode.w, mode.h};
    }
    QuitVideo();
  }
  return *desktop;
}

}  // namespace tavlo::platform::sdl

// SDL's video initialisation opens the desktop bus for its input methods; the bus library keeps
// one buffer of its own until the process ends, which SDL 2.26 has no way to release. Builds with
// the leak checker are told so, since the buffer does not grow with windows opened and closed.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
