// The layout of the panel window: the background picture, the labels and
// bars (placed by the two layouts), the popup menu, the drop target and the
// picture dialog. The window has no border and is black where nothing is drawn.
#include <initializer_list>

#include "panel/Panel.h"
#include "framework/DecimalText.h"
#include "resources/PanelPicture.h"

namespace tavelo {

void TPanelForm::LoadLayout() {
  SetCaption(L"Tavelo");
  SetWindowLongW(Handle(), GWL_STYLE, WS_POPUP | WS_CLIPCHILDREN);
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  // The picture and every label take double clicks.
  SetClassLongPtrW(Handle(), GCL_STYLE, GetClassLongPtrW(Handle(), GCL_STYLE) | CS_DBLCLKS);

  const auto item = [this](TMenuItem* parent, const wchar_t* name, const wchar_t* caption,
                           void (TPanelForm::*handler)(TObject*) = nullptr) {
    auto* added = new TMenuItem(this);
    added->SetName(name);
    added->Caption = caption;
    if (handler) added->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    parent->Add(added);
    return added;
  };
  const auto label = [this](const wchar_t* name) {
    auto* added = new TTextLabel(this);
    added->SetName(name);
    return added;
  };

  Image = new TImage(this);
  Image->SetName(L"Image");
  ImgDef = new TImage(this);
  ImgDef->SetName(L"ImgDef");
  ImgDef->SetVisible(false);
  ImgDef->Picture().Assign(DefaultPanelPicture());
  LabelCPU = label(L"LabelCPU");
  LabelRAM = label(L"LabelRAM");
  LabelCPUData = label(L"LabelCPUData");
  LabelRAMData = label(L"LabelRAMData");
  LBCPUB0 = label(L"LBCPUB0");
  LBCPUB1 = label(L"LBCPUB1");
  LBCPUB2 = label(L"LBCPUB2");
  LBRAMB0 = label(L"LBRAMB0");
  LBRAMB1 = label(L"LBRAMB1");
  LBRAMB2 = label(L"LBRAMB2");
  for (TTextLabel* text : {LabelCPU, LabelRAM, LabelCPUData, LabelRAMData})
    text->SetLayout(TVertAlignment::taVCenter);

  PPMenu = new TPopupMenu(this);
  PPMenu->SetName(L"PPMenu");
  PPMenu->OnPopup = [this](TObject* sender) { PPMenuPopup(sender); };
  TMenuItem* top = PPMenu->Items();
  PPRAM = item(top, L"PPRAM", L"RAM最適化(&E)");
  PPRAMClean = item(PPRAM, L"PPRAMClean", L"設定値", &TPanelForm::PPRAMCleanClick);
  item(PPRAM, L"N2", L"-");
  for (const wchar_t* name : {L"PPRAM1", L"PPRAM2", L"PPRAM3", L"PPRAM4", L"PPRAM5", L"PPRAM6",
                              L"PPRAM7", L"PPRAM8", L"PPRAM9"})
    item(PPRAM, name, L"", &TPanelForm::PPRAMClick);
  item(top, L"N4", L"-");
  PPStop = item(top, L"PPStop", L"停止(&S)", &TPanelForm::PPStopClick);
  PPStop->AutoCheck = true;
  PPReset = item(top, L"PPReset", L"リセット(&R)", &TPanelForm::PPResetClick);
  item(top, L"N5", L"-");
  PPTaskTray = item(top, L"PPTaskTray", L"タスクトレイ(&Y)", &TPanelForm::PPTaskTrayClick);
  PPTaskTray->AutoCheck = true;
  PPConfig = item(top, L"PPConfig", L"設定(&C)", &TPanelForm::PPConfigClick);
  item(top, L"N7", L"-");
  PPTop = item(top, L"PPTop", L"常に最前面表示(&T)", &TPanelForm::PPTopClick);
  PPTop->AutoCheck = true;
  PPWindow = item(top, L"PPWindow", L"ウィンドウの位置(&W)");
  PPPos1 = item(PPWindow, L"PPPos1", L"左上(&7)", &TPanelForm::PPPos1Click);
  PPPos2 = item(PPWindow, L"PPPos2", L"右上(&9)", &TPanelForm::PPPos2Click);
  PPPos3 = item(PPWindow, L"PPPos3", L"左下(&1)", &TPanelForm::PPPos3Click);
  PPPos4 = item(PPWindow, L"PPPos4", L"右下(&3)", &TPanelForm::PPPos4Click);
  PPTrans = item(top, L"PPTrans", L"半透明度(&H)");
  for (int step = 10; step >= 1; --step) {
    TMenuItem* opacity = item(PPTrans, (L"PPTrans" + DecimalText(step)).c_str(),
                              (DecimalText(step * 10) + L"%").c_str(),
                              &TPanelForm::PPTransClick);
    opacity->RadioItem = true;
    opacity->GroupIndex = 1;
    opacity->Tag = step;
    if (step == 10) opacity->SetChecked(true);
  }
  PPTransP = item(top, L"PPTransP", L"透過(&U)", &TPanelForm::PPTransPClick);
  PPTransP->AutoCheck = true;
  PPSel = item(top, L"PPSel", L"背景画像の選択(&P)", &TPanelForm::PPSelClick);
  PPDef = item(top, L"PPDef", L"背景画像をデフォルトに戻す(&D)", &TPanelForm::PPDefClick);
  PPNon = item(top, L"PPNon", L"背景画像無し(&N)", &TPanelForm::PPNonClick);
  item(top, L"N1", L"-");
  PPTaskMan = item(top, L"PPTaskMan", L"Windows タスク マネージャ(&M)", &TPanelForm::PPTaskManClick);
  item(top, L"N6", L"-");
  PPClose = item(top, L"PPClose", L"終了(&X)", &TPanelForm::PPCloseClick);

  ApplicationEvents = new TApplicationEvents(this);
  ApplicationEvents->SetName(L"ApplicationEvents");
  ApplicationEvents->OnDeactivate = [this](TObject* sender) { ApplicationEventsDeactivate(sender); };

  DropDst = new TDropDst(this);
  DropDst->SetName(L"DropDst");
  DropDst->OnFileDrop = [this](TObject* sender, const std::vector<std::wstring>& files, int x,
                               int y) { DropDstFileDrop(sender, files, x, y); };
  DropDst->SetTarget(THookTarget::htForm);

  OpenPictureDialog = new TOpenPictureDialog(this);
  OpenPictureDialog->SetName(L"OpenPictureDialog");
}

}  // namespace tavelo
