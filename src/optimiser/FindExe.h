#pragma once
// Which programs run now: the executables of the processes that own
// top-level windows, found by file name.
#include <string>

#include "framework/Win32.h"

namespace tavelo {

// Whether a process whose executable has this file name (letter case aside)
// owns a top-level window, visible or not. Folders never match.
bool Func_FindExe(const std::wstring& fileName);

// The full path of the executable of the window's process; empty when the
// process cannot be opened or queried.
std::wstring Func_WindowExePath(HWND window);
// The process's executable through its image file name, with the device
// part mapped to its drive letter; empty on failure. It also answers for a
// 64-bit process seen from a 32-bit one, where the module path fails.
std::wstring Func_ImageFilePath(HANDLE process);
// The system folder with a trailing backslash, or empty.
std::wstring Func_SystemDir();

}  // namespace tavelo
