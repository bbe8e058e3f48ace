// Prints figures of TVL.exe under Wine: start-up time, memory and handles
// of a running instance, and the cost of changing the tray faces.
#include <windows.h>

#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>

#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "settings/Config.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Search {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (owner != search->processId || std::wstring(className) != L"TMainForm") return TRUE;
  search->found = window;
  return FALSE;
}

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Starts TVL.exe, waits for its main window, reports, and closes it.
void MeasureStart(int round) {
  std::wstring commandLine = L"\"" + ProgramFolder() + L"TVL.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const auto start = Clock::now();
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return;
  Search search{process.dwProcessId, nullptr};
  while (!search.found && MillisecondsSince(start) < 30000) {
    EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(5);
  }
  const double startMs = MillisecondsSince(start);
  Sleep(3000);  // a few cycles of the clock
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  DWORD handles = 0;
  GetProcessHandleCount(process.hProcess, &handles);
  std::printf("start %d: main window after %.0f ms; after 3 s: working set %.1f MiB, %lu handles\n",
              round, startMs, memory.WorkingSetSize / 1048576.0, handles);
  if (search.found) PostMessageW(search.found, WM_CLOSE, 0, 0);
  WaitForSingleObject(process.hProcess, 15000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
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
