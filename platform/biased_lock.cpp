#include "platform/biased_lock.h"

#include <linux/membarrier.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <vector>

namespace tavlo::platform {

namespace {

thread_local bool favour_declined = false;

long Membarrier(int command) { return syscall(__NR_membarrier, command, 0, 0); }

}  // namespace

bool BiasedLock::HaveProcessBarrier() {
  static const bool have = [] {
    const long commands = Membarrier(MEMBARRIER_CMD_QUERY);
    if (commands < 0 || (commands & MEMBARRIER_CMD_PRIVATE_EXPEDITED) == 0) return false;
    return Membarrier(MEMBARRIER_CMD_REGISTER_PRIVATE_EXPEDITED) == 0;
  }();
  return have;
}

namespace {

constexpr int kMaxNumbers = 64;

// Numbers for the threads alive, handed back when a thread ends. Never destroyed: threads may
// end after the program's static objects are gone.
struct ThreadNumbers {
  SpinLock lock;
  std::vector<int> free;
  int next = 0;
};
ThreadNumbers& Numbers() {
  static ThreadNumbers* numbers = new ThreadNumbers;
  return *numbers;
}

// Holds the calling thread's number and gives it back at the thread's end.
struct NumberHolder {
  int number;
  NumberHolder() {
    ThreadNumbers& numbers = Numbers();
    std::lock_guard guard(numbers.lock);
    if (!numbers.free.empty()) {
      number = numbers.free.back();
      numbers.free.pop_back();
    } else if (numbers.next < kMaxNumbers) {
      number = numbers.next++;
    } else {
      number = -1;
    }
  }
  ~NumberHolder() {
    if (number < 0) return;
    ThreadNumbers& numbers = Numbers();
    std::lock_guard guard(numbers.lock);
    numbers.free.push_back(number);
  }
  NumberHolder(const NumberHolder&) = delete;
  NumberHolder& operator=(const NumberHolder&) = delete;
};

}  // namespace

void BiasedLock::DeclineFavour() { favour_declined = true; }

int BiasedLock::NumberThisThread() {
  static_assert(kMaxNumbers == kNumberedThreads);
  thread_local NumberHolder holder;
  this_thread_ = holder.number;
  return holder.number;
}

bool BiasedLock::Claim(bool wait) {
  claim_.store(true, std::memory_order_seq_cst);
  // Every thread of the process passes a full memory barrier before this returns.
  if (have_barrier_) Membarrier(MEMBARRIER_CMD_PRIVATE_EXPEDITED);
  // Only the favoured thread can be inside: any other backs out when it sees the claim or the
  // favour gone.
  const int favoured = favoured_.load(std::memory_order_relaxed);
  if (favoured >= 0) {
    std::atomic<bool>& inside = inside_[static_cast<std::size_t>(favoured)];
    for (int round = 0; inside.load(std::memory_order_seq_cst); ++round) {
      if (!wait) {
        claim_.store(false, std::memory_order_release);
        return false;
      }
      BackOff(round);
    }
  }
  const int me = ThisThread();
  if (!favour_declined && me >= 0) favoured_.store(me, std::memory_order_relaxed);
  held_by_claimant_ = true;
  return true;
}

void BiasedLock::LockClaiming() {
  claimants_.lock();
  Claim(true);
}

bool BiasedLock::TryLockClaiming() {
  if (!claimants_.try_lock()) return false;
  if (Claim(false)) return true;
  claimants_.unlock();
  return false;
}

}  // namespace tavlo::platform
