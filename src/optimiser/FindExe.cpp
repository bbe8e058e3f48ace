#include "optimiser/FindExe.h"

#include <algorithm>
#include <vector>

#include "framework/SystemLibrary.h"

namespace tavelo {

namespace {

constexpr DWORD kPathChars = 260;

// Only a to z change, so names compare the same in every locale.
std::wstring AsciiUpper(std::wstring text) {
  for (wchar_t& c : text)
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  return text;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\:");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

class TProcessHandle {
 public:
  explicit TProcessHandle(DWORD processId)
      : handle_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {}
  ~TProcessHandle() {
    if (handle_) CloseHandle(handle_);
  }
  TProcessHandle(const TProcessHandle&) = delete;
  TProcessHandle& operator=(const TProcessHandle&) = delete;
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_;
};

// \Device\HarddiskVolume2\x.exe becomes C:\x.exe when C: is that device.
std::wstring MapDeviceToDrive(const std::wstring& path) {
  const DWORD drives = GetLogicalDrives();
  for (int letter = 0; letter < 26; ++letter) {
    if (!(drives & (1u << letter))) continue;
    const std::wstring drive{static_cast<wchar_t>(L'A' + letter), L':'};
    wchar_t device[kPathChars + 1] = {};
    if (!QueryDosDeviceW(drive.c_str(), device, kPathChars)) continue;
    const std::wstring prefix = std::wstring(device) + L"\\";
    if (path.compare(0, prefix.size(), prefix) == 0) return drive + path.substr(prefix.size() - 1);
  }
  return path;
}

BOOL CALLBACK CollectProgramName(HWND window, LPARAM names) {
  auto& list = *reinterpret_cast<std::vector<std::wstring>*>(names);
  try {
    const std::wstring name = AsciiUpper(FileNameOf(Func_WindowExePath(window)));
    if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
  } catch (...) {
    // Nothing may leave a system callback; the window counts as unknown.
  }
  return TRUE;
}

}  // namespace

std::wstring Func_SystemDir() { return SystemFolder(); }

std::wstring Func_ImageFilePath(HANDLE process) {
  using ImageFileName = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD);
  const TSystemLibrary psapi(L"Psapi.dll");
  const auto imageFileName = psapi.Entry<ImageFileName>("GetProcessImageFileNameW");
  if (!imageFileName) return {};
  wchar_t buffer[kPathChars + 1] = {};
  if (!imageFileName(process, buffer, kPathChars)) return {};
  return MapDeviceToDrive(buffer);
}

std::wstring Func_WindowExePath(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  const TProcessHandle process(processId);
  if (!process.Get()) return {};
  using ModuleFileNameEx = DWORD(WINAPI*)(HANDLE, HMODULE, LPWSTR, DWORD);
  {
    const TSystemLibrary psapi(L"Psapi.dll");
    const auto moduleFileName = psapi.Entry<ModuleFileNameEx>("GetModuleFileNameExW");
    wchar_t buffer[kPathChars + 1] = {};
    if (moduleFileName && moduleFileName(process.Get(), nullptr, buffer, kPathChars)) return buffer;
  }
  return Func_ImageFilePath(process.Get());
}

bool Func_FindExe(const std::wstring& fileName) {
  std::vector<std::wstring> running;
  EnumWindows(&CollectProgramName, reinterpret_cast<LPARAM>(&running));
  return std::find(running.begin(), running.end(), AsciiUpper(fileName)) != running.end();
}

}  // namespace tavelo
