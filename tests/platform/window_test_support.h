#pragma once

// A window class whose procedure records every message it receives, for the window-system
// tests. It closes the way the graphics window does: the close message destroys the window and
// the destruction message posts the quit message.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/messages.h"
#include "platform/virtual_keys.h"
#include "platform/window_system.h"

namespace tavlo::platform::test {

struct Received {
  WindowHandle window = 0;
  std::uint32_t message = 0;
  std::uint32_t wparam = 0;
  std::int32_t lparam = 0;
  // What KeyState answered for Shift, Control and Alt while the message was handled.
  bool shift_held = false;
  bool control_held = false;
  bool alt_held = false;
  Rect client;                 // ClientRect while the message was handled
  std::optional<Rect> update;  // UpdateRect while the message was handled
};

class RecordingWindowClass {
 public:
  static constexpr const char* kName = "RecordingTestClass";
  static constexpr DeviceColor kBackground = Rgb(10, 20, 30);
  static constexpr std::int32_t kQuitCode = 7;

  RecordingWindowClass() {
    Current() = this;
    WindowClass window_class;
    window_class.name = kName;
    window_class.procedure = &Procedure;
    window_class.background = kBackground;
    EXPECT_TRUE(RegisterWindowClass(window_class));
  }
  ~RecordingWindowClass() {
    EXPECT_TRUE(UnregisterWindowClass(kName));
    Current() = nullptr;
  }
  RecordingWindowClass(const RecordingWindowClass&) = delete;
  RecordingWindowClass& operator=(const RecordingWindowClass&) = delete;

  std::vector<Received> Messages() const {
    std::lock_guard lock(mutex_);
    return received_;
  }
  std::vector<std::uint32_t> MessageNumbers() const {
    std::vector<std::uint32_t> numbers;
    for (const Received& received : Messages()) numbers.push_back(received.message);
    return numbers;
  }
  // The messages with this number, in order.
  std::vector<Received> MessagesOf(std::uint32_t message) const {
    std::vector<Received> found;
    for (const Received& received : Messages()) {
      if (received.message == message) found.push_back(received);
    }
    return found;
  }

  // What the procedure does beyond recording.
  std::atomic<bool> paint_with_begin_paint{true};
  std::atomic<bool> fail_creation{false};

 private:
  static std::atomic<RecordingWindowClass*>& Current() {
    static std::atomic<RecordingWindowClass*> current{nullptr};
    return current;
  }

  static std::int32_t Procedure(WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                                std::int32_t lparam) {
    RecordingWindowClass* const self = Current().load();
    const Received received{window,
                            message,
                            wparam,
                            lparam,
                            KeyState(kVkShift) < 0,
                            KeyState(kVkControl) < 0,
                            KeyState(kVkMenu) < 0,
                            ClientRect(window),
                            UpdateRect(window)};
    {
      std::lock_guard lock(self->mutex_);
      self->received_.push_back(received);
    }
    switch (message) {
      case kMsgCreate:
        return self->fail_creation ? -1 : 0;
      case kMsgClose:
        DestroyWindow(window);
        return 0;
      case kMsgDestroy:
        PostQuitMessage(kQuitCode);
        return 0;
      case kMsgPaint:
        if (self->paint_with_begin_paint) {
          BeginPaint(window);
          EndPaint(window);
        }
        return 0;
      default:
        return DefaultWindowProcedure(window, message, wparam, lparam);
    }
  }

  mutable std::mutex mutex_;
  std::vector<Received> received_;
};

// Runs the calling thread's message loop the way the graphics window thread does, until the
// fetch returns something other than 1; returns that and leaves the last message in `last`.
inline int RunMessageLoop(Message* last = nullptr) {
  Message message;
  int fetched = 0;
  while ((fetched = GetMessage(&message)) == 1) {
    TranslateMessage(message);
    DispatchMessage(message);
  }
  if (last != nullptr) *last = message;
  return fetched;
}

}  // namespace tavlo::platform::test
