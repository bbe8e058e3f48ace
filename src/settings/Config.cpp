#include "settings/Config.h"

#include "app/SettingsFiles.h"

namespace tavelo {

TConfigForm* ConfigForm = nullptr;

TConfigForm::TConfigForm(TComponent* owner) : TForm(owner, L"TConfigForm") {
  SetCaption(L"Tavelo");
  OnCreate = [this](TObject*) { Proc_LoadSettings(); };
}

void TConfigForm::Proc_LoadSettings() {
  const TSettingsFile settings(SettingsFilePath());
  RAMAuto = settings.ReadInteger(L"RAM", L"Auto", 100);
  RAMValue = settings.ReadInteger(L"RAM", L"Value", 50);
  RAMTime = settings.ReadInteger(L"RAM", L"Time", 0);
}

// The exclusion list is not consulted yet, so nothing holds a run back.
bool TConfigForm::Func_StopExe() { return false; }

}  // namespace tavelo
