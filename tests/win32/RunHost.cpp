// Hosts the controller in a process of its own, so that a test can choose
// what lies beside it in the companion's place. Runs one companion run and
// writes what it saw to "result.txt" beside itself, one key=value a line.
// Its data folder is "data" beside itself, where the test may put a TVL.ini.
// Usage: RunHost.exe <installed MB> <memory load %> <amount MB>
#include <cwchar>
#include <fstream>
#include <map>
#include <string>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Text.h"
#include "settings/Config.h"

namespace {

using namespace tavelo;

std::map<std::string, std::string> seen;
int probes = 0;
int busyProbes = 0;

bool Busy() {
  const TMainForm& main = *MainForm;
  return main.FMemWork && !main.TimerMain->Enabled() && !main.PPMenu->AutoPopup &&
         !main.TrayIconRAM->Enabled() && main.TrayIconCPU->IconIndex() == 101 &&
         main.TrayIconRAM->Hint() == L"停止" && !main.PPRAM->Enabled && !main.PPRAMClean->Enabled;
}

// Looks at the controller while the run waits for the companion.
void CALLBACK Probe(HWND, UINT, UINT_PTR, DWORD) {
  ++probes;
  if (Busy()) ++busyProbes;
}

void Second() {
  MainForm->TimerMainTimer(MainForm->TimerMain);
  MainForm->TimerMainTimer(MainForm->TimerMain);
}

std::string Flag(bool value) { return value ? "1" : "0"; }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) return 2;
  SetEnvironmentVariableW(L"TVL_PDH_VALUES", L"10");
  DataFolder = test::ProgramFolder() + L"data\\";
  CreateDirectoryW(DataFolder.c_str(), nullptr);
  TApplication application;
  application.Initialize();
  application.CreateForm(MainForm);
  application.CreateForm(ConfigForm);
  Second();  // the icons show loads, and MCPU is 10
  MainForm->MTotalRAM = std::wcstoll(argv[1], nullptr, 10) * 1048576;
  MainForm->MRAM = static_cast<int>(std::wcstol(argv[2], nullptr, 10));
  MainForm->MTimeC = 7;
  const int amount = static_cast<int>(std::wcstol(argv[3], nullptr, 10));

  const TExceptionEvent hook = MainForm->ApplicationEvents->OnException;
  MainForm->ApplicationEvents->OnException = [&](TObject* sender, const std::exception& error) {
    seen["exception"] = error.what();
    hook(sender, error);
  };
  const std::wstring record = test::ProgramFolder() + L"started.txt";
  const UINT_PTR probe = SetTimer(nullptr, 0, 20, &Probe);
  MainForm->TimerMain->SetEnabled(false);  // as the menu handlers do before a run
  try {
    MainForm->Proc_RunCompanion(amount);
  } catch (...) {
    application.HandleException(MainForm);
  }
  KillTimer(nullptr, probe);
  const Bytes recorded = test::ReadBytes(record);  // empty when the companion never ran
  const std::wstring started(reinterpret_cast<const wchar_t*>(recorded.data()),
                             recorded.size() / 2);
  seen["companionEndedFirst"] = Flag(started.find(L"exited") != std::wstring::npos);
  seen["busyWhileWaiting"] = Flag(busyProbes > 0 && busyProbes == probes);
  seen["probes"] = std::to_string(busyProbes) + "/" + std::to_string(probes);
  seen["memWork"] = Flag(MainForm->FMemWork);
  seen["terminated"] = Flag(application.Terminated());
  seen["timer"] = Flag(MainForm->TimerMain->Enabled());
  seen["menu"] = Flag(MainForm->PPMenu->AutoPopup && MainForm->PPRAM->Enabled &&
                      MainForm->PPRAMClean->Enabled && MainForm->TrayIconRAM->Enabled());
  seen["loads"] = std::to_string(MainForm->MCPU) + "," + std::to_string(MainForm->MRAM) + "," +
                  std::to_string(MainForm->MTimeC);
  Second();
  seen["hintNextSecond"] = WideToUtf8(MainForm->TrayIconCPU->Hint());

  std::ofstream result((test::ProgramFolder() + L"result.txt").c_str(),
                      std::ios::binary | std::ios::trunc);
  for (const auto& [key, value] : seen) result << key << "=" << value << "\n";
  return 0;
}
