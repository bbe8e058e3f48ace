#pragma once
// Libraries bound at run time, always from the system folder, so that no
// copy beside the program or in the current folder is ever loaded.
#include <string>

#include "framework/Win32.h"

namespace tavelo {

// The system folder with a trailing backslash, or empty.
std::wstring SystemFolder();

// A system library, loaded for the scope and unloaded when it ends.
class TSystemLibrary {
 public:
  explicit TSystemLibrary(const wchar_t* fileName);
  ~TSystemLibrary();
  TSystemLibrary(const TSystemLibrary&) = delete;
  TSystemLibrary& operator=(const TSystemLibrary&) = delete;

  // The function, or null when the library or the function is missing.
  template <class Function>
  Function Entry(const char* name) const {
    return module_ ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                   : nullptr;
  }

 private:
  HMODULE module_;
};

}  // namespace tavelo
