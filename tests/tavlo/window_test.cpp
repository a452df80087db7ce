// Opening and closing the graphics window: the driver and mode table, the screen test, the
// result codes, the hooks, and the life of the window thread.

#include <dirent.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "platform/headless/automation.h"
#include "platform/messages.h"
#include "platform/objects.h"
#include "platform/virtual_keys.h"
#include "tavlo/graphics.h"
#include "tests/support/graphics_fixture.h"

namespace tavlo {
namespace {

namespace headless = platform::headless;
using testing::GraphicsTest;
using testing::UseScreen;
using testing::WaitUntil;

// The headless frame: 3 pixels each side and a 23-pixel caption, so a framed window is 6 wider
// and 29 higher than its client area.
constexpr std::int32_t kFrameWidth = 6;
constexpr std::int32_t kFrameHeight = 29;
constexpr std::uint32_t kFramed = 0x00C00000 | 0x00080000 | 0x00020000;
constexpr std::uint32_t kPopup = 0x80000000;

struct OpeningCase {
  const char* name;
  std::int32_t screen_width;
  std::int32_t screen_height;
  std::int16_t driver;
  std::int16_t mode;
  std::int16_t result;
  std::uint32_t style;  // for a successful opening
  std::int32_t client_width;
  std::int32_t client_height;
};

void PrintTo(const OpeningCase& c, std::ostream* os) { *os << c.name; }

// The expected window follows from the client size and the frame, independently of the code.
const OpeningCase kOpeningCases[] = {
    {"mode4_framed_centred", 1920, 1080, Driver8Bit, Mode640x480, ResultOk, kFramed, 640, 480},
    {"mode1_one_bit", 1920, 1080, Driver1Bit, Mode320x200, ResultOk, kFramed, 320, 200},
    {"mode2_four_bit", 1920, 1080, Driver4Bit, Mode640x200, ResultOk, kFramed, 640, 200},
    {"mode3", 1920, 1080, Driver8Bit, Mode640x350, ResultOk, kFramed, 640, 350},
    {"mode5", 1920, 1080, Driver8Bit, Mode720x350, ResultOk, kFramed, 720, 350},
    {"mode6", 1920, 1080, DriverDesktop, Mode800x600, ResultOk, kFramed, 800, 600},
    {"mode7", 1920, 1080, Driver8Bit, Mode1024x768, ResultOk, kFramed, 1024, 768},
    {"mode8_fits_only_frameless", 1280, 1024, Driver8Bit, Mode1280x1024, ResultOk, kPopup, 1280,
     1024},
    {"mode8_too_big", 1024, 768, Driver8Bit, Mode1280x1024, ResultBadMode, 0, 0, 0},
    {"mode4_exactly_fits_framed", 640 + kFrameWidth, 480 + kFrameHeight, Driver8Bit, Mode640x480,
     ResultOk, kFramed, 640, 480},
    {"mode4_one_short_goes_frameless", 640 + kFrameWidth - 1, 480 + kFrameHeight, Driver8Bit,
     Mode640x480, ResultOk, kPopup, 640, 480},
    {"mode11_screen_window", 1920, 1080, Driver8Bit, ModeScreenWindow, ResultOk, kFramed,
     1920 - kFrameWidth, 1080 - kFrameHeight},
    {"mode12_full_screen", 1920, 1080, Driver8Bit, ModeFullScreen, ResultOk, kPopup, 1920, 1080},
    {"mode0", 1920, 1080, Driver8Bit, 0, ResultBadMode, 0, 0, 0},
    {"mode9", 1920, 1080, Driver8Bit, 9, ResultBadMode, 0, 0, 0},
    {"mode14", 1920, 1080, Driver8Bit, 14, ResultBadMode, 0, 0, 0},
    {"mode_negative", 1920, 1080, Driver8Bit, -1, ResultBadMode, 0, 0, 0},
    {"driver5", 1920, 1080, 5, Mode640x480, ResultBadDriver, 0, 0, 0},
    {"driver_negative", 1920, 1080, -1, Mode640x480, ResultBadDriver, 0, 0, 0},
    {"bad_mode_reported_before_bad_driver", 1920, 1080, 5, 9, ResultBadMode, 0, 0, 0},
};

class OpeningTable : public GraphicsTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(OpeningTable, ResolvesWindowSizeStyleAndResult) {
  const OpeningCase& c = GetParam();
  UseScreen(c.screen_width, c.screen_height);
  std::int16_t driver = c.driver;
  std::int16_t mode = c.mode;
  OpenGraphics(driver, mode, "TABLE");
  EXPECT_EQ(LastResult(), c.result);
  EXPECT_EQ(driver, c.driver) << "a non-zero driver is never written back";
  EXPECT_EQ(mode, c.mode);
  if (c.result != ResultOk) {
    EXPECT_FALSE(GraphicsOpen());
    EXPECT_FALSE(headless::CurrentWindow().has_value()) << "no window after a refusal";
    return;
  }
  ASSERT_TRUE(GraphicsOpen());
  const auto window = headless::CurrentWindow();
  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(window->style, c.style);
  const bool framed = c.style == kFramed;
  const std::int32_t width = c.client_width + (framed ? kFrameWidth : 0);
  const std::int32_t height = c.client_height + (framed ? kFrameHeight : 0);
  EXPECT_EQ(window->width, width);
  EXPECT_EQ(window->height, height);
  EXPECT_EQ(window->x, (c.screen_width - width) / 2);
  EXPECT_EQ(window->y, (c.screen_height - height) / 2);
  EXPECT_EQ(window->client.Width(), c.client_width);
  EXPECT_EQ(window->client.Height(), c.client_height);
  EXPECT_EQ(LastColumn(), c.client_width - 1);
  EXPECT_EQ(LastRow(), c.client_height - 1);
  EXPECT_TRUE(window->visible);
  EXPECT_EQ(window->title, "TABLE");
}

INSTANTIATE_TEST_SUITE_P(DriversAndModes, OpeningTable, ::testing::ValuesIn(kOpeningCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_F(GraphicsTest, DetectDriverOpensDesktopDefaultWindowAndWritesBack) {
  std::int16_t driver = DetectDriver;
  std::int16_t mode = Mode640x480;  // replaced, whatever it was
  OpenGraphics(driver, mode, "DETECT");
  EXPECT_EQ(LastResult(), ResultOk);
  EXPECT_EQ(driver, DriverDesktop);
  EXPECT_EQ(mode, ModeDefaultWindow);
  ASSERT_TRUE(GraphicsOpen());
  const auto window = headless::CurrentWindow();
  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(window->style, kFramed);
  EXPECT_GT(window->client.Width(), 0) << "the window system chose a usable size";
}

TEST_F(GraphicsTest, DetectGraphicsGivesDesktopDriverAndDefaultWindow) {
  std::int16_t driver = 3;
  std::int16_t mode = 4;
  DetectGraphics(driver, mode);
  EXPECT_EQ(driver, 9);
  EXPECT_EQ(mode, 10);
}

struct CustomCase {
  const char* name;
  std::int32_t width;
  std::int32_t height;
  std::int16_t result;
};

void PrintTo(const CustomCase& c, std::ostream* os) { *os << c.name; }

const CustomCase kCustomCases[] = {
    {"small", 300, 200, ResultOk},
    {"one_pixel", 1, 1, ResultOk},
    {"zero_width", 0, 200, ResultBadMode},
    {"negative_height", 300, -5, ResultBadMode},
    {"larger_than_screen", 5000, 200, ResultBadMode},
    {"near_int_max", 2147483647, 2147483647, ResultBadMode},
};

class CustomModeTable : public GraphicsTest, public ::testing::WithParamInterface<CustomCase> {
 protected:
  void TearDown() override {
    CustomWidth = 0;
    CustomHeight = 0;
    GraphicsTest::TearDown();
  }
};

TEST_P(CustomModeTable, OpensOnlyAUsableClientArea) {
  const CustomCase& c = GetParam();
  CustomWidth = c.width;
  CustomHeight = c.height;
  std::int16_t driver = Driver8Bit;
  std::int16_t mode = ModeCustom;
  OpenGraphics(driver, mode, "CUSTOM");
  EXPECT_EQ(LastResult(), c.result);
  EXPECT_EQ(GraphicsOpen(), c.result == ResultOk);
  if (c.result == ResultOk) {
    EXPECT_EQ(LastColumn(), c.width - 1);
    EXPECT_EQ(LastRow(), c.height - 1);
  }
}

INSTANTIATE_TEST_SUITE_P(CustomSizes, CustomModeTable, ::testing::ValuesIn(kCustomCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

TEST_F(GraphicsTest, CaptionsBecomeTitlesAndAnEmptyOneGivesTheDefault) {
  for (const std::string caption : {"STELUTE", "ROTOZOOM", "MODEL", ""}) {
    std::int16_t driver = Driver8Bit;
    std::int16_t mode = Mode640x480;
    OpenGraphics(driver, mode, caption);
    ASSERT_TRUE(GraphicsOpen());
    EXPECT_EQ(headless::CurrentWindow()->title, caption.empty() ? "Tavlo 1.1" : caption);
    CloseGraphics();
    EXPECT_EQ(LastResult(), ResultOk);
  }
}

TEST_F(GraphicsTest, OpeningTwiceAndClosingTwiceLeaveTheirCodes) {
  testing::OpenOrFail(Driver8Bit, Mode640x480, "FIRST");
  const auto first = headless::CurrentWindow();
  std::int16_t driver = Driver1Bit;
  std::int16_t mode = Mode320x200;
  OpenGraphics(driver, mode, "SECOND");
  EXPECT_EQ(LastResult(), ResultAlreadyOpen);
  EXPECT_TRUE(GraphicsOpen());
  EXPECT_EQ(headless::CurrentWindow()->handle, first->handle) << "the open window is untouched";
  EXPECT_EQ(headless::CurrentWindow()->title, "FIRST");
  EXPECT_EQ(LastColumn(), 639);

  CloseGraphics();
  EXPECT_EQ(LastResult(), ResultOk);
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_TRUE(headless::WaitForNoWindow(testing::kPatience));
  CloseGraphics();
  EXPECT_EQ(LastResult(), ResultNotOpen);
  EXPECT_EQ(LastColumn(), 639) << "the last window's size is kept after a close";
  EXPECT_EQ(LastRow(), 479);
}

struct FailureCase {
  const char* name;
  void (*arrange)();
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

const FailureCase kFailureCases[] = {
    {"thread_start", &headless::FailNextThreadStart},
    {"class_registration", &headless::FailNextClassRegistration},
    {"window_creation", &headless::FailNextWindowCreation},
};

class OpeningFailure : public GraphicsTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OpeningFailure, LeavesNoWindowReturnsAndAllowsTheNextOpening) {
  GetParam().arrange();
  std::int16_t driver = Driver8Bit;
  std::int16_t mode = Mode640x480;
  OpenGraphics(driver, mode, "FAILS");
  EXPECT_EQ(LastResult(), ResultNoWindow);
  EXPECT_FALSE(GraphicsOpen());
  EXPECT_FALSE(headless::CurrentWindow().has_value());

  testing::OpenOrFail(Driver8Bit, Mode640x480, "WORKS");
  EXPECT_EQ(LastResult(), ResultOk);
}

INSTANTIATE_TEST_SUITE_P(Failures, OpeningFailure, ::testing::ValuesIn(kFailureCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

// Records the messages that reach a hook slot, from the window thread.
class HookRecorder {
 public:
  struct Entry {
    char slot;  // 'k' or 'm'
    std::uint32_t message;
    std::uint32_t wparam;
  };
  static std::vector<Entry> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(entries_, {});
  }
  static std::int32_t Keyboard(WindowHandle, std::uint32_t message, std::uint32_t wparam,
                               std::int32_t) {
    Record('k', message, wparam);
    return 0;
  }
  static std::int32_t Mouse(WindowHandle, std::uint32_t message, std::uint32_t wparam,
                            std::int32_t) {
    Record('m', message, wparam);
    return 0;
  }

 private:
  static void Record(char slot, std::uint32_t message, std::uint32_t wparam) {
    std::lock_guard lock(mutex_);
    entries_.push_back({slot, message, wparam});
  }
  static inline std::mutex mutex_;
  static inline std::vector<Entry> entries_;
};

bool operator==(const HookRecorder::Entry& a, const HookRecorder::Entry& b) {
  return a.slot == b.slot && a.message == b.message && a.wparam == b.wparam;
}

void PrintTo(const HookRecorder::Entry& e, std::ostream* os) {
  *os << e.slot << ":" << e.message << "/" << e.wparam;
}

class HookTest : public GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    saved_keyboard_ = KeyboardHook.load();
    KeyboardHook = &HookRecorder::Keyboard;
    MouseHook = &HookRecorder::Mouse;
    HookRecorder::Take();
  }
  void TearDown() override {
    GraphicsTest::TearDown();
    KeyboardHook = saved_keyboard_;
    MouseHook = nullptr;
  }
  WindowHook saved_keyboard_ = nullptr;
};

TEST_F(HookTest, CreateAndDestroyReachMouseThenKeyboardAcrossOpenCloseOpen) {
  using E = HookRecorder::Entry;
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  CloseGraphics();
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  const std::vector<E> expected{{'m', platform::kMsgCreate, 0},  {'k', platform::kMsgCreate, 0},
                                {'m', platform::kMsgDestroy, 0}, {'k', platform::kMsgDestroy, 0},
                                {'m', platform::kMsgCreate, 0},  {'k', platform::kMsgCreate, 0}};
  EXPECT_EQ(HookRecorder::Take(), expected);
}

TEST_F(HookTest, KeysAndCharactersReachOnlyTheKeyboardHookAsSent) {
  using E = HookRecorder::Entry;
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  HookRecorder::Take();
  ASSERT_TRUE(headless::PostKeyDown(platform::kVkHome));
  ASSERT_TRUE(headless::PostSysKeyDown(platform::kVkF10));
  ASSERT_TRUE(headless::PostChar('q'));
  const std::vector<E> expected{{'k', platform::kMsgKeyDown, platform::kVkHome},
                                {'k', platform::kMsgSysKeyDown, platform::kVkF10},
                                {'k', platform::kMsgChar, 'q'}};
  std::vector<E> seen;
  EXPECT_TRUE(WaitUntil([&] {
    for (const E& e : HookRecorder::Take()) seen.push_back(e);
    return seen.size() >= expected.size();
  }));
  EXPECT_EQ(seen, expected);
}

TEST_F(GraphicsTest, CloseBoxSetsCloseRequestedQueuesTheCloseKeyAndLeavesTheWindowOpen) {
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  EXPECT_FALSE(CloseRequested);
  ASSERT_TRUE(headless::PostClose());
  EXPECT_EQ(testing::CodesBeforeMarker(), (std::vector<std::uint8_t>{0, 107}));
  EXPECT_TRUE(CloseRequested);
  EXPECT_TRUE(GraphicsOpen());
  EXPECT_TRUE(headless::CurrentWindow().has_value());

  CloseGraphics();
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  EXPECT_FALSE(CloseRequested) << "a successful opening clears the request";
}

TEST_F(GraphicsTest, AltF4IsAKeyNotAClose) {
  testing::OpenOrFail(Driver8Bit, Mode640x480);
  ASSERT_TRUE(headless::PostSysKeyDown(platform::kVkMenu, {.alt = true}));
  ASSERT_TRUE(headless::PostSysKeyDown(platform::kVkF1 + 3, {.alt = true}));
  EXPECT_EQ(testing::CodesBeforeMarker(), (std::vector<std::uint8_t>{0, 107}));
  EXPECT_FALSE(CloseRequested);
  EXPECT_TRUE(GraphicsOpen());
  EXPECT_TRUE(headless::CurrentWindow().has_value());
}

std::size_t EntriesIn(const char* directory) {
  std::size_t count = 0;
  if (DIR* dir = opendir(directory)) {
    while (readdir(dir) != nullptr) ++count;
    closedir(dir);
  }
  return count;
}

TEST_F(GraphicsTest, TwoHundredOpeningsLeaveNoThreadDescriptorOrObjectBehind) {
  testing::OpenOrFail(Driver8Bit, Mode640x480);  // the first opening may make lasting things
  CloseGraphics();
  const std::size_t threads = EntriesIn("/proc/self/task");
  const std::size_t descriptors = EntriesIn("/proc/self/fd");
  const std::size_t objects = platform::LiveObjectCount();
  for (int i = 0; i < 200; ++i) {
    std::int16_t driver = static_cast<std::int16_t>(i % 2 == 0 ? Driver8Bit : Driver1Bit);
    std::int16_t mode = Mode320x200;
    OpenGraphics(driver, mode, "CYCLE");
    ASSERT_TRUE(GraphicsOpen()) << "opening " << i << " left " << LastResult();
    CloseGraphics();
    ASSERT_EQ(LastResult(), ResultOk);
  }
  EXPECT_EQ(EntriesIn("/proc/self/task"), threads);
  EXPECT_EQ(EntriesIn("/proc/self/fd"), descriptors);
  EXPECT_EQ(platform::LiveObjectCount(), objects);
}

std::int32_t ReportDestroy(WindowHandle, std::uint32_t message, std::uint32_t, std::int32_t) {
  if (message == platform::kMsgDestroy) {
    std::fputs("window destroyed\n", stderr);
    std::fflush(stderr);
  }
  return 0;
}

TEST(GraphicsEndTest, AWindowStillOpenAtProgramEndIsClosed) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        MouseHook = &ReportDestroy;
        std::int16_t driver = Driver8Bit;
        std::int16_t mode = Mode640x480;
        OpenGraphics(driver, mode, "LEFT OPEN");
        if (!GraphicsOpen()) std::_Exit(3);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "window destroyed");
}

}  // namespace
}  // namespace tavlo
