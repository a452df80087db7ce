#pragma once

// The library's lock: recursive, and cheap when nobody else wants it. Internal.

#include <atomic>

#include "platform/spin_lock.h"

namespace tavlo::internal {

// A recursive lock for one busy thread and one occasional one. The program's thread takes it
// around every primitive (64,000 boxes a frame); the window thread only to paint. Taking a free
// lock is one compare-and-swap and releasing it one plain store, where a mutex pays for a second
// atomic exchange: on a 3 by 3 box that is most of the cost. A thread that finds the lock taken
// backs off as the platform's spin lock does (a primitive holds it for nanoseconds, a paint for
// up to a millisecond). Meets the Lockable requirements, for std::lock_guard.
class RecursiveLock {
 public:
  RecursiveLock() = default;
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void lock() {
    if (TryLockOrEnter()) return;
    for (int round = 0;; ++round) {
      platform::BackOff(round);
      if (owner_.load(std::memory_order_relaxed) == nullptr && TryLockOrEnter()) return;
    }
  }

  bool try_lock() { return TryLockOrEnter(); }

  // Only the owner calls this, once for every lock it took.
  void unlock() {
    if (--depth_ != 0) return;
    owner_.store(nullptr, std::memory_order_release);
  }

 private:
  // The owner's own marker can only be in owner_ if the owner put it there, so a relaxed load
  // suffices to recognise re-entry; depth_ is touched only by the owner.
  bool TryLockOrEnter() {
    const void* const me = &this_thread_;
    const void* owner = owner_.load(std::memory_order_relaxed);
    if (owner == me) {
      ++depth_;
      return true;
    }
    if (owner != nullptr) return false;
    if (!owner_.compare_exchange_strong(owner, me, std::memory_order_acquire,
                                        std::memory_order_relaxed)) {
      return false;
    }
    depth_ = 1;
    return true;
  }

  // Its address tells the threads apart.
  static inline thread_local char this_thread_ = 0;

  std::atomic<const void*> owner_{nullptr};
  int depth_ = 0;
};

}  // namespace tavlo::internal
