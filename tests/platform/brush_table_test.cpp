// The brush table: reads without a lock, slot reuse, stale handles, pattern tiles kept out of
// line, and readers racing creation and deletion on other threads.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/brush_table.h"
#include "platform/objects.h"
#include "platform/objects_internal.h"

namespace tavlo::platform {
namespace {

using internal::BrushTable;

TEST(BrushTable, ReadGivesWhatWasAddedUntilRemoved) {
  struct Case {
    BrushStyle style;
    HatchStyle hatch;
    DeviceColor color;
    std::uint32_t tile;
  };
  const Case cases[] = {
      {BrushStyle::kSolid, HatchStyle::kHorizontal, 0xFFFFFFFFu, 0},
      {BrushStyle::kHatched, HatchStyle::kDiagonalCross, PaletteIndexColor(255), 0},
      {BrushStyle::kPattern, HatchStyle::kHorizontal, Rgb(1, 2, 3), 0xFFFFF123u},
      {BrushStyle::kHollow, HatchStyle::kRisingDiagonal, 0, 0},
  };
  BrushTable table;
  for (const Case& c : cases) {
    const std::uint32_t id = table.Add({c.style, c.hatch, c.color, c.tile});
    ASSERT_NE(id, 0u);
    BrushTable::Entry read;
    ASSERT_TRUE(table.Read(id, read));
    EXPECT_EQ(read.style, c.style);
    EXPECT_EQ(read.hatch, c.hatch);
    EXPECT_EQ(read.color, c.color);
    EXPECT_EQ(read.tile, c.tile);
    BrushTable::Entry removed;
    ASSERT_TRUE(table.Remove(id, removed));
    EXPECT_EQ(removed.color, c.color);
    EXPECT_EQ(removed.tile, c.tile);
    BrushTable::Entry untouched{BrushStyle::kHollow, HatchStyle::kCross, 77, 5};
    EXPECT_FALSE(table.Read(id, untouched));
    EXPECT_EQ(untouched.color, 77u);
    EXPECT_FALSE(table.Remove(id, removed));
  }
  EXPECT_EQ(table.live_count(), 0u);
}

TEST(BrushTable, ReusedSlotGetsANewIdAndTheOldOneStaysUnknown) {
  BrushTable table;
  const std::uint32_t first = table.Add({BrushStyle::kSolid, {}, 1, 0});
  BrushTable::Entry removed;
  ASSERT_TRUE(table.Remove(first, removed));
  const std::uint32_t second = table.Add({BrushStyle::kSolid, {}, 2, 0});
  // Same slot (the free list hands back the last one freed), next generation.
  EXPECT_EQ(second & 0xFFFFF, first & 0xFFFFF);
  EXPECT_NE(second, first);
  BrushTable::Entry read;
  EXPECT_FALSE(table.Read(first, read));
  EXPECT_FALSE(table.Remove(first, removed));
  ASSERT_TRUE(table.Read(second, read));
  EXPECT_EQ(read.color, 2u);
}

TEST(BrushTable, RefusesNoIdIdsBeyondTheSlotsAndStockBrushes) {
  BrushTable table;
  const std::uint32_t stock = table.Add({BrushStyle::kSolid, {}, 9, 0}, true);
  BrushTable::Entry entry;
  EXPECT_FALSE(table.Read(0, entry));
  EXPECT_FALSE(table.Read(0xFFFFFFFFu, entry));
  EXPECT_FALSE(table.Read((1u << 20) | 5000u, entry));  // a slot in a chunk never made
  EXPECT_FALSE(table.Remove(0, entry));
  EXPECT_FALSE(table.Remove(stock, entry));
  EXPECT_TRUE(table.Read(stock, entry));
  EXPECT_EQ(table.live_count(), 0u);  // stock brushes are not counted
}

TEST(BrushTable, GrowsAcrossChunksAndKeepsEveryBrush) {
  BrushTable table;
  std::vector<std::uint32_t> ids;
  for (std::uint32_t i = 0; i < 5000; ++i) {
    ids.push_back(table.Add({BrushStyle::kSolid, {}, i, 0}));
  }
  EXPECT_EQ(table.live_count(), 5000u);
  for (std::uint32_t i = 0; i < 5000; ++i) {
    BrushTable::Entry read;
    ASSERT_TRUE(table.Read(ids[i], read));
    EXPECT_EQ(read.color, i);
  }
  BrushTable::Entry removed;
  for (std::uint32_t id : ids) EXPECT_TRUE(table.Remove(id, removed));
  EXPECT_EQ(table.live_count(), 0u);
}

// A reader racing a thread that deletes and re-creates brushes in the same slots either finds
// the brush it names, whole, or finds it gone; never another brush's colour.
TEST(BrushTable, ReadersRacingDeletionSeeTheirBrushOrNothing) {
  BrushTable table;
  constexpr int kRounds = 20000;
  std::atomic<std::uint32_t> current{table.Add({BrushStyle::kSolid, {}, 0, 0})};
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (std::uint32_t i = 1; i <= kRounds; ++i) {
      const std::uint32_t next = table.Add({BrushStyle::kSolid, {}, i, i});
      const std::uint32_t old = current.exchange(next);
      BrushTable::Entry removed;
      EXPECT_TRUE(table.Remove(old, removed));
    }
    done = true;
  });
  while (!done) {
    const std::uint32_t id = current.load();
    BrushTable::Entry read;
    // Every brush was made with its tile equal to its colour.
    if (table.Read(id, read) && read.tile != read.color) {
      ADD_FAILURE() << "brush " << id << " read with colour " << read.color << " and tile "
                    << read.tile;
      break;
    }
  }
  writer.join();
  EXPECT_EQ(table.live_count(), 1u);
}

// Each thread parks the slot of the brush it deleted last and takes it back for its next brush,
// without the free list. The parked slot is free: it counts neither as live nor as known.
TEST(BrushTable, ThreadsSpareSlotIsFreeAndComesBackToItsThread) {
  BrushTable table;
  const std::uint32_t kept = table.Add({BrushStyle::kSolid, {}, 1, 0});
  const std::uint32_t parked = table.Add({BrushStyle::kSolid, {}, 2, 0});
  BrushTable::Entry removed;
  ASSERT_TRUE(table.Remove(parked, removed));
  EXPECT_EQ(removed.color, 2u);
  EXPECT_EQ(table.live_count(), 1u);
  BrushTable::Entry read;
  EXPECT_FALSE(table.Read(parked, read));
  EXPECT_FALSE(table.Remove(parked, removed));

  // Another thread does not get the parked slot: it takes a fresh one from the table.
  std::uint32_t elsewhere = 0;
  std::thread([&] { elsewhere = table.Add({BrushStyle::kSolid, {}, 3, 0}); }).join();
  EXPECT_NE(elsewhere & 0xFFFFF, parked & 0xFFFFF);
  EXPECT_EQ(table.live_count(), 2u);

  const std::uint32_t again = table.Add({BrushStyle::kSolid, {}, 4, 0});
  EXPECT_EQ(again & 0xFFFFF, parked & 0xFFFFF);
  EXPECT_NE(again, parked);
  EXPECT_EQ(table.live_count(), 3u);
  for (std::uint32_t id : {kept, elsewhere, again}) EXPECT_TRUE(table.Remove(id, removed));
  EXPECT_EQ(table.live_count(), 0u);
}

// A thread that ends with a parked slot gives it back to the free list, where any thread finds
// it; brushes made and deleted on many threads leave nothing alive behind.
TEST(BrushTable, EndingThreadsGiveTheirSpareBack) {
  BrushTable table;
  std::uint32_t parked = 0;
  std::thread([&] {
    parked = table.Add({BrushStyle::kSolid, {}, 5, 0});
    BrushTable::Entry removed;
    EXPECT_TRUE(table.Remove(parked, removed));
  }).join();
  EXPECT_EQ(table.live_count(), 0u);
  std::uint32_t reused = 0;
  std::thread([&] { reused = table.Add({BrushStyle::kSolid, {}, 6, 0}); }).join();
  EXPECT_EQ(reused & 0xFFFFF, parked & 0xFFFFF);
  BrushTable::Entry removed;
  EXPECT_TRUE(table.Remove(reused, removed));

  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&table, t] {
      std::vector<std::uint32_t> ids;
      for (int i = 0; i < 2000; ++i) {
        ids.push_back(table.Add({BrushStyle::kSolid, {}, static_cast<DeviceColor>(t), 0}));
        if (i % 3 == 2) {
          BrushTable::Entry gone;
          EXPECT_TRUE(table.Remove(ids[ids.size() - 2], gone));
          EXPECT_EQ(gone.color, static_cast<DeviceColor>(t));
          ids.erase(ids.end() - 2);
        }
      }
      for (std::uint32_t id : ids) {
        BrushTable::Entry gone;
        EXPECT_TRUE(table.Remove(id, gone));
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(table.live_count(), 0u);
}

// A thread that works with two tables moves its spare from one to the other; a table that goes
// while a thread still holds one of its slots as a spare leaves that thread sound.
TEST(BrushTable, SpareFollowsTheThreadFromTableToTable) {
  BrushTable first;
  BrushTable::Entry removed;
  {
    BrushTable second;
    const std::uint32_t a = first.Add({BrushStyle::kSolid, {}, 1, 0});
    ASSERT_TRUE(first.Remove(a, removed));  // parked with `first`
    const std::uint32_t b = second.Add({BrushStyle::kSolid, {}, 2, 0});
    ASSERT_TRUE(second.Remove(b, removed));  // the spare moves to `second`
    EXPECT_EQ(first.live_count(), 0u);
    EXPECT_EQ(second.live_count(), 0u);
  }
  const std::uint32_t c = first.Add({BrushStyle::kSolid, {}, 3, 0});
  ASSERT_TRUE(first.Remove(c, removed));
  EXPECT_EQ(removed.color, 3u);
  EXPECT_EQ(first.live_count(), 0u);
}

TEST(BrushTable, PatternTilesAreReleasedWithTheirBrush) {
  const std::size_t before = LiveObjectCount();
  BrushRecord pattern;
  pattern.style = BrushStyle::kPattern;
  for (std::size_t i = 0; i < 64; ++i)
    pattern.pattern[i] = PaletteIndexColor(static_cast<std::uint32_t>(i));
  // Many pattern brushes made and deleted: their tiles come back each time, and a stale handle
  // reads nothing even after its slot and tile have been reused.
  BrushHandle stale;
  for (int round = 0; round < 100; ++round) {
    pattern.pattern[0] = PaletteIndexColor(static_cast<std::uint32_t>(round));
    const BrushHandle brush = CreateBrush(pattern);
    ASSERT_TRUE(brush);
    EXPECT_EQ(BrushOf(brush).pattern[0], PaletteIndexColor(static_cast<std::uint32_t>(round)));
    EXPECT_EQ(BrushOf(brush).pattern[63], PaletteIndexColor(63));
    if (stale) {
      BrushRecord out;
      out.color = 123;
      EXPECT_FALSE(internal::ReadBrush(stale, out));
      EXPECT_EQ(out.color, 123u);
    }
    ASSERT_TRUE(DeleteObject(brush));
    stale = brush;
  }
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST(BrushTable, PlainBrushesAreMadeWithoutARecordAndPatternsAreRefused) {
  struct Case {
    BrushStyle style;
    HatchStyle hatch;
    DeviceColor color;
  };
  const Case cases[] = {
      {BrushStyle::kSolid, HatchStyle::kHorizontal, PaletteIndexColor(200)},
      {BrushStyle::kHatched, HatchStyle::kFallingDiagonal, Rgb(10, 20, 30)},
      {BrushStyle::kHollow, HatchStyle::kHorizontal, 0},
  };
  const std::size_t before = LiveObjectCount();
  for (const Case& c : cases) {
    const BrushHandle brush = CreateBrush(c.style, c.hatch, c.color);
    ASSERT_TRUE(brush);
    const BrushRecord read = BrushOf(brush);
    EXPECT_EQ(read.style, c.style);
    EXPECT_EQ(read.hatch, c.hatch);
    EXPECT_EQ(read.color, c.color);
    EXPECT_TRUE(DeleteObject(brush));
  }
  EXPECT_FALSE(CreateBrush(BrushStyle::kPattern, HatchStyle::kHorizontal, 0));
  EXPECT_EQ(LiveObjectCount(), before);
}

TEST(BrushTable, ReadingASolidBrushLeavesThePatternOfTheRecordAlone) {
  const BrushHandle solid = CreateBrush(BrushRecord{BrushStyle::kSolid, {}, Rgb(4, 5, 6)});
  BrushRecord out;
  out.pattern.fill(42);
  ASSERT_TRUE(internal::ReadBrush(solid, out));
  EXPECT_EQ(out.style, BrushStyle::kSolid);
  EXPECT_EQ(out.color, Rgb(4, 5, 6));
  EXPECT_EQ(out.pattern[17], 42u);
  EXPECT_TRUE(DeleteObject(solid));
}

}  // namespace
}  // namespace tavlo::platform
