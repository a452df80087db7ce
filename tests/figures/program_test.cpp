// The figures program run for real on a thread of its own, while the test plays the person at the
// keyboard; and its end when no window can be made.

#include "figures/program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>
#include <ostream>
#include <string>

#include "keyboard/keys.h"
#include "platform/headless/automation.h"
#include "platform/virtual_keys.h"
#include "support/graphics_fixture.h"
#include "tavlo/graphics.h"

namespace tavlo::figures {
namespace {

namespace headless = platform::headless;

// True once the window shows something other than black: frames are being shown.
bool WindowShowsAFigure() {
  const auto window = headless::SnapshotWindowSurface();
  if (!window) return false;
  for (int y = 0; y < window->height(); ++y) {
    for (int x = 0; x < window->width(); ++x) {
      if (window->PixelAt(x, y) != 0) return true;
    }
  }
  return false;
}

struct EndingCase {
  const char* name;
  std::function<bool()> end;
};

void PrintTo(const EndingCase& c, std::ostream* os) { *os << c.name; }

const EndingCase kEndings[] = {
    {"letter", [] { return headless::PostChar('a'); }},
    {"escape", [] { return headless::PostKeyDown(platform::kVkEscape); }},
    {"function_key_pair", [] { return headless::PostKeyDown(platform::kVkF1); }},
    {"close_box", [] { return headless::PostClose(); }},
};

class Ending : public tavlo::testing::GraphicsTest,
               public ::testing::WithParamInterface<EndingCase> {};

TEST_P(Ending, AnimatesUntilAKeyThenClosesAndExits0) {
  std::future<int> program = std::async(std::launch::async, [] { return RunFigures(stderr); });
  const auto window = headless::WaitForWindow(tavlo::testing::kPatience, std::string(kCaption));
  ASSERT_TRUE(window.has_value()) << "no window titled " << kCaption;
  EXPECT_EQ(window->client.Width(), 640);
  EXPECT_EQ(window->client.Height(), 480);
  EXPECT_TRUE(tavlo::testing::WaitUntil(WindowShowsAFigure)) << "no frame was ever shown";
  EXPECT_EQ(program.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout)
      << "ended with no key pressed";

  ASSERT_TRUE(GetParam().end());
  ASSERT_EQ(program.wait_for(tavlo::testing::kPatience), std::future_status::ready);
  EXPECT_EQ(program.get(), 0);
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_FALSE(headless::CurrentWindow().has_value());
  EXPECT_TRUE(KeyWaiting()) << "the code that ended the loop is left in the queue";
}

INSTANTIATE_TEST_SUITE_P(Keys, Ending, ::testing::ValuesIn(kEndings),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

class Failure : public tavlo::testing::GraphicsTest {};

TEST_F(Failure, EndsAtOnceWithOneLineWhenNoWindowCanBeMade) {
  headless::FailNextWindowCreation();
  std::FILE* errors = std::tmpfile();
  ASSERT_NE(errors, nullptr);
  EXPECT_EQ(RunFigures(errors), 1);
  std::rewind(errors);
  std::string text;
  for (int c; (c = std::fgetc(errors)) != EOF;) text.push_back(static_cast<char>(c));
  std::fclose(errors);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
  EXPECT_TRUE(text.ends_with('\n')) << text;
  EXPECT_NE(text.find(kCaption), std::string::npos) << text;
  EXPECT_NE(text.find("no window"), std::string::npos) << text;
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_FALSE(headless::CurrentWindow().has_value());
}

}  // namespace
}  // namespace tavlo::figures
