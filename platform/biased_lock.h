#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "platform/spin_lock.h"

namespace tavlo::platform {

// A lock for data that one thread takes millions of times a second and another only now and
// then: the library's state (every primitive on the program's thread, a paint on the window
// thread) and a window's surface (every primitive on the shown page, one present per frame).
//
// The lock leans toward one thread, the favoured one, which takes and releases it with plain
// stores and loads, no atomic read-modify-write. Any other thread goes the heavier way: it
// raises a claim, makes every thread of the process pass a full memory barrier
// (membarrier(2)), and then waits until the favoured thread is out. The barrier is what lets the
// favoured thread skip its own: either it sees the claim and steps aside, or the claimant sees
// it inside and waits. A thread that gets the lock the heavy way becomes the favoured one, unless
// it has declined the favour (the window thread does), so the bias follows the busy thread.
// Where the kernel has no membarrier, the favoured thread pays for one atomic exchange instead.
//
// Not recursive. Meets the Lockable requirements (std::lock_guard, std::lock).
class BiasedLock {
 public:
  BiasedLock() : have_barrier_(HaveProcessBarrier()) {}
  BiasedLock(const BiasedLock&) = delete;
  BiasedLock& operator=(const BiasedLock&) = delete;

  void lock() {
    if (!TryFavouredPath()) LockClaiming();
  }
  bool try_lock() { return TryFavouredPath() || TryLockClaiming(); }
  void unlock() {
    if (held_by_claimant_) {
      held_by_claimant_ = false;
      claim_.store(false, std::memory_order_release);
      claimants_.unlock();
    } else {
      inside_[static_cast<std::size_t>(ThisThread())].store(false, std::memory_order_release);
    }
  }

  // The calling thread never becomes any biased lock's favoured thread: for threads that take
  // these locks only now and then, so that they do not pull the bias away from the busy one.
  static void DeclineFavour();

 private:
  // Up to this many threads alive at once have a number of their own and may be favoured; the
  // others always claim.
  static constexpr int kNumberedThreads = 64;
  static constexpr int kNoNumber = -1;
  static constexpr int kNotAsked = -2;

  // The calling thread's number, kNoNumber for one that has none. A number is given back when
  // its thread ends and may then go to a new thread, which so inherits a dead thread's favour.
  static int ThisThread() {
    const int number = this_thread_;
    return number != kNotAsked ? number : NumberThisThread();
  }
  static int NumberThisThread();
  static inline thread_local int this_thread_ = kNotAsked;

  bool TryFavouredPath() {
    const int me = ThisThread();
    if (me < 0 || favoured_.load(std::memory_order_relaxed) != me) return false;
    // Each thread has a flag of its own: a thread that read the favour just before it moved
    // raises and lowers only its own flag, never the new favoured thread's.
    std::atomic<bool>& inside = inside_[static_cast<std::size_t>(me)];
    Enter(inside);
    // A claimant may be at work, or may have made another thread the favoured one while this
    // one was on its way in.
    if (claim_.load(std::memory_order_seq_cst) || favoured_.load(std::memory_order_relaxed) != me) {
      inside.store(false, std::memory_order_release);
      return false;
    }
    return true;
  }
  // Raises the favoured thread's flag, ordered before its next load of the claim.
  void Enter(std::atomic<bool>& inside) const {
    if (have_barrier_) {
      inside.store(true, std::memory_order_relaxed);
      // Only the compiler must keep the store before the claim's load: a claimant's
      // process-wide barrier orders them in the processor.
      std::atomic_signal_fence(std::memory_order_seq_cst);
    } else {
      inside.exchange(true, std::memory_order_seq_cst);
    }
  }
  // Registers the process for process-wide barriers once; false where the kernel has none.
  static bool HaveProcessBarrier();
  void LockClaiming();
  bool TryLockClaiming();
  // With `claimants_` held: raises the claim and waits for the favoured thread to leave, or
  // (when `wait` is false) gives up if it is inside.
  bool Claim(bool wait);

  // inside_[n] is set while thread n holds the lock as the favoured thread.
  std::array<std::atomic<bool>, kNumberedThreads> inside_{};
  // Raised by a claimant from its barrier until it unlocks.
  std::atomic<bool> claim_{false};
  // Changed only by claimants, under `claimants_`.
  std::atomic<int> favoured_{kNoNumber};
  const bool have_barrier_;
  // Serialises the claimants. The holder of the lock owns the flag below.
  SpinLock claimants_;
  bool held_by_claimant_ = false;
};

}  // namespace tavlo::platform
