#include "platform/message_queue.h"

#include <utility>

#include "platform/messages.h"

namespace tavlo::platform {

bool MessageQueue::Push(std::deque<Message>& to, const Message& message, bool at_front) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    if (at_front) {
      to.push_front(message);
    } else {
      to.push_back(message);
    }
    ++wake_count_;
  }
  wake_.notify_all();
  return true;
}

bool MessageQueue::Post(const Message& message) { return Push(posted_, message, false); }
bool MessageQueue::PostNext(const Message& message) { return Push(posted_, message, true); }
bool MessageQueue::PostInput(const Message& message) { return Push(input_, message, false); }

bool MessageQueue::PostRequest(std::function<void()> request) {
  {
    std::lock_guard lock(mutex_);
    if (closed_) return false;
    requests_.push_back(std::move(request));
    ++wake_count_;
  }
  wake_.notify_all();
  return true;
}

void MessageQueue::PostQuit(std::int32_t exit_code) {
  {
    std::lock_guard lock(mutex_);
    quit_pending_ = true;
    quit_code_ = exit_code;
    ++wake_count_;
  }
  wake_.notify_all();
}

void MessageQueue::Wake() {
  {
    std::lock_guard lock(mutex_);
    ++wake_count_;
  }
  wake_.notify_all();
}

MessageQueue::Item MessageQueue::Take() {
  std::lock_guard lock(mutex_);
  Item item;
  if (!requests_.empty()) {
    item.kind = Kind::kRequest;
    item.request = std::move(requests_.front());
    requests_.pop_front();
  } else if (!posted_.empty()) {
    item.kind = Kind::kPosted;
    item.message = posted_.front();
    posted_.pop_front();
  } else if (quit_pending_) {
    quit_pending_ = false;
    item.kind = Kind::kQuit;
    item.message.message = kMsgQuit;
    item.message.wparam = static_cast<std::uint32_t>(quit_code_);
  } else if (!input_.empty()) {
    item.kind = Kind::kInput;
    item.message = input_.front();
    input_.pop_front();
  }
  return item;
}

std::uint64_t MessageQueue::WakeCount() {
  std::lock_guard lock(mutex_);
  return wake_count_;
}

void MessageQueue::WaitUntil(std::chrono::steady_clock::time_point deadline, std::uint64_t seen) {
  std::unique_lock lock(mutex_);
  wake_.wait_until(lock, deadline, [&] { return wake_count_ != seen; });
}

void MessageQueue::Close() {
  std::deque<std::function<void()>> dropped;  // destroyed outside the lock
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    dropped.swap(requests_);
    posted_.clear();
    input_.clear();
    quit_pending_ = false;
    ++wake_count_;
  }
  wake_.notify_all();
}

}  // namespace tavlo::platform
