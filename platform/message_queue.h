#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "platform/window_system.h"

namespace tavlo::platform {

// The message queue of one window thread. The owning thread takes from it; any thread may post
// to it. Everything is guarded by one mutex, and every post wakes the owner.
class MessageQueue {
 public:
  enum class Kind { kNothing, kRequest, kPosted, kQuit, kInput };
  struct Item {
    Kind kind = Kind::kNothing;
    Message message;
    std::function<void()> request;
  };

  // Each post is false once the owning thread has ended.
  bool Post(const Message& message);
  // Puts the message before everything already posted, so that it is fetched next.
  bool PostNext(const Message& message);
  bool PostInput(const Message& message);
  // Work for the owning thread to run inside its next fetch.
  bool PostRequest(std::function<void()> request);
  void PostQuit(std::int32_t exit_code);
  // Wakes a waiting owner without queueing anything (an invalidation, say).
  void Wake();

  // The next item in the order requests, posted messages, quit, input; kNothing when empty.
  Item Take();
  // A count that changes with every post and wake; pass it to WaitUntil.
  std::uint64_t WakeCount();
  // Sleeps until the wake count differs from `seen` or the deadline passes.
  void WaitUntil(std::chrono::steady_clock::time_point deadline, std::uint64_t seen);
  // The owning thread has ended: drops what is queued and refuses later posts.
  void Close();

 private:
  bool Push(std::deque<Message>& to, const Message& message, bool at_front);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> requests_;
  std::deque<Message> posted_;
  std::deque<Message> input_;
  bool quit_pending_ = false;
  std::int32_t quit_code_ = 0;
  std::uint64_t wake_count_ = 0;
  bool closed_ = false;
};

}  // namespace tavlo::platform
