// The show run for real on a thread of its own, while the test plays the person at the keyboard.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "effects/show.h"
#include "keyboard/keys.h"
#include "platform/headless/automation.h"
#include "platform/messages.h"
#include "platform/virtual_keys.h"
#include "support/graphics_fixture.h"
#include "tavlo/graphics.h"

namespace tavlo {
namespace {

namespace headless = platform::headless;

// Counts windows made and destroyed, in order, from the window threads.
std::mutex lifecycle_mutex;
std::vector<std::uint32_t> lifecycle;

std::int32_t RecordLifecycle(WindowHandle, std::uint32_t message, std::uint32_t, std::int32_t) {
  if (message == platform::kMsgCreate || message == platform::kMsgDestroy) {
    std::lock_guard lock(lifecycle_mutex);
    lifecycle.push_back(message);
  }
  return 0;
}

// How the test ends each effect.
const std::vector<std::function<bool()>> kEndings = {
    [] { return headless::PostChar('a'); },
    [] { return headless::PostKeyDown(platform::kVkF1); },  // a pair: 0, 59
    [] { return headless::PostClose(); },
    [] { return headless::PostKeyDown(platform::kVkEscape); },
    [] { return headless::PostKeyDown(platform::kVkReturn); },
    [] { return headless::PostSysKeyDown('X', {.alt = true}); },
    [] { return headless::PostChar(' '); },
};

class ShowTest : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    MouseHook = &RecordLifecycle;
    std::lock_guard lock(lifecycle_mutex);
    lifecycle.clear();
  }
  void TearDown() override {
    MouseHook = nullptr;
    GraphicsTest::TearDown();
  }
};

TEST_F(ShowTest, RunsSevenWindowsInOrderEachEndedByOneKey) {
  const std::vector<std::string> captions = {"STELUTE", "ROTOZOOM", "MODEL",     "TUNEL",
                                             "PODEA",   "PLASMA",   "SINUS WAVE"};
  ASSERT_EQ(effects::ShowOrder().size(), captions.size());
  std::future<int> show = std::async(std::launch::async, [] { return effects::RunShow(stderr); });

  platform::WindowHandle previous = 0;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const auto window = headless::WaitForWindow(testing::kPatience, captions[i]);
    ASSERT_TRUE(window.has_value()) << "no window " << captions[i];
    EXPECT_NE(window->handle, previous) << "each effect has a window of its own";
    EXPECT_EQ(window->client.Width(), 640);
    EXPECT_EQ(window->client.Height(), 480);
    EXPECT_FALSE(KeyWaiting()) << captions[i] << " starts with an empty key queue";

    if (i == 0) {
      // A modifier alone queues nothing and does not end the effect.
      ASSERT_TRUE(headless::PostKeyDown(platform::kVkShift, {.shift = true}));
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      EXPECT_EQ(headless::CurrentWindow()->handle, window->handle);
    }
    ASSERT_TRUE(kEndings[i]());
    previous = window->handle;
  }

  ASSERT_EQ(show.wait_for(testing::kPatience), std::future_status::ready);
  EXPECT_EQ(show.get(), 0);
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_FALSE(headless::CurrentWindow().has_value());

  std::lock_guard lock(lifecycle_mutex);
  ASSERT_EQ(lifecycle.size(), 14u);
  for (std::size_t i = 0; i < lifecycle.size(); ++i) {
    EXPECT_EQ(lifecycle[i], i % 2 == 0 ? platform::kMsgCreate : platform::kMsgDestroy)
        << "never two windows at once";
  }
}

TEST_F(ShowTest, EndsAtOnceWithOneLineWhenNoWindowCanBeMade) {
  headless::FailNextWindowCreation();
  std::FILE* errors = std::tmpfile();
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(effects::RunShow(errors), 1);
  std::rewind(errors);
  std::string text;
  for (int c; (c = std::fgetc(errors)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(errors);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_NE(text.find("STELUTE"), std::string::npos) << text;
  EXPECT_FALSE(GraphicsOpen());
}

}  // namespace
}  // namespace tavlo
