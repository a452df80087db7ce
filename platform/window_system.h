#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/device_context.h"
#include "platform/geometry.h"

namespace tavlo::platform {

// Which window system serves the process: real windows through SDL, or windows in memory for
// tests and tools. Chosen once, before the first window-system call; SDL unless told otherwise.
enum class Backend { kSdl, kHeadless };
// False when a call of this header has already fixed the backend to another one.
bool ChooseBackend(Backend backend);
Backend CurrentBackend();

using WindowHandle = std::uint32_t;  // 0 is no window
using WindowProcedure = std::int32_t (*)(WindowHandle window, std::uint32_t message,
                                         std::uint32_t wparam, std::int32_t lparam);

// Which of Shift, Control and Alt were held when an input message was made.
struct KeyModifiers {
  bool shift = false;
  bool control = false;
  bool alt = false;
  friend constexpr bool operator==(KeyModifiers, KeyModifiers) = default;
};

struct Message {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uint32_t wparam = 0;
  std::int32_t lparam = 0;
  KeyModifiers modifiers;
};

struct WindowClass {
  std::string name;
  WindowProcedure procedure = nullptr;
  std::uint32_t style = 0;                      // accepted and kept; it changes nothing here
  DeviceColor background = Rgb(255, 255, 255);  // what the default erase paints
};

// Window styles.
inline constexpr std::uint32_t kStylePopup = 0x80000000;
inline constexpr std::uint32_t kStyleCaption = 0x00C00000;
inline constexpr std::uint32_t kStyleSystemMenu = 0x00080000;
inline constexpr std::uint32_t kStyleMinimizeBox = 0x00020000;
// Position or size left to the window system.
inline constexpr std::int32_t kUseDefault = INT32_MIN;

enum class ShowCommand { kHide = 0, kShowNormal = 1, kShowDefault = 10 };

// Class registration is per process. False when the name is taken or (headless) a failure was
// asked for.
bool RegisterWindowClass(const WindowClass& window_class);
bool UnregisterWindowClass(std::string_view name);

// Makes a window owned by the calling thread, which must then run its messages. The window is
// hidden until shown. Its procedure receives the creation message before this returns; a
// result of -1 there fails the creation. No window (0) on failure: an unknown class, no display,
// or (headless) a failure asked for. A framed window's client area is its size less the frame
// metrics; a popup window's client area is its whole size.
WindowHandle CreateWindow(std::string_view class_name, std::string_view title,
                          std::uint32_t style, std::int32_t x, std::int32_t y,
                          std::int32_t width, std::int32_t height);
// Sends the destruction message to the procedure, then removes the window. Only the owning
// thread may destroy a window. False for an unknown window.
bool DestroyWindow(WindowHandle window);

// Waits for the next message of the calling thread's queue: posted messages first, then input
// from the window system, then a paint message for a window with an invalid area. Returns 1 for
// a message, 0 when the quit message is fetched, -1 when the thread has nothing to wait for.
int GetMessage(Message* message);
// Makes character messages from key-down messages that the window system sends no text for:
// Enter 13, Escape 27, Backspace 8, Tab 9 and Control with a letter 1 to 26.
void TranslateMessage(const Message& message);
// Calls the window procedure of the message's window with the message's key state in force.
std::int32_t DispatchMessage(const Message& message);
// Puts a message in the queue of the window's thread; safe from any thread. False for an
// unknown window.
bool PostMessage(WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                 std::int32_t lparam);
// Makes the calling thread's next GetMessage return 0 once the posted messages are fetched.
void PostQuitMessage(std::int32_t exit_code);
// What a window does with a message it does not handle itself: erasing paints the class
// background; everything else gives 0.
std::int32_t DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                    std::uint32_t wparam, std::int32_t lparam);

// The state of a key when the message being handled on the calling thread was made: negative
// (high bit set) while it was held. Knows Shift, Control and Alt.
std::int16_t KeyState(std::uint32_t virtual_key);

// The client rectangle, at (0, 0). Empty for an unknown window.
Rect ClientRect(WindowHandle window);
// The window's own device context, drawing on its client surface; it lives as long as the
// window. Null for an unknown window.
DeviceContext* WindowDeviceContext(WindowHandle window);

// Marks the whole client area for repainting; `erase` makes the next paint erase it first.
// Safe from any thread.
bool InvalidateWindow(WindowHandle window, bool erase);
// The area waiting to be painted, without validating it; nullopt when there is none.
std::optional<Rect> UpdateRect(WindowHandle window);
// Begins painting: sends the erase message when one was asked for, validates the area and
// returns it. EndPaint marks the end.
Rect BeginPaint(WindowHandle window);
void EndPaint(WindowHandle window);

// Must run on the owning thread; the program's thread asks with RequestShow, which waits until
// the window thread has done it.
void ShowWindow(WindowHandle window, ShowCommand command);
void BringToFront(WindowHandle window);
// From any thread: shows the window with `command`, then brings it to the front, on the window's
// own thread, and returns when that is done (or at once for an unknown window).
void RequestShow(WindowHandle window, ShowCommand command);

enum class Metric { kScreenWidth, kScreenHeight, kDialogFrameWidth, kDialogFrameHeight,
                    kCaptionHeight };
std::int32_t SystemMetric(Metric metric);
int DesktopBitsPerPixel();

// Starts a thread, at above-normal priority where the system allows it (a refusal is ignored).
// Nothing when no thread can be started.
std::optional<std::thread> StartThread(std::function<void()> body);

// The ShowCommand the process was started with: kShowDefault.
ShowCommand StartupShowCommand();

}  // namespace tavlo::platform
