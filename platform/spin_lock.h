#pragma once

#include <atomic>
#include <chrono>
#include <thread>

namespace tavlo::platform {

// How a thread waits for a lock that is taken, round after round: it spins briefly, then yields,
// then naps, so that a holder that keeps the lock for long (a present copies a whole surface)
// costs the waiter no processor.
inline void BackOff(int round) {
  constexpr int kSpinRounds = 64;
  constexpr int kYieldRounds = 64;
  constexpr std::chrono::microseconds kNap{50};
  if (round < kSpinRounds) {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#endif
  } else if (round < kSpinRounds + kYieldRounds) {
    std::this_thread::yield();
  } else {
    std::this_thread::sleep_for(kNap);
  }
}

// A lock for data that is held for nanoseconds by one busy thread and only now and then by
// another: the object table, a window's surface. Taking a free lock is one atomic exchange and
// releasing it one plain store, where a mutex pays for a second atomic operation and a call; on
// a 3 by 3 box that is most of the cost. A thread that finds it taken backs off. Not
// recursive. Meets the Lockable requirements (std::lock_guard, std::lock).
class SpinLock {
 public:
  SpinLock() = default;
  SpinLock(const SpinLock&) = delete;
  SpinLock& operator=(const SpinLock&) = delete;

  void lock() {
    if (try_lock()) return;
    for (int round = 0;; ++round) {
      BackOff(round);
      // Wait on a plain load so that waiting does not take the cache line from the holder.
      if (!locked_.load(std::memory_order_relaxed) && try_lock()) return;
    }
  }

  bool try_lock() { return !locked_.exchange(true, std::memory_order_acquire); }

  void unlock() { locked_.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> locked_{false};
};

}  // namespace tavlo::platform
