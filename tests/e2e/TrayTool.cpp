// Plays the shell's part for end-to-end tests of the tray icons.
//   TrayTool forget            takes Tavelo's icons out of the tray behind its
//                              back, as a crashed taskbar would
//   TrayTool taskbar-created   broadcasts "TaskbarCreated", as a new taskbar does
//   TrayTool dialog            succeeds when a dialog box is shown
//   TrayTool resolution <width> <height>
//                              changes the screen's resolution, which in
//                              Wine's virtual desktop resizes the desktop
//   TrayTool message-box <caption>
//                              prints the text of the shown message box with
//                              that caption, in UTF-8; fails when there is none
//                              or its text is not there yet
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// The message is the box's one static control with text; its id differs
// between systems.
BOOL CALLBACK FindMessageText(HWND child, LPARAM found) {
  wchar_t className[16] = {};
  GetClassNameW(child, className, 16);
  if (_wcsicmp(className, L"Static") != 0 || GetWindowTextLengthW(child) == 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

int PrintMessageBox(const wchar_t* caption) {
  HWND box = FindWindowW(L"#32770", caption);
  if (!box || !IsWindowVisible(box)) return 1;
  HWND message = nullptr;
  EnumChildWindows(box, &FindMessageText, reinterpret_cast<LPARAM>(&message));
  if (!message) return 1;  // the box is still being built
  wchar_t text[1024] = {};
  GetWindowTextW(message, text, 1024);
  std::string utf8(4 * std::wcslen(text) + 1, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), static_cast<int>(utf8.size()),
                                  nullptr, nullptr));
  std::fputs(utf8.c_str(), stdout);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wcscmp(argv[1], L"message-box") == 0) return PrintMessageBox(argv[2]);
  if (argc == 4 && std::wcscmp(argv[1], L"resolution") == 0) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmPelsWidth = static_cast<DWORD>(_wtoi(argv[2]));
    mode.dmPelsHeight = static_cast<DWORD>(_wtoi(argv[3]));
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT;
    return ChangeDisplaySettingsExW(nullptr, &mode, nullptr, 0, nullptr) == DISP_CHANGE_SUCCESSFUL ? 0 : 1;
  }
  if (argc != 2) return 2;
  if (std::wcscmp(argv[1], L"dialog") == 0) {
    HWND dialog = FindWindowW(L"#32770", nullptr);
    return dialog && IsWindowVisible(dialog) ? 0 : 1;
  }
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
