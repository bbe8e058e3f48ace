#include "app/Wow64.h"

#include <string>

#include "app/Orvane.h"

namespace tavelo {

namespace {

using DisableFunction = BOOL(WINAPI*)(PVOID*);
using RevertFunction = BOOL(WINAPI*)(PVOID);

bool wow64 = false;
DisableFunction disableRedirection = nullptr;
RevertFunction revertRedirection = nullptr;
PVOID oldValue = nullptr;

template <class Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

void Proc_Wow64Init() {
  wow64 = Func_IsWow64();
  if (!wow64) return;
  wchar_t systemDir[MAX_PATH + 1] = {};
  GetSystemDirectoryW(systemDir, MAX_PATH);
  const std::wstring kernel = std::wstring(systemDir) + L"\\Kernel32.dll";
  HMODULE module = LoadLibraryW(kernel.c_str());
  if (!module) return;
  disableRedirection = Export<DisableFunction>(module, "Wow64DisableWow64FsRedirection");
  revertRedirection = Export<RevertFunction>(module, "Wow64RevertWow64FsRedirection");
  FreeLibrary(module);  // every process keeps kernel32 mapped, so the addresses stay valid
}

void Proc_Wow64FsOff() {
  if (wow64 && disableRedirection) disableRedirection(&oldValue);
}

void Proc_Wow64FsRevert() {
  if (wow64 && revertRedirection) revertRedirection(oldValue);
}

}  // namespace tavelo
