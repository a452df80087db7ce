// The library's lock: mutual exclusion, re-entry, and a waiter that gets it in the end.

#include "tavlo/recursive_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>

namespace tavlo::internal {
namespace {

// Two threads adding to a plain counter under the lock lose no addition (and ThreadSanitizer
// sees no race), whether the holder re-enters or not.
TEST(RecursiveLockTest, ExcludesAnotherThreadEvenWhenReentered) {
  RecursiveLock lock;
  long counter = 0;
  constexpr int kAdds = 200000;
  auto add = [&] {
    for (int i = 0; i < kAdds; ++i) {
      std::lock_guard outer(lock);
      std::lock_guard inner(lock);
      ++counter;
    }
  };
  std::thread other(add);
  add();
  other.join();
  EXPECT_EQ(counter, 2L * kAdds);
}

TEST(RecursiveLockTest, IsFreeOnlyWhenEveryEntryHasLeft) {
  RecursiveLock lock;
  auto other_can_take = [&lock] {
    return std::async(std::launch::async,
                      [&lock] {
                        if (!lock.try_lock()) return false;
                        lock.unlock();
                        return true;
                      })
        .get();
  };
  lock.lock();
  lock.lock();
  EXPECT_TRUE(lock.try_lock());  // the owner re-enters
  lock.unlock();
  lock.unlock();
  EXPECT_FALSE(other_can_take());
  lock.unlock();
  EXPECT_TRUE(other_can_take());
}

// A waiter outlasts its spinning and yielding and still gets the lock once it is free, and not
// before.
TEST(RecursiveLockTest, AWaiterGetsTheLockAfterALongHold) {
  RecursiveLock lock;
  std::atomic<bool> released{false};
  lock.lock();
  auto waiter = std::async(std::launch::async, [&] {
    std::lock_guard guard(lock);
    return released.load();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  released = true;
  lock.unlock();
  ASSERT_EQ(waiter.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_TRUE(waiter.get());
}

}  // namespace
}  // namespace tavlo::internal
