// FillRect and SetPixel: the fast kernels checked against a per-pixel reference on seeded random
// inputs for every depth, the hatch and pattern looks, clipping at the ends of the coordinate
// ranges, and the colour resolution rules.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

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

constexpr std::int32_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax32 = std::numeric_limits<std::int32_t>::max();

// Straight from the HatchStyle comment in objects.h.
bool OnHatchLine(HatchStyle hatch, std::int64_t x, std::int64_t y) {
  auto mod8 = [](std::int64_t v) { return ((v % 8) + 8) % 8; };
  const bool horizontal = mod8(y) == 0;
  const bool vertical = mod8(x) == 0;
  const bool rising = mod8(x + y) == 7;
  const bool falling = mod8(x - y) == 0;
  switch (hatch) {
    case HatchStyle::kHorizontal:
      return horizontal;
    case HatchStyle::kVertical:
      return vertical;
    case HatchStyle::kFallingDiagonal:
      return falling;
    case HatchStyle::kRisingDiagonal:
      return rising;
    case HatchStyle::kCross:
      return horizontal || vertical;
    case HatchStyle::kDiagonalCross:
      return rising || falling;
  }
  return false;
}

// What FillRect must do, one pixel at a time.
struct ReferenceState {
  BrushRecord brush;
  std::vector<PaletteEntry> realized;
  std::optional<Rect> clip;
  DeviceColor background = Rgb(255, 255, 255);
  BackgroundMode mode = BackgroundMode::kOpaque;
};

void ReferenceFill(Surface& s, const Rect& rect, const ReferenceState& st) {
  for (std::int64_t y = std::max<std::int64_t>(rect.top, 0);
       y < std::min<std::int64_t>(rect.bottom, s.height()); ++y) {
    for (std::int64_t x = std::max<std::int64_t>(rect.left, 0);
         x < std::min<std::int64_t>(rect.right, s.width()); ++x) {
      if (st.clip &&
          (x < st.clip->left || x >= st.clip->right || y < st.clip->top || y >= st.clip->bottom)) {
        continue;
      }
      const int xi = static_cast<int>(x), yi = static_cast<int>(y);
      switch (st.brush.style) {
        case BrushStyle::kSolid:
          s.SetPixelAt(xi, yi, test::ReferenceResolve(st.brush.color, s, st.realized));
          break;
        case BrushStyle::kHatched:
          if (OnHatchLine(st.brush.hatch, x, y)) {
            s.SetPixelAt(xi, yi, test::ReferenceResolve(st.brush.color, s, st.realized));
          } else if (st.mode == BackgroundMode::kOpaque) {
            s.SetPixelAt(xi, yi, test::ReferenceResolve(st.background, s, st.realized));
          }
          break;
        case BrushStyle::kPattern:
          s.SetPixelAt(
              xi, yi,
              test::ReferenceResolve(st.brush.pattern[(yi & 7) * 8 + (xi & 7)], s, st.realized));
          break;
        case BrushStyle::kHollow:
          break;
      }
    }
  }
}

DeviceColor RandomColor(std::mt19937& rng) {
  std::uniform_int_distribution<int> kind(0, 2);
  std::uniform_int_distribution<std::uint32_t> any(0, 0xFFFFFFFF);
  switch (kind(rng)) {
    case 0:
      return PaletteIndexColor(any(rng) % 320);
    case 1:
      return PaletteIndexColor(any(rng));
    default:
      return any(rng) & 0x00FFFFFF;
  }
}

std::int32_t RandomCoordinate(std::mt19937& rng, int size) {
  return test::RandomCoordinate(rng, size, 20, 12);
}

Rect RandomRect(std::mt19937& rng, int width, int height) {
  return Rect{RandomCoordinate(rng, width), RandomCoordinate(rng, height),
              RandomCoordinate(rng, width), RandomCoordinate(rng, height)};
}

BrushRecord RandomBrush(std::mt19937& rng) {
  BrushRecord brush;
  brush.style = static_cast<BrushStyle>(std::uniform_int_distribution<int>(0, 3)(rng));
  brush.hatch = static_cast<HatchStyle>(std::uniform_int_distribution<int>(0, 5)(rng));
  brush.color = RandomColor(rng);
  for (DeviceColor& c : brush.pattern) c = RandomColor(rng);
  return brush;
}

std::vector<PaletteEntry> RandomPalette(std::mt19937& rng) {
  std::vector<PaletteEntry> entries(std::uniform_int_distribution<std::size_t>(0, 300)(rng));
  std::uniform_int_distribution<int> byte(0, 255);
  for (auto& e : entries) {
    e = PaletteEntry{static_cast<std::uint8_t>(byte(rng)), static_cast<std::uint8_t>(byte(rng)),
                     static_cast<std::uint8_t>(byte(rng)), 0};
  }
  return entries;
}

TEST(FillRect, FastPathMatchesReferenceOnRandomInputs) {
  std::mt19937 rng(20240611);
  const int depths[] = {1, 4, 8, 32};
  int case_number = 0;
  for (int depth : depths) {
    for (int round = 0; round < 60; ++round, ++case_number) {
      const int width = std::uniform_int_distribution<int>(1, 75)(rng);
      const int height = std::uniform_int_distribution<int>(1, 40)(rng);
      const RowOrder order = round % 2 ? RowOrder::kTopDown : RowOrder::kBottomUp;
      const int table_size = std::uniform_int_distribution<int>(0, 256)(rng);
      auto actual = Surface::Create(width, height, depth, table_size, order);
      ASSERT_TRUE(actual);
      test::RandomColorTable(*actual, rng);
      test::FillNoise(*actual, rng);
      auto expected = test::Copy(*actual);

      MemoryDc dc(actual);
      ReferenceState st;
      st.brush = BrushOf(StockBrush());
      const std::vector<PaletteEntry> palette_entries = RandomPalette(rng);
      const PaletteHandle palette = CreatePalette(palette_entries);
      if (rng() % 4 != 0) {
        dc->SelectPalette(palette, false);
        st.realized = palette_entries;
      } else {
        st.realized = {PaletteEntry{0, 0, 0, 0}, PaletteEntry{255, 255, 255, 0}};
      }
      std::vector<BrushHandle> brushes;
      for (int step = 0; step < 25; ++step) {
        // Change what the cached brush depends on now and then.
        switch (rng() % 8) {
          case 0: {
            st.brush = RandomBrush(rng);
            brushes.push_back(CreateBrush(st.brush));
            dc->SelectBrush(brushes.back());
            break;
          }
          case 1:
            st.background = RandomColor(rng);
            dc->SetBackgroundColor(st.background);
            break;
          case 2:
            st.mode = rng() % 2 ? BackgroundMode::kOpaque : BackgroundMode::kTransparent;
            dc->SetBackgroundMode(st.mode);
            break;
          case 3: {
            if (rng() % 3 == 0) {
              dc->SelectClipRegion(RegionHandle{});
              st.clip.reset();
            } else {
              const Rect clip = RandomRect(rng, width, height);
              const RegionHandle region = CreateRectRegion(clip);
              dc->SelectClipRegion(region);
              DeleteObject(region);
              st.clip = clip;
            }
            break;
          }
          case 4: {
            // New colour table entries: the surface's version moves on.
            test::RandomColorTable(*actual, rng);
            expected->SetColorTable(0, actual->color_table());
            break;
          }
          case 5: {
            // Palette entries change, but count only once realised.
            auto entries = RandomPalette(rng);
            entries.resize(std::min(entries.size(), palette_entries.size()));
            PaletteOf(palette)->SetEntries(0, entries);
            if (rng() % 2 && dc->palette() == palette) {
              dc->RealizePalette();
              const auto now = PaletteOf(palette)->entries();
              st.realized.assign(now.begin(), now.end());
            }
            break;
          }
          default:
            break;
        }
        Rect rect = RandomRect(rng, width, height);
        // Mostly well-formed rectangles, so that most steps paint something.
        if (rng() % 4 != 0) {
          if (rect.left > rect.right) std::swap(rect.left, rect.right);
          if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
        }
        dc->FillRect(rect);
        ReferenceFill(*expected, rect, st);
        ASSERT_TRUE(
            SamePicture(*actual, *expected,
                        "fill_random_" + std::to_string(case_number) + "_" + std::to_string(step)))
            << "depth " << depth << " rect " << rect.left << "," << rect.top << "," << rect.right
            << "," << rect.bottom << " brush style " << int(st.brush.style) << " hatch "
            << int(st.brush.hatch) << " mode " << int(st.mode);
      }
      dc->SelectBrush(StockBrush());
      dc->SelectPalette(StockPalette(), false);
      for (BrushHandle b : brushes) DeleteObject(b);
      DeleteObject(palette);
    }
  }
}

// The hatches drawn as pictures: one tile, X for the line colour, . for the gap.
std::array<const char*, 8> HatchPicture(HatchStyle hatch) {
  switch (hatch) {
    case HatchStyle::kHorizontal:
      return {"XXXXXXXX", "........", "........", "........",
              "........", "........", "........", "........"};
    case HatchStyle::kVertical:
      return {"X.......", "X.......", "X.......", "X.......",
              "X.......", "X.......", "X.......", "X......."};
    case HatchStyle::kFallingDiagonal:
      return {"X.......", ".X......", "..X.....", "...X....",
              "....X...", ".....X..", "......X.", ".......X"};
    case HatchStyle::kRisingDiagonal:
      return {".......X", "......X.", ".....X..", "....X...",
              "...X....", "..X.....", ".X......", "X......."};
    case HatchStyle::kCross:
      return {"XXXXXXXX", "X.......", "X.......", "X.......",
              "X.......", "X.......", "X.......", "X......."};
    case HatchStyle::kDiagonalCross:
      return {"X......X", ".X....X.", "..X..X..", "...XX...",
              "...XX...", "..X..X..", ".X....X.", "X......X"};
  }
  return {};
}

class HatchLook : public ::testing::TestWithParam<std::tuple<int, HatchStyle, BackgroundMode>> {};

TEST_P(HatchLook, MatchesPictureAlignedToSurfaceOrigin) {
  const auto [depth, hatch, mode] = GetParam();
  auto surface = Surface::Create(24, 20, depth, 16, RowOrder::kBottomUp);
  const std::uint32_t old_value = depth == 32 ? 0x123456 : 1;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 24; ++x) surface->SetPixelAt(x, y, old_value);
  }
  auto expected = test::Copy(*surface);
  MemoryDc dc(surface);
  // Line, gap and old pixels all differ where the depth allows it.
  const std::uint32_t line_index = depth == 1 ? 1 : 2;
  const std::uint32_t gap_index = depth == 1 ? 0 : 3;
  const std::uint32_t line_value = depth == 32 ? 0xFF0000 : line_index;
  const std::uint32_t gap_value = depth == 32 ? 0x0000FF : gap_index;
  BrushRecord brush;
  brush.style = BrushStyle::kHatched;
  brush.hatch = hatch;
  brush.color = depth == 32 ? Rgb(255, 0, 0) : PaletteIndexColor(line_index);
  const BrushHandle handle = CreateBrush(brush);
  dc->SelectBrush(handle);
  dc->SetBackgroundColor(depth == 32 ? Rgb(0, 0, 255) : PaletteIndexColor(gap_index));
  dc->SetBackgroundMode(mode);
  const Rect rect{3, 2, 21, 19};
  dc->FillRect(rect);
  const auto tile = HatchPicture(hatch);
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (tile[y % 8][x % 8] == 'X') {
        expected->SetPixelAt(x, y, line_value);
      } else if (mode == BackgroundMode::kOpaque) {
        expected->SetPixelAt(x, y, gap_value);
      }
    }
  }
  EXPECT_TRUE(SamePicture(*surface, *expected,
                          "hatch_" + std::to_string(depth) + "_" + std::to_string(int(hatch)) +
                              "_" + std::to_string(int(mode))));
  dc->SelectBrush(StockBrush());
  DeleteObject(handle);
}

INSTANTIATE_TEST_SUITE_P(
    AllHatches, HatchLook,
    ::testing::Combine(::testing::Values(1, 4, 8, 32),
                       ::testing::Values(HatchStyle::kHorizontal, HatchStyle::kVertical,
                                         HatchStyle::kFallingDiagonal, HatchStyle::kRisingDiagonal,
                                         HatchStyle::kCross, HatchStyle::kDiagonalCross),
                       ::testing::Values(BackgroundMode::kOpaque, BackgroundMode::kTransparent)));

TEST(FillRect, PatternTilesAlignToSurfaceOriginInBothBackgroundModes) {
  for (BackgroundMode mode : {BackgroundMode::kOpaque, BackgroundMode::kTransparent}) {
    for (int depth : {4, 8, 32}) {
      auto surface = Surface::Create(20, 20, depth, 16, RowOrder::kTopDown);
      MemoryDc dc(surface);
      BrushRecord brush;
      brush.style = BrushStyle::kPattern;
      for (int i = 0; i < 64; ++i) {
        brush.pattern[i] = depth == 32 ? Rgb(static_cast<std::uint8_t>(i), 7, 9)
                                       : PaletteIndexColor(static_cast<std::uint32_t>(i % 16));
      }
      const BrushHandle handle = CreateBrush(brush);
      dc->SelectBrush(handle);
      dc->SetBackgroundMode(mode);  // a pattern paints every pixel either way
      dc->FillRect(Rect{3, 5, 17, 18});
      for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
          const bool inside = x >= 3 && x < 17 && y >= 5 && y < 18;
          const int i = (y & 7) * 8 + (x & 7);
          const std::uint32_t want =
              !inside
                  ? 0u
                  : (depth == 32 ? (std::uint32_t(i) << 16 | 7u << 8 | 9u) : std::uint32_t(i % 16));
          ASSERT_EQ(surface->PixelAt(x, y), want) << depth << " at " << x << "," << y;
        }
      }
      dc->SelectBrush(StockBrush());
      DeleteObject(handle);
    }
  }
}

TEST(FillRect, ExcludesRightColumnAndBottomRow) {
  auto surface = Surface::Create(10, 10, 8);
  MemoryDc dc(surface);
  const BrushHandle red = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, PaletteIndexColor(5)});
  dc->SelectBrush(red);
  dc->FillRect(Rect{4, 6, 7, 9});
  int painted = 0;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      const bool inside = x >= 4 && x <= 6 && y >= 6 && y <= 8;
      EXPECT_EQ(surface->PixelAt(x, y), inside ? 5u : 0u) << x << "," << y;
      painted += inside;
    }
  }
  EXPECT_EQ(painted, 9);
  dc->SelectBrush(StockBrush());
  DeleteObject(red);
}

TEST(FillRect, HollowBrushPaintsNothing) {
  auto surface = Surface::Create(8, 8, 32);
  MemoryDc dc(surface);
  const BrushHandle hollow = CreateBrush(BrushRecord{BrushStyle::kHollow, {}, Rgb(1, 2, 3)});
  dc->SelectBrush(hollow);
  dc->FillRect(Rect{kMin32, kMin32, kMax32, kMax32});
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) EXPECT_EQ(surface->PixelAt(x, y), 0u);
  }
  dc->SelectBrush(StockBrush());
  DeleteObject(hollow);
}

// Runs under AddressSanitizer in the debug preset: a write outside a surface fails there.
TEST(FillRect, ClipsAtTheEndsOfTheCoordinateRanges) {
  const Rect rects[] = {
      {kMin32, kMin32, kMax32, kMax32},
      {-32768, -32768, 32768, 32768},
      {-32768, -32768, 32767, 32767},
      {32767, 32767, 32768, 32768},
      {kMax32 - 1, 0, kMax32, 5},
      {kMin32, 2, 3, kMax32},
      {kMax32, kMax32, kMin32, kMin32},
      {5, 5, 5, 5},
      {-5, -5, 0, 0},
      {kMin32, kMin32, kMin32 + 1, kMin32 + 1},
      {-1, -1, 1, 1},
  };
  for (int depth : {1, 4, 8, 32}) {
    for (const Rect& rect : rects) {
      for (int style = 0; style < 4; ++style) {
        auto surface = Surface::Create(13, 7, depth, 2);
        auto expected = test::Copy(*surface);
        MemoryDc dc(surface);
        BrushRecord brush{static_cast<BrushStyle>(style), HatchStyle::kDiagonalCross,
                          PaletteIndexColor(1)};
        brush.pattern.fill(PaletteIndexColor(1));
        const BrushHandle handle = CreateBrush(brush);
        dc->SelectBrush(handle);
        dc->SetBackgroundColor(PaletteIndexColor(1));
        dc->FillRect(rect);
        ReferenceState st;
        st.brush = brush;
        st.background = PaletteIndexColor(1);
        st.realized = {PaletteEntry{0, 0, 0, 0}, PaletteEntry{255, 255, 255, 0}};
        ReferenceFill(*expected, rect, st);
        EXPECT_TRUE(SamePicture(*surface, *expected, "fill_extreme"))
            << depth << " " << rect.left << "," << rect.top << "," << rect.right << ","
            << rect.bottom;
        // The same under a clip region at the far end of the range.
        const RegionHandle far = CreateRectRegion(Rect{kMax32 - 2, kMax32 - 2, kMax32, kMax32});
        dc->SelectClipRegion(far);
        dc->FillRect(Rect{kMin32, kMin32, kMax32, kMax32});
        EXPECT_TRUE(SamePicture(*surface, *expected, "fill_extreme_clip"));
        dc->SelectClipRegion(RegionHandle{});
        DeleteObject(far);
        dc->SelectBrush(StockBrush());
        DeleteObject(handle);
      }
    }
  }
}

TEST(FillRect, HugeRectanglesCostOnlyTheCoveredPixels) {
  // A million fills of the whole 32-bit plane on a 2 by 2 surface finish quickly only if the
  // work does not depend on the rectangle's size.
  auto surface = Surface::Create(2, 2, 8);
  MemoryDc dc(surface);
  for (int i = 0; i < 1'000'000; ++i) dc->FillRect(Rect{kMin32, kMin32, kMax32, kMax32});
  EXPECT_EQ(surface->PixelAt(1, 1), 0u);  // the stock white brush on a table of no entries
}

TEST(ColorResolution, PaletteReferenceOnPalettedSurfaceStoresMaskedIndex) {
  struct Case {
    int depth;
    std::uint32_t index;
    std::uint32_t stored;
  };
  for (const Case& c : {Case{8, 300, 44}, Case{8, 7, 7}, Case{4, 0x13, 3}, Case{4, 15, 15},
                        Case{1, 3, 1}, Case{1, 2, 0}, Case{8, 0xFFFF, 0xFF}}) {
    auto surface = Surface::Create(4, 4, c.depth, 0);
    MemoryDc dc(surface);
    const BrushHandle brush =
        CreateBrush(BrushRecord{BrushStyle::kSolid, {}, PaletteIndexColor(c.index)});
    dc->SelectBrush(brush);
    dc->FillRect(Rect{0, 0, 2, 2});
    EXPECT_EQ(surface->PixelAt(1, 1), c.stored) << c.depth << " " << c.index;
    dc->SetPixel(Point{3, 3}, PaletteIndexColor(c.index));
    EXPECT_EQ(surface->PixelAt(3, 3), c.stored);
    dc->SelectBrush(StockBrush());
    DeleteObject(brush);
  }
}

TEST(ColorResolution, PaletteReferenceOn32BitsGoesThroughSelectedPalette) {
  auto surface = Surface::Create(4, 1, 32);
  MemoryDc dc(surface);
  // No palette selected: the stock palette of black and white.
  dc->SetPixel(Point{0, 0}, PaletteIndexColor(1));
  EXPECT_EQ(surface->PixelAt(0, 0), 0xFFFFFFu);
  const PaletteEntry entries[] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
  const PaletteHandle palette = CreatePalette(entries);
  EXPECT_EQ(dc->SelectPalette(palette, false), StockPalette());
  dc->SetPixel(Point{1, 0}, PaletteIndexColor(2));
  EXPECT_EQ(surface->PixelAt(1, 0), 0x46505Au);
  // Beyond the palette: entry 0.
  dc->SetPixel(Point{2, 0}, PaletteIndexColor(3));
  EXPECT_EQ(surface->PixelAt(2, 0), 0x0A141Eu);
  // A change of the palette counts once realised.
  const PaletteEntry changed[] = {{1, 2, 3, 0}};
  PaletteOf(palette)->SetEntries(2, changed);
  dc->SetPixel(Point{3, 0}, PaletteIndexColor(2));
  EXPECT_EQ(surface->PixelAt(3, 0), 0x46505Au);
  dc->RealizePalette();
  dc->SetPixel(Point{3, 0}, PaletteIndexColor(2));
  EXPECT_EQ(surface->PixelAt(3, 0), 0x010203u);
  dc->SelectPalette(StockPalette(), false);
  DeleteObject(palette);
}

TEST(ColorResolution, RgbOn32BitsIsThePixelWord) {
  auto surface = Surface::Create(2, 2, 32);
  MemoryDc dc(surface);
  const BrushHandle brush = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(0x12, 0x34, 0x56)});
  dc->SelectBrush(brush);
  dc->FillRect(Rect{0, 0, 2, 2});
  EXPECT_EQ(surface->PixelAt(1, 1), 0x123456u);
  EXPECT_EQ(surface->RgbAt(1, 1), 0x123456u);
  dc->SelectBrush(StockBrush());
  DeleteObject(brush);
}

TEST(ColorResolution, RgbOnPalettedSurfaceIsNearestEntryLowestOnTie) {
  auto surface = Surface::Create(4, 1, 8, 4);
  // Entries 1 and 3 are equally far from (100, 100, 100); entry 2 is the same as entry 1.
  const ColorTableEntry table[] = {
      {0, 0, 0, 0}, {110, 100, 100, 0}, {110, 100, 100, 0}, {90, 100, 100, 0}};
  surface->SetColorTable(0, table);
  MemoryDc dc(surface);
  dc->SetPixel(Point{0, 0}, Rgb(100, 100, 100));
  EXPECT_EQ(surface->PixelAt(0, 0), 1u);
  dc->SetPixel(Point{1, 0}, Rgb(100, 100, 89));  // blue 89 is nearest to entry 3 (blue 90)
  EXPECT_EQ(surface->PixelAt(1, 0), 3u);
  dc->SetPixel(Point{2, 0}, Rgb(0, 0, 0));
  EXPECT_EQ(surface->PixelAt(2, 0), 0u);
  // A change of the colour table changes the answer for the same colour.
  const ColorTableEntry grey[] = {{100, 100, 100, 0}};
  dc->SetColorTable(2, grey);
  dc->SetPixel(Point{3, 0}, Rgb(100, 100, 100));
  EXPECT_EQ(surface->PixelAt(3, 0), 2u);
}

TEST(ColorResolution, BrushColourIsResolvedAgainWhenColourTableChanges) {
  auto surface = Surface::Create(4, 1, 4, 16);
  MemoryDc dc(surface);
  const BrushHandle brush = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(200, 0, 0)});
  dc->SelectBrush(brush);
  dc->FillRect(Rect{0, 0, 1, 1});
  EXPECT_EQ(surface->PixelAt(0, 0), 0u);  // all black: the lowest index
  const ColorTableEntry red[] = {{0, 0, 200, 0}};
  dc->SetColorTable(9, red);
  dc->FillRect(Rect{1, 0, 2, 1});
  EXPECT_EQ(surface->PixelAt(1, 0), 9u);
  dc->SelectBrush(StockBrush());
  DeleteObject(brush);
}

TEST(SetPixel, ClipsToSurfaceAndClipRegionAndIgnoresRasterOp) {
  auto surface = Surface::Create(5, 5, 8);
  MemoryDc dc(surface);
  dc->SetRasterOp(RasterOp::kXorPen);
  dc->SetPixel(Point{1, 1}, PaletteIndexColor(9));
  dc->SetPixel(Point{1, 1}, PaletteIndexColor(9));
  EXPECT_EQ(surface->PixelAt(1, 1), 9u);
  dc->SetPixel(Point{-1, 0}, PaletteIndexColor(9));
  dc->SetPixel(Point{5, 0}, PaletteIndexColor(9));
  dc->SetPixel(Point{kMin32, kMax32}, PaletteIndexColor(9));
  const RegionHandle region = CreateRectRegion(Rect{2, 2, 4, 4});
  dc->SelectClipRegion(region);
  ASSERT_TRUE(dc->clip_rect().has_value());
  dc->SetPixel(Point{1, 2}, PaletteIndexColor(7));
  dc->SetPixel(Point{3, 3}, PaletteIndexColor(7));
  dc->SetPixel(Point{4, 3}, PaletteIndexColor(7));
  EXPECT_EQ(surface->PixelAt(1, 2), 0u);
  EXPECT_EQ(surface->PixelAt(3, 3), 7u);
  EXPECT_EQ(surface->PixelAt(4, 3), 0u);
  int set = 0;
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 5; ++x) set += surface->PixelAt(x, y) != 0;
  }
  EXPECT_EQ(set, 2);
  DeleteObject(region);
}

}  // namespace
}  // namespace tavlo::platform
