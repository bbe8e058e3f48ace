#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "TestSupport.h"
#include "app/Orvane.h"

#include <psapi.h>  // after windows.h

namespace tavelo {
namespace {

constexpr std::int64_t kMiB = 1048576;

std::wstring Vessra() { return test::ProgramFolder() + L"Vessra.exe"; }

class VessraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (sizeof(void*) == 4 && !Func_IsWow64())
      GTEST_SKIP() << "32-bit Windows cannot start the 64-bit companion";
  }
};

TEST_F(VessraTest, ExitCodeTellsWhetherTheAmountWasFreed) {
  const struct {
    const wchar_t* arguments;
    DWORD code;
  } cases[] = {
      {L" 16", 0},          {L" 0", 0},  {L"", 1},        {L" abc", 1},
      {L" -5", 1},          {L" 12x", 1}, {L" 16 ", 0},   {L" 99999999999999999999", 1},
      {L" 1000000000", 2},  // about 954 TiB: no address space that large
  };
  for (const auto& test : cases)
    EXPECT_EQ(test::RunProgram(Vessra() + test.arguments, 30000), test.code)
        << testing::PrintToString(std::wstring(test.arguments));
}

// The process's commit charge. Read from outside through the system's
// counters: walking a 64-bit address space from a 32-bit test would see
// only its lowest 4 GiB.
std::int64_t CommitCharge(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) return 0;
  return static_cast<std::int64_t>(counters.PagefileUsage);
}

// Watches the companion's commit from outside while it runs: it reaches
// about the amount asked for and never more.
TEST_F(VessraTest, CommitsAboutTheAmountAndNoMore) {
  std::wstring commandLine = Vessra() + L" 256";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                             CREATE_SUSPENDED, nullptr, nullptr, &startup, &process));
  const std::int64_t atStart = CommitCharge(process.hProcess);
  ResumeThread(process.hThread);
  std::int64_t peak = 0;
  while (WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT)
    peak = std::max(peak, CommitCharge(process.hProcess) - atStart);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  EXPECT_EQ(code, 0u);
  // The last step of 64 MiB may come and go between two looks; the loader's
  // own pages after the start add a few MiB.
  EXPECT_GE(peak, 192 * kMiB);
  EXPECT_LE(peak, 256 * kMiB + 16 * kMiB);
}

}  // namespace
}  // namespace tavelo
