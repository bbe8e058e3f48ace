#pragma once
// Small utilities the whole program leans on: special folders, the data
// folder, drive and existence tests, window styles and version tests.
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
// Lets the list box scroll sideways as far as its widest item needs.
void Proc_SetHExtent(TListBox* listBox);

}  // namespace tavelo
