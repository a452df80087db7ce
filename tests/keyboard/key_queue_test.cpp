// The key ring: its overflow rule, and what the queue holds around the life of a window.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "keyboard/key_queue.h"
#include "keyboard/keys.h"
#include "platform/headless/automation.h"
#include "support/graphics_fixture.h"
#include "tavlo/graphics.h"

namespace tavlo {
namespace {

using Codes = std::vector<std::uint8_t>;

class KeyQueueTest : public testing::GraphicsTest {
 protected:
  void SetUp() override {
    GraphicsTest::SetUp();
    testing::OpenOrFail(Driver8Bit, Mode320x200, "QUEUE");
  }
  // Everything queued, read with NextKey until the queue is empty.
  static Codes Drain() {
    Codes codes;
    while (KeyWaiting()) codes.push_back(NextKey());
    return codes;
  }
  static Codes Range(std::uint8_t first, std::uint8_t last) {
    Codes codes;
    for (int c = first; c <= last; ++c) codes.push_back(static_cast<std::uint8_t>(c));
    return codes;
  }
};

// The pushes run on the test thread here; the ring's lock makes that as safe as the window
// thread's pushes.
TEST_F(KeyQueueTest, ThirtyTwoSingleCodesKeepTheLastThirtyOne) {
  for (std::uint8_t c = 1; c <= 32; ++c) keyboard::PushKey(c);
  EXPECT_EQ(Drain(), Range(2, 32));
}

TEST_F(KeyQueueTest, ThirtyOneCodesFitWithoutLoss) {
  for (std::uint8_t c = 1; c <= 31; ++c) keyboard::PushKey(c);
  EXPECT_EQ(Drain(), Range(1, 31));
}

TEST_F(KeyQueueTest, APairAtTheHeadOfAFullRingIsDiscardedWhole) {
  keyboard::PushExtendedKey(200);
  for (std::uint8_t c = 1; c <= 29; ++c) keyboard::PushKey(c);  // 31 codes: full
  keyboard::PushKey(99);
  Codes expected = Range(1, 29);
  expected.push_back(99);
  EXPECT_EQ(Drain(), expected) << "30 codes remain";
}

TEST_F(KeyQueueTest, ALoneSecondCodeAtTheHeadIsDiscardedAlone) {
  keyboard::PushExtendedKey(200);
  for (std::uint8_t c = 1; c <= 29; ++c) keyboard::PushKey(c);
  ASSERT_EQ(NextKey(), 0);  // the pair's zero is read; its second code is now the head
  keyboard::PushKey(98);    // 31 codes again
  keyboard::PushKey(99);    // overflow: only the 200 goes
  Codes expected = Range(1, 29);
  expected.push_back(98);
  expected.push_back(99);
  EXPECT_EQ(Drain(), expected);
}

TEST_F(KeyQueueTest, TheRingWrapsAroundItsThirtyTwoSlots) {
  for (int round = 0; round < 5; ++round) {
    for (std::uint8_t c = 1; c <= 20; ++c) keyboard::PushKey(c);
    EXPECT_EQ(Drain(), Range(1, 20)) << "round " << round;
  }
}

TEST_F(KeyQueueTest, CodesOutliveTheWindowButOnlyUntilTheNextOne) {
  ASSERT_TRUE(platform::headless::PostChar('x'));
  ASSERT_TRUE(testing::WaitUntil([] { return KeyWaiting(); }));
  CloseGraphics();

  EXPECT_TRUE(KeyWaiting()) << "codes left from a closed window still count";
  EXPECT_EQ(NextKey(), 0) << "with graphics closed NextKey returns at once";
  EXPECT_TRUE(KeyWaiting()) << "and removes nothing";

  testing::OpenOrFail(Driver8Bit, Mode320x200, "NEXT");
  EXPECT_FALSE(KeyWaiting()) << "a new window starts with an empty queue";
}

TEST_F(KeyQueueTest, NextKeyWaitsForTheSecondCodeOfAPair) {
  keyboard::PushKey(0);
  EXPECT_EQ(NextKey(), 0);
  ASSERT_TRUE(platform::headless::PostKeyDown(38));  // Up: 0, 72
  EXPECT_EQ(NextKey(), 0);
  EXPECT_EQ(NextKey(), 72);
}

TEST(KeyQueueStartTest, BeforeAnyWindowNothingWaitsAndNextKeyReturnsZero) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  // A process of its own, so that no earlier test has opened a window.
  EXPECT_EXIT(
      {
        const bool waiting = KeyWaiting();
        const std::uint8_t code = NextKey();
        std::exit(!waiting && code == 0 ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST(KeyQueueStartTest, PauseSleepsAndZeroReturns) {
  Pause(0);
  const auto start = std::chrono::steady_clock::now();
  Pause(20);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
}

}  // namespace
}  // namespace tavlo
