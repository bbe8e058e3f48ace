// The Windows side of the resident-cost benchmark; the script around it
// reads the processes' CPU time and memory from outside.
//   ResidentBench start <program>   starts the program from its folder and
//                                   prints the milliseconds until its two
//                                   icons are in the tray; leaves it running
//   ResidentBench stop <class>      closes the program whose top-level window
//                                   has that class, as End task does, and
//                                   waits until it has ended and its icons
//                                   have left the tray
//   ResidentBench hold              keeps the desktop, and with it the
//                                   taskbar, up until it is ended: Wine ends
//                                   a desktop that no program uses, where a
//                                   real session's taskbar stays
// The icons are in the tray once each of the two places at the right end of
// the taskbar of a 1024 x 768 desktop differs from the taskbar beside them
// in a good part of its pixels.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kIconSide = 16;
constexpr POINT kIconPlaces[] = {{986, 750}, {1006, 750}};
constexpr POINT kBesideTheIcons{980, 758};
constexpr int kPixelsOfAnIcon = 40;

// The screen's pixels in the rectangle, as 0x00RRGGBB, row by row.
std::vector<std::uint32_t> ScreenPixels(int left, int top, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ previous = SelectObject(canvas, copy);
  BitBlt(canvas, 0, 0, width, height, screen, left, top, SRCCOPY);
  SelectObject(canvas, previous);
  BITMAPINFO format{};
  format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width) * height);
  GetDIBits(canvas, copy, 0, height, pixels.data(), &format, DIB_RGB_COLORS);
  DeleteObject(copy);
  DeleteDC(canvas);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

bool TrayShowsBothIcons() {
  const std::uint32_t taskbar = ScreenPixels(kBesideTheIcons.x, kBesideTheIcons.y, 1, 1)[0];
  for (const POINT& place : kIconPlaces) {
    int differing = 0;
    for (std::uint32_t pixel : ScreenPixels(place.x, place.y, kIconSide, kIconSide))
      differing += pixel != taskbar;
    if (differing < kPixelsOfAnIcon) return false;
  }
  return true;
}

// Waits up to `milliseconds` for the tray to show (or no longer show) both icons.
bool WaitForIcons(bool shown, DWORD milliseconds) {
  const ULONGLONG until = GetTickCount64() + milliseconds;
  while (TrayShowsBothIcons() != shown) {
    if (GetTickCount64() >= until) return false;
    Sleep(5);
  }
  return true;
}

int Start(const std::wstring& program) {
  const std::wstring folder = program.substr(0, program.find_last_of(L'\\'));
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER frequency, started, shown;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.c_str(), &startup, &process)) {
    std::fprintf(stderr, "cannot start the program (error %lu)\n", GetLastError());
    return 1;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!WaitForIcons(true, 60000)) {
    std::fprintf(stderr, "the two icons did not show within 60 s\n");
    return 1;
  }
  QueryPerformanceCounter(&shown);
  std::printf("%.0f\n", (shown.QuadPart - started.QuadPart) * 1000.0 / frequency.QuadPart);
  return 0;
}

int Stop(const wchar_t* windowClass) {
  HWND window = FindWindowW(windowClass, nullptr);
  if (!window) return 1;
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
  if (!process) return 1;
  PostMessageW(window, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(process, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process, 1);
  CloseHandle(process);
  return ended && WaitForIcons(false, 10000) ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"start") == 0) return Start(argv[2]);
  if (argc == 3 && std::wcscmp(argv[1], L"stop") == 0) return Stop(argv[2]);
  if (argc == 2 && std::wcscmp(argv[1], L"hold") == 0) {
    GetDesktopWindow();  // uses the desktop
    Sleep(INFINITE);
  }
  std::fprintf(stderr, "usage: ResidentBench start <program> | stop <window class> | hold\n");
  return 2;
}
