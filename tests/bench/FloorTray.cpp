// The least a CPU/RAM tray program can cost: two notification-area icons,
// kept up to date once a second from the same readings Tavelo takes (the
// processor counter through PDH and the memory load). `make bench` sets Tavelo's
// resident cost against this one's. Ends on WM_CLOSE.
#include <windows.h>

#include <pdh.h>
#include <shellapi.h>

#include <cstdio>
#include <initializer_list>

namespace {

constexpr UINT kCpuIcon = 1;
constexpr UINT kRamIcon = 2;
constexpr UINT_PTR kClock = 1;
constexpr int kSide = 16;

PDH_HQUERY query = nullptr;
PDH_HCOUNTER counter = nullptr;

int CpuLoad() {
  PDH_FMT_COUNTERVALUE value{};
  if (!query || PdhCollectQueryData(query) != ERROR_SUCCESS ||
      PdhGetFormattedCounterValue(counter, PDH_FMT_DOUBLE, nullptr, &value) != ERROR_SUCCESS)
    return 0;
  return static_cast<int>(value.doubleValue + 0.5);
}

int MemoryLoad() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return static_cast<int>(status.dwMemoryLoad);
}

// A frame and a bar as high as the percentage, in the colour, on black; the
// frame shows the icon's colour at 0 % too.
HICON BarIcon(int percent, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP colours = CreateCompatibleBitmap(screen, kSide, kSide);
  HBITMAP mask = CreateBitmap(kSide, kSide, 1, 1, nullptr);
  HDC canvas = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(canvas, colours);
  RECT whole{0, 0, kSide, kSide};
  FillRect(canvas, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(canvas, &whole, brush);
  RECT bar{3, kSide - 1 - percent * (kSide - 2) / 100, kSide - 3, kSide - 1};
  FillRect(canvas, &bar, brush);
  DeleteObject(brush);
  SelectObject(canvas, mask);
  PatBlt(canvas, 0, 0, kSide, kSide, BLACKNESS);  // wholly opaque
  SelectObject(canvas, previous);
  DeleteDC(canvas);
  ReleaseDC(nullptr, screen);
  ICONINFO info{TRUE, 0, 0, mask, colours};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colours);
  DeleteObject(mask);
  return icon;
}

void ShowIcon(HWND window, UINT id, DWORD message, int percent, COLORREF colour, const wchar_t* name) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  data.uCallbackMessage = WM_APP;
  data.hIcon = BarIcon(percent, colour);
  swprintf(data.szTip, sizeof data.szTip / sizeof *data.szTip, L"%ls %d%%", name, percent);
  Shell_NotifyIconW(message, &data);
  DestroyIcon(data.hIcon);
}

int shownCpu = -1;
int shownRam = -1;

// Reads both loads; an icon is drawn anew only when its load has changed.
void ShowLoads(HWND window, DWORD message) {
  const int cpu = CpuLoad();
  const int ram = MemoryLoad();
  if (cpu != shownCpu) ShowIcon(window, kCpuIcon, message, shownCpu = cpu, RGB(255, 0, 0), L"CPU");
  if (ram != shownRam) ShowIcon(window, kRamIcon, message, shownRam = ram, RGB(0, 255, 0), L"RAM");
}

void RemoveIcons(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  for (UINT id : {kCpuIcon, kRamIcon}) {
    data.uID = id;
    Shell_NotifyIconW(NIM_DELETE, &data);
  }
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      ShowLoads(window, NIM_MODIFY);
      return 0;
    case WM_CLOSE:
      KillTimer(window, kClock);
      RemoveIcons(window);
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, wchar_t*, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = &FloorProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"TaveloFloorTray";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowW(L"TaveloFloorTray", L"Floor tray", WS_OVERLAPPED, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  if (!window) return 1;
  if (PdhOpenQueryW(nullptr, 0, &query) == ERROR_SUCCESS &&
      PdhAddCounterW(query, L"\\Processor(_Total)\\% Processor Time", 0, &counter) == ERROR_SUCCESS)
    PdhCollectQueryData(query);
  ShowLoads(window, NIM_ADD);
  SetTimer(window, kClock, 1000, nullptr);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
  if (query) PdhCloseQuery(query);
  return 0;
}
