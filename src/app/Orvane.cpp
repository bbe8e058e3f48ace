#include "app/Orvane.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "app/Placement.h"
#include "framework/Application.h"
#include "framework/StdCtrls.h"

namespace tavelo {

std::wstring DataFolder;

namespace {

constexpr int kFolderCsidl[] = {CSIDL_PERSONAL, CSIDL_APPDATA, CSIDL_LOCAL_APPDATA,
                                CSIDL_COMMON_APPDATA, CSIDL_MYPICTURES, CSIDL_COMMON_DOCUMENTS};

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeDirectoryIfMissing(const std::wstring& path) {
  if (!IsDirectory(path)) CreateDirectoryW(path.c_str(), nullptr);  // failure shows in the result
}

// Restores the process error mode when it goes out of scope.
class ErrorModeScope {
 public:
  explicit ErrorModeScope(UINT mode) : previous_(SetErrorMode(mode)) {}
  ~ErrorModeScope() { SetErrorMode(previous_); }
  ErrorModeScope(const ErrorModeScope&) = delete;
  ErrorModeScope& operator=(const ErrorModeScope&) = delete;

 private:
  UINT previous_;
};

}  // namespace

std::wstring Func_SpecialFolder(int kind) {
  if (kind < kFolderPersonal || kind > kFolderCommonDocuments) return {};
  wchar_t path[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, kFolderCsidl[kind], nullptr, SHGFP_TYPE_CURRENT, path);
  return path;  // cut at the first NUL; empty when the call failed
}

bool Func_MakeDataFolder(const std::wstring& name) {
  std::wstring path = Func_SpecialFolder(kFolderAppData) + L"\\Orvane Project";
  MakeDirectoryIfMissing(path);
  path += L"\\" + name;
  MakeDirectoryIfMissing(path);
  DataFolder = path + L"\\";
  return IsDirectory(DataFolder);
}

bool Func_DriveReady(const std::wstring& path) {
  if (path.empty()) return false;
  wchar_t first = path[0];
  if (first >= L'a' && first <= L'z') first = static_cast<wchar_t>(first - L'a' + L'A');
  if (first == L'\\') return true;
  if (first < L'A' || first > L'Z') return false;
  const std::wstring root{first, L':', L'\\'};
  ErrorModeScope quiet(SEM_FAILCRITICALERRORS);
  ULARGE_INTEGER total;
  return GetDiskFreeSpaceExW(root.c_str(), nullptr, &total, nullptr) != 0;
}

bool Func_DirExists(const std::wstring& path) {
  return Func_DriveReady(path) && IsDirectory(path);
}

bool Func_FileExists(const std::wstring& path) {
  if (!Func_DriveReady(path)) return false;
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void Proc_ToolWindow(HWND window) {
  SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
}

bool Func_TopMost(HWND window, bool onTop) {
  return SetWindowPos(window, onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                      SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW) != 0;
}

namespace {
OSVERSIONINFOW WindowsVersion() {
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExW(&version);
  return version;
}
}  // namespace

bool Func_Win2000OrLater() { return WindowsVersion().dwMajorVersion > 4; }

bool Func_IsWow64() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"Kernel32.dll"), "IsWow64Process")));
  if (isWow64Process) {
    BOOL wow64 = FALSE;
    isWow64Process(GetCurrentProcess(), &wow64);
    return wow64 != FALSE;
  }
  const OSVERSIONINFOW version = WindowsVersion();
  return version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 2);
}

namespace {
TRectangle FromRect(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

struct TMonitor {
  HMONITOR handle;
  RECT bounds;
  RECT workArea;
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  try {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info))
      reinterpret_cast<std::vector<TMonitor>*>(data)->push_back(
          {monitor, info.rcMonitor, info.rcWork});
    return TRUE;
  } catch (...) {
    RouteException(nullptr);
    return FALSE;
  }
}

// The display monitors in the system's enumeration order.
std::vector<TMonitor> Monitors() {
  std::vector<TMonitor> monitors;
  EnumDisplayMonitors(nullptr, nullptr, &CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

bool ReadBounds(HWND window, TWindowBounds& bounds) {
  RECT rectangle{};
  if (!Func_GetWindowRect(window, rectangle)) return false;
  bounds = BoundsOf(FromRect(rectangle));
  return true;
}

void MoveTo(HWND window, const TWindowBounds& bounds) {
  MoveWindow(window, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}
}  // namespace

bool Func_GetWindowRect(HWND window, RECT& rectangle) {
  RECT read{};
  if (!GetWindowRect(window, &read) || IsMinimisedRectangle(FromRect(read))) return false;
  rectangle = read;
  return true;
}

bool Func_GetWindowBounds(HWND window, int& left, int& top, int& width, int& height) {
  TWindowBounds bounds{};
  if (!ReadBounds(window, bounds)) return false;
  left = bounds.left;
  top = bounds.top;
  width = bounds.width;
  height = bounds.height;
  return true;
}

int Func_TaskbarEdge(RECT& taskbar) {
  APPBARDATA request{};
  request.cbSize = sizeof request;
  const bool answered = SHAppBarMessage(ABM_GETTASKBARPOS, &request) != 0;
  taskbar = request.rc;
  if (!answered) return kTaskbarNone;
  switch (request.uEdge) {
    case ABE_TOP: return kTaskbarTop;
    case ABE_BOTTOM: return kTaskbarBottom;
    case ABE_LEFT: return kTaskbarLeft;
    case ABE_RIGHT: return kTaskbarRight;
    default: return kTaskbarNone;
  }
}

void Proc_PlaceOnScreen(HWND window, unsigned kind) {
  RECT workArea{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT taskbar{};
  const int edge = Func_TaskbarEdge(taskbar);
  const TRectangle screen = ScreenAreaWithTaskbar(FromRect(workArea), edge, FromRect(taskbar));
  TWindowBounds bounds{};
  if (!ReadBounds(window, bounds)) return;
  TWindowBounds placed{};
  if (PlaceInScreenArea(bounds, kind, screen, placed)) MoveTo(window, placed);
}

void Proc_PlaceOnMonitor(HWND window, unsigned kind, int monitorIndex, bool useBounds) {
  TWindowBounds bounds{};
  if (!ReadBounds(window, bounds)) return;
  const std::vector<TMonitor> monitors = Monitors();
  if (monitorIndex < 0 || static_cast<size_t>(monitorIndex) >= monitors.size()) return;
  const TMonitor& monitor = monitors[static_cast<size_t>(monitorIndex)];
  TWindowBounds placed{};
  if (PlaceInMonitorArea(bounds, kind, FromRect(useBounds ? monitor.bounds : monitor.workArea),
                         placed) &&
      TallerAndWiderThanCaption(placed, GetSystemMetrics(SM_CYCAPTION)))
    MoveTo(window, placed);
}

bool Func_OffAllMonitors(int left, int top, int width, int height) {
  return OffAllMonitors({left, top, width, height}, [](TScreenPoint point) {
    return MonitorFromPoint(POINT{point.x, point.y}, MONITOR_DEFAULTTONULL) != nullptr;
  });
}

int Func_MonitorIndex(HWND window) {
  const HMONITOR nearest = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
  const std::vector<TMonitor> monitors = Monitors();
  for (size_t index = 0; index < monitors.size(); ++index)
    if (monitors[index].handle == nearest) return static_cast<int>(index);
  return 0;
}

void Proc_EnsureOnScreen(HWND window) {
  if (IsZoomed(window)) return;
  TWindowBounds bounds{};
  if (ReadBounds(window, bounds) &&
      Func_OffAllMonitors(bounds.left, bounds.top, bounds.width, bounds.height))
    Proc_PlaceOnScreen(window, 10);  // the centre
}

void Proc_SetHExtent(TListBox* listBox) {
  HWND window = listBox->Handle();
  HDC canvas = GetDC(window);
  const HGDIOBJ previous =
      SelectObject(canvas, reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (int index = 0; index < listBox->Count(); ++index) {
    const std::wstring item = listBox->Item(index);
    SIZE size{};
    GetTextExtentPoint32W(canvas, item.c_str(), static_cast<int>(item.size()), &size);
    widest = std::max(widest, size.cx);
  }
  SelectObject(canvas, previous);
  ReleaseDC(window, canvas);
  SendMessageW(window, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest * 2), 0);
}

}  // namespace tavelo
