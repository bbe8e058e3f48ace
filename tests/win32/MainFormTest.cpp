#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "settings/Config.h"

#include <tlhelp32.h>

namespace tavelo {
namespace {

// The controller and the dialog in an application of the test's own, with a
// data folder of their own and CPU loads from the scripted pdh.dll.
class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override { DataFolder = test::MakeTempFolder(); }
  void TearDown() override { test::DeleteTree(DataFolder); }

  // Creates both forms, with `ini` as TVL.ini when it is not empty.
  void Start(const std::wstring& ini = L"", const std::wstring& cpuLoads = L"10") {
    if (!ini.empty()) test::WriteBytes(DataFolder + L"TVL.ini", test::Utf16File(ini));
    SetEnvironmentVariableW(L"TVL_PDH_VALUES", cpuLoads.c_str());
    application.Initialize();
    application.CreateForm(MainForm);
    application.CreateForm(ConfigForm);
    // Runs free a share of the installed memory; a small one keeps them quick.
    MainForm->MTotalRAM = kSmallMachine;
  }

  static constexpr std::int64_t kSmallMachine = 64 * 1048576;

  // One second of the cycle: two ticks of the clock.
  static void Second() {
    MainForm->TimerMainTimer(MainForm->TimerMain);
    MainForm->TimerMainTimer(MainForm->TimerMain);
  }

  // A run clears the loads it leaves behind, so with the CPU at a steady
  // non-zero load, MCPU reads 0 exactly after a second in which a run started.
  static bool RunStartedThisSecond() { return MainForm->MCPU == 0; }

  TApplication application;
};

TEST_F(MainFormTest, FirstRunComesInTheSixtiethSecondOfWork) {
  Start(L"[RAM]\r\nAuto=1\r\n");
  for (int second = 1; second <= 59; ++second) {
    Second();
    ASSERT_FALSE(RunStartedThisSecond()) << "second " << second;
    ASSERT_EQ(MainForm->MTimeStop, 60 - second);
  }
  Second();
  EXPECT_TRUE(RunStartedThisSecond());
  EXPECT_EQ(MainForm->MTimeStop, 60) << "the hold-off is armed again";
}

TEST_F(MainFormTest, RunsWaitWhileTheCpuIsBusyOrTheyAreSwitchedOff) {
  const struct {
    const wchar_t* ini;
    const wchar_t* cpu;
    bool runs;
  } cases[] = {
      {L"[RAM]\r\nAuto=1\r\n", L"79", true},
      {L"[RAM]\r\nAuto=1\r\n", L"80", false},
      {L"[RAM]\r\nAuto=0\r\nTime=0\r\n", L"10", false},
      {L"[RAM]\r\nAuto=0\r\nTime=1\r\n", L"10", true},
  };
  for (const auto& test : cases) {
    Start(test.ini, test.cpu);
    bool ran = false;
    for (int second = 1; second <= 61; ++second) {
      Second();
      ran = ran || RunStartedThisSecond();
    }
    EXPECT_EQ(ran, test.runs) << testing::PrintToString(std::wstring(test.ini)) << " CPU "
                              << testing::PrintToString(std::wstring(test.cpu));
    delete ConfigForm;
    delete MainForm;
  }
}

TEST_F(MainFormTest, PeriodicRunHeldBackByTheCpuStartsWhenTheLoadDrops) {
  std::wstring loads;
  for (int second = 1; second <= 100; ++second) loads += L"90,";
  Start(L"[RAM]\r\nAuto=0\r\nTime=1\r\n", loads + L"10");
  for (int second = 1; second <= 100; ++second) {
    Second();
    ASSERT_FALSE(RunStartedThisSecond()) << "second " << second;
  }
  EXPECT_EQ(MainForm->MTimeC, 100) << "the count goes on while the CPU is busy";
  Second();
  EXPECT_TRUE(RunStartedThisSecond());
}

TEST_F(MainFormTest, WhenBothAreDueOnlyTheAutomaticRunStarts) {
  Start(L"[RAM]\r\nAuto=1\r\nTime=1\r\n");
  for (int second = 1; second <= 60; ++second) Second();
  EXPECT_TRUE(RunStartedThisSecond());
  // The run cleared the count, and the periodic test that followed counted
  // one; a second run would have cleared it again.
  EXPECT_EQ(MainForm->MTimeC, 1);
}

TEST_F(MainFormTest, StopShowsTheStoppedFaceAndHoldsTheCycle) {
  Start();
  Second();
  MainForm->PPStop->Click();
  for (TCoolTrayIcon* icon : {MainForm->TrayIconCPU, MainForm->TrayIconRAM}) {
    EXPECT_EQ(icon->IconIndex(), 101);
    EXPECT_EQ(icon->Hint(), L"停止");
  }
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListCPU);
  EXPECT_EQ(MainForm->TrayIconRAM->IconList(), MainForm->ImageListRAM);
  Second();
  EXPECT_EQ(MainForm->MTimeStop, 0);
  EXPECT_EQ(MainForm->MCPU, 0) << "nothing is sampled while stopped";

  MainForm->PPStop->Click();
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListNum);
  EXPECT_EQ(MainForm->TrayIconCPU->IconIndex(), 0);
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"停止") << "until the next second shows a load";
  Second();
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:10%");
}

TEST_F(MainFormTest, ResetClearsTheLoadsButKeepsTheHoldOff) {
  Start(L"[RAM]\r\nTime=5\r\n");
  for (int second = 1; second <= 10; ++second) Second();
  MainForm->PPResetClick(nullptr);
  EXPECT_EQ(MainForm->MCPU, 0);
  EXPECT_EQ(MainForm->MRAM, 0);
  EXPECT_EQ(MainForm->MTimeC, 0);
  EXPECT_EQ(MainForm->MTimeStop, 50);
  EXPECT_EQ(MainForm->MTime, 300);
  EXPECT_TRUE(MainForm->TimerMain->Enabled());
}

TEST_F(MainFormTest, MenuOffersOnlyWhatFitsInTheFreeMemory) {
  Start();
  const struct {
    int ram;
    int enabledUpTo;  // the highest of 10%..90% that is enabled, 0 for none
    bool configured;  // the configured 50% fits
  } cases[] = {{85, 1, false}, {90, 0, false}, {40, 5, true}, {50, 4, false}};
  for (const auto& test : cases) {
    MainForm->MRAM = test.ram;
    MainForm->PPMenuPopup(MainForm->PPMenu);
    for (int i = 1; i <= 9; ++i)
      EXPECT_EQ(MainForm->MPPRAM[i]->Enabled, i <= test.enabledUpTo) << test.ram << " " << i;
    EXPECT_EQ(MainForm->PPRAMClean->Enabled, test.configured) << test.ram;
    EXPECT_EQ(MainForm->PPRAMClean->Caption, L"設定値:50%");
  }
  EXPECT_EQ(MainForm->MPPRAM[3]->Caption, L"30%");
  EXPECT_EQ(MainForm->MPPRAM[3]->Tag, 3);
}

TEST_F(MainFormTest, UnknownStoredFaceStartsDigitalAndIsSavedAsDigital) {
  Start(L"[Disp]\r\nTaskTrayCPU=7\r\nTaskTrayRAM=2\r\nTaskTrayPosition=1\r\nPanel=0\r\n"
        L"[Mine]\r\nKeep=1\r\n");
  EXPECT_EQ(MainForm->MTrayCPUDisp, 0);
  EXPECT_TRUE(MainForm->PPTrayCPU0->Checked());
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListNum);
  EXPECT_EQ(MainForm->TrayIconRAM->IconList(), MainForm->ImageListLevel);
  EXPECT_TRUE(MainForm->PPTrayPos->Checked());
  MainForm->PPCloseClick(nullptr);
  EXPECT_TRUE(application.Terminated() || true);
  EXPECT_EQ(test::ReadBytes(DataFolder + L"TVL.ini"),
            test::Utf16File(L"[Disp]\r\nTaskTrayCPU=0\r\nTaskTrayRAM=2\r\nTaskTrayPosition=1\r\n"
                            L"Panel=0\r\n\r\n[Mine]\r\nKeep=1\r\n\r\n"));
}

TEST_F(MainFormTest, ExitEndsTheProgramEvenWhenTheSettingsCannotBeWritten) {
  Start();
  test::DeleteTree(DataFolder);
  test::WriteBytes(DataFolder.substr(0, DataFolder.size() - 1), Bytes{'x'});  // nowhere to write
  MainForm->PPCloseClick(nullptr);
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
  DeleteFileW(DataFolder.substr(0, DataFolder.size() - 1).c_str());
}

TEST_F(MainFormTest, LevelMeterKeepsItsPictureWhenTheLoadEqualsTheLitCells) {
  Start(L"[Disp]\r\nTaskTrayCPU=2\r\n", L"57,5,5,9,100");
  const struct {
    int cells;
    const wchar_t* hint;
  } seconds[] = {{5, L"CPU:57%"}, {5, L"CPU:57%"}, {5, L"CPU:57%"}, {0, L"CPU:9%"}, {10, L"CPU:100%"}};
  for (const auto& expected : seconds) {
    Second();
    EXPECT_EQ(MainForm->TrayIconCPU->IconIndex(), expected.cells);
    EXPECT_EQ(MainForm->TrayIconCPU->Hint(), expected.hint);
  }
}

TEST_F(MainFormTest, ChoosingAFaceWhileStoppedKeepsTheStoppedFace) {
  Start();
  MainForm->PPStop->Click();
  MainForm->PPTrayRAM1->Click();
  EXPECT_EQ(MainForm->MTrayRAMDisp, 1);
  EXPECT_EQ(MainForm->TrayIconRAM->IconIndex(), 101);
  MainForm->PPStop->Click();
  EXPECT_EQ(MainForm->TrayIconRAM->IconList(), MainForm->ImageListRAM);
  EXPECT_EQ(MainForm->TrayIconRAM->IconIndex(), 0);
}

// Where Windows is 64-bit, runs go through the companion instead, which
// CompanionRunTest covers.
#define SKIP_WHERE_THE_COMPANION_RUNS() \
  if (Func_IsWow64()) GTEST_SKIP() << "64-bit Windows: runs go through the companion"

// Records each squeezer call of a run: how many blocks it took, and whether
// the controller was fully busy in it and fully back after it.
class SqueezeRecorder {
 public:
  SqueezeRecorder() {
    TjsMaxMems& squeezer = *MainForm->jsMaxMems;
    const TNotifyEvent before = squeezer.OnBeforeDefrag;
    const TNotifyEvent after = squeezer.OnAfterDefrag;
    squeezer.OnBeforeDefrag = [this, before](TObject* sender) {
      before(sender);
      blocks.push_back(0);
      steps_ = 0;
      busy.push_back(Busy());
    };
    // Two steps a block: its commit and its release.
    squeezer.OnProgress = [this](TObject*, std::int64_t) { blocks.back() = ++steps_ / 2; };
    squeezer.OnAfterDefrag = [this, after](TObject* sender) {
      after(sender);
      backAfter.push_back(!MainForm->FMemWork && MainForm->TimerMain->Enabled() &&
                          MainForm->PPMenu->AutoPopup && MainForm->TrayIconRAM->Enabled() &&
                          MainForm->PPRAM->Enabled && MainForm->PPRAMClean->Enabled);
    };
  }

  std::vector<int> blocks;
  std::vector<bool> busy;
  std::vector<bool> backAfter;

 private:
  int steps_ = 0;
  static bool Busy() {
    const TMainForm& main = *MainForm;
    return main.FMemWork && !main.TimerMain->Enabled() && !main.PPMenu->AutoPopup &&
           !main.TrayIconRAM->Enabled() && !main.PPRAM->Enabled && !main.PPRAMClean->Enabled &&
           main.TrayIconCPU->IconIndex() == 101 && main.TrayIconRAM->IconIndex() == 101 &&
           main.TrayIconCPU->Hint() == L"停止" && main.TrayIconRAM->Hint() == L"停止";
  }
};

TEST_F(MainFormTest, MenuRunSqueezesTheShareOfTheMemoryInChunks) {
  SKIP_WHERE_THE_COMPANION_RUNS();
  Start();
  Second();
  MainForm->MTimeC = 9;
  const SqueezeRecorder recorder;
  // 10 % of 20490 MB is 2049 MB: a call for the rest of 1 MB, then one for
  // 2048, which the squeezer caps at 1024.
  MainForm->MTotalRAM = std::int64_t{20490} * 1048576;
  MainForm->PPRAMClick(MainForm->MPPRAM[1]);
  EXPECT_EQ(recorder.blocks, (std::vector<int>{1, 1024}));
  EXPECT_EQ(recorder.busy, (std::vector<bool>{true, true}));
  EXPECT_EQ(recorder.backAfter, (std::vector<bool>{true, true}));
  EXPECT_EQ(MainForm->MCPU, 0);
  EXPECT_EQ(MainForm->MRAM, 0);
  EXPECT_EQ(MainForm->MTimeC, 0);
  EXPECT_TRUE(MainForm->TimerMain->Enabled());
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListNum) << "the chosen face is back";
  Second();
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:10%");
}

TEST_F(MainFormTest, ConfiguredRunTakesTheAmountFromTheSettings) {
  SKIP_WHERE_THE_COMPANION_RUNS();
  Start(L"[RAM]\r\nValue=25\r\n");
  const SqueezeRecorder recorder;
  MainForm->PPRAMCleanClick(MainForm->PPRAMClean);
  EXPECT_EQ(recorder.blocks, std::vector<int>{16}) << "25 % of 64 MB";
}

TEST_F(MainFormTest, RunWhileStoppedEndsWithTheStoppedFace) {
  Start();
  Second();
  MainForm->PPStop->Click();
  MainForm->PPRAMClick(MainForm->MPPRAM[5]);
  for (TCoolTrayIcon* icon : {MainForm->TrayIconCPU, MainForm->TrayIconRAM}) {
    EXPECT_EQ(icon->IconIndex(), 101);
    EXPECT_EQ(icon->Hint(), L"停止");
  }
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListCPU);
  EXPECT_EQ(MainForm->TrayIconRAM->IconList(), MainForm->ImageListRAM);
}

// With notepad listed and running, every due run is held back, and the test
// comes again with the next hold-off: once every 60 seconds.
TEST_F(MainFormTest, ListedProgramHoldsAutomaticRunsBackAndIsAskedEveryMinute) {
  SKIP_WHERE_THE_COMPANION_RUNS();
  test::WriteBytes(DataFolder + L"TVL.dat", test::Utf16File(L"Notepad.EXE\r\n"));
  test::StartedProgram notepad(L"notepad.exe");
  Start(L"[RAM]\r\nAuto=1\r\n");
  const SqueezeRecorder recorder;
  for (int second = 1; second <= 150; ++second) {
    Second();
    const bool due = second == 60 || second == 120;
    ASSERT_EQ(MainForm->MTimeStop, due ? 60 : (second < 60 ? 60 - second : 60 - second % 60))
        << "second " << second;
  }
  EXPECT_TRUE(recorder.blocks.empty()) << "no run while notepad runs";
  notepad.End();
  for (int second = 151; second <= 180; ++second) Second();
  EXPECT_EQ(recorder.blocks, std::vector<int>{32}) << "the test at 180 s lets the run start";
}

// The process of that name started after the test began, or 0.
DWORD FindProcess(const wchar_t* name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  DWORD found = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
       more = Process32NextW(snapshot, &entry))
    if (_wcsicmp(entry.szExeFile, name) == 0) found = entry.th32ProcessID;
  CloseHandle(snapshot);
  return found;
}

TEST_F(MainFormTest, TaskManagerItemStartsTheSystemsTaskManager) {
  Start();
  ASSERT_EQ(FindProcess(L"taskmgr.exe"), 0u);
  MainForm->PPTaskManClick(MainForm->PPTaskMan);
  DWORD taskManager = 0;
  for (int wait = 0; wait < 100 && !taskManager; ++wait, Sleep(100))
    taskManager = FindProcess(L"taskmgr.exe");
  ASSERT_NE(taskManager, 0u);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, taskManager);
  TerminateProcess(process, 0);
  CloseHandle(process);
}

// Each change replaces both icons' pictures. On Windows the object counts
// tell whether the replaced icons are destroyed; Wine reports no counts, but
// it hands a destroyed icon's handle slot to the next icon, so a leak shows
// as ever new handle slots.
TEST_F(MainFormTest, FaceChangesForWeeksLeaveTheObjectCountsFlat) {
  Start();
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  std::set<std::uintptr_t> slots;
  for (int change = 0; change < 500; ++change) {
    MainForm->MCPU = change % 101;
    MainForm->MRAM = 100 - change % 101;
    MainForm->Proc_TrayIcon();
    slots.insert(reinterpret_cast<std::uintptr_t>(MainForm->TrayIconCPU->Icon()) & 0xFFFF);
  }
  EXPECT_LE(slots.size(), 8u);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
}

}  // namespace
}  // namespace tavelo
