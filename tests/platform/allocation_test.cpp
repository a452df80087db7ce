// Counts the heap allocations of the calling thread, to show that the object table and the
// memory context's fill path leave the heap alone in steady state. This file replaces the global
// operator new of the test binary; the replacement only counts and forwards to malloc.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/surface.h"

namespace {

thread_local long allocations = 0;

void* CountedAllocation(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return CountedAllocation(size); }
void* operator new[](std::size_t size) { return CountedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tavlo::platform {
namespace {

TEST(Allocation, CreatingAndDeletingSmallObjectsReusesSlots) {
  // Grow the tables once to the largest number alive below.
  {
    std::vector<PenHandle> warm;
    warm.reserve(100);
    for (int i = 0; i < 100; ++i) warm.push_back(CreatePen(PenRecord{}));
    for (PenHandle p : warm) DeleteObject(p);
  }
  for (int i = 0; i < 4; ++i) {
    DeleteObject(CreateBrush(BrushRecord{}));
    DeleteObject(CreateFont(FontRecord{}));
    DeleteObject(CreateRectRegion(Rect{}));
  }

  const long before = allocations;
  for (int round = 0; round < 1000; ++round) {
    PenHandle pens[100];
    for (PenHandle& p : pens) p = CreatePen(PenRecord{PenStyle::kDot, 2, 0});
    for (PenHandle p : pens) ASSERT_TRUE(DeleteObject(p));
    const BrushHandle brush = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(1, 2, 3)});
    ASSERT_TRUE(DeleteObject(brush));
    const FontHandle font = CreateFont(FontRecord{});
    ASSERT_TRUE(DeleteObject(font));
    const RegionHandle region = CreateRectRegion(Rect{0, 0, 1, 1});
    ASSERT_TRUE(DeleteObject(region));
  }
  EXPECT_EQ(allocations, before);
}

TEST(Allocation, MemoryContextFillsAndSelectionsDoNotAllocate) {
  auto surface = Surface::Create(64, 64, 8, 256);
  const BitmapHandle bitmap = CreateBitmap(surface);
  auto dc = DeviceContext::CreateMemory();
  dc->SelectBitmap(bitmap);
  BrushRecord hatched{BrushStyle::kHatched, HatchStyle::kDiagonalCross, Rgb(200, 10, 10)};
  const BrushHandle solid = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, PaletteIndexColor(7)});
  const BrushHandle hatch = CreateBrush(hatched);
  dc->FillRect(Rect{0, 0, 3, 3});

  const long before = allocations;
  for (int i = 0; i < 1000; ++i) {
    dc->SelectBrush(i % 2 ? solid : hatch);
    dc->FillRect(Rect{i % 60, i % 61, i % 60 + 3, i % 61 + 3});
    dc->SetPixel(Point{i % 64, 5}, Rgb(1, 2, 3));
    dc->SetBackgroundColor(PaletteIndexColor(static_cast<std::uint32_t>(i)));
  }
  EXPECT_EQ(allocations, before);

  dc->SelectBrush(StockBrush());
  dc->SelectBitmap(StockBitmap());
  DeleteObject(solid);
  DeleteObject(hatch);
  DeleteObject(bitmap);
}

}  // namespace
}  // namespace tavlo::platform
