#pragma once
// Helpers for tests that run under Wine: files, folders, environment and
// starting TVL.exe as a real process.
#include <cstdint>
#include <string>
#include <vector>

#include "app/TextEncoding.h"
#include "framework/ComCtrls.h"
#include "framework/PixelImage.h"
#include "framework/Win32.h"

#include <shellapi.h>  // after windows.h

namespace tavelo::test {

// The folder of the running test program, ending in a backslash.
std::wstring ProgramFolder();
// A new empty folder in the temporary folder, ending in a backslash.
std::wstring MakeTempFolder();
void DeleteTree(const std::wstring& path);
// The system folder as this program sees it, ending in a backslash.
std::wstring SystemFolder();
bool DirectoryExists(const std::wstring& path);
bool FileExistsHere(const std::wstring& path);

Bytes ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const Bytes& bytes);
// FF FE followed by the text's UTF-16LE code units.
Bytes Utf16File(std::wstring_view text);

// A shell drop as the shell hands it over: DROPFILES and the wide names,
// each ending in a NUL, and one more NUL at the end.
HDROP MakeDrop(const std::vector<std::wstring>& files, POINT point);

// The pixels of a bitmap as 0x00RRGGBB, rows from the top; a monochrome
// bitmap gives black and white.
std::vector<std::uint32_t> PixelsOf(HBITMAP bitmap, int width, int height);
// The icon shows the picture's colours, black under its mask, and the
// picture's transparency as the mask; the icon is destroyed.
void ExpectIconShows(HICON icon, const TPixelImage& picture);

// Clicks an arrow of the up-down with the mouse messages it reacts to.
void ClickArrow(const TUpDown& upDown, TUpDownButton button);

// Sets an environment variable for the life of the scope.
class EnvironmentScope {
 public:
  EnvironmentScope(std::wstring name, const std::wstring& value);
  ~EnvironmentScope();
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;

 private:
  std::wstring name_;
  std::wstring previous_;
  bool hadValue_;
};
std::wstring Environment(const wchar_t* name);

// The open popup menu window of this thread (class "#32768"), or null.
HWND OpenMenuWindow();

// Ends the next popup menu of this thread as soon as it shows. A timer set
// for a fixed time could fire before a slow machine has opened the menu,
// which would then wait for input for ever.
void CloseMenuOnceShown();

// Bytes of private memory committed in the process now.
std::int64_t CommittedPrivateBytes(HANDLE process);

// Runs the program with the command line (application name taken from the
// command line) and answers its exit code, or STILL_ACTIVE after the timeout.
DWORD RunProgram(const std::wstring& commandLine, DWORD timeoutMs);

// A program started for a test, ended with the test.
class StartedProgram {
 public:
  // Starts a program that has a window and waits until the window shows.
  explicit StartedProgram(const std::wstring& commandLine);
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  DWORD Id() const { return process_.dwProcessId; }
  HANDLE Handle() const { return process_.hProcess; }
  void End();

 private:
  PROCESS_INFORMATION process_{};
};

// The data folder that TVL.exe uses in this Wine prefix, and its parent.
std::wstring VendorFolder();
std::wstring TaveloDataFolder();

// The first top-level window of the process, of that class unless null, and
// visible if asked; null when there is none.
HWND TopLevelWindowOf(DWORD processId, const wchar_t* className, bool visibleOnly);

// TVL.exe from the build, started as a separate process.
class TaveloProcess {
 public:
  TaveloProcess();
  ~TaveloProcess();  // kills it if it still runs
  TaveloProcess(const TaveloProcess&) = delete;
  TaveloProcess& operator=(const TaveloProcess&) = delete;

  // The hidden main window of the process, or null after the timeout.
  HWND WaitForMainWindow(DWORD timeoutMs) const;
  // The exit code, or STILL_ACTIVE after the timeout.
  DWORD WaitForExit(DWORD timeoutMs) const;
  bool Running() const { return WaitForExit(0) == STILL_ACTIVE; }
  HANDLE Handle() const { return process_.hProcess; }
  // Asks it to close the way the system would: WM_CLOSE to the main window.
  void Close() const;

 private:
  PROCESS_INFORMATION process_{};
};

}  // namespace tavelo::test
