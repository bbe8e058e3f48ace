#include <gtest/gtest.h>

#include <string>

#include "ControllerTest.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "measure/CPUUsage.h"
#include "measure/PdhBinding.h"

namespace tavelo {
namespace {

// The scripted pdh.dll in the system folder answers; its log starts empty.
class CPUUsageTest : public ::testing::Test {
 protected:
  void SetUp() override { SetEnvironmentVariableW(L"TVL_PDH_LOG", L""); }
  void TearDown() override { Proc_CPUClose(); }

  static int Calls(const std::wstring& name) {
    const std::wstring log = test::Environment(L"TVL_PDH_LOG");
    int count = 0;
    for (size_t at = log.find(name + L";"); at != std::wstring::npos;
         at = log.find(name + L";", at + 1))
      ++count;
    return count;
  }
};

TEST_F(CPUUsageTest, ValuesAreRoundedHalfToEven) {
  const test::EnvironmentScope script(L"TVL_PDH_VALUES", L"12.5,13.5,99.5,0.5,100.4,37.49");
  Proc_CPUOpen();
  for (const int expected : {12, 14, 100, 0, 100, 37}) EXPECT_EQ(Func_CPUUsage(), expected);
}

TEST_F(CPUUsageTest, OpenTakesTheFirstSampleAndEverySampleCollectsOnce) {
  Proc_CPUOpen();
  EXPECT_EQ(test::Environment(L"TVL_PDH_LOG"),
            L"PdhOpenQueryW;PdhAddCounterW;PdhCollectQueryData;");
  Func_CPUUsage();
  EXPECT_EQ(Calls(L"PdhCollectQueryData"), 2);
  EXPECT_EQ(Calls(L"PdhGetFormattedCounterValue"), 1);
}

TEST_F(CPUUsageTest, EachQueryIsClosedExactlyOnce) {
  Proc_CPUOpen();
  Proc_CPUOpen();  // closes the first
  Proc_CPUClose();
  Proc_CPUClose();
  EXPECT_EQ(Calls(L"PdhOpenQueryW"), 2);
  EXPECT_EQ(Calls(L"PdhCloseQuery"), 2);
}

TEST_F(CPUUsageTest, FailuresGiveNoValue) {
  struct FailureCase {
    const wchar_t* failing;
    bool queryLeftOpen;
  };
  for (const FailureCase& test : {FailureCase{L"PdhOpenQueryW", false},
                                  FailureCase{L"PdhAddCounterW", true},
                                  FailureCase{L"PdhGetFormattedCounterValue", true}}) {
    const test::EnvironmentScope script(L"TVL_PDH_FAIL", test.failing);
    SetEnvironmentVariableW(L"TVL_PDH_LOG", L"");
    Proc_CPUOpen();
    EXPECT_EQ(Func_CPUUsage(), -1) << test.failing;
    Proc_CPUClose();
    EXPECT_EQ(Calls(L"PdhCloseQuery"), test.queryLeftOpen ? 1 : 0) << test.failing;
  }
}

TEST_F(CPUUsageTest, ClosedQueryGivesNoValueWithoutAskingPdh) {
  Proc_CPUClose();
  SetEnvironmentVariableW(L"TVL_PDH_LOG", L"");
  EXPECT_EQ(Func_CPUUsage(), -1);
  EXPECT_EQ(test::Environment(L"TVL_PDH_LOG"), L"");
}

// The controller with its creation run, inside an application of the test's own.
class LoadTest : public CPUUsageTest {
 protected:
  void SetUp() override {
    CPUUsageTest::SetUp();
    application.Initialize();
    application.CreateForm(MainForm);
  }
  void TearDown() override {}

  TApplication application;
};

MEMORYSTATUSEX MemoryStatus() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return status;
}

TEST_F(LoadTest, LoadsAreKeptWithinZeroToHundred) {
  const test::EnvironmentScope script(L"TVL_PDH_VALUES", L"150,-3,42");
  MainForm->PPResetClick(nullptr);
  for (const int expected : {100, 0, 42}) {
    MainForm->Proc_GetLoad();
    EXPECT_EQ(MainForm->MCPU, expected);
    EXPECT_NEAR(MainForm->MRAM, static_cast<int>(MemoryStatus().dwMemoryLoad), 1);
  }
}

TEST_F(LoadTest, ClosedQueryGivesZeroAndStillTheMemoryLoad) {
  Proc_CPUClose();
  MainForm->MCPU = 55;
  MainForm->Proc_GetLoad();
  EXPECT_EQ(MainForm->MCPU, 0);
  EXPECT_NEAR(MainForm->MRAM, static_cast<int>(MemoryStatus().dwMemoryLoad), 1);
}

TEST_F(LoadTest, InstalledMemoryIsKeptWhole) {
  const auto total = static_cast<std::int64_t>(MemoryStatus().ullTotalPhys);
  EXPECT_EQ(MainForm->MTotalRAM, total);
  EXPECT_GT(total, std::int64_t{4} << 30) << "this host has more than 4 GiB; the count must not wrap";
}

// The counter stops giving values for five minutes and then works again,
// with nobody there to choose Reset. The controller reads 10 % when it can.
class CounterFailureTest : public test::ControllerTest {
 protected:
  static void Second() {
    MainForm->TimerMainTimer(MainForm->TimerMain);
    MainForm->TimerMainTimer(MainForm->TimerMain);
  }
};

TEST_F(CounterFailureTest, CounterThatFailsForMinutesComesBackByItself) {
  Start();
  const wchar_t* const failures[] = {
      L"PdhGetFormattedCounterValue",  // the reads fail, the query stays good
      L"query",                        // the system drops the query for good
      L"query,PdhOpenQueryW",          // and no new one can be opened meanwhile
      L"query,PdhAddCounterW",         // or opened without its counter
  };
  for (const wchar_t* failing : failures) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(failing)));
    Second();
    ASSERT_EQ(MainForm->MCPU, 10);
    {
      const test::EnvironmentScope script(L"TVL_PDH_FAIL", failing);
      for (int second = 1; second <= 300; ++second) {
        Second();
        ASSERT_EQ(MainForm->MCPU, 0) << "second " << second;
      }
      EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:0%");
    }
    int seconds = 0;
    do {
      Second();
      ++seconds;
    } while (MainForm->MCPU != 10 && seconds <= kReopenAfterFailures);
    EXPECT_EQ(MainForm->MCPU, 10) << "within " << kReopenAfterFailures << " seconds";
    EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:10%");
  }
}

TEST_F(CounterFailureTest, ClosedCounterIsNotOpenedAgain) {
  Start();
  Proc_CPUClose();
  SetEnvironmentVariableW(L"TVL_PDH_LOG", L"");
  for (int second = 1; second <= 3 * kReopenAfterFailures; ++second) Second();
  EXPECT_EQ(test::Environment(L"TVL_PDH_LOG"), L"");
}

}  // namespace
}  // namespace tavelo
