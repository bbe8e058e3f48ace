#include "framework/CommonControls.h"

#include <commctrl.h>

#include "framework/Exception.h"
#include "framework/SystemLibrary.h"

namespace tavelo {

void RegisterCommonControls(DWORD classes) {
  using InitCommonControlsExFunction = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
  static const TSystemLibrary library(L"comctl32.dll");
  static const auto initialise =
      library.Entry<InitCommonControlsExFunction>("InitCommonControlsEx");
  const INITCOMMONCONTROLSEX request{sizeof request, classes};
  if (!initialise || !initialise(&request))
    throw Exception("Cannot register the common controls");
}

}  // namespace tavelo
