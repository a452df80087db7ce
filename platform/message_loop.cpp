// The message loop of a window thread: fetching, translating, dispatching and posting, and the
// presents that happen while the thread waits.
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/backend.h"
#include "platform/character_translation.h"
#include "platform/messages.h"
#include "platform/virtual_keys.h"
#include "platform/window_system.h"
#include "platform/window_table.h"

namespace tavlo::platform {
namespace {

using Clock = std::chrono::steady_clock;

bool IsVisible(WindowRecord& record) {
  std::lock_guard lock(record.mutex);
  return record.visible;
}

// Presents the visible windows whose surface changed, each at most once per frame period, and
// tells when the next present may be due.
Clock::time_point PresentChangedSurfaces(const std::vector<std::shared_ptr<WindowRecord>>& owned) {
  const Clock::time_point now = Clock::now();
  Clock::time_point next = Clock::time_point::max();
  for (const auto& record : owned) {
    if (!record->native || record->surface->surface() == nullptr || !IsVisible(*record)) continue;
    if (now >= record->next_present) {
      if (record->native->Present(*record->surface)) CountPresent();
      // Whether or not anything changed, the surface is looked at again one frame later: the
      // program draws into it without telling this thread.
      record->next_present = now + record->native->FramePeriod();
    }
    next = std::min(next, record->next_present);
  }
  return next;
}

bool IsInputMessage(std::uint32_t message) {
  return (message >= kMsgKeyDown && message <= kMsgSysChar) ||
         (message >= kMsgMouseMove && message <= kMsgMouseWheel);
}

// A paint message for the first visible window of the thread that waits to be painted.
std::optional<Message> PendingPaint(const std::vector<std::shared_ptr<WindowRecord>>& owned) {
  for (const auto& record : owned) {
    std::lock_guard lock(record->mutex);
    if (record->visible && record->invalid) {
      Message paint;
      paint.window = record->handle;
      paint.message = kMsgPaint;
      return paint;
    }
  }
  return std::nullopt;
}

}  // namespace

int GetMessage(Message* message) {
  if (message == nullptr) return -1;
  const std::shared_ptr<MessageQueue> queue = ThisThreadQueue();
  WindowBackend& backend = ActiveBackend();
  const std::thread::id self = std::this_thread::get_id();
  for (;;) {
    const std::uint64_t seen = queue->WakeCount();
    const auto owned = WindowsOfThread(self);
    const Clock::time_point next_present = PresentChangedSurfaces(owned);

    MessageQueue::Item item = queue->Take();
    switch (item.kind) {
      case MessageQueue::Kind::kRequest:
        item.request();
        continue;
      case MessageQueue::Kind::kQuit:
        *message = item.message;
        return 0;
      case MessageQueue::Kind::kPosted:
      case MessageQueue::Kind::kInput:
        // Messages left for a window that has been destroyed go with it.
        if (item.message.window != 0 && !FindWindow(item.message.window)) continue;
        *message = item.message;
        return 1;
      case MessageQueue::Kind::kNothing:
        break;
    }
    // Nothing queued and no window that could ever receive something: waiting would be forever.
    if (owned.empty()) return -1;

    backend.PumpInput();
    if (queue->WakeCount() != seen) continue;
    if (const auto paint = PendingPaint(owned)) {
      *message = *paint;
      return 1;
    }

    Clock::time_point deadline = next_present;
    const std::chrono::milliseconds poll = backend.PollInterval();
    if (poll.count() > 0) deadline = std::min(deadline, Clock::now() + poll);
    queue->WaitUntil(deadline, seen);
  }
}

void TranslateMessage(const Message& message) {
  if (message.message != kMsgKeyDown) return;
  const std::optional<std::uint8_t> character =
      CharacterForKeyDown(message.wparam, message.modifiers);
  if (!character) return;
  const std::shared_ptr<WindowRecord> record = FindWindow(message.window);
  if (!record) return;
  Message translated = message;
  translated.message = kMsgChar;
  translated.wparam = *character;
  // The character is the next message fetched, ahead of anything posted before the key.
  record->queue->PostNext(translated);
}

std::int32_t DispatchMessage(const Message& message) {
  const std::shared_ptr<WindowRecord> record = FindWindow(message.window);
  // A procedure runs only on its window's own thread.
  if (!record || record->owner != std::this_thread::get_id()) return 0;
  // The key state follows the input as it is handled; other messages leave it as it was.
  if (IsInputMessage(message.message)) ThisThreadModifiers() = message.modifiers;

  const bool paint = message.message == kMsgPaint;
  std::uint64_t invalidations_before = 0;
  if (paint) {
    std::lock_guard lock(record->mutex);
    invalidations_before = record->invalidations;
  }
  const std::int32_t result =
      record->procedure(message.window, message.message, message.wparam, message.lparam);
  if (paint) {
    // A procedure that does not paint validates nothing; the window would be asked to paint
    // again at once, forever. Its area counts as painted unless it was invalidated meanwhile.
    std::lock_guard lock(record->mutex);
    if (record->invalid && record->invalidations == invalidations_before) {
      record->invalid.reset();
      record->erase_pending = false;
    }
  }
  return result;
}

bool PostMessage(WindowHandle window, std::uint32_t message, std::uint32_t wparam,
                 std::int32_t lparam) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return false;
  Message posted;
  posted.window = window;
  posted.message = message;
  posted.wparam = wparam;
  posted.lparam = lparam;
  return record->queue->Post(posted);
}

void PostQuitMessage(std::int32_t exit_code) { ThisThreadQueue()->PostQuit(exit_code); }

std::int16_t KeyState(std::uint32_t virtual_key) {
  const KeyModifiers modifiers = ThisThreadModifiers();
  bool held = false;
  switch (virtual_key) {
    case kVkShift:
      held = modifiers.shift;
      break;
    case kVkControl:
      held = modifiers.control;
      break;
    case kVkMenu:
      held = modifiers.alt;
      break;
    default:
      break;
  }
  // A held key reads with its high bit set, as 0xFF80.
  constexpr std::int16_t kHeld = -128;
  return held ? kHeld : std::int16_t{0};
}

}  // namespace tavlo::platform
