#include "app/Main.h"

#include <algorithm>

#include "app/Wow64.h"
#include "measure/CPUUsage.h"
#include "measure/GetRAM.h"

namespace tavelo {

TMainForm* MainForm = nullptr;

namespace {
// Automatic and periodic runs wait this long after start and after each run.
constexpr int kHoldOffSeconds = 60;
}  // namespace

TMainForm::TMainForm(TComponent* owner) : TForm(owner, L"TMainForm") {
  SetCaption(L"Tavelo");
  ApplicationEvents = new TApplicationEvents(this);
  ApplicationEvents->OnException = [this](TObject* sender, const std::exception& error) {
    ApplicationEventsException(sender, error);
  };
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
}

void TMainForm::FormCreate(TObject*) {
  Proc_Wow64Init();
  MTotalRAM = Func_TotalPhys();
  Proc_CPUOpen();
  MTimeStop = kHoldOffSeconds;
  MTimeC = 0;
}

void TMainForm::FormShow(TObject*) { ShowWindow(Application->Handle(), SW_HIDE); }

void TMainForm::FormDestroy(TObject*) { Proc_CPUClose(); }

void TMainForm::Proc_GetLoad() {
  MCPU = std::clamp(Func_CPUUsage(), 0, 100);
  MRAM = std::clamp(Func_MemoryLoad(), 0, 100);
}

void TMainForm::PPResetClick(TObject*) {
  MCPU = 0;
  MRAM = 0;
  MTimeC = 0;
  Proc_CPUClose();
  Proc_CPUOpen();
}

// Every exception that reaches the message loop ends here: reset, silently.
void TMainForm::ApplicationEventsException(TObject*, const std::exception&) {
  PPResetClick(this);
}

}  // namespace tavelo
