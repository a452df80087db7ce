// The in-memory window system: windows without a screen, whose input comes from the automation.
#include "platform/headless/headless_backend.h"

#include <memory>
#include <mutex>

#include "platform/backend.h"

namespace tavlo::platform {
namespace headless {

HeadlessSettings& Settings() {
  static constinit HeadlessSettings settings;
  return settings;
}

namespace {

// A window in memory: presenting only takes note that something changed.
class HeadlessWindow final : public NativeWindow {
 public:
  void SetVisible(bool /*visible*/) override {}
  void Raise() override {}
  bool Present(WindowSurface& surface) override {
    std::lock_guard lock(surface.mutex());
    return !surface.TakeChanged().Empty();
  }
  std::chrono::nanoseconds FramePeriod() const override {
    return std::chrono::nanoseconds(1'000'000'000 / 60);
  }
};

class Headless final : public WindowBackend {
 public:
  std::unique_ptr<NativeWindow> CreateNativeWindow(
      const NativeWindowRequest& /*request*/) override {
    if (Settings().fail_window_creation.exchange(false)) return nullptr;
    return std::make_unique<HeadlessWindow>();
  }
  // The automation queues input directly; there is nothing to fetch.
  void PumpInput() override {}
  std::chrono::milliseconds PollInterval() const override { return {}; }
  ScreenSize Screen() override {
    return ScreenSize{Settings().screen_width.load(), Settings().screen_height.load()};
  }
  FrameMetrics Frame() override {
    return FrameMetrics{Settings().frame_width.load(), Settings().frame_height.load(),
                        Settings().caption_height.load()};
  }
  bool TakeClassRegistrationFailure() override {
    return Settings().fail_class_registration.exchange(false);
  }
  bool TakeThreadStartFailure() override { return Settings().fail_thread_start.exchange(false); }
};

}  // namespace
}  // namespace headless

WindowBackend& HeadlessBackend() {
  // Never destroyed: window threads may still use it while the process exits.
  static headless::Headless* const backend = new headless::Headless;
  return *backend;
}

}  // namespace tavlo::platform
