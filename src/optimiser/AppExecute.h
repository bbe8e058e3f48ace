#pragma once
// Starting another program, optionally waiting for it while this program
// keeps handling its window messages.
#include <string>

#include "framework/Win32.h"

namespace tavelo {

// The folder of this program's executable, ending in a backslash.
std::wstring Func_ProgramFolder();

// Starts `application` with `commandLine` in `folder` and, with `wait`,
// returns once it has exited, handling the application's messages meanwhile.
// The application's path is given explicitly, so a path with spaces in the
// unquoted command line can never start another program ("C:\Program.exe").
// A window it shows maximised or minimised is restored. Throws when the
// program cannot be started.
void Proc_AppExecute(const std::wstring& application, const std::wstring& commandLine,
                     const std::wstring& folder, int showCommand, DWORD creationFlags, bool wait);

}  // namespace tavelo
