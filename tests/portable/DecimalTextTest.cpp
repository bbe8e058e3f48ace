#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "framework/DecimalText.h"

namespace tavelo {
namespace {

TEST(DecimalTextTest, WritesWholeNumbersAsTheStandardLibraryDoes) {
  for (const std::int64_t value : {std::int64_t{0}, std::int64_t{7}, std::int64_t{10}, std::int64_t{100},
                                   std::int64_t{-1}, std::int64_t{-2048}, std::int64_t{4294967296},
                                   std::numeric_limits<std::int64_t>::max(),
                                   std::numeric_limits<std::int64_t>::min()}) {
    EXPECT_EQ(DecimalText(value), std::to_wstring(value)) << value;
  }
}

}  // namespace
}  // namespace tavelo
