// The window system on the in-memory backend: the life of a window, the message queue, key
// translation, painting, showing from another thread, and the automation that tests drive it by.

#include "platform/window_system.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/headless/automation.h"
#include "platform/messages.h"
#include "platform/virtual_keys.h"
#include "tests/platform/window_test_support.h"

namespace tavlo::platform::test {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kFramedStyle = kStyleCaption | kStyleSystemMenu | kStyleMinimizeBox;
// With the default frame metrics (3, 3 and a caption of 23) this is a 640 by 480 client area.
constexpr std::int32_t kFramedWidth = 640 + 2 * 3;
constexpr std::int32_t kFramedHeight = 480 + 2 * 3 + 23;

WindowHandle MakeWindow(std::string_view title = "Test") {
  return CreateWindow(RecordingWindowClass::kName, title, kFramedStyle, 10, 20, kFramedWidth,
                      kFramedHeight);
}

// Polls until `done` holds; false after the timeout.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 5s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// A window made on a thread of its own that runs the message loop until the window is
// destroyed, as the graphics library's window thread does.
class WindowThread {
 public:
  WindowThread() {
    std::promise<WindowHandle> made;
    handle_future_ = made.get_future();
    thread_ = std::thread([this, made = std::move(made)]() mutable {
      made.set_value(MakeWindow());
      Message last;
      loop_result_ = RunMessageLoop(&last);
      last_message_ = last;
    });
    handle_ = handle_future_.get();
  }
  ~WindowThread() {
    if (thread_.joinable()) {
      headless::PostClose();
      thread_.join();
    }
  }
  WindowThread(const WindowThread&) = delete;
  WindowThread& operator=(const WindowThread&) = delete;

  WindowHandle handle() const { return handle_; }
  // Closes the window through its close message and waits for the thread; the loop's result.
  int Close() {
    headless::PostClose();
    thread_.join();
    return loop_result_;
  }
  const Message& last_message() const { return last_message_; }

 private:
  std::future<WindowHandle> handle_future_;
  WindowHandle handle_ = 0;
  std::thread thread_;
  int loop_result_ = 99;
  Message last_message_;
};

class WindowSystemTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_TRUE(headless::WaitForNoWindow(5s)) << "a test left a window behind";
    headless::SetScreenSize(1920, 1080);
    headless::SetFrameMetrics(3, 3, 23);
  }

  RecordingWindowClass window_class_;
};

TEST(BackendTest, HeadlessIsFixedForTheProcess) {
  EXPECT_EQ(CurrentBackend(), Backend::kHeadless);
  EXPECT_FALSE(ChooseBackend(Backend::kSdl));
  EXPECT_TRUE(ChooseBackend(Backend::kHeadless));
  EXPECT_EQ(CurrentBackend(), Backend::kHeadless);
}

TEST_F(WindowSystemTest, CreationAndDestructionMessagesComeInOrder) {
  const WindowHandle window = MakeWindow("Order");
  ASSERT_NE(window, 0u);
  // The creation message has been handled before CreateWindow returns, with the client area
  // already known.
  ASSERT_EQ(window_class_.MessageNumbers(), std::vector<std::uint32_t>{kMsgCreate});
  EXPECT_EQ(window_class_.Messages()[0].window, window);
  EXPECT_EQ(window_class_.Messages()[0].client, (Rect{0, 0, 640, 480}));
  ASSERT_NE(WindowDeviceContext(window), nullptr);
  ASSERT_NE(WindowDeviceContext(window)->surface(), nullptr);
  EXPECT_EQ(WindowDeviceContext(window)->surface()->width(), 640);
  EXPECT_EQ(WindowDeviceContext(window)->surface()->height(), 480);

  const auto info = headless::CurrentWindow();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->handle, window);
  EXPECT_EQ(info->title, "Order");
  EXPECT_EQ(info->style, kFramedStyle);
  EXPECT_EQ(info->x, 10);
  EXPECT_EQ(info->y, 20);
  EXPECT_EQ(info->width, kFramedWidth);
  EXPECT_EQ(info->height, kFramedHeight);
  EXPECT_FALSE(info->visible);  // hidden until shown
  EXPECT_FALSE(UpdateRect(window));

  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(window_class_.MessageNumbers(), (std::vector<std::uint32_t>{kMsgCreate, kMsgDestroy}));
  // The window still exists while it hears of its destruction.
  EXPECT_EQ(window_class_.Messages()[1].client, (Rect{0, 0, 640, 480}));

  EXPECT_EQ(ClientRect(window), Rect{});
  EXPECT_EQ(WindowDeviceContext(window), nullptr);
  EXPECT_FALSE(PostMessage(window, kMsgUser, 0, 0));
  EXPECT_FALSE(InvalidateWindow(window, true));
  EXPECT_FALSE(DestroyWindow(window));
  EXPECT_FALSE(headless::CurrentWindow());

  // The destruction posted the quit message; after it the thread has nothing to wait for.
  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
  EXPECT_EQ(message.message, kMsgQuit);
  EXPECT_EQ(message.wparam, static_cast<std::uint32_t>(RecordingWindowClass::kQuitCode));
  EXPECT_EQ(GetMessage(&message), -1);
}

struct ClientAreaCase {
  std::string name;
  std::uint32_t style;
  std::int32_t width;
  std::int32_t height;
  std::int32_t frame_width;
  std::int32_t frame_height;
  std::int32_t caption_height;
  Rect client;
};

void PrintTo(const ClientAreaCase& c, std::ostream* os) { *os << c.name; }

class ClientAreaTest : public WindowSystemTest,
                       public ::testing::WithParamInterface<ClientAreaCase> {};

TEST_P(ClientAreaTest, IsTheWindowLessItsFrame) {
  const ClientAreaCase& c = GetParam();
  headless::SetFrameMetrics(c.frame_width, c.frame_height, c.caption_height);
  const WindowHandle window =
      CreateWindow(RecordingWindowClass::kName, "Client", c.style, 0, 0, c.width, c.height);
  ASSERT_NE(window, 0u);
  EXPECT_EQ(ClientRect(window), c.client);
  const Surface* const surface = WindowDeviceContext(window)->surface();
  if (c.client.Empty()) {
    EXPECT_EQ(surface, nullptr);
  } else {
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->width(), c.client.right);
    EXPECT_EQ(surface->height(), c.client.bottom);
  }
  // An empty client area has nothing to paint, and its window is still shown and destroyed.
  ShowWindow(window, ShowCommand::kShowNormal);
  if (c.client.Empty()) {
    EXPECT_FALSE(UpdateRect(window));
  }
  EXPECT_TRUE(DestroyWindow(window));
  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ClientAreaTest,
    ::testing::Values(
        ClientAreaCase{"Framed640x480", kFramedStyle, 646, 509, 3, 3, 23, Rect{0, 0, 640, 480}},
        ClientAreaCase{"Popup640x480", kStylePopup, 640, 480, 3, 3, 23, Rect{0, 0, 640, 480}},
        ClientAreaCase{"OtherMetrics", kFramedStyle, 100, 100, 4, 5, 20, Rect{0, 0, 92, 70}},
        ClientAreaCase{"SmallerThanFrame", kFramedStyle, 4, 20, 3, 3, 23, Rect{}},
        ClientAreaCase{"NegativeSize", kStylePopup, -5, -7, 3, 3, 23, Rect{}},
        ClientAreaCase{"ZeroSize", kStylePopup, 0, 0, 3, 3, 23, Rect{}}),
    [](const auto& test_case) { return test_case.param.name; });

TEST_F(WindowSystemTest, AHugeRequestGetsABoundedClientArea) {
  const WindowHandle window = CreateWindow(RecordingWindowClass::kName, "Huge", kStylePopup,
                                           INT32_MIN + 1, INT32_MAX, INT32_MAX, 100);
  if (window == 0) return;  // refusing is sound too; what matters is no crash
  const Rect client = ClientRect(window);
  EXPECT_GT(client.Width(), 0);
  EXPECT_LE(std::int64_t{client.Width()} * client.Height() * 4, std::int64_t{1} << 30);
  EXPECT_TRUE(DestroyWindow(window));
  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
}

TEST_F(WindowSystemTest, ASizeAndPlaceLeftToTheSystemFitTheScreen) {
  headless::SetScreenSize(1280, 1024);
  const WindowHandle window = CreateWindow(RecordingWindowClass::kName, "Default", kFramedStyle,
                                           kUseDefault, kUseDefault, kUseDefault, kUseDefault);
  ASSERT_NE(window, 0u);
  const auto info = headless::CurrentWindow();
  ASSERT_TRUE(info);
  EXPECT_GT(info->client.Width(), 0);
  EXPECT_GT(info->client.Height(), 0);
  EXPECT_GE(info->x, 0);
  EXPECT_GE(info->y, 0);
  EXPECT_LE(info->x + info->width, 1280);
  EXPECT_LE(info->y + info->height, 1024);
  EXPECT_TRUE(DestroyWindow(window));
  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
}

TEST_F(WindowSystemTest, AProcedureRefusingCreationLeavesNoWindow) {
  window_class_.fail_creation = true;
  EXPECT_EQ(MakeWindow(), 0u);
  EXPECT_FALSE(headless::CurrentWindow());
  // It never had a window, so it hears of no destruction.
  EXPECT_EQ(window_class_.MessageNumbers(), std::vector<std::uint32_t>{kMsgCreate});
  Message message;
  EXPECT_EQ(GetMessage(&message), -1);
}

TEST_F(WindowSystemTest, FailuresAreReportedAndTheSwitchesActOnce) {
  EXPECT_EQ(CreateWindow("NoSuchClass", "x", kFramedStyle, 0, 0, 100, 100), 0u);

  WindowClass duplicate;
  duplicate.name = RecordingWindowClass::kName;
  duplicate.procedure = &DefaultWindowProcedure;
  EXPECT_FALSE(RegisterWindowClass(duplicate));
  EXPECT_FALSE(RegisterWindowClass(WindowClass{}));  // no name, no procedure
  EXPECT_FALSE(UnregisterWindowClass("NoSuchClass"));

  WindowClass other;
  other.name = "OtherTestClass";
  other.procedure = &DefaultWindowProcedure;
  headless::FailNextClassRegistration();
  EXPECT_FALSE(RegisterWindowClass(other));
  EXPECT_TRUE(RegisterWindowClass(other));
  EXPECT_TRUE(UnregisterWindowClass("OtherTestClass"));

  headless::FailNextWindowCreation();
  EXPECT_EQ(MakeWindow(), 0u);
  EXPECT_TRUE(window_class_.Messages().empty());  // the procedure never heard of it
  const WindowHandle window = MakeWindow();
  EXPECT_NE(window, 0u);
  EXPECT_TRUE(DestroyWindow(window));

  headless::FailNextThreadStart();
  bool ran = false;
  EXPECT_FALSE(StartThread([&] { ran = true; }));
  auto thread = StartThread([&] { ran = true; });
  ASSERT_TRUE(thread);
  thread->join();
  EXPECT_TRUE(ran);
  EXPECT_FALSE(StartThread(nullptr));

  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
}

TEST_F(WindowSystemTest, AThreadWithoutWindowsDoesNotWait) {
  std::thread([] {
    Message message;
    EXPECT_EQ(GetMessage(&message), -1);
    EXPECT_EQ(GetMessage(nullptr), -1);
    // A quit message is still delivered, once.
    PostQuitMessage(3);
    EXPECT_EQ(GetMessage(&message), 0);
    EXPECT_EQ(message.message, kMsgQuit);
    EXPECT_EQ(message.wparam, 3u);
    EXPECT_EQ(GetMessage(&message), -1);
  }).join();
}

TEST_F(WindowSystemTest, QuitComesOncePostedMessagesAreFetched) {
  const WindowHandle window = MakeWindow();
  ASSERT_TRUE(PostMessage(window, kMsgUser, 1, -2));
  PostQuitMessage(5);
  ASSERT_TRUE(PostMessage(window, kMsgUser + 1, 3, 4));

  Message message;
  ASSERT_EQ(GetMessage(&message), 1);
  EXPECT_EQ(message.window, window);
  EXPECT_EQ(message.message, kMsgUser);
  EXPECT_EQ(message.wparam, 1u);
  EXPECT_EQ(message.lparam, -2);
  ASSERT_EQ(GetMessage(&message), 1);
  EXPECT_EQ(message.message, kMsgUser + 1);
  ASSERT_EQ(GetMessage(&message), 0);
  EXPECT_EQ(message.wparam, 5u);

  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(GetMessage(&message), 0);
}

TEST_F(WindowSystemTest, MessagesLeftForADestroyedWindowAreDropped) {
  const WindowHandle window = MakeWindow();
  ASSERT_TRUE(PostMessage(window, kMsgUser, 0, 0));
  ASSERT_TRUE(headless::PostChar('x'));
  ASSERT_TRUE(DestroyWindow(window));
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_EQ(window_class_.MessageNumbers(), (std::vector<std::uint32_t>{kMsgCreate, kMsgDestroy}));
}

TEST_F(WindowSystemTest, MessagesPostedFromAnotherThreadReachTheWindowThread) {
  WindowThread window_thread;
  std::thread poster([&] {
    for (std::uint32_t i = 0; i < 100; ++i) {
      EXPECT_TRUE(PostMessage(window_thread.handle(), kMsgUser, i, 0));
    }
  });
  poster.join();
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgUser).size() == 100; }));
  const auto posted = window_class_.MessagesOf(kMsgUser);
  for (std::uint32_t i = 0; i < posted.size(); ++i) EXPECT_EQ(posted[i].wparam, i);

  EXPECT_EQ(window_thread.Close(), 0);
  EXPECT_EQ(window_thread.last_message().wparam,
            static_cast<std::uint32_t>(RecordingWindowClass::kQuitCode));
}

TEST_F(WindowSystemTest, OnlyTheOwningThreadDestroysOrDispatches) {
  const WindowHandle window = MakeWindow();
  std::thread([window] {
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(DispatchMessage(Message{window, kMsgUser, 0, 0, {}}), 0);
    EXPECT_EQ(BeginPaint(window), Rect{});
  }).join();
  EXPECT_EQ(window_class_.MessageNumbers(), std::vector<std::uint32_t>{kMsgCreate});
  EXPECT_TRUE(DestroyWindow(window));
  Message message;
  EXPECT_EQ(GetMessage(&message), 0);
}

TEST_F(WindowSystemTest, AWindowGoesWithItsThread) {
  std::thread([] { EXPECT_NE(MakeWindow(), 0u); }).join();
  EXPECT_FALSE(headless::CurrentWindow());
}

struct TranslationCase {
  std::string name;
  bool system;  // posted as a system key-down
  std::uint32_t virtual_key;
  KeyModifiers modifiers;
  std::optional<std::uint8_t> character;
};

void PrintTo(const TranslationCase& c, std::ostream* os) { *os << c.name; }

class TranslationTest : public WindowSystemTest,
                        public ::testing::WithParamInterface<TranslationCase> {};

TEST_P(TranslationTest, KeyDownMakesItsCharacter) {
  const TranslationCase& c = GetParam();
  const WindowHandle window = MakeWindow();
  ASSERT_NE(window, 0u);
  if (c.system) {
    ASSERT_TRUE(headless::PostSysKeyDown(c.virtual_key, c.modifiers));
  } else {
    ASSERT_TRUE(headless::PostKeyDown(c.virtual_key, c.modifiers));
  }
  ASSERT_TRUE(headless::PostClose());
  EXPECT_EQ(RunMessageLoop(), 0);

  const std::uint32_t key_message = c.system ? kMsgSysKeyDown : kMsgKeyDown;
  std::vector<std::uint32_t> expected{kMsgCreate, key_message};
  if (c.character) expected.push_back(kMsgChar);
  expected.insert(expected.end(), {kMsgClose, kMsgDestroy});
  ASSERT_EQ(window_class_.MessageNumbers(), expected);

  const Received key = window_class_.Messages()[1];
  EXPECT_EQ(key.wparam, c.virtual_key);
  if (c.character) {
    const Received character = window_class_.Messages()[2];
    EXPECT_EQ(character.window, window);
    EXPECT_EQ(character.wparam, *c.character);
    // The character carries the key's modifiers.
    EXPECT_EQ(character.shift_held, c.modifiers.shift);
    EXPECT_EQ(character.control_held, c.modifiers.control);
    EXPECT_EQ(character.alt_held, c.modifiers.alt);
  }
}

constexpr KeyModifiers kNone{};
constexpr KeyModifiers kShift{true, false, false};
constexpr KeyModifiers kControl{false, true, false};
constexpr KeyModifiers kAlt{false, false, true};
constexpr KeyModifiers kControlShift{true, true, false};
constexpr KeyModifiers kControlAlt{false, true, true};

INSTANTIATE_TEST_SUITE_P(
    Keys, TranslationTest,
    ::testing::Values(TranslationCase{"Enter", false, kVkReturn, kNone, 13},
                      TranslationCase{"Escape", false, kVkEscape, kNone, 27},
                      TranslationCase{"Backspace", false, kVkBack, kNone, 8},
                      TranslationCase{"Tab", false, kVkTab, kNone, 9},
                      TranslationCase{"ShiftTab", false, kVkTab, kShift, 9},
                      TranslationCase{"ControlTab", false, kVkTab, kControl, std::nullopt},
                      TranslationCase{"ShiftEnter", false, kVkReturn, kShift, 13},
                      TranslationCase{"ControlA", false, kVkA, kControl, 1},
                      TranslationCase{"ControlZ", false, kVkZ, kControl, 26},
                      TranslationCase{"ControlShiftM", false, 'M', kControlShift, 13},
                      TranslationCase{"ControlAltA", false, kVkA, kControlAlt, std::nullopt},
                      TranslationCase{"PlainLetter", false, kVkA, kNone, std::nullopt},
                      TranslationCase{"ShiftLetter", false, kVkA, kShift, std::nullopt},
                      TranslationCase{"ControlDigit", false, '5', kControl, std::nullopt},
                      TranslationCase{"Space", false, kVkSpace, kNone, std::nullopt},
                      TranslationCase{"F1", false, kVkF1, kNone, std::nullopt},
                      TranslationCase{"Home", false, kVkHome, kControl, std::nullopt},
                      TranslationCase{"SysEnter", true, kVkReturn, kAlt, std::nullopt},
                      TranslationCase{"SysEscape", true, kVkEscape, kAlt, std::nullopt},
                      TranslationCase{"SysLetter", true, kVkA, kAlt, std::nullopt},
                      TranslationCase{"SysF10", true, kVkF10, kNone, std::nullopt}),
    [](const auto& test_case) { return test_case.param.name; });

TEST_F(WindowSystemTest, ACharacterIsFetchedRightAfterItsKeyDown) {
  const WindowHandle window = MakeWindow();
  // A posted message waits in the queue while the key arrives; the key's character still comes
  // straight after the key.
  ASSERT_TRUE(headless::PostKeyDown(kVkReturn));
  ASSERT_TRUE(headless::PostChar('x'));
  ASSERT_TRUE(headless::PostClose());
  Message message;
  ASSERT_EQ(GetMessage(&message), 1);
  ASSERT_EQ(message.message, kMsgKeyDown);
  ASSERT_TRUE(PostMessage(window, kMsgUser, 0, 0));
  TranslateMessage(message);
  DispatchMessage(message);
  EXPECT_EQ(RunMessageLoop(), 0);

  std::vector<std::pair<std::uint32_t, std::uint32_t>> seen;
  for (const Received& received : window_class_.Messages()) {
    seen.emplace_back(received.message, received.wparam);
  }
  const std::vector<std::pair<std::uint32_t, std::uint32_t>> expected{
      {kMsgCreate, 0}, {kMsgKeyDown, kVkReturn}, {kMsgChar, 13},  {kMsgUser, 0},
      {kMsgChar, 'x'}, {kMsgClose, 0},           {kMsgDestroy, 0}};
  EXPECT_EQ(seen, expected);
}

TEST_F(WindowSystemTest, KeyStateAnswersForTheMessageBeingHandled) {
  const std::vector<KeyModifiers> sequence{
      kNone, kShift, kControl,    kControlShift,
      kNone, kAlt,   kControlAlt, KeyModifiers{true, true, true}};
  ASSERT_NE(MakeWindow(), 0u);
  for (const KeyModifiers& modifiers : sequence) {
    if (modifiers.alt) {
      ASSERT_TRUE(headless::PostSysKeyDown(kVkF1, modifiers));
    } else {
      ASSERT_TRUE(headless::PostKeyDown(kVkF1, modifiers));
    }
  }
  ASSERT_TRUE(headless::PostClose());
  EXPECT_EQ(RunMessageLoop(), 0);

  std::vector<Received> keys;
  for (const Received& received : window_class_.Messages()) {
    if (received.message == kMsgKeyDown || received.message == kMsgSysKeyDown) {
      keys.push_back(received);
    }
  }
  ASSERT_EQ(keys.size(), sequence.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(keys[i].shift_held, sequence[i].shift);
    EXPECT_EQ(keys[i].control_held, sequence[i].control);
    EXPECT_EQ(keys[i].alt_held, sequence[i].alt);
    EXPECT_EQ(keys[i].message, sequence[i].alt ? kMsgSysKeyDown : kMsgKeyDown);
  }
  // Keys other than the three modifiers are never reported held.
  EXPECT_EQ(KeyState(kVkF1), 0);
}

TEST_F(WindowSystemTest, ShowingFromAnotherThreadPaintsWithEraseFirst) {
  WindowThread window_thread;
  const WindowHandle window = window_thread.handle();

  RequestShow(window, ShowCommand::kShowNormal);
  // RequestShow returns once the window thread has shown the window and brought it forward.
  const auto info = headless::CurrentWindow();
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->visible);
  EXPECT_TRUE(info->foreground);

  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgPaint).size() == 1; }));
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgEraseBackground).size() == 1; }));
  EXPECT_EQ(window_class_.MessageNumbers(),
            (std::vector<std::uint32_t>{kMsgCreate, kMsgPaint, kMsgEraseBackground}));
  // The paint message is for the whole client area; BeginPaint validated it.
  EXPECT_EQ(window_class_.MessagesOf(kMsgPaint)[0].update, (Rect{0, 0, 640, 480}));
  EXPECT_FALSE(window_class_.MessagesOf(kMsgEraseBackground)[0].update);
  EXPECT_FALSE(UpdateRect(window));

  // The default erase painted the class background over the whole client area.
  const auto snapshot = headless::SnapshotWindowSurface();
  ASSERT_NE(snapshot, nullptr);
  ASSERT_EQ(snapshot->width(), 640);
  ASSERT_EQ(snapshot->height(), 480);
  const std::uint32_t background = 10u << 16 | 20u << 8 | 30u;
  for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {639, 479}, {320, 240}}) {
    EXPECT_EQ(snapshot->PixelAt(x, y), background) << x << "," << y;
  }

  // A later invalidation without erase paints without erasing; one with erase erases again.
  ASSERT_TRUE(InvalidateWindow(window, false));
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgPaint).size() == 2; }));
  ASSERT_TRUE(InvalidateWindow(window, true));
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgPaint).size() == 3; }));
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgEraseBackground).size() == 2; }));
  EXPECT_EQ(window_class_.MessageNumbers(),
            (std::vector<std::uint32_t>{kMsgCreate, kMsgPaint, kMsgEraseBackground, kMsgPaint,
                                        kMsgPaint, kMsgEraseBackground}));

  // Showing a window that is already shown does not paint it again.
  RequestShow(window, ShowCommand::kShowNormal);
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(window_class_.MessagesOf(kMsgPaint).size(), 3u);

  EXPECT_EQ(window_thread.Close(), 0);
}

TEST_F(WindowSystemTest, AHiddenWindowWaitsToBePainted) {
  WindowThread window_thread;
  const WindowHandle window = window_thread.handle();
  ASSERT_TRUE(InvalidateWindow(window, true));
  EXPECT_EQ(UpdateRect(window), (Rect{0, 0, 640, 480}));
  std::this_thread::sleep_for(30ms);
  EXPECT_TRUE(window_class_.MessagesOf(kMsgPaint).empty());

  RequestShow(window, ShowCommand::kShowNormal);
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgPaint).size() == 1; }));
  std::this_thread::sleep_for(30ms);
  EXPECT_EQ(window_class_.MessagesOf(kMsgPaint).size(), 1u);
  EXPECT_EQ(window_thread.Close(), 0);
}

TEST_F(WindowSystemTest, AProcedureThatDoesNotPaintIsNotAskedAgainAndAgain) {
  window_class_.paint_with_begin_paint = false;
  WindowThread window_thread;
  RequestShow(window_thread.handle(), ShowCommand::kShowNormal);
  ASSERT_TRUE(WaitUntil([&] { return window_class_.MessagesOf(kMsgPaint).size() == 1; }));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(window_class_.MessagesOf(kMsgPaint).size(), 1u);
  EXPECT_FALSE(UpdateRect(window_thread.handle()));
  EXPECT_EQ(window_thread.Close(), 0);
}

TEST_F(WindowSystemTest, RequestShowDoesNotWaitForAWindowThatGoesAway) {
  RequestShow(12345678, ShowCommand::kShowNormal);  // an unknown window: returns at once

  std::promise<WindowHandle> made;
  std::promise<void> release;
  std::thread owner([&] {
    // This thread never fetches messages: it destroys its window without answering.
    const WindowHandle window = MakeWindow();
    made.set_value(window);
    release.get_future().wait();
    DestroyWindow(window);
  });
  const WindowHandle window = made.get_future().get();
  auto shown =
      std::async(std::launch::async, [window] { RequestShow(window, ShowCommand::kShowNormal); });
  EXPECT_EQ(shown.wait_for(50ms), std::future_status::timeout);
  release.set_value();
  EXPECT_EQ(shown.wait_for(10s), std::future_status::ready);
  owner.join();
}

TEST_F(WindowSystemTest, ShowingOnTheOwningThreadAndHiding) {
  const WindowHandle window = MakeWindow();
  ShowWindow(window, ShowCommand::kShowDefault);
  BringToFront(window);
  auto info = headless::CurrentWindow();
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->visible);
  EXPECT_TRUE(info->foreground);
  EXPECT_EQ(UpdateRect(window), (Rect{0, 0, 640, 480}));
  ShowWindow(window, ShowCommand::kHide);
  info = headless::CurrentWindow();
  EXPECT_FALSE(info->visible);
  EXPECT_FALSE(info->foreground);
  EXPECT_TRUE(DestroyWindow(window));
  EXPECT_EQ(RunMessageLoop(), 0);
}

TEST_F(WindowSystemTest, PresentsOnlyWhatChangedAtMostOncePerFrame) {
  WindowThread window_thread;
  const WindowHandle window = window_thread.handle();
  const std::uint64_t at_start = headless::PresentCount();
  RequestShow(window, ShowCommand::kShowNormal);
  // The first paint's erase changed the surface: it is presented.
  ASSERT_TRUE(WaitUntil([&] { return headless::PresentCount() > at_start; }));

  // Nothing changes: nothing is presented.
  std::this_thread::sleep_for(40ms);
  const std::uint64_t idle = headless::PresentCount();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(headless::PresentCount(), idle);

  // Drawing without pause is presented at the display's pace, not once per pixel.
  DeviceContext* const dc = WindowDeviceContext(window);
  ASSERT_NE(dc, nullptr);
  const auto start = std::chrono::steady_clock::now();
  std::uint64_t pixels = 0;
  while (std::chrono::steady_clock::now() - start < 200ms) {
    dc->SetPixel(Point{static_cast<std::int32_t>(pixels % 640), 5}, Rgb(255, 0, 0));
    ++pixels;
  }
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(WaitUntil([&] { return headless::PresentCount() > idle; }));
  std::this_thread::sleep_for(40ms);
  const std::uint64_t presents = headless::PresentCount() - idle;
  const auto frames = elapsed / std::chrono::nanoseconds(1'000'000'000 / 60);
  EXPECT_LE(presents, static_cast<std::uint64_t>(frames) + 3);
  EXPECT_LT(presents, pixels);
  EXPECT_EQ(headless::SnapshotWindowSurface()->PixelAt(0, 5), 0xFF0000u);

  EXPECT_EQ(window_thread.Close(), 0);
}

std::size_t EntriesOf(const char* directory) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(directory)) {
    ++count;
  }
  return count;
}

TEST_F(WindowSystemTest, ManyWindowsOpenAndCloseWithoutLeakingThreadsOrDescriptors) {
  // The first cycle may start what lasts for the process (a sanitizer's own background thread
  // appears with the first thread); the counts are taken after it.
  std::size_t descriptors = 0;
  std::size_t threads = 0;
  for (int cycle = 0; cycle < 31; ++cycle) {
    if (cycle == 1) {
      descriptors = EntriesOf("/proc/self/fd");
      threads = EntriesOf("/proc/self/task");
    }
    std::promise<WindowHandle> made;
    auto thread = StartThread([&] {
      made.set_value(MakeWindow());
      RunMessageLoop();
    });
    ASSERT_TRUE(thread);
    const WindowHandle window = made.get_future().get();
    ASSERT_NE(window, 0u);
    RequestShow(window, ShowCommand::kShowNormal);
    ASSERT_TRUE(PostMessage(window, kMsgUser, 0, 0));
    ASSERT_TRUE(headless::PostClose());
    thread->join();
  }
  EXPECT_EQ(EntriesOf("/proc/self/fd"), descriptors);
  EXPECT_EQ(EntriesOf("/proc/self/task"), threads);
}

TEST_F(WindowSystemTest, MetricsComeFromTheHeadlessScreen) {
  EXPECT_EQ(SystemMetric(Metric::kScreenWidth), 1920);
  EXPECT_EQ(SystemMetric(Metric::kScreenHeight), 1080);
  EXPECT_EQ(SystemMetric(Metric::kDialogFrameWidth), 3);
  EXPECT_EQ(SystemMetric(Metric::kDialogFrameHeight), 3);
  EXPECT_EQ(SystemMetric(Metric::kCaptionHeight), 23);
  headless::SetScreenSize(1280, 1024);
  headless::SetFrameMetrics(4, 5, 6);
  EXPECT_EQ(SystemMetric(Metric::kScreenWidth), 1280);
  EXPECT_EQ(SystemMetric(Metric::kScreenHeight), 1024);
  EXPECT_EQ(SystemMetric(Metric::kDialogFrameWidth), 4);
  EXPECT_EQ(SystemMetric(Metric::kDialogFrameHeight), 5);
  EXPECT_EQ(SystemMetric(Metric::kCaptionHeight), 6);
  EXPECT_EQ(DesktopBitsPerPixel(), 32);
  EXPECT_EQ(StartupShowCommand(), ShowCommand::kShowDefault);
}

TEST_F(WindowSystemTest, AutomationWithoutAWindow) {
  EXPECT_FALSE(headless::CurrentWindow());
  EXPECT_FALSE(headless::PostKeyDown(kVkReturn));
  EXPECT_FALSE(headless::PostSysKeyDown(kVkF10));
  EXPECT_FALSE(headless::PostChar('a'));
  EXPECT_FALSE(headless::PostClose());
  EXPECT_EQ(headless::SnapshotWindowSurface(), nullptr);
  EXPECT_FALSE(headless::WaitForWindow(10ms));
  EXPECT_TRUE(headless::WaitForNoWindow(10ms));
}

TEST_F(WindowSystemTest, WaitForWindowWaitsForTheTitleShown) {
  WindowThread window_thread;
  EXPECT_FALSE(headless::WaitForWindow(20ms));  // not shown yet
  RequestShow(window_thread.handle(), ShowCommand::kShowNormal);
  EXPECT_FALSE(headless::WaitForWindow(20ms, "Other"));
  const auto info = headless::WaitForWindow(1s, "Test");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->handle, window_thread.handle());
  EXPECT_FALSE(headless::WaitForNoWindow(20ms));
  EXPECT_EQ(window_thread.Close(), 0);
  EXPECT_TRUE(headless::WaitForNoWindow(1s));
}

}  // namespace
}  // namespace tavlo::platform::test
