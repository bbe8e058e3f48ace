#pragma once
// The in-process memory squeezer: commits and touches up to 1 GiB in 1 MiB
// blocks and releases it again, so that the system takes those pages from
// other processes' working sets and from its caches and then has them free.
// A squeeze runs on the caller's thread and reports its start and its end.
#include <cstdint>
#include <functional>

#include "framework/Component.h"

namespace tavelo {

// Progress of a squeeze in percent, 0..100.
using TOnProgress = std::function<void(TObject* sender, std::int64_t progress)>;

class TjsMaxMems : public TComponent {
 public:
  // The most megabytes one squeeze takes.
  static constexpr std::int64_t kMaxBlocks = 1024;

  explicit TjsMaxMems(TComponent* owner);

  // Commits and touches `memoryLimit` megabytes (at most kMaxBlocks), then
  // releases them. OnBeforeDefrag and OnAfterDefrag fire around it, once
  // each, even when nothing is committed; a call made from inside one of the
  // events returns at once.
  void DefragMemory(std::int64_t memoryLimit);
  // Squeezes the whole installed memory, which the cap cuts to kMaxBlocks.
  void DefragAll();
  // Ends the running squeeze after its current block; only an event handler
  // can call it while a squeeze runs.
  void Abort() { FAbort = true; }

  // Installed physical memory in bytes, read at creation.
  std::int64_t TotalMemory() const { return FTotalMemory; }
  // Physical memory in use now, in bytes.
  std::int64_t FreeMemory() const;

  TNotifyEvent OnBeforeDefrag;
  TOnProgress OnProgress;
  TNotifyEvent OnAfterDefrag;

 private:
  class TBlockTable;
  // Commits all blocks, then releases them; ends early on a refused block
  // or an abort request, leaving the rest to the table.
  void Squeeze(TBlockTable& blocks, std::int64_t count);
  void ReportProgress(std::int64_t step, std::int64_t steps);

  bool FAbort = false;
  std::int64_t FTotalMemory = 0;
  bool FWorking = false;
};

}  // namespace tavelo
