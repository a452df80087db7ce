// The figures' frames on the in-memory window system: each frame is drawn on the hidden page and
// then shown whole, the page drawn next starts cleared, and no other picture ever reaches the
// window.

#include "figures/animation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "figures/program.h"
#include "platform/headless/automation.h"
#include "support/graphics_fixture.h"
#include "support/picture.h"
#include "tavlo/graphics.h"
#include "tavlo/inspect.h"
#include "tests/figures/reference_frame.h"

namespace tavlo::figures {
namespace {

namespace headless = platform::headless;
namespace ref = figures::testing;

constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

// FNV-1a over the pixels: pictures are told apart by it while the window keeps changing.
std::uint64_t Fingerprint(const platform::Surface& picture) {
  std::uint64_t hash = 14695981039346656037ull;
  for (int y = 0; y < picture.height(); ++y) {
    for (int x = 0; x < picture.width(); ++x) {
      hash = (hash ^ picture.RgbAt(x, y)) * 1099511628211ull;
    }
  }
  return hash;
}

// The counter the program keeps for frame `unbounded`: past 2^31 - 1 it goes on from the value
// congruent to 2^31 modulo the motion's period of 11400 frames.
std::int32_t CounterOf(std::int64_t unbounded) {
  constexpr std::int64_t k2To31 = std::int64_t{1} << 31;
  if (unbounded < k2To31) return static_cast<std::int32_t>(unbounded);
  return static_cast<std::int32_t>(unbounded - k2To31 + k2To31 % 11400);
}

// Snapshots the window again and again on a thread of its own and keeps the first picture that
// is none of the allowed ones.
class WindowWatcher {
 public:
  explicit WindowWatcher(std::set<std::uint64_t> allowed)
      : allowed_(std::move(allowed)), thread_([this] { Watch(); }) {}
  ~WindowWatcher() { Stop(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // After Stop: the first picture that was not allowed (null when none) and how many were seen.
  std::shared_ptr<platform::Surface> stray() const { return stray_; }
  int seen() const { return seen_.load(); }

 private:
  void Watch() {
    while (!stop_) {
      const auto window = headless::SnapshotWindowSurface();
      if (window) {
        ++seen_;
        if (!stray_ && !allowed_.contains(Fingerprint(*window))) stray_ = window;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }

  const std::set<std::uint64_t> allowed_;
  std::atomic<bool> stop_{false};
  std::shared_ptr<platform::Surface> stray_;
  std::atomic<int> seen_{0};
  std::thread thread_;
};

::testing::AssertionResult AllZero(const platform::Surface& page) {
  for (int y = 0; y < page.height(); ++y) {
    for (int x = 0; x < page.width(); ++x) {
      if (page.PixelAt(x, y) != 0) {
        return ::testing::AssertionFailure()
               << "pixel (" << x << ", " << y << ") holds " << page.PixelAt(x, y);
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Waits until the window shows `expected` and compares what it shows then.
::testing::AssertionResult WindowComesToShow(const platform::Surface& expected,
                                             std::uint64_t fingerprint, const std::string& name) {
  tavlo::testing::WaitUntil([&] {
    const auto window = headless::SnapshotWindowSurface();
    return window && Fingerprint(*window) == fingerprint;
  });
  const auto window = headless::SnapshotWindowSurface();
  if (!window) return ::testing::AssertionFailure() << "no window";
  return tavlo::testing::SamePicture(*window, expected, name);
}

struct FlipCase {
  const char* name;
  std::int32_t counter;  // before the first frame
  int frames;
};

void PrintTo(const FlipCase& c, std::ostream* os) { *os << c.name; }

const FlipCase kFlipCases[] = {
    {"from_the_start", 0, 12},
    {"figures_centred_on_one_cell", 112, 4},  // frame 2 has t = 114 and X = 160
    {"reaching_cell_row_240", 197, 4},        // frame 2 has t = 199: Y = 210, A = 0
    {"across_the_end_of_the_counter", kMax32 - 3, 7},
};

class FlipTable : public tavlo::testing::GraphicsTest,
                  public ::testing::WithParamInterface<FlipCase> {};

TEST_P(FlipTable, ShowsEachFinishedFrameWholeAndClearsTheNextPage) {
  const FlipCase& c = GetParam();
  tavlo::testing::OpenOrFail(Driver8Bit, Mode640x480, kCaption);
  const auto table = inspect::ColorTable();
  const auto blank = ref::ThroughPalette(*ref::BlankPage(), table);

  Animation animation(0);
  animation.SetUp(c.counter);
  // Frame 1 draws straight onto the shown page 0, then shows the empty page 1 and clears page 0.
  animation.Step();
  EXPECT_EQ(animation.counter(), CounterOf(std::int64_t{c.counter} + 1));
  EXPECT_EQ(animation.shown_page(), 1);
  for (int page = 0; page < 2; ++page) {
    const auto picture = inspect::SnapshotPage(page);
    ASSERT_TRUE(picture);
    EXPECT_TRUE(AllZero(*picture)) << "page " << page << " after frame 1";
  }
  EXPECT_TRUE(WindowComesToShow(*blank, Fingerprint(*blank), std::string(c.name) + ".frame1"));

  // Every picture the window may show from now on: the blank page and the finished frames.
  std::vector<std::shared_ptr<platform::Surface>> pages;
  std::vector<std::shared_ptr<platform::Surface>> windows;
  std::set<std::uint64_t> allowed{Fingerprint(*blank)};
  for (int frame = 2; frame <= c.frames; ++frame) {
    pages.push_back(ref::FramePage(std::int64_t{c.counter} + frame));
    windows.push_back(ref::ThroughPalette(*pages.back(), table));
    allowed.insert(Fingerprint(*windows.back()));
  }

  WindowWatcher watcher(allowed);
  for (int frame = 2; frame <= c.frames; ++frame) {
    const std::string name = std::string(c.name) + ".frame" + std::to_string(frame);
    SCOPED_TRACE(name);
    const std::size_t i = static_cast<std::size_t>(frame - 2);
    animation.Step();
    EXPECT_EQ(animation.counter(), CounterOf(std::int64_t{c.counter} + frame));
    const int shown = frame % 2;
    ASSERT_EQ(animation.shown_page(), shown);
    const auto drawn = inspect::SnapshotPage(shown);
    const auto next = inspect::SnapshotPage(1 - shown);
    ASSERT_TRUE(drawn && next);
    EXPECT_TRUE(tavlo::testing::SamePicture(*drawn, *pages[i], name + ".page"));
    EXPECT_TRUE(AllZero(*next)) << "the page drawn next is cleared";
    EXPECT_TRUE(WindowComesToShow(*windows[i], Fingerprint(*windows[i]), name + ".window"));
  }
  watcher.Stop();
  EXPECT_GT(watcher.seen(), 0);
  if (watcher.stray()) {
    tavlo::testing::WritePng(std::string(c.name) + ".stray.png", *watcher.stray());
    ADD_FAILURE() << "the window showed a picture that is no finished frame; wrote " << c.name
                  << ".stray.png";
  }
}

INSTANTIATE_TEST_SUITE_P(Frames, FlipTable, ::testing::ValuesIn(kFlipCases),
                         [](const auto& test_case) { return std::string(test_case.param.name); });

}  // namespace
}  // namespace tavlo::figures
