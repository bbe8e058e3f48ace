#pragma once
// The settings dialog: created hidden at start, shown modally on demand, and
// alive until the end. Its three number boxes and its list box are where the
// running program keeps the optimiser's settings.
#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "settings/NumEdit.h"

namespace tavelo {

class TConfigForm : public TForm {
 public:
  explicit TConfigForm(TComponent* owner);

  // Whether a program of the exclusion list runs now.
  bool Func_StopExe();

  void BtnOKClick(TObject* sender);
  void BtnCancelClick(TObject* sender);
  void UDRAMValueClick(TObject* sender, TUpDownButton button);
  void UDRAMAutoClick(TObject* sender, TUpDownButton button);
  void UDRAMTimeClick(TObject* sender, TUpDownButton button);
  void BtnAddClick(TObject* sender);
  void ListBoxClick(TObject* sender);
  void BtnDelClick(TObject* sender);

  TGroupBox* GroupBoxRAM;
  TLabel* LabelRAMValue;
  TNumEdit* TXTRAMValue;
  TUpDown* UDRAMValue;
  TLabel* LabelRAMAuto;
  TNumEdit* TXTRAMAuto;
  TUpDown* UDRAMAuto;
  TLabel* LabelRAMTime;
  TNumEdit* TXTRAMTime;
  TUpDown* UDRAMTime;
  TGroupBox* GroupBoxExe;
  TListBox* ListBox;
  TButton* BtnAdd;
  TButton* BtnDel;
  TButton* BtnCancel;
  TButton* BtnOK;
  TOpenDialog* OpenDialog;

 private:
  // Builds the controls; the dialog's layout.
  void LoadLayout();
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);
  void Proc_LoadConfig();
  void Proc_SaveConfig();
  void ShowPosition(TUpDown* upDown, TNumEdit* box);
};

extern TConfigForm* ConfigForm;

// The integer in a number box's text.
int Func_NumberOf(const TNumEdit* box);

}  // namespace tavelo
