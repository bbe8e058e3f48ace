// The controller's optimisation runs: the amount, the choice between the
// companion program and the in-process squeezer, and the companion's start.
#include <string>

#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Application.h"
#include "framework/DecimalText.h"
#include "optimiser/AppExecute.h"
#include "optimiser/RunAmount.h"

namespace tavelo {

namespace {
constexpr wchar_t kCompanion[] = L"Vessra.exe";
}  // namespace

void TMainForm::Proc_Optimise(int percent) {
  TimerMain->SetEnabled(false);
  const int amount = Func_RunAmount(MTotalRAM, percent);
  if (Func_IsWow64())
    Proc_RunCompanion(amount);
  else
    Proc_Squeeze(amount);
}

// Each call raises the busy state's events, so the clock runs again after it.
void TMainForm::Proc_Squeeze(int amount) {
  for (const int chunk : Func_SqueezeChunks(amount)) jsMaxMems->DefragMemory(chunk);
}

void TMainForm::Proc_RunCompanion(int amount) {
  if (FMemWork) return;  // the run in progress restarts the clock
  const std::wstring folder = Func_ProgramFolder();
  const std::wstring companion = folder + kCompanion;
  if (!Func_FileExists(companion)) {
    MessageBoxW(Application->Handle(), (companion + L"\r\n" + L"がありません。").c_str(), L"Tavelo",
                MB_OK | MB_ICONHAND | MB_SYSTEMMODAL);
    TimerMain->SetEnabled(true);
    return;
  }
  if (amount > Func_FreeMegabytes(MTotalRAM, MRAM)) {
    TimerMain->SetEnabled(true);
    return;
  }
  jsMaxMemsBeforeDefrag(this);
  try {
    Proc_AppExecute(companion, companion + L" " + DecimalText(amount), folder, SW_SHOWDEFAULT,
                    NORMAL_PRIORITY_CLASS, true);
  } catch (...) {
    jsMaxMemsAfterDefrag(this);
    throw;
  }
  jsMaxMemsAfterDefrag(this);
}

}  // namespace tavelo
