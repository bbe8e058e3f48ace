#include "optimiser/AppExecute.h"

#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Text.h"

namespace tavelo {

namespace {

constexpr DWORD kIdleTimeoutMs = 60000;
constexpr LONG kMinimisedPosition = -32000;

// The handles of a started process, closed on every way out.
class TStartedProcess {
 public:
  explicit TStartedProcess(const PROCESS_INFORMATION& started) : info_(started) {}
  ~TStartedProcess() {
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
  TStartedProcess(const TStartedProcess&) = delete;
  TStartedProcess& operator=(const TStartedProcess&) = delete;
  HANDLE Process() const { return info_.hProcess; }
  DWORD Id() const { return info_.dwProcessId; }

 private:
  PROCESS_INFORMATION info_;
};

struct TWindowSearch {
  DWORD processId;
  HWND found;
};

// The first visible top-level window without owner of the process.
BOOL CALLBACK MatchMainWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<TWindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search.processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
    return TRUE;
  search.found = window;
  return FALSE;
}

HWND MainWindowOf(DWORD processId) {
  TWindowSearch search{processId, nullptr};
  EnumWindows(&MatchMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void RestoreIfMaximisedOrMinimised(HWND window) {
  RECT bounds{};
  if (!GetWindowRect(window, &bounds)) return;
  if (bounds.left == kMinimisedPosition && bounds.top == kMinimisedPosition) return;
  if (bounds.right - bounds.left <= 1 || bounds.bottom - bounds.top <= 1) return;
  if (IsZoomed(window) || IsIconic(window)) ShowWindow(window, SW_RESTORE);
}

}  // namespace

std::wstring Func_ProgramFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      const std::wstring file(path.data(), length);
      return file.substr(0, file.find_last_of(L'\\') + 1);
    }
    path.resize(path.size() * 2);
  }
}

void Proc_AppExecute(const std::wstring& application, const std::wstring& commandLine,
                     const std::wstring& folder, int showCommand, DWORD creationFlags, bool wait) {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  startup.cb = sizeof startup;
  startup.lpReserved = nullptr;
  startup.lpDesktop = nullptr;
  startup.lpTitle = nullptr;
  startup.cbReserved2 = 0;
  startup.lpReserved2 = nullptr;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  std::wstring writableCommandLine = commandLine;  // CreateProcessW may write to it
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(application.c_str(), writableCommandLine.data(), nullptr, nullptr, FALSE,
                      creationFlags | CREATE_DEFAULT_ERROR_MODE, nullptr, folder.c_str(), &startup,
                      &info))
    throw Exception(WideToUtf8(commandLine + L"を起動できません。"));
  const TStartedProcess started(info);

  if (WaitForInputIdle(started.Process(), kIdleTimeoutMs) == 0)
    if (HWND window = MainWindowOf(started.Id())) RestoreIfMaximisedOrMinimised(window);

  if (!wait) return;
  while (WaitForSingleObject(started.Process(), 0) == WAIT_TIMEOUT) {
    Sleep(1);
    if (Application) Application->ProcessMessages();
  }
}

}  // namespace tavelo
