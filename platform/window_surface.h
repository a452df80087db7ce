#pragma once

#include <memory>

#include "platform/biased_lock.h"
#include "platform/geometry.h"
#include "platform/surface.h"

namespace tavlo::platform {

// The 32-bit client area of a window as the person sees it. The program's thread draws into it
// through the window's device context and the window thread presents it; the mutex guards the
// pixels and the record of what changed since the last present, and is never held while any
// other lock is taken. The lock leans toward the drawing thread: the program's thread takes it
// for every primitive drawn on the shown page, the window thread once per present.
class WindowSurface {
 public:
  using Lock = BiasedLock;

  WindowSurface(int width, int height)
      : surface_(Surface::Create(width, height, 32, 0, RowOrder::kTopDown)) {}

  Lock& mutex() { return mutex_; }
  // Null when the client area is empty.
  Surface* surface() { return surface_.get(); }
  const Surface* surface() const { return surface_.get(); }

  // Callers hold the mutex.
  void MarkChanged(const Rect& rect) { changed_ = Union(changed_, rect); }
  Rect TakeChanged() {
    const Rect changed = changed_;
    changed_ = Rect{};
    return changed;
  }

 private:
  Lock mutex_;
  std::shared_ptr<Surface> surface_;
  Rect changed_;
};

}  // namespace tavlo::platform
