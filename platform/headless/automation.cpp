#include "platform/headless/automation.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "platform/headless/headless_backend.h"
#include "platform/messages.h"
#include "platform/window_table.h"

namespace tavlo::platform::headless {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kWaitStep{2};

WindowInfo InfoOf(WindowRecord& record) {
  WindowInfo info;
  info.handle = record.handle;
  info.title = record.title;
  info.style = record.style;
  info.x = record.x;
  info.y = record.y;
  info.width = record.width;
  info.height = record.height;
  info.client = record.client;
  std::lock_guard lock(record.mutex);
  info.visible = record.visible;
  info.foreground = record.foreground;
  return info;
}

bool PostToNewestWindow(std::uint32_t message, std::uint32_t wparam, std::int32_t lparam,
                        KeyModifiers modifiers) {
  const std::shared_ptr<WindowRecord> record = NewestWindow();
  if (!record) return false;
  Message input;
  input.window = record->handle;
  input.message = message;
  input.wparam = wparam;
  input.lparam = lparam;
  input.modifiers = modifiers;
  return DeliverInput(input);
}

// The key-message lparam: a repeat count of 1, and the context bit when Alt is held.
std::int32_t KeyLparam(KeyModifiers modifiers) {
  constexpr std::int32_t kRepeatOnce = 1;
  constexpr std::int32_t kAltContext = 1 << 29;
  return modifiers.alt ? (kRepeatOnce | kAltContext) : kRepeatOnce;
}

}  // namespace

void SetScreenSize(std::int32_t width, std::int32_t height) {
  Settings().screen_width = std::max(width, 0);
  Settings().screen_height = std::max(height, 0);
}

void SetFrameMetrics(std::int32_t frame_width, std::int32_t frame_height,
                     std::int32_t caption_height) {
  Settings().frame_width = std::max(frame_width, 0);
  Settings().frame_height = std::max(frame_height, 0);
  Settings().caption_height = std::max(caption_height, 0);
}

void FailNextClassRegistration() { Settings().fail_class_registration = true; }
void FailNextWindowCreation() { Settings().fail_window_creation = true; }
void FailNextThreadStart() { Settings().fail_thread_start = true; }

std::optional<WindowInfo> CurrentWindow() {
  const std::shared_ptr<WindowRecord> record = NewestWindow();
  if (!record) return std::nullopt;
  return InfoOf(*record);
}

std::optional<WindowInfo> WaitForWindow(std::chrono::milliseconds timeout,
                                        std::optional<std::string> title) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    auto windows = AllWindows();
    // The newest window that fits is the one a test means.
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
      WindowInfo info = InfoOf(**it);
      if (info.visible && (!title || info.title == *title)) return info;
    }
    if (Clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(kWaitStep);
  }
}

bool WaitForNoWindow(std::chrono::milliseconds timeout) {
  const Clock::time_point deadline = Clock::now() + timeout;
  for (;;) {
    if (!NewestWindow()) return true;
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kWaitStep);
  }
}

bool PostKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers) {
  return PostToNewestWindow(kMsgKeyDown, virtual_key, KeyLparam(modifiers), modifiers);
}

bool PostSysKeyDown(std::uint32_t virtual_key, KeyModifiers modifiers) {
  return PostToNewestWindow(kMsgSysKeyDown, virtual_key, KeyLparam(modifiers), modifiers);
}

bool PostChar(std::uint8_t code, KeyModifiers modifiers) {
  return PostToNewestWindow(kMsgChar, code, KeyLparam(modifiers), modifiers);
}

bool PostClose() { return PostToNewestWindow(kMsgClose, 0, 0, KeyModifiers{}); }

std::shared_ptr<Surface> SnapshotWindowSurface() {
  const std::shared_ptr<WindowRecord> record = NewestWindow();
  if (!record) return nullptr;
  WindowSurface& window_surface = *record->surface;
  std::lock_guard lock(window_surface.mutex());
  const Surface* const surface = window_surface.surface();
  if (surface == nullptr) return nullptr;
  std::shared_ptr<Surface> copy =
      Surface::Create(surface->width(), surface->height(), 32, 0, RowOrder::kTopDown);
  if (!copy) return nullptr;
  const std::size_t row_bytes = static_cast<std::size_t>(surface->width()) * 4;
  for (int y = 0; y < surface->height(); ++y) std::memcpy(copy->Row(y), surface->Row(y), row_bytes);
  return copy;
}

std::uint64_t PresentCount() { return platform::PresentCount(); }

}  // namespace tavlo::platform::headless
