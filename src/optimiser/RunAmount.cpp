#include "optimiser/RunAmount.h"

#include <cstddef>

namespace tavelo {

namespace {
constexpr long double kBytesPerMegabyte = 1048576.0L;
constexpr int kChunk = 2048;
}  // namespace

int Func_TotalMegabytes(std::int64_t totalBytes) {
  return static_cast<int>(static_cast<long double>(totalBytes) / kBytesPerMegabyte);
}

int Func_RunAmount(std::int64_t totalBytes, int percent) {
  return static_cast<int>(static_cast<long double>(percent) / 100 * Func_TotalMegabytes(totalBytes));
}

int Func_FreeMegabytes(std::int64_t totalBytes, int memoryLoad) {
  const std::int64_t total = Func_TotalMegabytes(totalBytes);
  return static_cast<int>(total - total * memoryLoad / 100);
}

std::vector<int> Func_SqueezeChunks(int amount) {
  if (amount <= kChunk) return {amount};
  std::vector<int> chunks{amount % kChunk};
  chunks.insert(chunks.end(), static_cast<std::size_t>(amount / kChunk), kChunk);
  return chunks;
}

}  // namespace tavelo
