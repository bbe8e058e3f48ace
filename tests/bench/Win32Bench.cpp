// Prints figures of TVL.exe under Wine: start-up time, memory and handles
// of a running instance, and the cost of changing the tray faces.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <set>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "settings/Config.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Starts TVL.exe, waits for its main window, reports, and closes it.
void MeasureStart(int round) {
  const auto start = Clock::now();
  const tavelo::test::TaveloProcess tavelo;
  const HWND main = tavelo.WaitForMainWindow(30000);
  const double startMs = MillisecondsSince(start);
  Sleep(3000);  // a few cycles of the clock
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(tavelo.Handle(), &memory, sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(tavelo.Handle(), &handles);
  std::printf("start %d: main window after %.0f ms; after 3 s: working set %.1f MiB, %lu handles\n",
              round, startMs, memory.WorkingSetSize / 1048576.0, handles);
  if (main) tavelo.Close();
  tavelo.WaitForExit(15000);
}

void MeasureFaceChanges() {
  using namespace tavelo;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  DataFolder = std::wstring(temp);
  TApplication application;
  application.Initialize();
  application.CreateForm(MainForm);
  application.CreateForm(ConfigForm);
  MainForm->TimerMain->SetEnabled(false);
  const int changes = 1000;
  std::set<UINT_PTR> slots;
  const auto start = Clock::now();
  for (int change = 0; change < changes; ++change) {
    MainForm->MCPU = change % 101;
    MainForm->MRAM = 100 - change % 101;
    MainForm->Proc_TrayIcon();
    slots.insert(reinterpret_cast<UINT_PTR>(MainForm->TrayIconCPU->Icon()) & 0xFFFF);
  }
  std::printf("%d face changes of both icons: %.2f ms each; icon handle slots used: %zu; "
              "GDI objects %lu, USER objects %lu\n",
              changes, MillisecondsSince(start) / changes, slots.size(),
              GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
              GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
}

}  // namespace

int main() {
  for (int round = 1; round <= 3; ++round) MeasureStart(round);
  MeasureFaceChanges();
  return 0;
}
