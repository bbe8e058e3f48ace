// Prints figures of TVL.exe under Wine: start-up time, memory and handles
// of a running instance, the cost of changing the tray faces, and what a
// 6000 x 4000 JPEG costs as a background picture.
#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "PictureEncoders.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "optimiser/jsMaxMems.h"
#include "framework/Picture.h"
#include "panel/Panel.h"
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

constexpr double kMiB = 1048576.0;

// The in-process squeezer at its cap: time, and the commit at the end of the
// commit phase (its peak) and after the call, over the process's own.
void MeasureSqueeze() {
  using tavelo::test::CommittedPrivateBytes;
  tavelo::TjsMaxMems squeezer(nullptr);
  const std::int64_t before = CommittedPrivateBytes(GetCurrentProcess());
  std::int64_t peak = 0;
  int steps = 0;
  squeezer.OnProgress = [&](tavelo::TObject*, std::int64_t) {
    if (++steps == 1024) peak = CommittedPrivateBytes(GetCurrentProcess()) - before;
  };
  const auto start = Clock::now();
  squeezer.DefragMemory(1024);
  const double ms = MillisecondsSince(start);
  std::printf("squeeze of 1024 MB in-process: %.0f ms (with one commit reading); peak commit "
              "%.1f MiB; left committed afterwards %.1f MiB\n",
              ms, peak / kMiB, (CommittedPrivateBytes(GetCurrentProcess()) - before) / kMiB);
}

// Runs Vessra.exe with the amount; with `watch`, reads its commit from
// outside as often as it can while it runs and answers the highest reading.
// Each reading interrupts the companion, so a watched run takes longer.
std::int64_t RunCompanion(const wchar_t* amount, bool watch, double& ms, DWORD& code) {
  wchar_t folder[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, folder, MAX_PATH);
  std::wstring commandLine(folder);
  commandLine = commandLine.substr(0, commandLine.find_last_of(L'\\') + 1) + L"Vessra.exe " + amount;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  code = 1;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                      nullptr, nullptr, &startup, &process))
    return 0;
  using tavelo::test::CommittedPrivateBytes;
  const std::int64_t atStart = CommittedPrivateBytes(process.hProcess);
  const auto start = Clock::now();
  ResumeThread(process.hThread);
  std::int64_t peak = 0;
  while (WaitForSingleObject(process.hProcess, watch ? 0 : INFINITE) == WAIT_TIMEOUT)
    peak = std::max(peak, CommittedPrivateBytes(process.hProcess) - atStart);
  ms = MillisecondsSince(start);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return peak;
}

void MeasureCompanion() {
  double ms = 0;
  DWORD code = 1;
  RunCompanion(L"4096", false, ms, code);
  std::printf("Vessra.exe 4096: exit code %lu after %.0f ms\n", code, ms);
  const std::int64_t peak = RunCompanion(L"4096", true, ms, code);
  std::printf("Vessra.exe 4096, watched: exit code %lu after %.0f ms; peak commit seen %.1f MiB "
              "over its start\n",
              code, ms, peak / kMiB);
}

// Draws the picture as the panel's background, 85 x 64, many times; answers
// the time of one draw.
double RepaintMilliseconds(const tavelo::TPicture& picture) {
  HDC screen = GetDC(nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 85, 64);
  HGDIOBJ previous = SelectObject(canvas, bitmap);
  const int draws = 500;
  const auto start = Clock::now();
  for (int draw = 0; draw < draws; ++draw) picture.StretchDraw(canvas, RECT{0, 0, 85, 64});
  GdiFlush();
  const double each = MillisecondsSince(start) / draws;
  SelectObject(canvas, previous);
  DeleteObject(bitmap);
  DeleteDC(canvas);
  ReleaseDC(nullptr, screen);
  return each;
}

// In a process of its own, so that the peak working set is the loading's.
void MeasurePictureLoad(const std::wstring& path) {
  PROCESS_MEMORY_COUNTERS before{};
  before.cb = sizeof before;
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  tavelo::TPicture picture;
  const auto start = Clock::now();
  picture.LoadFromFile(path);
  const double loadMs = MillisecondsSince(start);
  PROCESS_MEMORY_COUNTERS after{};
  after.cb = sizeof after;
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  std::printf("6000 x 4000 JPEG: loaded as %d x %d in %.0f ms; peak working set +%.1f MiB\n",
              picture.Width(), picture.Height(), loadMs,
              (after.PeakWorkingSetSize - before.PeakWorkingSetSize) / 1048576.0);
  tavelo::TPixelImage defaultSized(85, 64);
  tavelo::TPicture small;
  small.Assign(defaultSized);
  std::printf("one repaint of the 85 x 64 background: %.3f ms with that picture, %.3f ms with an 85 x 64 one\n",
              RepaintMilliseconds(picture), RepaintMilliseconds(small));
}

// One whole repaint of the panel window, averaged.
double PanelRepaintMilliseconds() {
  const int repaints = 200;
  const auto start = Clock::now();
  for (int repaint = 0; repaint < repaints; ++repaint)
    RedrawWindow(tavelo::PanelForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  GdiFlush();
  return MillisecondsSince(start) / repaints;
}

// The panel window of a running controller: its repaint with the default
// picture and with the JPEG, and the time from choosing the JPEG to seeing it.
void MeasurePanel(const std::wstring& path) {
  using namespace tavelo;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  DataFolder = std::wstring(temp);
  DeleteFileW((DataFolder + L"TVL.ini").c_str());
  TApplication application;
  application.Initialize();
  application.CreateForm(MainForm);
  application.CreateForm(ConfigForm);
  MainForm->TimerMain->SetEnabled(false);
  MainForm->MCPU = 88;
  MainForm->MRAM = 45;
  PanelForm->Proc_DispData();
  const double withDefault = PanelRepaintMilliseconds();
  const auto start = Clock::now();
  PanelForm->DropDstFileDrop(PanelForm->DropDst, {path}, 0, 0);
  UpdateWindow(PanelForm->Handle());
  const double showMs = MillisecondsSince(start);
  std::printf("panel window: the dropped 6000 x 4000 JPEG shows after %.0f ms; one repaint %.3f ms "
              "with it, %.3f ms with the default picture\n",
              showMs, PanelRepaintMilliseconds(), withDefault);
  DeleteFileW((DataFolder + L"TVL.ini").c_str());
}

void MeasurePictures() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring path = std::wstring(temp) + L"tavelo-bench-6000x4000.jpg";
  const int width = 6000;
  const std::vector<std::uint8_t> file = tavelo::test::EncodeJpeg(width, 4000, [](int y, std::uint8_t* rgb) {
    for (int x = 0; x < width; ++x, rgb += 3) {  // gradients with fine detail, like a photo
      rgb[0] = static_cast<std::uint8_t>(x / 24 + (x * y) % 7);
      rgb[1] = static_cast<std::uint8_t>(y / 16 + (x ^ y) % 5);
      rgb[2] = static_cast<std::uint8_t>((x + y) / 40);
    }
  });
  tavelo::test::WriteBytes(path, tavelo::Bytes(file.begin(), file.end()));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring command = L"\"" + std::wstring(self) + L"\" --picture \"" + path + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  DeleteFileW(path.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--picture") {
    MeasurePictureLoad(argv[2]);
    MeasurePanel(argv[2]);
    return 0;
  }
  for (int round = 1; round <= 3; ++round) MeasureStart(round);
  MeasureFaceChanges();
  MeasureSqueeze();
  MeasureCompanion();
  MeasurePictures();
  return 0;
}
