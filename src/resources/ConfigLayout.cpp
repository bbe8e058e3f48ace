// The layout of the settings dialog: a client area of 514 x 149 with the
// optimiser's numbers on the left, the excluded programs on the right, and
// the two buttons along the bottom. Controls are created in tab order.
#include "settings/Config.h"

namespace tavelo {

namespace {

// A number box as the dialog uses it: read-only, three digits, button face.
TNumEdit* NumberBox(TComponent* owner, HWND parent, int left, int top) {
  auto* box = new TNumEdit(owner, parent, RECT{left, top, left + 40, top + 20});
  box->SetReadOnly(true);
  box->SetIntegerLength(3);
  box->SetColor(GetSysColor(COLOR_BTNFACE));
  box->SetAutoSize(false);
  box->SetText(L"0");
  box->SetTabStop(true);
  return box;
}

TUpDown* UpDownFor(TForm* owner, HWND parent, int left, int top, TNumEdit* buddy, int min,
                   int max) {
  auto* upDown = new TUpDown(owner, parent, TBounds{left, top, 30, 20});
  upDown->SetBuddy(buddy->Handle());
  upDown->SetRange(min, max);
  upDown->SetWrap(true);
  return upDown;
}

TLabel* LabelAt(TForm* owner, HWND parent, int left, int top, const wchar_t* caption) {
  auto* label = new TLabel(owner, parent, left, top);
  label->SetCaption(caption);
  return label;
}

TButton* ButtonAt(TForm* owner, HWND parent, TBounds bounds, const wchar_t* caption) {
  auto* button = new TButton(owner, parent, bounds);
  button->SetCaption(caption);
  return button;
}

}  // namespace

void TConfigForm::LoadLayout() {
  SetCaption(L"Tavelo");
  SetBorderStyle(TFormBorderStyle::Dialog);
  // No title-bar buttons: the dialog closes through its own two buttons, Esc or Alt+F4.
  SetWindowLongW(Handle(), GWL_STYLE, GetWindowLongW(Handle(), GWL_STYLE) & ~WS_SYSMENU);
  SetClientSize(514, 149);
  SetFont(L"MS UI Gothic", 12, SHIFTJIS_CHARSET);

  GroupBoxRAM = new TGroupBox(this, Handle(), TBounds{0, 0, 200, 121});
  GroupBoxRAM->SetCaption(L"[RAM最適化]");
  const HWND ram = GroupBoxRAM->Handle();
  // Each label comes right before its box, so that its access key focuses the box.
  LabelRAMValue = LabelAt(this, ram, 10, 23, L"最適化容量[%](&Y)");
  TXTRAMValue = NumberBox(this, ram, 120, 20);
  UDRAMValue = UpDownFor(this, ram, 160, 20, TXTRAMValue, 1, 100);
  LabelRAMAuto = LabelAt(this, ram, 10, 55, L"自動最適化[%](&Z)");
  TXTRAMAuto = NumberBox(this, ram, 120, 52);
  UDRAMAuto = UpDownFor(this, ram, 160, 52, TXTRAMAuto, 0, 100);
  LabelRAMTime = LabelAt(this, ram, 10, 87, L"定期間隔[分](&T)");
  TXTRAMTime = NumberBox(this, ram, 120, 84);
  UDRAMTime = UpDownFor(this, ram, 160, 84, TXTRAMTime, 0, 120);

  GroupBoxExe = new TGroupBox(this, Handle(), TBounds{200, 0, 314, 121});
  GroupBoxExe->SetCaption(L"[自動最適化、定期間隔の実行を停止するプログラム]");
  const HWND exe = GroupBoxExe->Handle();
  ListBox = new TListBox(this, exe, TBounds{10, 20, 225, 90});
  ListBox->SetItemHeight(12);
  BtnAdd = ButtonAt(this, exe, TBounds{245, 25, 60, 25}, L"追加(&A)");
  BtnDel = ButtonAt(this, exe, TBounds{245, 60, 60, 25}, L"削除(&D)");

  // The bottom strip of 28 pixels holds the two buttons at its right end.
  BtnCancel = ButtonAt(this, Handle(), TBounds{429, 121, 85, 28}, L"キャンセル(&C)");
  BtnCancel->SetCancel(true);
  BtnOK = ButtonAt(this, Handle(), TBounds{344, 121, 85, 28}, L"&OK");
  BtnOK->SetDefault(true);

  OpenDialog = new TOpenDialog(this);
  OpenDialog->Filter = L"プログラム|*.exe";
  OpenDialog->Title = L"自動最適化、定期間隔の実行を停止するプログラム";

  for (TNumEdit* box : {TXTRAMValue, TXTRAMAuto, TXTRAMTime}) box->SetFont(Font());
  UDRAMValue->OnClick = [this](TObject* sender, TUpDownButton button) { UDRAMValueClick(sender, button); };
  UDRAMAuto->OnClick = [this](TObject* sender, TUpDownButton button) { UDRAMAutoClick(sender, button); };
  UDRAMTime->OnClick = [this](TObject* sender, TUpDownButton button) { UDRAMTimeClick(sender, button); };
  ListBox->OnClick = [this](TObject* sender) { ListBoxClick(sender); };
  BtnAdd->OnClick = [this](TObject* sender) { BtnAddClick(sender); };
  BtnDel->OnClick = [this](TObject* sender) { BtnDelClick(sender); };
  BtnCancel->OnClick = [this](TObject* sender) { BtnCancelClick(sender); };
  BtnOK->OnClick = [this](TObject* sender) { BtnOKClick(sender); };
}

}  // namespace tavelo
