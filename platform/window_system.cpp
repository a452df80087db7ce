// Window classes, the life of a window, painting and showing.
#include "platform/window_system.h"


#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <map>
#include <new>
#include <utility>
#include <vector>

#include "platform/backend.h"
#include "platform/biased_lock.h"
#include "platform/messages.h"
#include "platform/window_table.h"

namespace tavlo::platform {
namespace {

// No side of a window exceeds this, as a window manager would refuse larger ones; it keeps the
// client surface of any request within memory.
constexpr std::int64_t kMaxWindowExtent = 8192;

struct ClassRegistry {
  std::mutex mutex;
  std::map<std::string, WindowClass, std::less<>> classes;
};

// Never destroyed: window threads may register and unregister while the process exits.
ClassRegistry& TheRegistry() {
  static ClassRegistry* const registry = new ClassRegistry;
  return *registry;
}

std::optional<WindowClass> FindClass(std::string_view name) {
  ClassRegistry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.classes.find(name);
  if (found == registry.classes.end()) return std::nullopt;
  return found->second;
}

std::int32_t ClampExtent(std::int64_t extent) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(extent, 0, kMaxWindowExtent));
}

std::int32_t ClampCoordinate(std::int64_t coordinate) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(coordinate, std::numeric_limits<std::int32_t>::min() + 1,
                               std::numeric_limits<std::int32_t>::max()));
}

bool OwnedByThisThread(const WindowRecord& record) {
  return record.owner == std::this_thread::get_id();
}

// Fills the whole client surface with one colour, as erasing with a solid brush does.
void FillClient(WindowSurface& window_surface, DeviceColor color) {
  std::lock_guard lock(window_surface.mutex());
  Surface* const surface = window_surface.surface();
  if (surface == nullptr) return;
  const std::uint32_t word = PixelWordOf(color);
  std::vector<std::uint32_t> row(static_cast<std::size_t>(surface->width()), word);
  for (int y = 0; y < surface->height(); ++y) {
    std::memcpy(surface->Row(y), row.data(), row.size() * sizeof(word));
  }
  window_surface.MarkChanged(surface->bounds());
}

// A one-shot signal that a request run on another thread has been done.
class Completion {
 public:
  void Finish() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_signal_.notify_all();
  }
  bool WaitFor(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return done_signal_.wait_for(lock, timeout, [&] { return done_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_signal_;
  bool done_ = false;
};

// Runs `work` on the window's owning thread inside its message fetch and waits for it. Returns
// early when the window goes away or its thread can no longer take requests, so that a caller
// never waits on a window that will not answer.
void RunOnOwningThread(WindowHandle window, std::function<void()> work) {
  std::shared_ptr<MessageQueue> queue;
  if (const auto record = FindWindow(window)) queue = record->queue;
  if (!queue) return;
  auto done = std::make_shared<Completion>();
  const bool posted = queue->PostRequest([window, work = std::move(work), done] {
    if (FindWindow(window)) work();
    done->Finish();
  });
  if (!posted) return;
  constexpr std::chrono::milliseconds kRecheck{10};
  while (!done->WaitFor(kRecheck)) {
    if (!FindWindow(window)) return;
  }
}

}  // namespace

bool RegisterWindowClass(const WindowClass& window_class) {
  if (window_class.name.empty() || window_class.procedure == nullptr) return false;
  if (ActiveBackend().TakeClassRegistrationFailure()) return false;
  ClassRegistry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  return registry.classes.emplace(window_class.name, window_class).second;
}

bool UnregisterWindowClass(std::string_view name) {
  ClassRegistry& registry = TheRegistry();
  std::lock_guard lock(registry.mutex);
  const auto found = registry.classes.find(name);
  if (found == registry.classes.end()) return false;
  registry.classes.erase(found);
  return true;
}

WindowHandle CreateWindow(std::string_view class_name, std::string_view title, std::uint32_t style,
                          std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  WindowBackend& backend = ActiveBackend();
  const std::optional<WindowClass> window_class = FindClass(class_name);
  if (!window_class) return 0;
  // This thread will run the window's messages, taking the drawing locks only to paint and to
  // present: it leaves their bias to the thread that draws.
  BiasedLock::DeclineFavour();

  const ScreenSize screen = backend.Screen();
  const FrameMetrics frame = backend.Frame();
  const bool popup = (style & kStylePopup) != 0;

  auto record = std::make_shared<WindowRecord>();
  record->handle = NewWindowHandle();
  record->owner = std::this_thread::get_id();
  record->queue = ThisThreadQueue();
  record->procedure = window_class->procedure;
  record->background = window_class->background;
  record->title = std::string(title);
  record->style = style;

  // A size left to the window system is three quarters of the screen; a place left to it
  // centres the window.
  const bool default_size = width == kUseDefault || height == kUseDefault;
  record->width = ClampExtent(default_size ? std::int64_t{screen.width} * 3 / 4 : width);
  record->height = ClampExtent(default_size ? std::int64_t{screen.height} * 3 / 4 : height);
  const bool default_position = x == kUseDefault || y == kUseDefault;
  record->x = default_position ? (screen.width - record->width) / 2 : x;
  record->y = default_position ? (screen.height - record->height) / 2 : y;

  const std::int64_t border_x = popup ? 0 : frame.frame_width;
  const std::int64_t border_top =
      popup ? 0 : std::int64_t{frame.frame_height} + frame.caption_height;
  const std::int64_t border_bottom = popup ? 0 : frame.frame_height;
  const std::int32_t client_width = ClampExtent(record->width - 2 * border_x);
  const std::int32_t client_height = ClampExtent(record->height - border_top - border_bottom);
  record->client = Rect{0, 0, client_width, client_height};

  try {
    record->surface = std::make_shared<WindowSurface>(client_width, client_height);
  } catch (const std::bad_alloc&) {
    return 0;
  }
  if (client_width > 0 && client_height > 0 && record->surface->surface() == nullptr) return 0;
  record->device_context = DeviceContext::CreateForWindow(record->surface);
  if (!record->device_context) return 0;

  NativeWindowRequest request;
  request.handle = record->handle;
  request.title = record->title;
  request.popup = popup;
  request.default_position = default_position;
  request.client_x = ClampCoordinate(std::int64_t{record->x} + border_x);
  request.client_y = ClampCoordinate(std::int64_t{record->y} + border_top);
  request.client_width = client_width;
  request.client_height = client_height;
  record->native = backend.CreateNativeWindow(request);
  if (!record->native) return 0;

  // The window is in the table before its procedure hears of it, so that the procedure can
  // already ask for its client area and device context.
  const WindowHandle handle = record->handle;
  InsertWindow(record);
  if (record->procedure(handle, kMsgCreate, 0, 0) == -1) {
    // The procedure never saw a finished creation, so it gets no destruction message.
    RemoveWindow(handle);
    record->native.reset();
    return 0;
  }
  // A procedure may also have destroyed the window while it was being created.
  return record->destroying ? 0 : handle;
}

bool DestroyWindow(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record || !OwnedByThisThread(*record) || record->destroying) return false;
  // A procedure that destroys its window again while hearing of the destruction is refused.
  record->destroying = true;
  record->procedure(window, kMsgDestroy, 0, 0);
  RemoveWindow(window);
  record->native.reset();
  return true;
}

std::int32_t DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                    std::uint32_t /*wparam*/, std::int32_t /*lparam*/) {
  switch (message) {
    case kMsgEraseBackground: {
      const std::shared_ptr<WindowRecord> record = FindWindow(window);
      if (!record) return 0;
      FillClient(*record->surface, record->background);
      return 1;
    }
    case kMsgPaint:
      // Validates the area, so that an unpainted window does not ask again and again.
      BeginPaint(window);
      EndPaint(window);
      return 0;
    default:
      return 0;
  }
}

Rect ClientRect(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  return record ? record->client : Rect{};
}

DeviceContext* WindowDeviceContext(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  return record ? record->device_context.get() : nullptr;
}

bool InvalidateWindow(WindowHandle window, bool erase) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return false;
  // An empty client area has nothing to paint.
  if (record->client.Empty()) return true;
  {
    std::lock_guard lock(record->mutex);
    record->invalid = record->client;
    record->erase_pending = record->erase_pending || erase;
    ++record->invalidations;
  }
  record->queue->Wake();
  return true;
}

std::optional<Rect> UpdateRect(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return std::nullopt;
  std::lock_guard lock(record->mutex);
  return record->invalid;
}

Rect BeginPaint(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record || !OwnedByThisThread(*record)) return Rect{};
  Rect area;
  bool erase = false;
  {
    // Validated before the erase message, so that an invalidation arriving meanwhile from
    // another thread is kept for the next paint.
    std::lock_guard lock(record->mutex);
    area = record->invalid.value_or(Rect{});
    erase = record->erase_pending;
    record->invalid.reset();
    record->erase_pending = false;
  }
  if (erase) record->procedure(window, kMsgEraseBackground, 0, 0);
  return area;
}

void EndPaint(WindowHandle /*window*/) {
  // Painting draws straight onto the client surface, so there is nothing to hand back.
}

void ShowWindow(WindowHandle window, ShowCommand command) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return;
  if (!OwnedByThisThread(*record)) {
    RunOnOwningThread(window, [window, command] { ShowWindow(window, command); });
    return;
  }
  const bool show = command != ShowCommand::kHide;
  bool was_visible = false;
  {
    std::lock_guard lock(record->mutex);
    was_visible = record->visible;
    record->visible = show;
    if (!show) record->foreground = false;
  }
  if (record->native) record->native->SetVisible(show);
  // A window coming into view has nothing on the screen yet: it is painted from scratch.
  if (show && !was_visible) InvalidateWindow(window, true);
}

void BringToFront(WindowHandle window) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return;
  if (!OwnedByThisThread(*record)) {
    RunOnOwningThread(window, [window] { BringToFront(window); });
    return;
  }
  for (const auto& other : AllWindows()) {
    std::lock_guard lock(other->mutex);
    other->foreground = other->handle == window && other->visible;
  }
  if (record->native) record->native->Raise();
}

void RequestShow(WindowHandle window, ShowCommand command) {
  const std::shared_ptr<WindowRecord> record = FindWindow(window);
  if (!record) return;
  auto show = [window, command] {
    ShowWindow(window, command);
    BringToFront(window);
  };
  if (OwnedByThisThread(*record)) {
    show();
  } else {
    RunOnOwningThread(window, show);
  }
}

}  // namespace tavlo::platform
