// A window's device context: draws into the window's 32-bit surface under its mutex and records
// what it painted.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <limits>
#include <mutex>
#include <thread>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/window_surface.h"
#include "tests/platform/dc_test_support.h"

namespace tavlo::platform {
namespace {

TEST(WindowDc, FillMarksThePaintedRectangleAsChanged) {
  auto window = std::make_shared<WindowSurface>(20, 10);
  auto dc = DeviceContext::CreateForWindow(window);
  ASSERT_EQ(dc->surface(), window->surface());
  const BrushHandle red = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(255, 0, 0)});
  dc->SelectBrush(red);
  dc->FillRect(Rect{-5, 2, 4, 100});
  {
    std::lock_guard lock(window->mutex());
    EXPECT_EQ(window->TakeChanged(), (Rect{0, 2, 4, 10}));
  }
  EXPECT_EQ(window->surface()->PixelAt(3, 9), 0xFF0000u);
  EXPECT_EQ(window->surface()->PixelAt(4, 9), 0u);

  // Nothing painted, nothing changed: outside, empty, clipped away, hollow.
  dc->FillRect(Rect{30, 0, 40, 5});
  dc->FillRect(Rect{5, 5, 5, 9});
  const RegionHandle region = CreateRectRegion(Rect{0, 0, 1, 1});
  dc->SelectClipRegion(region);
  dc->FillRect(Rect{5, 5, 9, 9});
  dc->SelectClipRegion(RegionHandle{});
  const BrushHandle hollow = CreateBrush(BrushRecord{BrushStyle::kHollow, {}, 0});
  dc->SelectBrush(hollow);
  dc->FillRect(Rect{0, 0, 20, 10});
  {
    std::lock_guard lock(window->mutex());
    EXPECT_TRUE(window->TakeChanged().Empty());
  }

  dc->SetPixel(Point{7, 8}, PaletteIndexColor(1));  // the stock palette's white
  dc->SetPixel(Point{70, 8}, PaletteIndexColor(1));
  {
    std::lock_guard lock(window->mutex());
    EXPECT_EQ(window->TakeChanged(), (Rect{7, 8, 8, 9}));
  }
  EXPECT_EQ(window->surface()->PixelAt(7, 8), 0xFFFFFFu);

  dc->SelectBrush(StockBrush());
  DeleteObject(red);
  DeleteObject(hollow);
  DeleteObject(region);
}

TEST(WindowDc, CopyFromAPageMarksTheCopiedBlock) {
  auto window = std::make_shared<WindowSurface>(16, 16);
  auto dc = DeviceContext::CreateForWindow(window);
  auto page = Surface::Create(16, 16, 8, 256);
  const ColorTableEntry blue[] = {{255, 0, 0, 0}};
  page->SetColorTable(4, blue);
  page->SetPixelAt(10, 10, 4);
  test::MemoryDc page_dc(page);
  dc->CopyFrom(*page_dc.dc, Point{8, 8}, Rect{2, 2, 30, 30});
  std::lock_guard lock(window->mutex());
  EXPECT_EQ(window->TakeChanged(), (Rect{2, 2, 10, 10}));
  EXPECT_EQ(window->surface()->PixelAt(4, 4), 0x0000FFu);
  EXPECT_EQ(window->surface()->PixelAt(5, 4), 0u);
}

TEST(WindowDc, DrawsOnlyWhileHoldingTheWindowMutex) {
  auto window = std::make_shared<WindowSurface>(8, 8);
  auto dc = DeviceContext::CreateForWindow(window);
  std::atomic<bool> done{false};
  std::unique_lock lock(window->mutex());
  std::thread painter([&] {
    dc->FillRect(Rect{0, 0, 8, 8});  // the stock white brush
    done = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(done.load());
  EXPECT_EQ(window->surface()->PixelAt(0, 0), 0u);
  lock.unlock();
  painter.join();
  EXPECT_TRUE(done.load());
  std::lock_guard relock(window->mutex());
  EXPECT_EQ(window->surface()->PixelAt(7, 7), 0xFFFFFFu);
}

TEST(WindowDc, EmptyClientAreaDrawsNothing) {
  auto window = std::make_shared<WindowSurface>(0, 0);
  auto dc = DeviceContext::CreateForWindow(window);
  EXPECT_EQ(dc->surface(), nullptr);
  dc->FillRect(Rect{0, 0, 10, 10});
  dc->SetPixel(Point{0, 0}, 0);
  auto memory = DeviceContext::CreateMemory();
  memory->CopyFrom(*dc, Point{0, 0}, Rect{0, 0, 1, 1});
  dc->CopyFrom(*memory, Point{0, 0}, Rect{0, 0, 1, 1});
  std::lock_guard lock(window->mutex());
  EXPECT_TRUE(window->TakeChanged().Empty());
}

}  // namespace
}  // namespace tavlo::platform
