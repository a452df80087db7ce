#pragma once

// The library's lock: recursive, and cheap for the thread that takes it most. Internal.

#include <atomic>

#include "platform/biased_lock.h"

namespace tavlo::internal {

// A recursive lock for one busy thread and one occasional one. The program's thread takes it
// around every primitive (64,000 boxes a frame); the window thread only to paint. Beneath it is
// the platform's biased lock, which the busy thread takes and releases without an atomic
// read-modify-write; on a 3 by 3 box that was most of the cost. Meets the Lockable
// requirements, for std::lock_guard.
class RecursiveLock {
 public:
  RecursiveLock() = default;
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void lock() {
    if (Reenter()) return;
    lock_.lock();
    Own();
  }

  bool try_lock() {
    if (Reenter()) return true;
    if (!lock_.try_lock()) return false;
    Own();
    return true;
  }

  // Only the owner calls this, once for every lock it took.
  void unlock() {
    if (--depth_ != 0) return;
    owner_.store(nullptr, std::memory_order_relaxed);
    lock_.unlock();
  }

 private:
  // The owner's own marker can only be in owner_ if the owner put it there, so a relaxed load
  // suffices to recognise re-entry; depth_ is touched only by the owner.
  bool Reenter() {
    if (owner_.load(std::memory_order_relaxed) != &this_thread_) return false;
    ++depth_;
    return true;
  }
  void Own() {
    owner_.store(&this_thread_, std::memory_order_relaxed);
    depth_ = 1;
  }

  // Its address tells the threads apart.
  static inline thread_local char this_thread_ = 0;

  platform::BiasedLock lock_;
  std::atomic<const void*> owner_{nullptr};
  int depth_ = 0;
};

}  // namespace tavlo::internal
