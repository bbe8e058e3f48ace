// Stands in for Vessra.exe in the tests of the companion runs: records its
// command line and current folder in "started.txt" beside itself (UTF-16),
// waits a little so that the caller's wait shows, adds "exited" and exits.
// A "behaviour.txt" beside it changes what comes after the record:
//   hang    it waits a minute, long enough for the test to kill it
//   crash   it writes through a null pointer
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

// The first word of the file, or nothing when there is none.
std::string FirstWord(const std::wstring& file) {
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return {};
  char text[32] = {};
  DWORD read = 0;
  ReadFile(handle, text, sizeof text - 1, &read, nullptr);
  CloseHandle(handle);
  const std::string word(text, read);
  return word.substr(0, word.find_first_of(" \r\n"));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Ready for input at once, as Vessra.exe is, so the caller goes on to its
  // wait, which handles messages.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring self(path);
  const std::wstring folderOfSelf = self.substr(0, self.find_last_of(L'\\') + 1);
  const std::wstring record = folderOfSelf + L"started.txt";
  wchar_t folder[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, folder);
  Append(record, GetCommandLineW());
  Append(record, folder);
  const std::string behaviour = FirstWord(folderOfSelf + L"behaviour.txt");
  if (behaviour == "crash") *static_cast<volatile int*>(nullptr) = 1;
  Sleep(behaviour == "hang" ? 60000 : 400);
  Append(record, L"exited");
  return 0;
}
