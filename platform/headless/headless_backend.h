#pragma once

#include <atomic>
#include <cstdint>

// The settings of the in-memory window system, shared by its backend and its automation.
namespace tavlo::platform::headless {

struct HeadlessSettings {
  std::atomic<std::int32_t> screen_width{1920};
  std::atomic<std::int32_t> screen_height{1080};
  std::atomic<std::int32_t> frame_width{3};
  std::atomic<std::int32_t> frame_height{3};
  std::atomic<std::int32_t> caption_height{23};
  std::atomic<bool> fail_class_registration{false};
  std::atomic<bool> fail_window_creation{false};
  std::atomic<bool> fail_thread_start{false};
};

HeadlessSettings& Settings();

}  // namespace tavlo::platform::headless
