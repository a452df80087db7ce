#pragma once

// Shared by the library's tests: a headless screen of a known size, a window opened and closed
// around each test, and waiting with a deadline so that a fault fails a test instead of hanging
// it.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/headless/automation.h"
#include "tavlo/graphics.h"

namespace tavlo::testing {

inline constexpr std::chrono::milliseconds kPatience{5000};

// Polls `done` until it holds or the patience runs out; true when it held.
bool WaitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds patience = kPatience);

// Sets the headless screen and makes the library read it again, as it does at program start.
void UseScreen(std::int32_t width, std::int32_t height);

// Opens driver and mode with a caption and expects success.
void OpenOrFail(std::int16_t driver, std::int16_t mode, std::string_view caption = "TEST");

// Reads every code the window thread queues, up to and including a marker character that is
// posted behind the input already sent; codes before the marker come back without it.
std::vector<std::uint8_t> CodesBeforeMarker();

// Closes any window a test left open and restores the default headless screen.
class GraphicsTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace tavlo::testing
