#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/backend.h"
#include "platform/device_context.h"
#include "platform/message_queue.h"
#include "platform/window_surface.h"
#include "platform/window_system.h"

// The process's windows, shared by the core, the backends and the headless automation.
namespace tavlo::platform {

struct WindowRecord {
  // Fixed before the record enters the table.
  WindowHandle handle = 0;
  std::thread::id owner;
  std::shared_ptr<MessageQueue> queue;
  WindowProcedure procedure = nullptr;
  DeviceColor background = 0;
  std::string title;
  std::uint32_t style = 0;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  Rect client;
  std::shared_ptr<WindowSurface> surface;
  std::unique_ptr<DeviceContext> device_context;

  // Touched by the owning thread only.
  std::unique_ptr<NativeWindow> native;
  std::chrono::steady_clock::time_point next_present;
  bool destroying = false;

  // Guarded by `mutex`: read by any thread.
  std::mutex mutex;
  bool visible = false;
  bool foreground = false;
  std::optional<Rect> invalid;
  bool erase_pending = false;
  std::uint64_t invalidations = 0;  // counts InvalidateWindow calls, to see a repaint request
};

// A new handle, never 0 and not in use.
WindowHandle NewWindowHandle();
void InsertWindow(std::shared_ptr<WindowRecord> record);
void RemoveWindow(WindowHandle handle);
std::shared_ptr<WindowRecord> FindWindow(WindowHandle handle);
std::vector<std::shared_ptr<WindowRecord>> AllWindows();
std::vector<std::shared_ptr<WindowRecord>> WindowsOfThread(std::thread::id owner);
// The window made last; null when none exists.
std::shared_ptr<WindowRecord> NewestWindow();

// The calling thread's queue, made on first use. When the thread ends, its windows are removed
// and its queue closed.
std::shared_ptr<MessageQueue> ThisThreadQueue();
// The modifiers of the message being dispatched on the calling thread.
KeyModifiers& ThisThreadModifiers();

// Input from a backend or the automation: queued for the window's owning thread. False for an
// unknown window.
bool DeliverInput(const Message& message);

// Removes every window of the calling thread without messages (its thread is ending).
void RemoveWindowsOfThisThread();

// How many surfaces have been presented since the process started.
std::uint64_t PresentCount();
void CountPresent();

}  // namespace tavlo::platform
