// The biased lock: mutual exclusion between the favoured thread's plain path and claimants, the
// bias moving to a busy thread, declining the favour, and try_lock on both paths.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/biased_lock.h"

namespace tavlo::platform {
namespace {

// Plain (non-atomic) data changed under the lock: a lost update, a torn pair, or (under
// ThreadSanitizer) a data race shows that the lock does not exclude.
struct Guarded {
  long count = 0;
  long mirror = 0;  // always equal to count outside the lock
};

void AddOne(BiasedLock& lock, Guarded& data) {
  std::lock_guard guard(lock);
  EXPECT_EQ(data.count, data.mirror);
  ++data.count;
  ++data.mirror;
}

// One busy thread, which soon holds the favour, and one that comes now and then and has declined
// it: the situation the lock is made for, with the claimant's barrier racing the plain path.
TEST(BiasedLock, BusyThreadAndOccasionalClaimantExcludeEachOther) {
  BiasedLock lock;
  Guarded data;
  constexpr int kBusy = 400000;
  constexpr int kOccasional = 2000;
  std::thread busy([&] {
    for (int i = 0; i < kBusy; ++i) AddOne(lock, data);
  });
  std::thread occasional([&] {
    BiasedLock::DeclineFavour();
    for (int i = 0; i < kOccasional; ++i) {
      AddOne(lock, data);
      std::this_thread::yield();
    }
  });
  busy.join();
  occasional.join();
  EXPECT_EQ(data.count, long{kBusy} + kOccasional);
}

// Threads that all may take the favour pull it back and forth; every hand-over goes through a
// claim, and the count still adds up.
TEST(BiasedLock, FavourMovingBetweenBusyThreadsKeepsExclusion) {
  BiasedLock lock;
  Guarded data;
  constexpr int kThreads = 3;
  constexpr int kEach = 20000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kEach; ++i) AddOne(lock, data);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(data.count, long{kThreads} * kEach);
}

// try_lock fails while the other thread holds the lock, whichever path that thread took, and
// succeeds once it is free.
TEST(BiasedLock, TryLockFailsWhileHeldOnEitherPath) {
  // A thread of its own, which has not declined the favour (a test thread may have made
  // windows).
  std::thread([] {
    BiasedLock lock;
    // The first lock of this thread makes it the favoured one; the second takes the plain path.
    lock.lock();
    lock.unlock();
    lock.lock();
    bool taken = true;
    std::thread([&] {
      BiasedLock::DeclineFavour();
      taken = lock.try_lock();
    }).join();
    EXPECT_FALSE(taken);
    lock.unlock();

    std::atomic<bool> held{false};
    std::atomic<bool> release{false};
    std::thread holder([&] {
      BiasedLock::DeclineFavour();
      std::lock_guard guard(lock);  // the claimant's path: this thread declined the favour
      held = true;
      while (!release) std::this_thread::yield();
    });
    while (!held) std::this_thread::yield();
    EXPECT_FALSE(lock.try_lock());  // this thread is still the favoured one
    release = true;
    holder.join();
    ASSERT_TRUE(lock.try_lock());
    lock.unlock();
  }).join();
}

// A holder that keeps the lock a while (as a present does) is waited for, not overtaken.
TEST(BiasedLock, ClaimantWaitsForAFavouredHolder) {
  std::thread([] {
    BiasedLock lock;
    int value = 0;
    lock.lock();
    lock.unlock();
    lock.lock();  // favoured now
    std::thread waiter([&] {
      BiasedLock::DeclineFavour();
      std::lock_guard guard(lock);
      value = value * 10 + 2;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    value = 1;
    lock.unlock();
    waiter.join();
    EXPECT_EQ(value, 12);
  }).join();
}

TEST(BiasedLock, WorksWithStdLock) {
  BiasedLock first;
  BiasedLock second;
  Guarded data;
  auto both = [&] {
    for (int i = 0; i < 5000; ++i) {
      std::scoped_lock guard(first, second);
      ++data.count;
      ++data.mirror;
    }
  };
  std::thread a(both);
  std::thread b([&] {
    for (int i = 0; i < 5000; ++i) {
      std::scoped_lock guard(second, first);
      ++data.count;
      ++data.mirror;
    }
  });
  a.join();
  b.join();
  EXPECT_EQ(data.count, 10000);
}

}  // namespace
}  // namespace tavlo::platform
