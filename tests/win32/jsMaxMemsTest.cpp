#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "optimiser/jsMaxMems.h"

namespace tavelo {
namespace {

constexpr std::int64_t kMiB = 1048576;

std::int64_t Committed() { return test::CommittedPrivateBytes(GetCurrentProcess()); }

// A squeezer whose events are recorded: "before", "after" and the progress
// values, with the memory committed at the start and at each step.
class jsMaxMemsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    progress.reserve(4096);
    committedAtStep.reserve(4096);
    squeezer.OnBeforeDefrag = [this](TObject* sender) {
      EXPECT_EQ(sender, &squeezer);
      events.push_back("before");
      committedAtStart = Committed();
    };
    squeezer.OnAfterDefrag = [this](TObject* sender) {
      EXPECT_EQ(sender, &squeezer);
      events.push_back("after");
    };
  }

  // Records the progress, and the commit when `measure` is set.
  void RecordProgress(bool measure) {
    squeezer.OnProgress = [this, measure](TObject*, std::int64_t percent) {
      progress.push_back(percent);
      if (measure) committedAtStep.push_back(Committed() - committedAtStart);
    };
  }

  TjsMaxMems squeezer{nullptr};
  std::vector<std::string> events;
  std::vector<std::int64_t> progress;
  std::vector<std::int64_t> committedAtStep;
  std::int64_t committedAtStart = 0;
};

const std::vector<std::string> kOnePair{"before", "after"};

TEST_F(jsMaxMemsTest, NothingToSqueezeStillFiresBothEvents) {
  RecordProgress(false);
  for (const std::int64_t amount : {std::int64_t{0}, std::int64_t{-5}}) {
    events.clear();
    const std::int64_t before = Committed();
    squeezer.DefragMemory(amount);
    EXPECT_EQ(events, kOnePair) << amount;
    EXPECT_TRUE(progress.empty()) << amount;
    EXPECT_EQ(Committed(), before) << amount;
  }
}

TEST_F(jsMaxMemsTest, ThreeMegabytesReportSixSteps) {
  RecordProgress(true);
  const std::int64_t before = Committed();
  squeezer.DefragMemory(3);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{17, 33, 50, 67, 83, 100}));
  EXPECT_EQ(events, kOnePair);
  // One more block after each commit, one less after each release.
  EXPECT_EQ(committedAtStep, (std::vector<std::int64_t>{1 * kMiB, 2 * kMiB, 3 * kMiB, 2 * kMiB,
                                                        1 * kMiB, 0}));
  EXPECT_EQ(Committed(), before);
}

// The one large squeeze of the tests: the cap of 1024 blocks.
TEST_F(jsMaxMemsTest, MoreThan1024MegabytesAreCappedAt1024Blocks) {
  std::int64_t peak = 0;
  squeezer.OnProgress = [&](TObject*, std::int64_t percent) {
    progress.push_back(percent);
    if (progress.size() == 1024) peak = Committed() - committedAtStart;
  };
  const std::int64_t before = Committed();
  squeezer.DefragMemory(2048);
  ASSERT_EQ(progress.size(), 2048u);
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress[1023], 50);
  EXPECT_EQ(progress.back(), 100);
  EXPECT_EQ(peak, 1024 * kMiB) << "every block at once at the end of the commits";
  EXPECT_EQ(Committed(), before);
}

TEST_F(jsMaxMemsTest, DefragAllSqueezesTheWholeMemoryUpToTheCap) {
  RecordProgress(false);
  ASSERT_GE(squeezer.TotalMemory(), 1024 * kMiB);  // the machines this runs on
  squeezer.OnBeforeDefrag = [this](TObject*) { squeezer.Abort(); };
  squeezer.DefragAll();
  EXPECT_EQ(progress, std::vector<std::int64_t>{0}) << "the first of 2048 steps, then the abort";
}

TEST_F(jsMaxMemsTest, ACallFromInsideAnEventReturnsAtOnce) {
  RecordProgress(false);
  int nested = 0;
  squeezer.OnBeforeDefrag = [&](TObject*) {
    events.push_back("before");
    if (nested++ == 0) squeezer.DefragMemory(5);
  };
  squeezer.DefragMemory(1);
  EXPECT_EQ(nested, 1);
  EXPECT_EQ(events, kOnePair);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{50, 100}));
}

TEST_F(jsMaxMemsTest, AbortAfterTheThirdCommitReleasesThemAndTheNextCallWorks) {
  squeezer.OnProgress = [this](TObject*, std::int64_t percent) {
    progress.push_back(percent);
    if (progress.size() == 3) squeezer.Abort();
  };
  const std::int64_t before = Committed();
  squeezer.DefragMemory(10);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{5, 10, 15}));
  EXPECT_EQ(events, kOnePair);
  EXPECT_EQ(Committed(), before);

  progress.clear();
  events.clear();
  squeezer.OnProgress = [this](TObject*, std::int64_t percent) { progress.push_back(percent); };
  squeezer.DefragMemory(2);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{25, 50, 75, 100}));
  EXPECT_EQ(events, kOnePair);
}

TEST_F(jsMaxMemsTest, AFailingProgressHandlerStillEndsTheSqueeze) {
  squeezer.OnProgress = [](TObject*, std::int64_t percent) {
    if (percent == 40) throw std::runtime_error("handler failed");
  };
  // The 32-bit unwinder sorts its tables at the first throw and keeps them;
  // that is no memory of the squeeze's.
  try {
    throw std::runtime_error("first throw");
  } catch (const std::runtime_error&) {
  }
  const std::int64_t before = Committed();
  EXPECT_THROW(squeezer.DefragMemory(5), std::runtime_error);
  EXPECT_EQ(events, kOnePair);
  EXPECT_EQ(Committed(), before);
  events.clear();
  squeezer.DefragMemory(0);
  EXPECT_EQ(events, kOnePair) << "not left working";
}

// Reserves the process's whole free address space except `holes` separate
// regions of one block each, so that exactly that many blocks fit. Only for
// a 32-bit process: Wine keeps a page table for every reserved range, which
// for the 128 TiB of a 64-bit process would take tens of gigabytes.
class AddressSpaceFill {
 public:
  explicit AddressSpaceFill(int holes) {
    reserved_.reserve(8192);  // no heap growth while the space is full
    std::vector<void*> kept;
    for (int hole = 0; hole < holes; ++hole)
      kept.push_back(VirtualAlloc(nullptr, kMiB, MEM_RESERVE, PAGE_NOACCESS));
    for (SIZE_T size = SIZE_T{1} << 30; size >= 65536; size /= 2)
      while (reserved_.size() < reserved_.capacity())
        if (void* region = VirtualAlloc(nullptr, size, MEM_RESERVE, PAGE_NOACCESS))
          reserved_.push_back(region);
        else
          break;
    for (void* hole : kept) VirtualFree(hole, 0, MEM_RELEASE);
  }
  ~AddressSpaceFill() {
    for (void* region : reserved_) VirtualFree(region, 0, MEM_RELEASE);
  }
  AddressSpaceFill(const AddressSpaceFill&) = delete;
  AddressSpaceFill& operator=(const AddressSpaceFill&) = delete;

 private:
  std::vector<void*> reserved_;
};

TEST_F(jsMaxMemsTest, ARefusedBlockEndsTheSqueezeWithNothingHeld) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "needs the small address space of a 32-bit process";
  RecordProgress(false);
  const std::int64_t before = Committed();
  {
    const AddressSpaceFill fill(3);
    squeezer.DefragMemory(5);
  }
  EXPECT_EQ(progress, (std::vector<std::int64_t>{10, 20, 30})) << "three blocks fitted";
  EXPECT_EQ(events, kOnePair);
  // With the address space full the heap commits a few more pages of its
  // own, which it keeps; a block the squeezer held would be a whole MiB.
  EXPECT_LT(Committed() - before, kMiB) << "no block held";

  events.clear();
  progress.clear();
  squeezer.DefragMemory(1);
  EXPECT_EQ(progress, (std::vector<std::int64_t>{50, 100}));
  EXPECT_EQ(events, kOnePair);
}

TEST_F(jsMaxMemsTest, FreeMemoryIsTheMemoryInUse) {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  const auto inUse = static_cast<std::int64_t>(status.ullTotalPhys - status.ullAvailPhys);
  EXPECT_EQ(squeezer.TotalMemory(), static_cast<std::int64_t>(status.ullTotalPhys));
  // The host's other work moves the figure a little between the two reads.
  EXPECT_NEAR(static_cast<double>(squeezer.FreeMemory()), static_cast<double>(inUse), 256.0 * kMiB);
}

}  // namespace
}  // namespace tavelo
