#include "optimiser/jsMaxMems.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "framework/Win32.h"

namespace tavelo {

namespace {

constexpr SIZE_T kBlockBytes = 1048576;

MEMORYSTATUSEX MemoryStatus() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return status;
}

// One pass of 32-bit stores over the block makes every page of it resident.
void Touch(void* block) {
  std::fill_n(static_cast<std::uint32_t*>(block), kBlockBytes / sizeof(std::uint32_t), 0u);
}

}  // namespace

// The blocks of one squeeze. Whatever is still committed when the table goes
// away is released, so no path out of a squeeze leaves memory behind.
class TjsMaxMems::TBlockTable {
 public:
  TBlockTable() = default;
  TBlockTable(const TBlockTable&) = delete;
  TBlockTable& operator=(const TBlockTable&) = delete;
  ~TBlockTable() { ReleaseFrom(0); }

  // False when the system refuses the block.
  bool Commit(std::int64_t index) {
    void* block = VirtualAlloc(nullptr, kBlockBytes, MEM_COMMIT, PAGE_READWRITE | PAGE_NOCACHE);
    if (!block) return false;
    blocks_[static_cast<size_t>(index)] = block;
    Touch(block);
    return true;
  }

  void Release(std::int64_t index) {
    void*& block = blocks_[static_cast<size_t>(index)];
    if (block) VirtualFree(block, 0, MEM_RELEASE);
    block = nullptr;
  }

  void ReleaseFrom(std::int64_t first) {
    for (std::int64_t index = first; index < kMaxBlocks; ++index) Release(index);
  }

 private:
  std::array<void*, kMaxBlocks + 1> blocks_{};
};

TjsMaxMems::TjsMaxMems(TComponent* owner)
    : TComponent(owner), FTotalMemory(static_cast<std::int64_t>(MemoryStatus().ullTotalPhys)) {}

std::int64_t TjsMaxMems::FreeMemory() const {
  const MEMORYSTATUSEX status = MemoryStatus();
  return static_cast<std::int64_t>(status.ullTotalPhys - status.ullAvailPhys);
}

void TjsMaxMems::DefragAll() { DefragMemory(FTotalMemory / static_cast<std::int64_t>(kBlockBytes)); }

void TjsMaxMems::DefragMemory(std::int64_t memoryLimit) {
  FAbort = false;  // even a refused nested call clears a pending request
  if (FWorking) return;
  FWorking = true;
  const std::int64_t count = std::min(memoryLimit, kMaxBlocks);
  try {
    Fire(OnBeforeDefrag, this);
  } catch (...) {
    FWorking = false;
    throw;
  }
  // The end event follows the start event on every path, a failing
  // progress handler included, so that the caller's busy state always ends.
  try {
    TBlockTable blocks;
    Squeeze(blocks, count);
  } catch (...) {
    FWorking = false;
    Fire(OnAfterDefrag, this);
    throw;
  }
  FWorking = false;
  Fire(OnAfterDefrag, this);
}

void TjsMaxMems::Squeeze(TBlockTable& blocks, std::int64_t count) {
  const std::int64_t steps = 2 * count;
  std::int64_t step = 0;
  for (std::int64_t index = 0; index < count; ++index) {
    // A refused block ends the squeeze; the table gives back what it holds.
    if (!blocks.Commit(index)) return;
    ReportProgress(++step, steps);
    if (FAbort) return;
  }
  for (std::int64_t index = 0; index < count; ++index) {
    blocks.Release(index);
    ReportProgress(++step, steps);
    if (FAbort) return;
  }
}

void TjsMaxMems::ReportProgress(std::int64_t step, std::int64_t steps) {
  if (!OnProgress) return;
  // The nearest integer, a tie going to the even one.
  const long double percent = static_cast<long double>(step) / steps * 100;
  OnProgress(this, static_cast<std::int64_t>(std::nearbyint(percent)));
}

}  // namespace tavelo
