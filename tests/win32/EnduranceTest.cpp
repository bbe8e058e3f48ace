#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ControllerTest.h"
#include "PictureEncoders.h"
#include "ProcessCounters.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/DecimalText.h"
#include "panel/Panel.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

// Tavelo runs for weeks. An hour of its one-second cycle, driven second by
// second with the paths a user takes in between, must leave no more GDI
// objects, USER objects and kernel handles behind than it found, and its
// private memory must stay within a small allowance.

// How much private memory may grow over the measured fifty minutes: a leak
// of a hundred bytes a second passes it.
constexpr std::int64_t kPrivateAllowance = 256 * 1024;

// An episode of ten minutes ends in the state it began in: the panel shown
// in the normal layout with the default picture, digital faces, the icons
// in their first order, running. Counts taken at episode ends therefore
// compare like with like.
constexpr int kEpisodeSeconds = 600;
constexpr int kEpisodes = 6;  // an hour
// Everything a run of the episodes takes for itself once is taken in these.
constexpr int kWarmUpEpisodes = 1;
// The only seconds of an episode with the CPU below 80, where the one run
// that is due in each episode starts. From second 400 on, nothing restarts
// the count towards a periodic run, so that with an interval of a minute
// one is due here as well.
constexpr int kQuietFrom = 570;
constexpr int kQuietTo = 580;
// Runs free a share of the installed memory; a small one keeps them quick.
constexpr std::int64_t kSmallMachine = 64 * 1048576;

// The CPU load holds for twenty seconds at a time. Each change of a number
// on the icons costs the shell two updates, which under Wine take several
// milliseconds each; a new load every second would make the hour take minutes.
constexpr int kSecondsPerLoad = 20;

int CpuLoad(int secondOfEpisode, int elapsed) {
  const int block = elapsed / kSecondsPerLoad;
  if (secondOfEpisode >= kQuietFrom && secondOfEpisode < kQuietTo) return 1 + block * 13 % 79;
  return 80 + block * 7 % 21;
}

int MemoryLoad() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return static_cast<int>(status.dwMemoryLoad);
}

// Wine 8 gives the caller of WaitForInputIdle a new handle to the other
// process's idle event on every call and never closes it. Where runs go
// through the companion, each run waits for it that way, so each leaves
// that many handles of the system's behind. Measured here with the plain
// calls and no code of Tavelo's, so that it is 0 where the system leaks none.
std::int64_t HandlesTheSystemLeavesPerCompanionStart() {
  const std::wstring companion = test::ProgramFolder() + L"Vessra.exe";
  std::wstring commandLine = companion + L" 0";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  const std::int64_t before = test::CountThisProcess().kernelHandles;
  if (!CreateProcessW(companion.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    ADD_FAILURE() << "the companion did not start, error " << GetLastError();
    return 0;
  }
  WaitForInputIdle(started.hProcess, 60000);
  WaitForSingleObject(started.hProcess, INFINITE);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  return test::CountThisProcess().kernelHandles - before;
}

// The settings dialog is modal: what the user does in it runs from a timer
// once it shows.
std::function<void()> userInSettings;

void CALLBACK ActInSettingsOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!ConfigForm->Visible()) return;
  KillTimer(nullptr, timer);
  userInSettings();
}

void Click(const TButton* button) { PostMessageW(button->Handle(), BM_CLICK, 0, 0); }

struct UserStep {
  int second;  // of the episode, after that second's cycle
  const char* what;
  std::function<void()> act;
};

class EnduranceTest : public test::ControllerTest {
 protected:
  // The controller with the panel shown, automatic runs at 1 % and no
  // periodic runs, each run freeing 10 % of a small machine. Its clock stands
  // still: each tick restarts it with the longest interval there is, and the
  // test calls the handler itself.
  void StartForEndurance() {
    Start(L"[RAM]\r\nValue=10\r\nAuto=1\r\nTime=0\r\n");
    MainForm->MTotalRAM = kSmallMachine;
    MainForm->TimerMain->SetInterval(USER_TIMER_MAXIMUM);
    for (const auto& [name, encoded] : Pictures()) test::WriteBytes(DataFolder + name, encoded);
  }

  static std::vector<std::pair<std::wstring, std::vector<std::uint8_t>>> Pictures() {
    const test::TRowSource rows = [](int y, std::uint8_t* rgb) {
      for (int x = 0; x < 85; ++x, rgb += 3) {
        rgb[0] = static_cast<std::uint8_t>(x * 3);
        rgb[1] = static_cast<std::uint8_t>(y * 4);
        rgb[2] = 128;
      }
    };
    return {{L"picture.png", test::EncodePng(85, 64, rows)},
            {L"picture.jpg", test::EncodeJpeg(85, 64, rows)},
            {L"picture.bmp", test::EncodeBmp(85, 64, rows)}};
  }

  // One second of the cycle at that CPU load: two ticks of the clock, then
  // what the message loop does before the next tick (painting, the answers
  // of the shell, windows released).
  void Second(int cpuLoad) {
    SetEnvironmentVariableW(L"TVL_PDH_VALUES", DecimalText(cpuLoad).c_str());
    MainForm->TimerMainTimer(MainForm->TimerMain);
    MainForm->TimerMainTimer(MainForm->TimerMain);
    application.ProcessMessages();
  }

  // A run clears the loads it leaves behind, and the scripted load is never
  // 0, so MCPU reads 0 exactly after a second in which a run started.
  static bool RunStartedThisSecond() {
    return !MainForm->PPStop->Checked() && MainForm->MCPU == 0;
  }

  void RunEpisode(int episode, const std::vector<UserStep>& steps) {
    auto step = steps.begin();
    for (int second = 0; second < kEpisodeSeconds; ++second) {
      const int elapsed = episode * kEpisodeSeconds + second;
      lastCpuLoad = CpuLoad(second, elapsed);
      Second(lastCpuLoad);
      if (RunStartedThisSecond()) runsStarted.push_back(elapsed);
      for (; step != steps.end() && step->second == second; ++step) {
        SCOPED_TRACE(std::to_string(elapsed) + " s: " + step->what);
        step->act();
      }
    }
  }

  // The user's ten minutes. Face changes, Stop, Reset and the settings
  // dialog all restart the count towards a periodic run, so they come
  // before second 400. The level meter is set every second, at the cost of
  // two updates of the shell, so it is shown only briefly.
  std::vector<UserStep> Episode() {
    TMainForm* main = MainForm;
    return {
        {10, "tray menu of the CPU icon", [main] { OpenTrayMenu(main->TrayIconCPU); }},
        {20, "CPU face: number icon", [main] { main->PPTrayCPU1->Click(); }},
        {30, "RAM face: number icon", [main] { main->PPTrayRAM1->Click(); }},
        {50, "Stop from the tray menu", [main] { main->PPStop->Click(); }},
        {55, "Stop ended from the panel's menu", [] { PanelForm->PPStop->Click(); }},
        {70, "panel menu", [] { OpenPanelMenu(); }},
        {80, "CPU face: level meter", [main] { main->PPTrayCPU2->Click(); }},
        {85, "RAM face: level meter", [main] { main->PPTrayRAM2->Click(); }},
        {90, "CPU face: digital", [main] { main->PPTrayCPU0->Click(); }},
        {95, "RAM face: digital", [main] { main->PPTrayRAM0->Click(); }},
        {120, "settings opened and cancelled", [] { CancelSettings(); }},
        {140, "Reset from the tray menu", [main] { main->PPReset->Click(); }},
        {160, "icons swapped", [main] { main->PPTrayPos->Click(); }},
        {180, "tray menu of the RAM icon", [main] { OpenTrayMenu(main->TrayIconRAM); }},
        {240, "small layout", [] { SwitchLayout(); }},
        {250, "panel menu in the small layout", [] { OpenPanelMenu(); }},
        {260, "normal layout", [] { SwitchLayout(); }},
        {280, "PNG picture dropped", [] { DropPicture(L"picture.png"); }},
        {300, "settings opened and cancelled", [] { CancelSettings(); }},
        {320, "JPEG picture dropped", [] { DropPicture(L"picture.jpg"); }},
        {340, "panel closed", [main] { main->PPPanel->Click(); }},
        {350, "panel opened again, with its JPEG picture", [main] { main->PPPanel->Click(); }},
        {360, "BMP picture dropped", [] { DropPicture(L"picture.bmp"); }},
        {380, "Reset from the panel's menu", [] { PanelForm->PPReset->Click(); }},
        {420, "no picture", [] { PanelForm->PPNon->Click(); }},
        {440, "icons swapped back", [main] { main->PPTrayPos->Click(); }},
        {460, "default picture", [] { PanelForm->PPDef->Click(); }},
        {500, "small layout", [] { SwitchLayout(); }},
        {510, "normal layout", [] { SwitchLayout(); }},
        {590, "settings: automatic and periodic runs swapped, OK", [this] { SwapRunKinds(); }},
    };
  }

  static void OpenTrayMenu(TCoolTrayIcon* icon) {
    OpenMenu(MainForm->PPMenu, [icon] {
      SendMessageW(icon->Handle(), TCoolTrayIcon::WM_TRAYNOTIFY, icon->IconID(), WM_RBUTTONDOWN);
    });
  }

  static void OpenPanelMenu() {
    OpenMenu(PanelForm->PPMenu, [] {
      RECT panel{};
      GetWindowRect(PanelForm->Handle(), &panel);
      SendMessageW(PanelForm->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(PanelForm->Handle()),
                   MAKELPARAM(panel.left + 10, panel.top + 10));
    });
  }

  // Opens the menu the way the user does and closes it again once it shows;
  // the menu's own preparation must have run.
  static void OpenMenu(TPopupMenu* menu, const std::function<void()>& open) {
    const TNotifyEvent prepare = menu->OnPopup;
    int opened = 0;
    menu->OnPopup = [&](TObject* sender) {
      ++opened;
      prepare(sender);
    };
    test::CloseMenuOnceShown();
    open();
    menu->OnPopup = prepare;
    EXPECT_EQ(opened, 1) << "the menu did not open";
  }

  static void UseSettings(std::function<void()> steps) {
    userInSettings = std::move(steps);
    SetTimer(nullptr, 0, 20, &ActInSettingsOnceShown);
    MainForm->PPConfigClick(MainForm->PPConfig);
  }

  static void CancelSettings() {
    UseSettings([] { Click(ConfigForm->BtnCancel); });
  }

  // Automatic runs at 1 % and no periodic ones, or the other way round with
  // an interval of a minute.
  void SwapRunKinds() {
    const bool toPeriodic = automaticRuns;
    UseSettings([toPeriodic] {
      test::ClickArrow(*ConfigForm->UDRAMAuto, toPeriodic ? TUpDownButton::Down : TUpDownButton::Up);
      test::ClickArrow(*ConfigForm->UDRAMTime, toPeriodic ? TUpDownButton::Up : TUpDownButton::Down);
      Click(ConfigForm->BtnOK);
    });
    automaticRuns = !toPeriodic;
    EXPECT_EQ(Func_NumberOf(ConfigForm->TXTRAMAuto), automaticRuns ? 1 : 0);
    EXPECT_EQ(MainForm->MTime, automaticRuns ? 0 : 60);
  }

  static void SwitchLayout() {
    SendMessageW(PanelForm->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 10));
  }

  static void DropPicture(const std::wstring& name) {
    SendMessageW(PanelForm->Handle(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(test::MakeDrop({DataFolder + name}, POINT{5, 5})), 0);
    EXPECT_EQ(PanelForm->MPic, DataFolder + name);
  }

  // Heap blocks freed in one place and taken in another may leave a few
  // pages committed; nothing else may grow.
  static test::ProcessCounters AllowedWithoutALeak() {
    test::ProcessCounters allowed;
    allowed.privateBytes = kPrivateAllowance;
    return allowed;
  }

  // The handles the system itself left behind in the runs that started from
  // that second on, where runs go through the companion.
  std::int64_t HandlesTheSystemLeftInRunsFrom(int second) const {
    if (!Func_IsWow64()) return 0;
    const std::int64_t runs = std::count_if(runsStarted.begin(), runsStarted.end(),
                                            [second](int started) { return started >= second; });
    const std::int64_t perRun = HandlesTheSystemLeavesPerCompanionStart();
    std::printf("[ endurance] the system leaves %lld handle(s) behind for each start of the "
                "companion: %lld for the %lld runs measured\n",
                static_cast<long long>(perRun), static_cast<long long>(runs * perRun),
                static_cast<long long>(runs));
    return runs * perRun;
  }

  bool automaticRuns = true;
  int lastCpuLoad = 0;
  std::vector<int> runsStarted;  // elapsed seconds
};

void Print(const std::string& when, const test::ProcessCounters& counters) {
  std::printf("[ endurance] %s: %s\n", when.c_str(), test::Describe(counters).c_str());
}

TEST_F(EnduranceTest, AnHourOfUseLeavesNoObjectsAndNoMemoryBehind) {
  StartForEndurance();
  ASSERT_GE(MemoryLoad(), 1) << "automatic runs at 1 % need some memory in use";
  const std::vector<UserStep> steps = Episode();
  const auto started = std::chrono::steady_clock::now();
  for (int episode = 0; episode < kWarmUpEpisodes; ++episode) RunEpisode(episode, steps);
  const test::ProcessCounters warm = test::CountThisProcess();
  for (int episode = kWarmUpEpisodes; episode < kEpisodes; ++episode) RunEpisode(episode, steps);
  const test::ProcessCounters end = test::CountThisProcess();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;

  std::printf("[ endurance] %d cycles of one second in %.1f s, %zu runs\n",
              kEpisodes * kEpisodeSeconds, took.count(), runsStarted.size());
  Print("after the warm-up of " + std::to_string(kWarmUpEpisodes * kEpisodeSeconds) + " cycles",
        warm);
  Print("at the end", end);
  test::ProcessCounters allowed = AllowedWithoutALeak();
  allowed.kernelHandles = HandlesTheSystemLeftInRunsFrom(kWarmUpEpisodes * kEpisodeSeconds);
  EXPECT_TRUE(test::NothingGrew(warm, end, allowed));

  // One run in each episode's quiet seconds: automatic in the even episodes,
  // periodic in the odd ones.
  std::vector<int> expectedRuns;
  for (int episode = 0; episode < kEpisodes; ++episode)
    expectedRuns.push_back(episode * kEpisodeSeconds + kQuietFrom);
  EXPECT_EQ(runsStarted, expectedRuns);

  // The icons and the panel show the last second's loads.
  const std::wstring cpu = DecimalText(lastCpuLoad) + L"%";
  const std::wstring ram = DecimalText(MainForm->MRAM) + L"%";
  EXPECT_EQ(MainForm->MCPU, lastCpuLoad);
  EXPECT_GT(MainForm->MRAM, 0) << "the machine's memory load, sampled";
  EXPECT_EQ(MainForm->TrayIconCPU->IconIndex(), lastCpuLoad);
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:" + cpu);
  EXPECT_EQ(MainForm->TrayIconRAM->IconIndex(), MainForm->MRAM);
  EXPECT_EQ(MainForm->TrayIconRAM->Hint(), L"RAM:" + ram);
  EXPECT_EQ(PanelForm->LabelCPUData->Caption(), cpu);
  EXPECT_EQ(PanelForm->LabelRAMData->Caption(), ram);
}

// What a leak test leaves behind on purpose, given back after its check.
struct DeliberateLeaks {
  std::vector<HGDIOBJ> gdiObjects;
  std::vector<HMENU> menus;
  std::vector<HANDLE> handles;
  std::vector<std::unique_ptr<char[]>> blocks;

  DeliberateLeaks() = default;
  DeliberateLeaks(const DeliberateLeaks&) = delete;
  DeliberateLeaks& operator=(const DeliberateLeaks&) = delete;
  ~DeliberateLeaks() {
    for (HGDIOBJ object : gdiObjects) DeleteObject(object);
    for (HMENU menu : menus) DestroyMenu(menu);
    for (HANDLE handle : handles) CloseHandle(handle);
  }
};

constexpr size_t kLeakedBlock = 64 * 1024;

// The check of the hour, on a run with a leak of one object a second: it
// fails, and names the counter that caught the leak.
TEST_F(EnduranceTest, EachCounterCatchesALeakOfOneObjectASecond) {
  const struct {
    const char* counter;
    std::function<void(DeliberateLeaks&)> leakOne;
  } cases[] = {
      {"GDI objects",
       [](DeliberateLeaks& leaks) { leaks.gdiObjects.push_back(CreateSolidBrush(RGB(1, 2, 3))); }},
      {"USER objects", [](DeliberateLeaks& leaks) { leaks.menus.push_back(CreatePopupMenu()); }},
      {"kernel handles",
       [](DeliberateLeaks& leaks) {
         leaks.handles.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
       }},
      {"private bytes",
       [](DeliberateLeaks& leaks) {
         leaks.blocks.emplace_back(new char[kLeakedBlock]);
         std::fill_n(leaks.blocks.back().get(), kLeakedBlock, '\x5A');
       }},
  };
  constexpr int kWarmUpSeconds = 60;
  constexpr int kLeakingSeconds = 100;
  StartForEndurance();
  int elapsed = 0;
  for (; elapsed < kWarmUpSeconds; ++elapsed) Second(CpuLoad(0, elapsed));
  for (const auto& leak : cases) {
    DeliberateLeaks leaks;
    const test::ProcessCounters before = test::CountThisProcess();
    for (int second = 0; second < kLeakingSeconds; ++second, ++elapsed) {
      Second(CpuLoad(0, elapsed));
      leak.leakOne(leaks);
    }
    const ::testing::AssertionResult held =
        test::NothingGrew(before, test::CountThisProcess(), AllowedWithoutALeak());
    EXPECT_FALSE(held) << leak.counter;
    EXPECT_NE(std::string(held.message()).find(std::string(leak.counter) + " grew"), std::string::npos)
        << leak.counter << " did not catch it: " << held.message();
  }
}

}  // namespace
}  // namespace tavelo
