#include "framework/CommonControls.h"

#include <commctrl.h>

#include "framework/Exception.h"
#include "framework/SystemLibrary.h"

namespace tavelo {

namespace {
using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

InitCommonControlsExFunction BindLibrary() {
  HMODULE library = LoadLibraryW((SystemFolder() + L"comctl32.dll").c_str());
  if (!library) return nullptr;
  return reinterpret_cast<InitCommonControlsExFunction>(
      reinterpret_cast<void*>(GetProcAddress(library, "InitCommonControlsEx")));
}
}  // namespace

void RegisterCommonControls(DWORD classes) {
  static const InitCommonControlsExFunction initialise = BindLibrary();
  const INITCOMMONCONTROLSEX request{sizeof request, classes};
  if (!initialise || !initialise(&request))
    throw Exception("Cannot register the common controls");
}

}  // namespace tavelo
