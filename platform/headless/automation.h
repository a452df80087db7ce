#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/surface.h"
#include "platform/window_system.h"

// The automation interface of the in-memory window system, for tests and tools. Everything here
// is safe to call from any thread while the headless backend is in use.
namespace tavlo::platform::headless {

// The screen that windows are measured against; 1920 by 1080 unless set.
void SetScreenSize(std::int32_t width, std::int32_t height);
// Frame metrics: a dialog frame 3 pixels wide and high and a caption 23 high unless set.
void SetFrameMetrics(std::int32_t frame_width, std::int32_t frame_height,
                     std::int32_t caption_height);

// The next class registration, window creation or thread start fails (once).
void FailNextClassRegistration();
void FailNextWindowCreation();
void FailNextThreadStart();

struct WindowInfo {
  WindowHandle handle = 0;
  std::string title;
  std::uint32_t style = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;  // outer size
  std::int32_t height = 0;
  Rect client;
  bool visible = false;
  bool foreground = false;
};

// The windows that exist now (there is at most one in a Tavlo program); the newest one.
std::optional<WindowInfo> CurrentWindow();
// Waits until a window exists (and, when `title` is given, has that title) and is visible;
// nothing after the timeout.
std::optional<WindowInfo> WaitForWindow(std::chrono::milliseconds timeout,
                                        std::optional<std::string> title = std::nullopt);
// Waits until no window exists; false after the timeout.
bool WaitForNoWindow(std::chrono::milliseconds timeout);

// Input posted to the newest window's thread, travelling the same path as real input: queue,
// translation, window procedure. False when there is no window.
bool PostKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers = {});
bool PostSysKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers = {});
bool PostChar(std::uint8_t code, KeyModifiers modifiers = {});
bool PostClose();

// A copy of the newest window's client surface (32-bit, 0x00RRGGBB words), taken under its
// mutex; null when there is no window.
std::shared_ptr<Surface> SnapshotWindowSurface();
// How many times the window system has presented a window's surface since the process started.
std::uint64_t PresentCount();

}  // namespace tavlo::platform::headless
