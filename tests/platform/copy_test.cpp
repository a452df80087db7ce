// CopyFrom: block copies between every pair of depths checked against a per-pixel reference on
// seeded random blocks and clips, overlapping copies on one surface, and the paletted-to-32-bit
// lookup table that follows the source's colour table.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>

#include "platform/device_context.h"
#include "platform/objects.h"
#include "platform/palette.h"
#include "platform/surface.h"
#include "tests/platform/dc_test_support.h"
#include "tests/support/picture.h"

namespace tavlo::platform {
namespace {

using tavlo::testing::SamePicture;
using test::MemoryDc;


// One pixel at a time: from a snapshot of the source, so that overlapping blocks of one surface
// copy what was there before.
void ReferenceCopy(Surface& destination, const Surface& source_now, Point source_at, const Rect& to,
                   const std::optional<Rect>& clip) {
  const auto source = test::Copy(source_now);
  for (std::int64_t y = std::max<std::int64_t>(to.top, 0);
       y < std::min<std::int64_t>(to.bottom, destination.height()); ++y) {
    for (std::int64_t x = std::max<std::int64_t>(to.left, 0);
         x < std::min<std::int64_t>(to.right, destination.width()); ++x) {
      if (clip && (x < clip->left || x >= clip->right || y < clip->top || y >= clip->bottom)) {
        continue;
      }
      const std::int64_t sx = source_at.x + (x - to.left);
      const std::int64_t sy = source_at.y + (y - to.top);
      if (sx < 0 || sy < 0 || sx >= source->width() || sy >= source->height()) continue;
      const int xi = static_cast<int>(x), yi = static_cast<int>(y);
      const int sxi = static_cast<int>(sx), syi = static_cast<int>(sy);
      std::uint32_t value;
      if (destination.bits_per_pixel() == source->bits_per_pixel()) {
        value = source->PixelAt(sxi, syi);
      } else {
        const std::uint32_t rgb = source->RgbAt(sxi, syi);
        value = destination.bits_per_pixel() == 32
                    ? rgb
                    : test::ReferenceResolve(
                          Rgb(static_cast<std::uint8_t>(rgb >> 16),
                              static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb)),
                          destination, {});
      }
      destination.SetPixelAt(xi, yi, value);
    }
  }
}

std::int32_t RandomCoordinate(std::mt19937& rng, int size) {
  return test::RandomCoordinate(rng, size, 60, 10);
}

TEST(CopyFrom, MatchesReferenceForEveryPairOfDepths) {
  std::mt19937 rng(77);
  int case_number = 0;
  for (int to_depth : {1, 4, 8, 32}) {
    for (int from_depth : {1, 4, 8, 32}) {
      for (int round = 0; round < 40; ++round, ++case_number) {
        auto make = [&](int depth) {
          auto s = Surface::Create(std::uniform_int_distribution<int>(1, 50)(rng),
                                   std::uniform_int_distribution<int>(1, 30)(rng), depth,
                                   std::uniform_int_distribution<int>(0, 256)(rng),
                                   rng() % 2 ? RowOrder::kTopDown : RowOrder::kBottomUp);
          test::RandomColorTable(*s, rng);
          test::FillNoise(*s, rng);
          return s;
        };
        auto destination = make(to_depth);
        auto source = make(from_depth);
        auto expected = test::Copy(*destination);
        MemoryDc to(destination);
        MemoryDc from(source);
        std::optional<Rect> clip;
        if (rng() % 3 == 0) {
          clip = Rect{RandomCoordinate(rng, destination->width()),
                      RandomCoordinate(rng, destination->height()),
                      RandomCoordinate(rng, destination->width()),
                      RandomCoordinate(rng, destination->height())};
          const RegionHandle region = CreateRectRegion(*clip);
          to->SelectClipRegion(region);
          DeleteObject(region);
        }
        for (int step = 0; step < 6; ++step) {
          Rect rect{RandomCoordinate(rng, destination->width()),
                    RandomCoordinate(rng, destination->height()),
                    RandomCoordinate(rng, destination->width()),
                    RandomCoordinate(rng, destination->height())};
          // Mostly well-formed blocks, so that most steps copy something.
          if (rng() % 4 != 0) {
            if (rect.left > rect.right) std::swap(rect.left, rect.right);
            if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
          }
          const Point at{RandomCoordinate(rng, source->width()),
                         RandomCoordinate(rng, source->height())};
          to->CopyFrom(*from.dc, at, rect);
          ReferenceCopy(*expected, *source, at, rect, clip);
          ASSERT_TRUE(
              SamePicture(*destination, *expected,
                          "copy_" + std::to_string(case_number) + "_" + std::to_string(step)))
              << from_depth << " -> " << to_depth << " at " << at.x << "," << at.y << " to "
              << rect.left << "," << rect.top << "," << rect.right << "," << rect.bottom;
        }
      }
    }
  }
}

TEST(CopyFrom, EveryBitAlignmentOfPackedPixels) {
  // Sub-byte pixels at every pair of offsets and every short width: whole-byte moves where the
  // offsets agree, with partial bytes merged at both ends, and pixel by pixel where they do not.
  std::mt19937 rng(11);
  for (int depth : {1, 4}) {
    for (int sx = 0; sx < 10; ++sx) {
      for (int dx = 0; dx < 10; ++dx) {
        for (int width = 1; width <= 20; ++width) {
          auto source = Surface::Create(32, 2, depth, 0);
          auto destination = Surface::Create(32, 2, depth, 0, RowOrder::kTopDown);
          test::FillNoise(*source, rng);
          test::FillNoise(*destination, rng);
          auto expected = test::Copy(*destination);
          MemoryDc from(source);
          MemoryDc to(destination);
          const Rect rect{dx, 0, dx + width, 2};
          to->CopyFrom(*from.dc, Point{sx, 0}, rect);
          ReferenceCopy(*expected, *source, Point{sx, 0}, rect, std::nullopt);
          ASSERT_TRUE(SamePicture(*destination, *expected, "copy_packed"))
              << depth << " from " << sx << " to " << dx << " width " << width;
        }
      }
    }
  }
}

TEST(CopyFrom, OverlappingBlocksOfOneSurfaceCopyTheOldPixels) {
  std::mt19937 rng(5);
  for (int depth : {1, 4, 8, 32}) {
    for (int round = 0; round < 200; ++round) {
      auto surface = Surface::Create(std::uniform_int_distribution<int>(1, 40)(rng),
                                     std::uniform_int_distribution<int>(1, 20)(rng), depth, 0,
                                     round % 2 ? RowOrder::kTopDown : RowOrder::kBottomUp);
      test::FillNoise(*surface, rng);
      auto expected = test::Copy(*surface);
      MemoryDc dc(surface);
      auto coordinate = [&](int size) {
        return std::uniform_int_distribution<std::int32_t>(-3, size + 3)(rng);
      };
      const Rect rect{coordinate(surface->width()), coordinate(surface->height()),
                      coordinate(surface->width()), coordinate(surface->height())};
      const Point at{coordinate(surface->width()), coordinate(surface->height())};
      dc->CopyFrom(*dc.dc, at, rect);
      ReferenceCopy(*expected, *expected, at, rect, std::nullopt);
      ASSERT_TRUE(SamePicture(*surface, *expected, "copy_overlap_" + std::to_string(depth)))
          << depth << " at " << at.x << "," << at.y << " to " << rect.left << "," << rect.top << ","
          << rect.right << "," << rect.bottom;
    }
  }
}

TEST(CopyFrom, PalettedOnto32BitsFollowsColourTableChanges) {
  auto page = Surface::Create(4, 2, 8, 256);
  const ColorTableEntry first[] = {{0, 0, 0, 0}, {0x30, 0x20, 0x10, 0}, {0, 0, 0xFF, 0}};
  page->SetColorTable(0, first);
  page->SetPixelAt(0, 0, 1);
  page->SetPixelAt(1, 0, 2);
  page->SetPixelAt(2, 1, 200);
  auto window_pixels = Surface::Create(4, 2, 32, 0, RowOrder::kTopDown);
  MemoryDc from(page);
  MemoryDc to(window_pixels);

  const std::uint64_t version = page->color_table_version();
  const auto* table = &page->IndexToRgb();
  EXPECT_EQ((*table)[1], 0x102030u);
  EXPECT_EQ(&page->IndexToRgb(), table);  // the same cached table, not rebuilt per call
  to->CopyFrom(*from.dc, Point{0, 0}, Rect{0, 0, 4, 2});
  EXPECT_EQ(window_pixels->PixelAt(0, 0), 0x102030u);
  EXPECT_EQ(window_pixels->PixelAt(1, 0), 0xFF0000u);
  EXPECT_EQ(window_pixels->PixelAt(2, 1), 0u);

  // A palette animation step: one entry changes through the page's context.
  const ColorTableEntry grey[] = {{0x80, 0x80, 0x80, 0}};
  from->SetColorTable(1, grey);
  EXPECT_GT(page->color_table_version(), version);
  EXPECT_EQ(page->IndexToRgb()[1], 0x808080u);
  to->CopyFrom(*from.dc, Point{0, 0}, Rect{0, 0, 4, 2});
  EXPECT_EQ(window_pixels->PixelAt(0, 0), 0x808080u);
  EXPECT_EQ(window_pixels->PixelAt(1, 0), 0xFF0000u);

  const ColorTableEntry blue[] = {{0xFF, 0, 0, 0}};
  page->SetColorTable(200, blue);
  to->CopyFrom(*from.dc, Point{0, 0}, Rect{0, 0, 4, 2});
  EXPECT_EQ(window_pixels->PixelAt(2, 1), 0x0000FFu);
}

TEST(CopyFrom, IndicesBeyondAShortColourTableReadBlack) {
  auto page = Surface::Create(2, 1, 4, 2);
  const ColorTableEntry white[] = {{255, 255, 255, 0}, {255, 255, 255, 0}};
  page->SetColorTable(0, white);
  page->SetPixelAt(0, 0, 1);
  page->SetPixelAt(1, 0, 9);
  auto rgb = Surface::Create(2, 1, 32);
  MemoryDc from(page);
  MemoryDc to(rgb);
  to->CopyFrom(*from.dc, Point{0, 0}, Rect{0, 0, 2, 1});
  EXPECT_EQ(rgb->PixelAt(0, 0), 0xFFFFFFu);
  EXPECT_EQ(rgb->PixelAt(1, 0), 0u);
}

}  // namespace
}  // namespace tavlo::platform
