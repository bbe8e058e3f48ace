// Plays the shell's part for end-to-end tests of the tray icons.
//   TrayTool forget            takes Tavelo's icons out of the tray behind its
//                              back, as a crashed taskbar would
//   TrayTool taskbar-created   broadcasts "TaskbarCreated", as a new taskbar does
#include <windows.h>

#include <shellapi.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return 2;
  if (std::wcscmp(argv[1], L"forget") == 0) {
    HWND handler = FindWindowW(L"TTrayIconHandler", nullptr);
    if (!handler) return 1;
    NOTIFYICONDATAW icon{};
    icon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    icon.hWnd = handler;
    for (UINT id = 1; id <= 2; ++id) {
      icon.uID = id;
      Shell_NotifyIconW(NIM_DELETE, &icon);
    }
    return 0;
  }
  if (std::wcscmp(argv[1], L"taskbar-created") == 0)
    return SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0)
               ? 0
               : 1;
  return 2;
}
