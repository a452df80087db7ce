// Every result code has words of its own; anything else reads as unknown.

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string_view>

#include "tavlo/graphics.h"

namespace tavlo {
namespace {

TEST(ResultMessage, EveryCodeHasItsOwnWords) {
  const std::string_view unknown = ResultMessage(1);
  std::set<std::string_view> seen;
  for (std::int16_t code = ResultAlreadyOpen; code <= ResultOk; ++code) {
    const std::string_view words = ResultMessage(code);
    EXPECT_NE(words, unknown) << code;
    EXPECT_FALSE(words.empty()) << code;
    EXPECT_TRUE(seen.insert(words).second) << code << " shares its words";
  }
  EXPECT_EQ(ResultMessage(-11), unknown);
  EXPECT_EQ(ResultMessage(-32768), unknown);
}

}  // namespace
}  // namespace tavlo
