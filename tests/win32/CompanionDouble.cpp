// Stands in for Vessra.exe in the tests of the companion runs: records its
// command line and current folder in "started.txt" beside itself (UTF-16),
// waits a little so that the caller's wait shows, adds "exited" and exits.
#include <windows.h>

#include <string>

namespace {

void Append(const std::wstring& file, const std::wstring& line) {
  HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  const std::wstring text = line + L"\n";
  DWORD written = 0;
  WriteFile(handle, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written,
            nullptr);
  CloseHandle(handle);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Ready for input at once, as Vessra.exe is, so the caller goes on to its
  // wait, which handles messages.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring record(path);
  record = record.substr(0, record.find_last_of(L'\\') + 1) + L"started.txt";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  Append(record, GetCommandLineW());
  Append(record, folder);
  Sleep(400);
  Append(record, L"exited");
  return 0;
}
