#include "support/graphics_fixture.h"

#include <thread>

#include "keyboard/keys.h"
#include "tavlo/inspect.h"

namespace tavlo::testing {

namespace {
// A code no test key makes: the character 0xB7.
constexpr std::uint8_t kMarker = 0xB7;
}  // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void UseScreen(std::int32_t width, std::int32_t height) {
  platform::headless::SetScreenSize(width, height);
  inspect::RereadScreenSize();
}

void OpenOrFail(std::int16_t driver, std::int16_t mode, std::string_view caption) {
  OpenGraphics(driver, mode, caption);
  ASSERT_TRUE(GraphicsOpen()) << "OpenGraphics left " << LastResult();
}

std::vector<std::uint8_t> CodesBeforeMarker() {
  std::vector<std::uint8_t> codes;
  if (!platform::headless::PostChar(kMarker)) {
    ADD_FAILURE() << "no window to post to";
    return codes;
  }
  for (;;) {
    if (!WaitUntil([] { return KeyWaiting(); })) {
      ADD_FAILURE() << "the marker never reached the key queue";
      return codes;
    }
    const std::uint8_t code = NextKey();
    if (code == kMarker) return codes;
    codes.push_back(code);
  }
}

void GraphicsTest::SetUp() { UseScreen(1920, 1080); }

void GraphicsTest::TearDown() {
  if (GraphicsOpen()) CloseGraphics();
  UseScreen(1920, 1080);
}

}  // namespace tavlo::testing
