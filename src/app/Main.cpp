#include "app/Main.h"

#include <algorithm>
#include <string>

#include "app/Orvane.h"
#include "app/SettingsFiles.h"
#include "app/Wow64.h"
#include "framework/DecimalText.h"
#include "measure/CPUUsage.h"
#include "measure/GetRAM.h"
#include "panel/Panel.h"
#include "settings/Config.h"

#include <shellapi.h>

namespace tavelo {

TMainForm* MainForm = nullptr;

namespace {

// Automatic and periodic runs wait this long after start and after each run.
constexpr int kHoldOffSeconds = 60;
// At this CPU load or above, automatic and periodic runs wait.
constexpr int kBusyCpu = 80;
// The picture of the number-icon lists that shows the stopped face.
constexpr int kStoppedPicture = 101;

enum Face { kDigital = 0, kNumberIcon = 1, kLevelMeter = 2 };

// Broadcast to top-level windows when the taskbar is made again.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

bool IsFace(int face) { return face >= kDigital && face <= kLevelMeter; }

// The face whose radio item is ticked; `current` when none is.
int TickedFace(TMenuItem* const (&items)[3], int current) {
  for (int face = kDigital; face <= kLevelMeter; ++face)
    if (items[face]->Checked()) current = face;
  return current;
}

}  // namespace

TMainForm::TMainForm(TComponent* owner) : TForm(owner, L"TMainForm") {
  SetCaption(L"Tavelo");
  LoadLayout();
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnShow = [this](TObject* sender) { FormShow(sender); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
  OnDestroy = [this](TObject* sender) { FormDestroy(sender); };
}

void TMainForm::FormCreate(TObject*) {
  // Hooked after the icons, so it sees the broadcast after they have added themselves.
  taskbarHookKey_ = Application->HookMainWindow([this](UINT message, WPARAM, LPARAM, LRESULT&) {
    if (message == TaskbarCreatedMessage()) Proc_TaskbarCreated();
    return false;
  });
  Proc_Wow64Init();
  for (int i = 1; i <= 9; ++i) {
    MPPRAM[i] = static_cast<TMenuItem*>(FindComponent(L"PPRAM" + DecimalText(i)));
    MPPRAM[i]->Tag = i;
    MPPRAM[i]->Caption = DecimalText(i * 10) + L"%";
  }
  {
    const TSettingsFile settings(SettingsFilePath());
    PPPanel->SetChecked(settings.ReadBool(L"Disp", L"Panel", true));
    FPPTaskTray = settings.ReadBool(L"Disp", L"TaskTray", true);
    MTrayCPUDisp = settings.ReadInteger(L"Disp", L"TaskTrayCPU", 0);
    MTrayRAMDisp = settings.ReadInteger(L"Disp", L"TaskTrayRAM", 0);
    MTime = settings.ReadInteger(L"RAM", L"Time", 0) * 60;
    PPTrayPos->SetChecked(settings.ReadBool(L"Disp", L"TaskTrayPosition", false));
  }
  // A stored mode outside 0..2 ticks nothing, so the item ticked from the start stays.
  TMenuItem* const cpuFaces[] = {PPTrayCPU0, PPTrayCPU1, PPTrayCPU2};
  TMenuItem* const ramFaces[] = {PPTrayRAM0, PPTrayRAM1, PPTrayRAM2};
  if (IsFace(MTrayCPUDisp)) cpuFaces[MTrayCPUDisp]->SetChecked(true);
  if (IsFace(MTrayRAMDisp)) ramFaces[MTrayRAMDisp]->SetChecked(true);
  Proc_TrayIconList();
  PPTaskMan->Enabled = Func_Win2000OrLater();
  if (FPPTaskTray) ShowTrayIcons();
  if (PPPanel->Checked()) OpenPanel();
  MTotalRAM = Func_TotalPhys();
  Proc_CPUOpen();
  MTimeStop = kHoldOffSeconds;
  MTimeC = 0;
  TimerMain->SetInterval(500);
  TimerMain->SetEnabled(true);
}

void TMainForm::FormShow(TObject*) { ShowWindow(Application->Handle(), SW_HIDE); }

void TMainForm::FormCloseQuery(TObject*, bool&) { Proc_SaveAtExit(); }

// Exit and the end of the session may both come (a logoff while the program
// is closing): the second would only repeat the first write at a moment the
// system may cut the process off.
void TMainForm::Proc_SaveAtExit() {
  if (FSavedAtExit) return;
  FSavedAtExit = true;
  if (PPPanel->Checked()) PanelForm->Close();  // it writes its own settings first
  try {
    TSettingsFile settings(SettingsFilePath());
    settings.WriteBool(L"Disp", L"Panel", PPPanel->Checked());
    settings.WriteBool(L"Disp", L"TaskTrayPosition", PPTrayPos->Checked());
    settings.WriteInteger(L"Disp", L"TaskTrayCPU", MTrayCPUDisp);
    settings.WriteInteger(L"Disp", L"TaskTrayRAM", MTrayRAMDisp);
    settings.UpdateFile();
  } catch (...) {
    // The user asked to quit: report the failure, but close all the same.
    RouteException(this);
  }
}

void TMainForm::FormDestroy(TObject*) {
  if (taskbarHookKey_) Application->UnhookMainWindow(taskbarHookKey_);
  Proc_CPUClose();
}

LRESULT TMainForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_QUERYENDSESSION:
      return TRUE;  // nothing here is worth keeping a session alive for
    case WM_ENDSESSION:
      // The process ends once this returns, so the writing happens now. A
      // cancelled end (FALSE) leaves the program running as it was.
      if (wParam) Close();
      return 0;
  }
  return TForm::WndProc(message, wParam, lParam);
}

void TMainForm::ShowTrayIcons() {
  TCoolTrayIcon* first = PPTrayPos->Checked() ? TrayIconRAM : TrayIconCPU;
  TCoolTrayIcon* second = PPTrayPos->Checked() ? TrayIconCPU : TrayIconRAM;
  first->SetIconVisible(true);
  second->SetIconVisible(true);
}

void TMainForm::Proc_GetLoad() {
  MCPU = std::clamp(Func_CPUUsage(), 0, 100);
  MRAM = std::clamp(Func_MemoryLoad(), 0, 100);
}

void TMainForm::TimerMainTimer(TObject*) {
  if (PPStop->Checked()) {
    MTimerC = 0;
    MTimeStop = 0;
    return;
  }
  TimerMain->SetEnabled(false);
  if (++MTimerC > 1) {
    MTimerC = 0;
    Proc_GetLoad();
    Proc_TrayIcon();
    if (PPPanel->Checked()) PanelForm->Proc_DispData();
    MTimeStop = std::max(MTimeStop - 1, 0);
    const int autoThreshold = Func_NumberOf(ConfigForm->TXTRAMAuto);
    if (autoThreshold > 0 && MCPU < kBusyCpu && MRAM >= autoThreshold && MTimeStop == 0) {
      MTimeStop = kHoldOffSeconds;
      if (!ConfigForm->Func_StopExe()) PPRAMCleanClick(this);
    }
    if (MTime > 0) {
      ++MTimeC;
      if (MCPU < kBusyCpu && MTimeC >= MTime && MTimeStop == 0) {
        MTimeStop = kHoldOffSeconds;
        if (!ConfigForm->Func_StopExe()) PPRAMCleanClick(this);
      }
    }
  }
  TimerMain->SetEnabled(true);
}

void TMainForm::PPMenuPopup(TObject*) {
  const int free = 100 - MRAM;
  for (int i = 1; i <= 9; ++i) MPPRAM[i]->Enabled = i * 10 < free;
  PPRAMClean->Enabled = Func_NumberOf(ConfigForm->TXTRAMValue) < free;
  PPRAMClean->Caption = L"設定値:" + ConfigForm->TXTRAMValue->Text() + L"%";
}

void TMainForm::SetStoppedFace() {
  TrayIconCPU->SetIconList(ImageListCPU);
  TrayIconCPU->SetIconIndex(kStoppedPicture);
  TrayIconCPU->SetHint(L"停止");
  TrayIconRAM->SetIconList(ImageListRAM);
  TrayIconRAM->SetIconIndex(kStoppedPicture);
  TrayIconRAM->SetHint(L"停止");
}

void TMainForm::PPStopClick(TObject*) {
  MCPU = 0;
  MRAM = 0;
  MTimeC = 0;
  if (PPPanel->Checked()) PanelForm->PPStop->SetChecked(PPStop->Checked());
  if (PPStop->Checked()) {
    SetStoppedFace();
    if (PPPanel->Checked()) PanelForm->Proc_DispData();
  } else {
    Proc_TrayIconList();  // the numbers and hints come back with the next second
  }
}

void TMainForm::PPResetClick(TObject*) {
  TimerMain->SetEnabled(false);
  MCPU = 0;
  MRAM = 0;
  MTimeC = 0;
  Proc_CPUClose();
  Proc_CPUOpen();
  TimerMain->SetEnabled(true);
}

// Every exception that reaches the message loop ends here: reset, silently.
void TMainForm::ApplicationEventsException(TObject*, const std::exception&) {
  PPResetClick(this);
}

// Made directly rather than through the application, which would take a
// form made during the controller's own creation for the main form.
void TMainForm::OpenPanel() {
  try {
    PanelForm = new TPanelForm(Application);
  } catch (...) {
    PPPanel->SetChecked(false);  // no window: nothing to refresh or close
    throw;
  }
  PanelForm->AfterConstruction();
  PanelForm->Show();
}

// The panel window exists exactly while PPPanel is ticked.
void TMainForm::PPPanelClick(TObject*) {
  if (PPPanel->Checked()) {
    OpenPanel();
    return;
  }
  PanelForm->Close();  // it writes its settings
  PanelForm->Release();
  PanelForm = nullptr;
}

void TMainForm::PPConfigClick(TObject*) {
  TimerMain->SetEnabled(false);
  // The main form is never shown, so the dialog is centred on the screen.
  ConfigForm->CenterOn(nullptr);
  ConfigForm->ShowModal();
  TimerMain->SetEnabled(true);
  MTime = Func_NumberOf(ConfigForm->TXTRAMTime) * 60;
  MTimeC = 0;
  MTimeStop = 0;
}

HINSTANCE Func_ShellExec(const std::wstring& file, const std::wstring& parameters,
                         const std::wstring& directory, int showCommand) {
  Proc_Wow64FsOff();
  HINSTANCE result = ShellExecuteW(MainForm ? MainForm->Handle() : nullptr, nullptr, file.c_str(),
                                   parameters.c_str(), directory.c_str(), showCommand);
  Proc_Wow64FsRevert();
  return result;
}

void TMainForm::PPTaskManClick(TObject*) { Func_ShellExec(L"taskmgr.exe", L"", L"", SW_SHOWNORMAL); }

void TMainForm::PPCloseClick(TObject*) { Close(); }

void TMainForm::PPRAMClick(TObject* sender) {
  Proc_Optimise(static_cast<TMenuItem*>(sender)->Tag * 10);
}

void TMainForm::PPRAMCleanClick(TObject*) { Proc_Optimise(Func_NumberOf(ConfigForm->TXTRAMValue)); }

void TMainForm::jsMaxMemsBeforeDefrag(TObject*) {
  PPMenu->AutoPopup = false;
  TrayIconRAM->SetEnabled(false);
  FMemWork = true;
  TimerMain->SetEnabled(false);
  SetStoppedFace();
  PPRAMClean->Enabled = false;
  PPRAM->Enabled = false;
  Proc_PanelBusy(true);
}

void TMainForm::jsMaxMemsAfterDefrag(TObject* sender) {
  PPMenu->AutoPopup = true;
  Proc_PanelBusy(false);
  PPRAMClean->Enabled = true;
  PPRAM->Enabled = true;
  FMemWork = false;
  MCPU = 0;
  MRAM = 0;
  MTimeC = 0;  // the periodic interval starts again after every run
  Proc_TrayIconList();
  TrayIconRAM->SetEnabled(true);
  TimerMain->SetEnabled(true);
  if (PPStop->Checked()) PPStopClick(sender);
}

void TMainForm::Proc_PanelBusy(bool busy) {
  if (!PPPanel->Checked()) return;
  if (busy)
    PanelForm->Proc_BusyBegin();
  else
    PanelForm->Proc_BusyEnd();
}

void TMainForm::Proc_TrayIconList() {
  TMenuItem* const cpuItems[] = {PPTrayCPU0, PPTrayCPU1, PPTrayCPU2};
  TImageList* const cpuLists[] = {ImageListNum, ImageListCPU, ImageListLevel};
  MTrayCPUDisp = TickedFace(cpuItems, MTrayCPUDisp);
  if (IsFace(MTrayCPUDisp)) TrayIconCPU->SetIconList(cpuLists[MTrayCPUDisp]);

  TMenuItem* const ramItems[] = {PPTrayRAM0, PPTrayRAM1, PPTrayRAM2};
  TImageList* const ramLists[] = {ImageListNum, ImageListRAM, ImageListLevel};
  MTrayRAMDisp = TickedFace(ramItems, MTrayRAMDisp);
  if (IsFace(MTrayRAMDisp)) TrayIconRAM->SetIconList(ramLists[MTrayRAMDisp]);
}

// Touches the icon only when the percentage differs from the picture shown.
// For the level meter the picture is a tenth of the percentage, so it is set
// again every second unless the two happen to be equal.
void TMainForm::ShowOnIcon(TCoolTrayIcon* icon, int face, const wchar_t* label, int percent) {
  if (percent == icon->IconIndex()) return;
  percent = std::clamp(percent, 0, 100);
  icon->SetIconIndex(face == kLevelMeter ? percent / 10 : percent);
  icon->SetHint(label + DecimalText(percent) + L"%");
}

void TMainForm::Proc_TrayIcon() {
  ShowOnIcon(TrayIconCPU, MTrayCPUDisp, L"CPU:", MCPU);
  ShowOnIcon(TrayIconRAM, MTrayRAMDisp, L"RAM:", MRAM);
}

void TMainForm::ChooseFace(TMenuItem* item) {
  item->SetChecked(true);
  Proc_TrayIconList();
  PPStopClick(this);
}

void TMainForm::PPTrayCPU0Click(TObject*) { ChooseFace(PPTrayCPU0); }
void TMainForm::PPTrayCPU1Click(TObject*) { ChooseFace(PPTrayCPU1); }
void TMainForm::PPTrayCPU2Click(TObject*) { ChooseFace(PPTrayCPU2); }
void TMainForm::PPTrayRAM0Click(TObject*) { ChooseFace(PPTrayRAM0); }
void TMainForm::PPTrayRAM1Click(TObject*) { ChooseFace(PPTrayRAM1); }
void TMainForm::PPTrayRAM2Click(TObject*) { ChooseFace(PPTrayRAM2); }

void TMainForm::Proc_TaskbarCreated() {
  if (!PPTrayPos->Checked() || !TrayIconCPU->IconVisible() || !TrayIconRAM->IconVisible()) return;
  TrayIconCPU->SetIconVisible(false);
  TrayIconRAM->SetIconVisible(false);
  ShowTrayIcons();
}

void TMainForm::PPTrayPosClick(TObject*) {
  if (!FPPTaskTray) return;  // the new tick counts for the next showing
  TrayIconCPU->SetIconVisible(false);
  TrayIconRAM->SetIconVisible(false);
  ShowTrayIcons();
}

}  // namespace tavelo
