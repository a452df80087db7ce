#pragma once

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <vector>

#include "platform/backend.h"

namespace tavlo::platform::sdl {

// A window of the SDL backend: an SDL window whose client area shows the window surface through
// a streaming texture of the software renderer. It initialises the video subsystem for itself
// on its owning thread and shuts it down there when destroyed.
class SdlWindow final : public NativeWindow {
 public:
  // Null when the video subsystem or the window cannot be made.
  static std::unique_ptr<SdlWindow> Create(const NativeWindowRequest& request);
  ~SdlWindow() override;
  SdlWindow(const SdlWindow&) = delete;
  SdlWindow& operator=(const SdlWindow&) = delete;

  void SetVisible(bool visible) override;
  void Raise() override;
  bool Present(WindowSurface& surface) override;
  std::chrono::nanoseconds FramePeriod() const override { return frame_period_; }

 private:
  SdlWindow() = default;
  // Both run with SdlMutex held.
  bool MakeLocked(const NativeWindowRequest& request);
  void ReleaseLocked();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  bool video_initialised_ = false;
  std::chrono::nanoseconds frame_period_{};
};

// The SDL windows of the process, by SDL window id. Callers hold SdlMutex.
WindowHandle HandleOfSdlWindow(Uint32 sdl_window_id);
std::vector<WindowHandle> AllSdlWindowHandles();
// The window must show its whole picture again at its next present (its pixels were lost).
void MarkExposed(Uint32 sdl_window_id);

}  // namespace tavlo::platform::sdl
