#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "optimiser/RunAmount.h"

namespace tavelo {
namespace {

constexpr std::int64_t kMiB = 1048576;

TEST(RunAmountTest, AmountIsTheShareOfTheWholeMegabytes) {
  const struct {
    std::int64_t totalBytes;
    int percent;
    int amount;
  } cases[] = {
      {8192 * kMiB, 70, 5734},
      {16384 * kMiB, 50, 8192},
      {16384 * kMiB + kMiB - 1, 100, 16384},  // a partial megabyte does not count
      {1000 * kMiB, 10, 100},
      {24105 * kMiB, 1, 241},
  };
  for (const auto& test : cases)
    EXPECT_EQ(Func_RunAmount(test.totalBytes, test.percent), test.amount)
        << test.totalBytes << " at " << test.percent << "%";
}

TEST(RunAmountTest, FreeMegabytesFollowTheMemoryLoad) {
  EXPECT_EQ(Func_FreeMegabytes(16384 * kMiB, 60), 6554);
  EXPECT_EQ(Func_FreeMegabytes(16384 * kMiB, 40), 9831);
  EXPECT_EQ(Func_FreeMegabytes(16384 * kMiB, 0), 16384);
  // 64 TiB at full load: the product of total and load needs 64 bits.
  EXPECT_EQ(Func_FreeMegabytes(std::int64_t{64} << 40, 100), 0);
}

TEST(RunAmountTest, LargeAmountsGoInChunksOf2048WithTheRestFirst) {
  const struct {
    int amount;
    std::vector<int> chunks;
  } cases[] = {
      {5000, {904, 2048, 2048}},
      {4096, {0, 2048, 2048}},
      {2048, {2048}},
      {2049, {1, 2048}},
      {100, {100}},
      {0, {0}},
  };
  for (const auto& test : cases)
    EXPECT_EQ(Func_SqueezeChunks(test.amount), test.chunks) << test.amount;
}

}  // namespace
}  // namespace tavelo
