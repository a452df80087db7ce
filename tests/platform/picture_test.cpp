// The tests' PNG writer and picture comparison.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "tests/support/picture.h"

namespace tavlo::platform {
namespace {

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t BigEndian(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

TEST(Picture, WritesAWellFormedPng) {
  for (int depth : {1, 4, 8, 32}) {
    auto s = Surface::Create(300, 250, depth, 16);  // more than one stored block of raw data
    s->SetPixelAt(1, 1, 1);
    const std::string path = "picture_test_" + std::to_string(depth) + ".png";
    ASSERT_TRUE(tavlo::testing::WritePng(path, *s));
    const auto png = ReadFile(path);
    ASSERT_GT(png.size(), 8u + 25u);
    EXPECT_EQ(png[0], 0x89);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
    EXPECT_EQ(BigEndian(&png[16]), 300u);
    EXPECT_EQ(BigEndian(&png[20]), 250u);
    EXPECT_EQ(png[24], depth == 32 ? 8 : depth);
    EXPECT_EQ(png[25], depth == 32 ? 2 : 3);
    // Ends with the empty IEND chunk and its well-known CRC.
    const std::vector<std::uint8_t> iend = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
    EXPECT_TRUE(std::equal(iend.begin(), iend.end(), png.end() - 12));
    std::remove(path.c_str());
  }
}

TEST(Picture, SamePictureReportsFirstDifferenceAndWritesBothPictures) {
  auto a = Surface::Create(4, 3, 8);
  auto b = Surface::Create(4, 3, 8, 0, RowOrder::kTopDown);
  EXPECT_TRUE(tavlo::testing::SamePicture(*a, *b, "same"));
  a->SetPixelAt(2, 1, 7);
  a->SetPixelAt(3, 2, 7);
  const auto result = tavlo::testing::SamePicture(*a, *b, "picture_test_differs");
  ASSERT_FALSE(result);
  const std::string message = result.message();
  EXPECT_NE(message.find("2 pixel(s) differ"), std::string::npos) << message;
  EXPECT_NE(message.find("(2, 1)"), std::string::npos) << message;
  EXPECT_FALSE(ReadFile("picture_test_differs.actual.png").empty());
  EXPECT_FALSE(ReadFile("picture_test_differs.expected.png").empty());
  std::remove("picture_test_differs.actual.png");
  std::remove("picture_test_differs.expected.png");

  // 32 bits compare as RGB: the unused byte does not count.
  auto c = Surface::Create(1, 1, 32);
  auto d = Surface::Create(1, 1, 32);
  c->SetPixelAt(0, 0, 0xFF123456);
  d->SetPixelAt(0, 0, 0x00123456);
  EXPECT_TRUE(tavlo::testing::SamePicture(*c, *d, "rgb"));
  EXPECT_FALSE(tavlo::testing::SamePicture(*c, *Surface::Create(2, 1, 32), "picture_test_size"));
  std::remove("picture_test_size.actual.png");
  std::remove("picture_test_size.expected.png");
}

}  // namespace
}  // namespace tavlo::platform
