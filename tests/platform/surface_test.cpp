// Surface and Palette: creation and its refusals, packing and row order, colour tables and their
// cached index-to-RGB table, nearest colours.

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/palette.h"
#include "platform/surface.h"

namespace tavlo::platform {
namespace {

TEST(Surface, RefusesBadSizesAndDepthsWithoutOverflow) {
  EXPECT_FALSE(Surface::Create(0, 5, 8));
  EXPECT_FALSE(Surface::Create(5, 0, 8));
  EXPECT_FALSE(Surface::Create(-1, 5, 8));
  EXPECT_FALSE(Surface::Create(5, INT_MIN, 8));
  for (int depth : {0, 2, 3, 16, 24, 64, -8}) EXPECT_FALSE(Surface::Create(4, 4, depth));
  EXPECT_FALSE(Surface::Create(INT_MAX, INT_MAX, 32));
  EXPECT_FALSE(Surface::Create(INT_MAX, INT_MAX, 1));
  EXPECT_FALSE(Surface::Create(INT_MAX, 2, 32));
  EXPECT_FALSE(Surface::Create(65536, 65536, 32));
  EXPECT_FALSE(Surface::Create(1 << 16, 1 << 15, 8));
  EXPECT_FALSE(Surface::Create(3, INT_MAX, 32));
  EXPECT_TRUE(Surface::Create(640, 480, 32));
}

TEST(Surface, RowsAreWordAlignedAndPixelsStartAtZero) {
  struct Case {
    int width, depth;
    std::size_t stride;
  };
  for (const Case& c : {Case{1, 1, 4}, Case{33, 1, 8}, Case{7, 4, 4}, Case{9, 4, 8}, Case{5, 8, 8},
                        Case{4, 8, 4}, Case{3, 32, 12}}) {
    auto s = Surface::Create(c.width, 3, c.depth);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->stride(), c.stride) << c.width << "x" << c.depth;
    for (int y = 0; y < 3; ++y) {
      for (int x = 0; x < c.width; ++x) EXPECT_EQ(s->PixelAt(x, y), 0u);
    }
  }
}

TEST(Surface, PacksMsbFirstAndHonoursRowOrder) {
  auto one = Surface::Create(16, 2, 1, 2, RowOrder::kBottomUp);
  one->SetPixelAt(0, 0, 1);
  one->SetPixelAt(9, 0, 1);
  // y = 0 is the last row in memory for a bottom-up surface.
  EXPECT_EQ(one->Row(0), one->Row(1) + one->stride());
  EXPECT_EQ(one->Row(0)[0], 0x80);
  EXPECT_EQ(one->Row(0)[1], 0x40);
  EXPECT_EQ(one->Row(1)[0], 0x00);

  auto four = Surface::Create(3, 2, 4, 16, RowOrder::kTopDown);
  four->SetPixelAt(0, 1, 0xA);
  four->SetPixelAt(1, 1, 0x5);
  four->SetPixelAt(2, 1, 0xF);
  EXPECT_EQ(four->Row(1), four->Row(0) + four->stride());
  EXPECT_EQ(four->Row(1)[0], 0xA5);
  EXPECT_EQ(four->Row(1)[1], 0xF0);
  EXPECT_EQ(four->PixelAt(1, 1), 0x5u);
  four->SetPixelAt(0, 1, 0x13);  // only the low bits are kept
  EXPECT_EQ(four->PixelAt(0, 1), 0x3u);
  EXPECT_EQ(four->PixelAt(1, 1), 0x5u);

  auto rgb = Surface::Create(2, 1, 32);
  rgb->SetPixelAt(1, 0, 0x00112233);
  EXPECT_EQ(rgb->Row(0)[4], 0x33);  // blue, green, red, unused
  EXPECT_EQ(rgb->Row(0)[6], 0x11);
  EXPECT_EQ(rgb->RgbAt(1, 0), 0x112233u);
}

TEST(Surface, OutsideCoordinatesReadZeroAndWriteNothing) {
  auto s = Surface::Create(2, 2, 8);
  s->SetPixelAt(-1, 0, 5);
  s->SetPixelAt(2, 0, 5);
  s->SetPixelAt(0, INT_MAX, 5);
  s->SetPixelAt(INT_MIN, INT_MIN, 5);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(s->PixelAt(x, y), 0u);
  }
  EXPECT_EQ(s->PixelAt(-1, -1), 0u);
  EXPECT_EQ(s->RgbAt(5, 5), 0u);
}

TEST(Surface, ColourTableIsClampedAndVersioned) {
  EXPECT_EQ(Surface::Create(1, 1, 1, 100)->color_table().size(), 2u);
  EXPECT_EQ(Surface::Create(1, 1, 4, 100)->color_table().size(), 16u);
  EXPECT_EQ(Surface::Create(1, 1, 8, 1000)->color_table().size(), 256u);
  EXPECT_EQ(Surface::Create(1, 1, 8, -3)->color_table().size(), 0u);
  EXPECT_EQ(Surface::Create(1, 1, 32, 256)->color_table().size(), 0u);

  auto s = Surface::Create(2, 1, 8, 4);
  EXPECT_EQ(s->color_table()[3], ColorTableEntry{});
  const std::uint64_t v0 = s->color_table_version();
  const ColorTableEntry entries[] = {{1, 2, 3, 0}, {4, 5, 6, 0}, {7, 8, 9, 0}};
  s->SetColorTable(2, entries);  // the third entry falls beyond the table
  EXPECT_GT(s->color_table_version(), v0);
  EXPECT_EQ(s->color_table()[2], entries[0]);
  EXPECT_EQ(s->color_table()[3], entries[1]);
  s->SetPixelAt(0, 0, 3);
  EXPECT_EQ(s->RgbAt(0, 0), 0x060504u);
  s->SetPixelAt(1, 0, 77);  // beyond the table
  EXPECT_EQ(s->RgbAt(1, 0), 0u);
}

TEST(Surface, IndexToRgbIsRebuiltOnlyWhenTheTableChanges) {
  auto s = Surface::Create(1, 1, 8, 256);
  const ColorTableEntry red[] = {{0, 0, 255, 0}};
  s->SetColorTable(10, red);
  const auto& table = s->IndexToRgb();
  EXPECT_EQ(table[10], 0xFF0000u);
  EXPECT_EQ(table[11], 0u);
  const auto copy = table;
  EXPECT_EQ(s->IndexToRgb(), copy);
  const ColorTableEntry green[] = {{0, 255, 0, 0}};
  s->SetColorTable(11, green);
  EXPECT_EQ(s->IndexToRgb()[11], 0x00FF00u);
  EXPECT_EQ(s->IndexToRgb()[10], 0xFF0000u);
  // Entries a short table lacks read black.
  auto short_table = Surface::Create(1, 1, 8, 2);
  EXPECT_EQ(short_table->IndexToRgb()[200], 0u);
}

TEST(Palette, ResizeAndSetEntries) {
  Palette p(2);
  const PaletteEntry entries[] = {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}};
  p.SetEntries(1, entries);
  EXPECT_EQ(p.entries()[1], entries[0]);
  p.Resize(4);
  EXPECT_EQ(p.size(), 4u);
  EXPECT_EQ(p.entries()[3], PaletteEntry{});
  p.SetEntries(9, entries);
  p.Resize(1);
  EXPECT_EQ(p.size(), 1u);
}

TEST(Palette, NearestIndexTakesLeastSquaredDistanceAndLowestIndexOnTie) {
  Palette p(5);
  const PaletteEntry entries[] = {
      {0, 0, 0, 0}, {10, 0, 0, 0}, {0, 10, 0, 0}, {0, 0, 10, 0}, {10, 0, 0, 0}};
  p.SetEntries(0, entries);
  EXPECT_EQ(p.NearestIndex(Rgb(10, 0, 0)), 1u);  // 1 and 4 are equal: the lower
  EXPECT_EQ(p.NearestIndex(Rgb(5, 5, 0)), 0u);   // 0, 1 and 2 all at 50: the lowest
  EXPECT_EQ(p.NearestIndex(Rgb(0, 0, 9)), 3u);
  EXPECT_EQ(p.NearestIndex(Rgb(200, 200, 200)), 1u);  // 1, 2, 3 tie, nearer than 0
  EXPECT_EQ(Palette(0).NearestIndex(Rgb(1, 2, 3)), 0u);

  const ColorTableEntry table[] = {{0, 0, 0, 0}, {0, 0, 20, 0}, {0, 0, 40, 0}};
  EXPECT_EQ(NearestIndex(table, Rgb(30, 0, 0)), 1u);  // 10 from both: the lower
  EXPECT_EQ(NearestIndex(table, Rgb(31, 0, 0)), 2u);
  EXPECT_EQ(NearestIndex({}, Rgb(31, 0, 0)), 0u);
}

}  // namespace
}  // namespace tavlo::platform
