#include "settings/Config.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "app/Main.h"
#include "app/Orvane.h"
#include "app/SettingsFiles.h"
#include "framework/DecimalText.h"
#include "optimiser/FindExe.h"

namespace tavelo {

TConfigForm* ConfigForm = nullptr;

TConfigForm::TConfigForm(TComponent* owner) : TForm(owner, L"TConfigForm") {
  LoadLayout();
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

int Func_NumberOf(const TNumEdit* box) {
  return static_cast<int>(std::wcstol(box->Text().c_str(), nullptr, 10));
}

namespace {
std::wstring MenuFontFace() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return {};
  return metrics.lfMenuFont.lfFaceName;
}

void SetTrayIconsEnabled(bool enabled) {
  if (!MainForm) return;
  MainForm->TrayIconCPU->SetEnabled(enabled);
  MainForm->TrayIconRAM->SetEnabled(enabled);
}

// The file-name part of a path: what follows the last backslash or colon.
std::wstring FileNamePart(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\:");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}
}  // namespace

void TConfigForm::FormCreate(TObject*) {
  const std::wstring face = MenuFontFace();
  if (!face.empty()) {
    SetFont(face, 12, SHIFTJIS_CHARSET);
    for (TNumEdit* box : {TXTRAMValue, TXTRAMAuto, TXTRAMTime}) box->SetFont(Font());
  }
  Proc_LoadConfig();
  Proc_SetHExtent(ListBox);
}

void TConfigForm::FormShow(TObject*) {
  ShowWindow(Application->Handle(), SW_HIDE);
  SetTrayIconsEnabled(false);
  ListBox->SetItemIndex(-1);
  BtnDel->SetEnabled(ListBox->ItemIndex() >= 0);
}

// Runs on every close and never refuses; reloading drops what was not saved.
void TConfigForm::FormCloseQuery(TObject*, bool&) {
  SetTrayIconsEnabled(true);
  Proc_LoadConfig();
}

void TConfigForm::ShowPosition(TUpDown* upDown, TNumEdit* box) {
  box->SetText(DecimalText(upDown->Position()));
}

void TConfigForm::Proc_LoadConfig() {
  {
    const TSettingsFile settings(SettingsFilePath());
    // A hand-edited value outside a range is brought into it, so that what
    // the boxes show and what OK saves are the same numbers.
    const auto load = [&settings](TUpDown* upDown, const wchar_t* key, int fallback) {
      upDown->SetPosition(
          std::clamp(settings.ReadInteger(L"RAM", key, fallback), upDown->Min(), upDown->Max()));
    };
    load(UDRAMAuto, L"Auto", 100);
    ShowPosition(UDRAMAuto, TXTRAMAuto);
    load(UDRAMValue, L"Value", 50);
    ShowPosition(UDRAMValue, TXTRAMValue);
    load(UDRAMTime, L"Time", 0);
    ShowPosition(UDRAMTime, TXTRAMTime);
  }
  const std::wstring list = ProgramListFilePath();
  if (!Func_FileExists(list)) return;
  ListBox->Clear();
  for (const std::wstring& entry : Func_ReadProgramList(list)) ListBox->Add(entry);
}

void TConfigForm::Proc_SaveConfig() {
  {
    TSettingsFile settings(SettingsFilePath());
    settings.WriteInteger(L"RAM", L"Auto", UDRAMAuto->Position());
    settings.WriteInteger(L"RAM", L"Value", UDRAMValue->Position());
    settings.WriteInteger(L"RAM", L"Time", UDRAMTime->Position());
    settings.UpdateFile();
  }
  std::vector<std::wstring> entries;
  for (int index = 0; index < ListBox->Count(); ++index) entries.push_back(ListBox->Item(index));
  Proc_WriteProgramList(ProgramListFilePath(), entries);
}

// A failed write leaves before the dialog closes: the error goes on to the
// application's hook, and the dialog stays open.
void TConfigForm::BtnOKClick(TObject*) {
  Proc_SaveConfig();
  SetModalResult(mrOK);
}

void TConfigForm::BtnCancelClick(TObject*) { SetModalResult(mrCancel); }

void TConfigForm::UDRAMValueClick(TObject*, TUpDownButton) {
  ::SetFocus(TXTRAMValue->Handle());  // the box becomes the active control
  ShowPosition(UDRAMValue, TXTRAMValue);
}

void TConfigForm::UDRAMAutoClick(TObject*, TUpDownButton) {
  ::SetFocus(TXTRAMAuto->Handle());  // the box becomes the active control
  ShowPosition(UDRAMAuto, TXTRAMAuto);
}

void TConfigForm::UDRAMTimeClick(TObject*, TUpDownButton) {
  ::SetFocus(TXTRAMTime->Handle());  // the box becomes the active control
  ShowPosition(UDRAMTime, TXTRAMTime);
}

void TConfigForm::BtnAddClick(TObject*) {
  OpenDialog->FileName.clear();
  if (!OpenDialog->Execute()) return;
  const std::wstring name = FileNamePart(OpenDialog->FileName);
  if (ListBox->IndexOfExact(name) >= 0) return;
  ListBox->Add(name);
  Proc_SetHExtent(ListBox);
}

void TConfigForm::ListBoxClick(TObject*) { BtnDel->SetEnabled(ListBox->ItemIndex() >= 0); }

void TConfigForm::BtnDelClick(TObject*) {
  ListBox->Delete(ListBox->ItemIndex());
  BtnDel->SetEnabled(ListBox->ItemIndex() >= 0);
}

// Every entry is tested, so a check costs the same whichever entry matches.
bool TConfigForm::Func_StopExe() {
  int running = 0;
  for (int index = 0; index < ListBox->Count(); ++index)
    if (Func_FindExe(ListBox->Item(index))) ++running;
  return running > 0;
}

}  // namespace tavelo
