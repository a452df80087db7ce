#include "platform/window_table.h"

#include <atomic>
#include <map>
#include <utility>

namespace tavlo::platform {
namespace {

struct Table {
  std::mutex mutex;
  std::map<WindowHandle, std::shared_ptr<WindowRecord>> windows;
};

// Never destroyed: window threads may still look windows up while the process exits.
Table& TheTable() {
  static Table* const table = new Table;
  return *table;
}

constinit std::atomic<WindowHandle> last_handle{0};
constinit std::atomic<std::uint64_t> present_count{0};

// What a thread keeps of the window system. Its end removes the windows that the thread still
// owns, as a thread's windows cannot outlive it, and refuses further posts to its queue.
struct ThreadState {
  std::shared_ptr<MessageQueue> queue;
  KeyModifiers modifiers;

  ThreadState() = default;
  ThreadState(const ThreadState&) = delete;
  ThreadState& operator=(const ThreadState&) = delete;
  ~ThreadState() {
    if (!queue) return;
    RemoveWindowsOfThisThread();
    queue->Close();
  }
};

thread_local ThreadState this_thread_state;

}  // namespace

WindowHandle NewWindowHandle() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  // Handles are not reused until the 32-bit counter wraps; 0 and handles in use are skipped.
  for (;;) {
    const WindowHandle handle = last_handle.fetch_add(1) + 1;
    if (handle != 0 && !table.windows.contains(handle)) return handle;
  }
}

void InsertWindow(std::shared_ptr<WindowRecord> record) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const WindowHandle handle = record->handle;
  table.windows[handle] = std::move(record);
}

void RemoveWindow(WindowHandle handle) {
  std::shared_ptr<WindowRecord> removed;  // released outside the lock
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const auto found = table.windows.find(handle);
  if (found == table.windows.end()) return;
  removed = std::move(found->second);
  table.windows.erase(found);
}

std::shared_ptr<WindowRecord> FindWindow(WindowHandle handle) {
  if (handle == 0) return nullptr;
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  const auto found = table.windows.find(handle);
  return found == table.windows.end() ? nullptr : found->second;
}

std::vector<std::shared_ptr<WindowRecord>> AllWindows() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  std::vector<std::shared_ptr<WindowRecord>> all;
  all.reserve(table.windows.size());
  for (const auto& [handle, record] : table.windows) all.push_back(record);
  return all;
}

std::vector<std::shared_ptr<WindowRecord>> WindowsOfThread(std::thread::id owner) {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  std::vector<std::shared_ptr<WindowRecord>> owned;
  for (const auto& [handle, record] : table.windows) {
    if (record->owner == owner) owned.push_back(record);
  }
  return owned;
}

std::shared_ptr<WindowRecord> NewestWindow() {
  Table& table = TheTable();
  std::lock_guard lock(table.mutex);
  // Handles grow with creation, so the newest window has the largest one (until a wrap).
  return table.windows.empty() ? nullptr : table.windows.rbegin()->second;
}

std::shared_ptr<MessageQueue> ThisThreadQueue() {
  if (!this_thread_state.queue) this_thread_state.queue = std::make_shared<MessageQueue>();
  return this_thread_state.queue;
}

KeyModifiers& ThisThreadModifiers() { return this_thread_state.modifiers; }

bool DeliverInput(const Message& message) {
  const std::shared_ptr<WindowRecord> record = FindWindow(message.window);
  return record && record->queue->PostInput(message);
}

void RemoveWindowsOfThisThread() {
  for (const auto& record : WindowsOfThread(std::this_thread::get_id())) {
    RemoveWindow(record->handle);
    // The native window belongs to this thread, so it is released here, not by a later owner
    // of the last reference.
    record->native.reset();
  }
}

std::uint64_t PresentCount() { return present_count.load(); }
void CountPresent() { present_count.fetch_add(1); }

}  // namespace tavlo::platform
