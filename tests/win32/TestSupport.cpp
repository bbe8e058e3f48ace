#include "TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/Orvane.h"
#include "framework/PixelBitmap.h"

#include <shlobj.h>

namespace tavelo::test {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

std::wstring MakeTempFolder() {
  wchar_t base[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, base);
  static int made = 0;
  const std::wstring folder = std::wstring(base) + L"tavelo-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(++made) + L"\\";
  DeleteTree(folder);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

void DeleteTree(const std::wstring& path) {
  std::wstring folder = path;
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(child);
      else
        DeleteFileW(child.c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(folder.c_str());
}

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH] = {};
  GetSystemDirectoryW(folder, MAX_PATH);
  return std::wstring(folder) + L"\\";
}

bool DirectoryExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExistsHere(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

Bytes ReadBytes(const std::wstring& path) {
  std::ifstream file(path.c_str(), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const Bytes& bytes) {
  std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes Utf16File(std::wstring_view text) { return EncodeUtf16LeWithBom(text); }

HDROP MakeDrop(const std::vector<std::wstring>& files, POINT point) {
  size_t characters = 1;
  for (const std::wstring& file : files) characters += file.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = point;
  header->fWide = TRUE;
  auto* text = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& file : files) text = file.copy(text, file.size()) + text + 1;
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

// The upper half of a vertical up-down is the up arrow.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = TopDownRgbInfo(width, height);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(width * height));
  HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info,
                      DIB_RGB_COLORS),
            height);
  ReleaseDC(nullptr, screen);
  for (std::uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
  return pixels;
}

void ExpectIconShows(HICON icon, const TPixelImage& picture) {
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  std::vector<std::uint32_t> colours;
  std::vector<std::uint32_t> mask;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const bool transparent = picture.IsTransparent(x, y);
      colours.push_back(transparent ? 0 : picture.At(x, y));
      mask.push_back(transparent ? 0xFFFFFF : 0);
    }
  EXPECT_EQ(PixelsOf(info.hbmColor, picture.width, picture.height), colours);
  EXPECT_EQ(PixelsOf(info.hbmMask, picture.width, picture.height), mask);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

void ClickArrow(const TUpDown& upDown, TUpDownButton button) {
  RECT client{};
  GetClientRect(upDown.Handle(), &client);
  const int y = button == TUpDownButton::Up ? client.bottom / 4 : client.bottom * 3 / 4;
  const LPARAM point = MAKELPARAM(client.right / 2, y);
  SendMessageW(upDown.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(upDown.Handle(), WM_LBUTTONUP, 0, point);
}

std::wstring Environment(const wchar_t* name) {
  wchar_t buffer[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, buffer, 4096);
  return length < 4096 ? std::wstring(buffer, length) : std::wstring();
}

EnvironmentScope::EnvironmentScope(std::wstring name, const std::wstring& value)
    : name_(std::move(name)), previous_(Environment(name_.c_str())),
      hadValue_(GetEnvironmentVariableW(name_.c_str(), nullptr, 0) != 0) {
  SetEnvironmentVariableW(name_.c_str(), value.c_str());
}

EnvironmentScope::~EnvironmentScope() {
  SetEnvironmentVariableW(name_.c_str(), hadValue_ ? previous_.c_str() : nullptr);
}

namespace {

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM result) {
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring(className) != L"#32768" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

void CALLBACK EndMenuOnceShown(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!OpenMenuWindow()) return;
  KillTimer(nullptr, timer);
  EndMenu();
}

}  // namespace

HWND OpenMenuWindow() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindMenuWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

void CloseMenuOnceShown() { SetTimer(nullptr, 0, 20, &EndMenuOnceShown); }

std::int64_t CommittedPrivateBytes(HANDLE process) {
  std::int64_t committed = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const char* address = nullptr;
       VirtualQueryEx(process, address, &region, sizeof region) == sizeof region;
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
      committed += static_cast<std::int64_t>(region.RegionSize);
  }
  return committed;
}

DWORD RunProgram(const std::wstring& commandLine, DWORD timeoutMs) {
  std::wstring writable = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    ADD_FAILURE() << "cannot start, error " << GetLastError();
    return 0xFFFFFFFF;
  }
  WaitForSingleObject(process.hProcess, timeoutMs);
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(process.hProcess, &code);
  if (code == STILL_ACTIVE) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

StartedProgram::StartedProgram(const std::wstring& commandLine) {
  std::wstring writable = commandLine;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_)) {
    ADD_FAILURE() << "cannot start, error " << GetLastError();
    return;
  }
  // Idle is not yet shown: under Wine a loaded machine gives the one long
  // before the other, and the tests look for the window.
  WaitForInputIdle(process_.hProcess, 30000);
  const DWORD start = GetTickCount();
  while (!TopLevelWindowOf(Id(), nullptr, true)) {
    if (GetTickCount() - start > 30000) {
      ADD_FAILURE() << "its window did not show within 30 s";
      return;
    }
    Sleep(50);
  }
}

StartedProgram::~StartedProgram() { End(); }

void StartedProgram::End() {
  if (!process_.hProcess) return;
  TerminateProcess(process_.hProcess, 0);
  WaitForSingleObject(process_.hProcess, 10000);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
  process_ = {};
}

std::wstring VendorFolder() { return Func_SpecialFolder(kFolderAppData) + L"\\Orvane Project\\"; }

std::wstring TaveloDataFolder() { return VendorFolder() + L"TVL\\"; }

TaveloProcess::TaveloProcess() {
  std::wstring commandLine = L"\"" + ProgramFolder() + L"TVL.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process_))
    ADD_FAILURE() << "TVL.exe did not start, error " << GetLastError();
}

TaveloProcess::~TaveloProcess() {
  if (!process_.hProcess) return;
  if (Running()) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

namespace {
struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<WindowSearch*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (owner != search->processId || (search->visibleOnly && !IsWindowVisible(window)) ||
      (search->className && std::wstring(className) != search->className))
    return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace

HWND TopLevelWindowOf(DWORD processId, const wchar_t* className, bool visibleOnly) {
  WindowSearch search{processId, className, visibleOnly, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND TaveloProcess::WaitForMainWindow(DWORD timeoutMs) const {
  const DWORD start = GetTickCount();
  do {
    if (HWND found = TopLevelWindowOf(process_.dwProcessId, L"TMainForm", false)) return found;
    if (!Running()) return nullptr;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

DWORD TaveloProcess::WaitForExit(DWORD timeoutMs) const {
  if (!process_.hProcess) return 1;
  WaitForSingleObject(process_.hProcess, timeoutMs);
  DWORD code = 1;
  GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

void TaveloProcess::Close() const {
  if (HWND window = WaitForMainWindow(0)) PostMessageW(window, WM_CLOSE, 0, 0);
}

}  // namespace tavelo::test
