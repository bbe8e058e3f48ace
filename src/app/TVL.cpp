// Tavelo's entry: data folder, single instance, the hidden application and
// its two long-lived windows, then the message loop.
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "settings/Config.h"

#include <cstdlib>

// What ends the program when an exception escapes everything. The runtime's
// own handler prints the exception's demangled type name to a console that
// a tray program does not have, and brings the whole demangler with it.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace {

constexpr wchar_t kInstanceMutexName[] = L"Tavelo/Orvane Project";

// False when another instance runs. Otherwise `mutex` holds the instance
// mutex, or null when it could not be made: no reason not to run.
bool ClaimSingleInstance(HANDLE& mutex) {
  if (HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kInstanceMutexName)) {
    CloseHandle(existing);
    return false;
  }
  mutex = CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  // Another instance that started at the same moment created it in between.
  if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    mutex = nullptr;
    return false;
  }
  return true;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace tavelo;
  if (!Func_MakeDataFolder(L"TVL")) return 0;
  HANDLE mutex = nullptr;
  if (!ClaimSingleInstance(mutex)) return 0;

  try {
    TApplication application;
    Application->Initialize();
    Application->SetTitle(L"Tavelo");
    Application->ShowMainForm = false;
    Proc_ToolWindow(Application->Handle());
    Application->CreateForm(MainForm);
    Application->CreateForm(ConfigForm);
    ShowWindow(Application->Handle(), SW_HIDE);
    Application->Run();
    if (mutex) ReleaseMutex(mutex);
    return 0;  // leaving the scope destroys the application and every window it owns
  } catch (...) {
    return 1;  // no window could be made: nothing to show it with
  }
}
