// The SDL window system: real windows on an X11 or Wayland display.
#include <memory>
#include <mutex>

#include "platform/backend.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_video.h"
#include "platform/sdl/sdl_window.h"
#include "platform/window_table.h"

namespace tavlo::platform {
namespace sdl {
namespace {

class Sdl final : public WindowBackend {
 public:
  std::unique_ptr<NativeWindow> CreateNativeWindow(const NativeWindowRequest& request) override {
    return SdlWindow::Create(request);
  }

  void PumpInput() override {
    PumpedInput input;
    {
      std::lock_guard lock(SdlMutex());
      // Events are only fetched while a window keeps the video subsystem up.
      if (AllSdlWindowHandles().empty()) return;
      SDL_Event event;
      while (SDL_PollEvent(&event) != 0) translator_.Translate(event, input);
    }
    // Handed over without SDL's lock, which the core's locks never nest inside.
    for (const WindowHandle window : input.exposed) InvalidateWindow(window, true);
    for (const Message& message : input.messages) DeliverInput(message);
  }

  // SDL has no way to wake a thread waiting on our queue, so the window thread looks for input
  // this often.
  std::chrono::milliseconds PollInterval() const override { return std::chrono::milliseconds(3); }

  ScreenSize Screen() override { return DesktopSize(); }

  // The window manager draws its own frame; these only turn client sizes into window sizes and
  // back.
  FrameMetrics Frame() override { return FrameMetrics{3, 3, 23}; }

 private:
  EventTranslator translator_;  // guarded by SdlMutex
};

}  // namespace
}  // namespace sdl

WindowBackend& SdlBackend() {
  // Never destroyed: window threads may still use it while the process exits.
  static sdl::Sdl* const backend = new sdl::Sdl;
  return *backend;
}

}  // namespace tavlo::platform
