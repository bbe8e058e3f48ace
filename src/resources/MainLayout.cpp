// The layout of the main controller: its components, the popup menu of the
// two tray icons, and the four image lists, which draw their faces when one
// is to be shown.
#include <initializer_list>

#include "app/Main.h"
#include "resources/TrayFaces.h"

namespace tavelo {

namespace {

TImageList* FacesList(TComponent* owner, const wchar_t* name, int size, int count,
                      TPixelImage (*face)(int)) {
  auto* list = new TImageList(owner, size, size);
  list->SetName(name);
  list->AddDrawn(count, face);
  return list;
}

TPixelImage CpuNumberIcon(int n) { return NumberIconFace(TFaceKind::Cpu, n); }
TPixelImage RamNumberIcon(int n) { return NumberIconFace(TFaceKind::Ram, n); }

}  // namespace

void TMainForm::LoadLayout() {
  // Adds a named item under `parent`.
  const auto item = [this](TMenuItem* parent, const wchar_t* name, const wchar_t* caption,
                           void (TMainForm::*handler)(TObject*) = nullptr) {
    auto* added = new TMenuItem(this);
    added->SetName(name);
    added->Caption = caption;
    if (handler) added->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    parent->Add(added);
    return added;
  };
  const auto faceItem = [&](TMenuItem* parent, const wchar_t* name, const wchar_t* caption,
                            int group, void (TMainForm::*handler)(TObject*)) {
    TMenuItem* added = item(parent, name, caption, handler);
    added->RadioItem = true;
    added->GroupIndex = group;
    return added;
  };

  TrayIconCPU = new TCoolTrayIcon(this);
  TrayIconCPU->SetName(L"TrayIconCPU");
  TrayIconRAM = new TCoolTrayIcon(this);
  TrayIconRAM->SetName(L"TrayIconRAM");
  ImageListNum = FacesList(this, L"ImageListNum", 32, 101, &DigitalFace);
  ImageListLevel = FacesList(this, L"ImageListLevel", 32, 11, &LevelMeterFace);
  ImageListCPU = FacesList(this, L"ImageListCPU", 16, 102, &CpuNumberIcon);
  ImageListRAM = FacesList(this, L"ImageListRAM", 16, 102, &RamNumberIcon);

  PPMenu = new TPopupMenu(this);
  PPMenu->SetName(L"PPMenu");
  PPMenu->OnPopup = [this](TObject* sender) { PPMenuPopup(sender); };
  TMenuItem* top = PPMenu->Items();
  PPRAM = item(top, L"PPRAM", L"RAM最適化(&E)");
  for (const wchar_t* name : {L"PPRAM1", L"PPRAM2", L"PPRAM3", L"PPRAM4", L"PPRAM5", L"PPRAM6",
                              L"PPRAM7", L"PPRAM8", L"PPRAM9"})
    item(PPRAM, name, L"", &TMainForm::PPRAMClick);
  PPRAMClean = item(top, L"PPRAMClean", L"設定値", &TMainForm::PPRAMCleanClick);
  PPRAMClean->Default = true;
  item(top, L"N2", L"-");
  PPStop = item(top, L"PPStop", L"停止(&S)", &TMainForm::PPStopClick);
  PPStop->AutoCheck = true;
  PPReset = item(top, L"PPReset", L"リセット(&R)", &TMainForm::PPResetClick);
  item(top, L"N1", L"-");
  PPPanel = item(top, L"PPPanel", L"パネルウィンドウ(&P)", &TMainForm::PPPanelClick);
  PPPanel->AutoCheck = true;
  PPConfig = item(top, L"PPConfig", L"設定(&C)", &TMainForm::PPConfigClick);
  item(top, L"N4", L"-");
  CPU1 = item(top, L"CPU1", L"タスクトレイアイコンの表示(&T)");
  PPCPUDisp = item(CPU1, L"PPCPUDisp", L"CPU");
  PPTrayCPU0 = faceItem(PPCPUDisp, L"PPTrayCPU0", L"デジタル", 1, &TMainForm::PPTrayCPU0Click);
  PPTrayCPU1 = faceItem(PPCPUDisp, L"PPTrayCPU1", L"数字アイコン", 1, &TMainForm::PPTrayCPU1Click);
  PPTrayCPU2 = faceItem(PPCPUDisp, L"PPTrayCPU2", L"レベルメーター", 1, &TMainForm::PPTrayCPU2Click);
  PPTrayCPU0->SetChecked(true);
  item(CPU1, L"N6", L"-");
  PPRAMDisp = item(CPU1, L"PPRAMDisp", L"RAM");
  PPTrayRAM0 = faceItem(PPRAMDisp, L"PPTrayRAM0", L"デジタル", 2, &TMainForm::PPTrayRAM0Click);
  PPTrayRAM1 = faceItem(PPRAMDisp, L"PPTrayRAM1", L"数字アイコン", 2, &TMainForm::PPTrayRAM1Click);
  PPTrayRAM2 = faceItem(PPRAMDisp, L"PPTrayRAM2", L"レベルメーター", 2, &TMainForm::PPTrayRAM2Click);
  PPTrayRAM0->SetChecked(true);
  PPTrayPos = item(CPU1, L"PPTrayPos", L"タスクトレイアイコンの表示位置を入れ替え(&D)",
                   &TMainForm::PPTrayPosClick);
  PPTrayPos->AutoCheck = true;
  item(top, L"N5", L"-");
  PPTaskMan = item(top, L"PPTaskMan", L"Windows タスク マネージャ(&M)", &TMainForm::PPTaskManClick);
  item(top, L"N3", L"-");
  PPClose = item(top, L"PPClose", L"終了(&X)", &TMainForm::PPCloseClick);

  for (TCoolTrayIcon* icon : {TrayIconCPU, TrayIconRAM}) {
    icon->SetIconList(ImageListNum);
    icon->SetCycleInterval(0);
    icon->SetPopupMenu(PPMenu);
  }
  TrayIconCPU->SetHint(L"Tavelo - CPU");
  TrayIconRAM->SetHint(L"Tavelo - RAM");
  TrayIconCPU->Loaded();
  TrayIconRAM->Loaded();

  TimerMain = new TTimer(this);
  TimerMain->SetName(L"TimerMain");
  TimerMain->SetEnabled(false);
  TimerMain->SetInterval(500);
  TimerMain->OnTimer = [this](TObject* sender) { TimerMainTimer(sender); };

  ApplicationEvents = new TApplicationEvents(this);
  ApplicationEvents->SetName(L"ApplicationEvents");
  ApplicationEvents->OnException = [this](TObject* sender, const std::exception& error) {
    ApplicationEventsException(sender, error);
  };

  jsMaxMems = new TjsMaxMems(this);
  jsMaxMems->SetName(L"jsMaxMems");
  jsMaxMems->OnBeforeDefrag = [this](TObject* sender) { jsMaxMemsBeforeDefrag(sender); };
  jsMaxMems->OnAfterDefrag = [this](TObject* sender) { jsMaxMemsAfterDefrag(sender); };
}

}  // namespace tavelo
