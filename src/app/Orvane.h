#pragma once
// Small utilities the whole program leans on: special folders, the data
// folder, drive and existence tests, window styles, version tests and the
// placement of windows on the monitors.
#include <string>

#include "framework/Win32.h"

namespace tavelo {

class TListBox;

// The data folder, ending in a backslash; set once at start.
extern std::wstring DataFolder;

enum FolderKind : int {
  kFolderPersonal = 0,
  kFolderAppData = 1,
  kFolderLocalAppData = 2,
  kFolderCommonAppData = 3,
  kFolderMyPictures = 4,
  kFolderCommonDocuments = 5,
};

// The special folder's path without a trailing backslash; empty if none.
std::wstring Func_SpecialFolder(int kind);
// Makes "<application data>\Orvane Project\<name>" as needed, sets
// DataFolder, and tells whether the folder now exists.
bool Func_MakeDataFolder(const std::wstring& name);
// Whether the drive that the path starts with can be used now, without any
// system error dialog for an empty removable drive.
bool Func_DriveReady(const std::wstring& path);
bool Func_DirExists(const std::wstring& path);
bool Func_FileExists(const std::wstring& path);
void Proc_ToolWindow(HWND window);
bool Func_TopMost(HWND window, bool onTop);
bool Func_Win2000OrLater();
// Whether this process runs under WOW64; answered afresh on every call.
bool Func_IsWow64();

// The window's rectangle; false when it cannot be read, or when the window
// sits at -32000, -32000, where the system keeps a minimised window.
bool Func_GetWindowRect(HWND window, RECT& rectangle);
// The same as left, top, width and height; nothing is written on false.
bool Func_GetWindowBounds(HWND window, int& left, int& top, int& width, int& height);
// The taskbar's rectangle and edge: 0 top, 1 bottom, 2 left, 3 right, -1
// anything else or when the shell cannot tell.
int Func_TaskbarEdge(RECT& taskbar);
// Moves or resizes the window to placement 0..14 of the primary screen,
// taskbar included; other kinds leave it alone.
void Proc_PlaceOnScreen(HWND window, unsigned kind);
// Moves or resizes the window to placement 0..18 of a monitor's bounds or
// work area, unless that would leave it no taller or wider than a caption
// bar. Other kinds, and an index that names no monitor, leave it alone.
void Proc_PlaceOnMonitor(HWND window, unsigned kind, int monitorIndex, bool useBounds);
// True when neither a corner nor the centre of the window is on a monitor.
bool Func_OffAllMonitors(int left, int top, int width, int height);
// The position, in the system's list of monitors, of the monitor nearest to
// the window; 0 when it is not found.
int Func_MonitorIndex(HWND window);
// Centres a window that is lost off every monitor on the primary screen; a
// maximised or minimised window stays as it is.
void Proc_EnsureOnScreen(HWND window);
// Lets the list box scroll sideways as far as its widest item needs.
void Proc_SetHExtent(TListBox* listBox);

}  // namespace tavelo
