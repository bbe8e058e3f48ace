#pragma once
// Registers the window classes of the program's own windows.
#include "framework/Win32.h"

namespace tavelo {

// Registers a window class of this module the first time its name is asked
// for; later calls with the same name do nothing. Windows of every class
// carry the program's icon.
void RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HCURSOR cursor = nullptr,
                         HBRUSH background = nullptr, UINT style = 0);

}  // namespace tavelo
