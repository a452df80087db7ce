#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/window_surface.h"
#include "platform/window_system.h"

// The small table of operations that a window-system backend provides to the backend-independent
// core: native windows, input, screen and frame metrics, and the failure switches of tests.
namespace tavlo::platform {

// What the core asks a backend to make: the client area at its place on the screen.
struct NativeWindowRequest {
  WindowHandle handle = 0;
  std::string title;
  bool popup = false;
  bool default_position = false;  // the caller left the position to the window system
  std::int32_t client_x = 0;
  std::int32_t client_y = 0;
  std::int32_t client_width = 0;
  std::int32_t client_height = 0;
};

// A backend's window. Made, used and destroyed on the window's owning thread only.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual void SetVisible(bool visible) = 0;
  virtual void Raise() = 0;
  // Shows what changed in `surface` since the last present; true when something was presented.
  // Takes the surface's mutex itself, and takes no other lock while holding it.
  virtual bool Present(WindowSurface& surface) = 0;
  // The least time between two presents: the display's refresh period.
  virtual std::chrono::nanoseconds FramePeriod() const = 0;
};

struct ScreenSize {
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct FrameMetrics {
  std::int32_t frame_width = 0;
  std::int32_t frame_height = 0;
  std::int32_t caption_height = 0;
};

class WindowBackend {
 public:
  virtual ~WindowBackend() = default;
  // Null when the window cannot be made (no display, or a failure asked for).
  virtual std::unique_ptr<NativeWindow> CreateNativeWindow(const NativeWindowRequest& request) = 0;
  // Hands the input that the window system holds for the calling thread's windows to
  // DeliverInput (see window_table.h). Called only by a thread that owns a window.
  virtual void PumpInput() = 0;
  // How long a waiting window thread may sleep before it must pump again; zero when the backend
  // delivers its input through DeliverInput by itself, which wakes the thread.
  virtual std::chrono::milliseconds PollInterval() const = 0;
  virtual ScreenSize Screen() = 0;
  virtual FrameMetrics Frame() = 0;
  // The failure switches of tests: true (once) when the next registration or thread start is to
  // fail.
  virtual bool TakeClassRegistrationFailure() { return false; }
  virtual bool TakeThreadStartFailure() { return false; }
};

// The backend chosen for the process (fixing the choice on first use).
WindowBackend& ActiveBackend();

WindowBackend& HeadlessBackend();
WindowBackend& SdlBackend();

}  // namespace tavlo::platform
