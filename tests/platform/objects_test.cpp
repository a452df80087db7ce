// The object table: handles, reuse of deleted slots, refusals, stock objects, pattern brushes,
// selection into device contexts, and many threads at once.

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"

namespace tavlo::platform {
namespace {

TEST(Objects, CreateGivesDistinctHandlesAndCopiesOfRecords) {
  const std::size_t before = LiveObjectCount();
  const PenHandle pen = CreatePen(PenRecord{PenStyle::kDash, 3, Rgb(1, 2, 3)});
  const BrushHandle brush =
      CreateBrush(BrushRecord{BrushStyle::kHatched, HatchStyle::kCross, PaletteIndexColor(4)});
  FontRecord font_record;
  std::strcpy(font_record.face.data(), "Arial");
  font_record.height = 12;
  const FontHandle font = CreateFont(font_record);
  const RegionHandle region = CreateRectRegion(Rect{1, 2, 3, 4});
  const PaletteEntry entries[] = {{1, 2, 3, 0}};
  const PaletteHandle palette = CreatePalette(entries);
  const BitmapHandle bitmap = CreateBitmap(Surface::Create(2, 2, 8));
  ASSERT_TRUE(pen && brush && font && region && palette && bitmap);
  EXPECT_EQ(LiveObjectCount(), before + 6);

  EXPECT_EQ(PenOf(pen).style, PenStyle::kDash);
  EXPECT_EQ(PenOf(pen).width, 3u);
  EXPECT_EQ(BrushOf(brush).hatch, HatchStyle::kCross);
  EXPECT_STREQ(FontOf(font).face.data(), "Arial");
  EXPECT_EQ(RegionOf(region).rect, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(PaletteOf(palette)->size(), 1u);
  EXPECT_EQ(PaletteOf(palette)->entries()[0], entries[0]);
  EXPECT_EQ(SurfaceOf(bitmap)->width(), 2);

  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_TRUE(DeleteObject(region));
  EXPECT_TRUE(DeleteObject(palette));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST(Objects, DeleteRefusesNoObjectUnknownDeletedAndStockHandles) {
  EXPECT_FALSE(DeleteObject(PenHandle{}));
  EXPECT_FALSE(DeleteObject(BrushHandle{0x7FFFFFFF}));
  EXPECT_FALSE(DeleteObject(BitmapHandle{}));
  const PenHandle pen = CreatePen(PenRecord{});
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));

  const std::size_t before = LiveObjectCount();
  EXPECT_FALSE(DeleteObject(StockPen()));
  EXPECT_FALSE(DeleteObject(StockBrush()));
  EXPECT_FALSE(DeleteObject(StockFont()));
  EXPECT_FALSE(DeleteObject(StockBitmap()));
  EXPECT_FALSE(DeleteObject(StockPalette()));
  EXPECT_EQ(LiveObjectCount(), before);
  EXPECT_TRUE(SurfaceOf(StockBitmap()));
}

TEST(Objects, UnknownHandlesReadDefaultRecords) {
  const BrushHandle brush = CreateBrush(BrushRecord{BrushStyle::kHollow, {}, Rgb(9, 9, 9)});
  ASSERT_TRUE(DeleteObject(brush));
  EXPECT_EQ(BrushOf(brush).style, BrushStyle::kSolid);
  EXPECT_EQ(BrushOf(brush).color, 0u);
  EXPECT_EQ(PenOf(PenHandle{12345}).width, 1u);
  EXPECT_EQ(SurfaceOf(BitmapHandle{12345}), nullptr);
  EXPECT_EQ(PaletteOf(PaletteHandle{}), nullptr);
  EXPECT_FALSE(CreateBitmap(nullptr));
}

TEST(Objects, StaleHandleDoesNotNameTheObjectThatReusesItsSlot) {
  const PenHandle old_pen = CreatePen(PenRecord{PenStyle::kDot, 1, 0});
  ASSERT_TRUE(DeleteObject(old_pen));
  const PenHandle new_pen = CreatePen(PenRecord{PenStyle::kDashDot, 7, 0});
  EXPECT_NE(old_pen, new_pen);
  EXPECT_FALSE(DeleteObject(old_pen));
  EXPECT_EQ(PenOf(old_pen).style, PenStyle::kSolid);
  EXPECT_EQ(PenOf(new_pen).width, 7u);
  EXPECT_TRUE(DeleteObject(new_pen));
}

TEST(Objects, StockObjectsAreWhatANewContextHolds) {
  EXPECT_EQ(PenOf(StockPen()).style, PenStyle::kSolid);
  EXPECT_EQ(PenOf(StockPen()).width, 1u);
  EXPECT_EQ(PenOf(StockPen()).color, Rgb(0, 0, 0));
  EXPECT_EQ(BrushOf(StockBrush()).style, BrushStyle::kSolid);
  EXPECT_EQ(BrushOf(StockBrush()).color, Rgb(255, 255, 255));
  const auto bitmap = SurfaceOf(StockBitmap());
  EXPECT_EQ(bitmap->width(), 1);
  EXPECT_EQ(bitmap->height(), 1);
  EXPECT_EQ(bitmap->bits_per_pixel(), 1);
  const auto palette = PaletteOf(StockPalette());
  ASSERT_EQ(palette->size(), 2u);
  EXPECT_EQ(palette->entries()[0], (PaletteEntry{0, 0, 0, 0}));
  EXPECT_EQ(palette->entries()[1], (PaletteEntry{255, 255, 255, 0}));

  auto dc = DeviceContext::CreateMemory();
  EXPECT_EQ(dc->bitmap(), StockBitmap());
  EXPECT_EQ(dc->pen(), StockPen());
  EXPECT_EQ(dc->brush(), StockBrush());
  EXPECT_EQ(dc->font(), StockFont());
  EXPECT_EQ(dc->palette(), StockPalette());
  EXPECT_EQ(dc->surface(), bitmap.get());
}

TEST(Objects, BitmapOutlivesItsHandleWhileSelected) {
  auto dc = DeviceContext::CreateMemory();
  const BitmapHandle bitmap = CreateBitmap(Surface::Create(3, 3, 8));
  EXPECT_EQ(dc->SelectBitmap(bitmap), StockBitmap());
  ASSERT_TRUE(DeleteObject(bitmap));
  dc->SetPixel(Point{2, 2}, PaletteIndexColor(6));  // still a live surface
  EXPECT_EQ(dc->surface()->PixelAt(2, 2), 6u);
  EXPECT_EQ(dc->SelectBitmap(StockBitmap()), bitmap);
}

TEST(Objects, SelectReturnsTheDisplacedObjectAndIgnoresUnknownHandles) {
  auto dc = DeviceContext::CreateMemory();
  const PenHandle pen = CreatePen(PenRecord{});
  const BrushHandle brush = CreateBrush(BrushRecord{});
  const FontHandle font = CreateFont(FontRecord{});
  EXPECT_EQ(dc->SelectPen(pen), StockPen());
  EXPECT_EQ(dc->SelectBrush(brush), StockBrush());
  EXPECT_EQ(dc->SelectFont(font), StockFont());
  EXPECT_EQ(dc->SelectPen(PenHandle{999999}), PenHandle{});
  EXPECT_EQ(dc->pen(), pen);
  EXPECT_EQ(dc->SelectBitmap(BitmapHandle{999999}), BitmapHandle{});
  EXPECT_EQ(dc->bitmap(), StockBitmap());
  EXPECT_EQ(dc->SelectPalette(PaletteHandle{999999}, false), PaletteHandle{});
  EXPECT_EQ(dc->palette(), StockPalette());
  EXPECT_EQ(dc->SelectPen(StockPen()), pen);
  EXPECT_EQ(dc->SelectBrush(StockBrush()), brush);
  EXPECT_EQ(dc->SelectFont(StockFont()), font);
  EXPECT_TRUE(DeleteObject(pen));
  EXPECT_TRUE(DeleteObject(brush));
  EXPECT_TRUE(DeleteObject(font));

  auto window_dc = DeviceContext::CreateForWindow(std::make_shared<WindowSurface>(4, 4));
  const BitmapHandle bitmap = CreateBitmap(Surface::Create(2, 2, 8));
  EXPECT_EQ(window_dc->SelectBitmap(bitmap), BitmapHandle{});
  EXPECT_EQ(window_dc->bitmap(), BitmapHandle{});
  EXPECT_EQ(window_dc->surface()->bits_per_pixel(), 32);
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Objects, ClipRegionIsTheContextsOwnCopy) {
  auto dc = DeviceContext::CreateMemory();
  const RegionHandle region = CreateRectRegion(Rect{1, 1, 5, 5});
  dc->SelectClipRegion(region);
  ASSERT_TRUE(DeleteObject(region));
  ASSERT_TRUE(dc->clip_rect());
  EXPECT_EQ(*dc->clip_rect(), (Rect{1, 1, 5, 5}));
  dc->SelectClipRegion(RegionHandle{});
  EXPECT_FALSE(dc->clip_rect());
}

TEST(Objects, PatternBrushTakesTheBitmapsTopLeftEightByEight) {
  // A paletted bitmap smaller than the tile: its pixels as palette references, pixel 0 beyond.
  auto small = Surface::Create(3, 2, 4, 16);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) small->SetPixelAt(x, y, static_cast<std::uint32_t>(1 + x + 3 * y));
  }
  const BitmapHandle small_bitmap = CreateBitmap(small);
  const BrushHandle from_small = CreatePatternBrush(small_bitmap);
  ASSERT_TRUE(from_small);
  const BrushRecord b = BrushOf(from_small);
  EXPECT_EQ(b.style, BrushStyle::kPattern);
  EXPECT_EQ(b.pattern[0], PaletteIndexColor(1));
  EXPECT_EQ(b.pattern[2], PaletteIndexColor(3));
  EXPECT_EQ(b.pattern[8 + 1], PaletteIndexColor(5));
  EXPECT_EQ(b.pattern[3], PaletteIndexColor(1));
  EXPECT_EQ(b.pattern[63], PaletteIndexColor(1));

  // A 32-bit bitmap larger than the tile: RGB device colours.
  auto big = Surface::Create(10, 10, 32);
  big->SetPixelAt(7, 7, 0x112233);
  big->SetPixelAt(8, 0, 0x445566);
  const BitmapHandle big_bitmap = CreateBitmap(big);
  const BrushHandle from_big = CreatePatternBrush(big_bitmap);
  EXPECT_EQ(BrushOf(from_big).pattern[63], Rgb(0x11, 0x22, 0x33));
  EXPECT_EQ(BrushOf(from_big).pattern[0], Rgb(0, 0, 0));

  EXPECT_FALSE(CreatePatternBrush(BitmapHandle{}));
  EXPECT_FALSE(CreatePatternBrush(BitmapHandle{424242}));
  for (bool deleted : {DeleteObject(from_small), DeleteObject(from_big), DeleteObject(small_bitmap),
                       DeleteObject(big_bitmap)}) {
    EXPECT_TRUE(deleted);
  }
}

TEST(Objects, ManyThreadsCreateAndDeleteWithoutLosingObjects) {
  const std::size_t before = LiveObjectCount();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t] {
      std::vector<BrushHandle> mine;
      for (int i = 0; i < 5000; ++i) {
        mine.push_back(CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(0, 0, 0)}));
        const PenHandle pen = CreatePen(PenRecord{PenStyle::kSolid, std::uint32_t(t), 0});
        EXPECT_EQ(PenOf(pen).width, std::uint32_t(t));
        EXPECT_TRUE(DeleteObject(pen));
        if (i % 3 == 0) {
          EXPECT_TRUE(DeleteObject(mine.back()));
          mine.pop_back();
        }
      }
      for (BrushHandle b : mine) EXPECT_TRUE(DeleteObject(b));
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST(Objects, HandlesStayUniqueAcrossManyLiveObjects) {
  std::set<std::uint32_t> ids;
  std::vector<RegionHandle> regions;
  for (int i = 0; i < 3000; ++i) {
    regions.push_back(CreateRectRegion(Rect{i, 0, i + 1, 1}));
    EXPECT_TRUE(ids.insert(regions.back().id).second);
  }
  for (int i = 0; i < 3000; ++i) {
    EXPECT_EQ(RegionOf(regions[static_cast<std::size_t>(i)]).rect.left, i);
  }
  for (RegionHandle r : regions) EXPECT_TRUE(DeleteObject(r));
}

}  // namespace
}  // namespace tavlo::platform
