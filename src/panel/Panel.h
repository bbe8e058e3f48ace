#pragma once
// The panel window: a small borderless window that shows the CPU and RAM
// loads as texts and short bars over a background picture, in a normal and
// a small layout. It can be dragged, sent to a corner, made translucent,
// kept on top and reduced to its texts; its own popup menu also forwards the
// controller's commands. It exists while the controller's panel item is ticked.
#include <array>
#include <string>
#include <vector>

#include "framework/ApplicationEvents.h"
#include "framework/Dialogs.h"
#include "framework/ExtCtrls.h"
#include "framework/Form.h"
#include "framework/GraphicControls.h"
#include "framework/Input.h"
#include "framework/Menus.h"
#include "panel/DROPDST.h"

namespace tavelo {

// MPic of a panel without a background picture.
extern const wchar_t kNoPicture[];

class TPanelForm : public TForm {
 public:
  explicit TPanelForm(TComponent* owner);
  ~TPanelForm() override;

  // Shows the controller's loads, or nothing while Stop is ticked.
  void Proc_DispData();
  // While the controller frees memory: no menu, no texts, no memory items.
  void Proc_BusyBegin();
  void Proc_BusyEnd();

  // Handlers; the window's messages and menu items call them.
  void ImageMouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);
  void ImageDblClick(TObject* sender);
  void ImageMouseEnter(TObject* sender);
  void ImageMouseLeave(TObject* sender);
  void PPTransClick(TObject* sender);
  void PPTransPClick(TObject* sender);
  void PPTopClick(TObject* sender);
  void ApplicationEventsDeactivate(TObject* sender);
  void PPPos1Click(TObject* sender);
  void PPPos2Click(TObject* sender);
  void PPPos3Click(TObject* sender);
  void PPPos4Click(TObject* sender);
  void PPSelClick(TObject* sender);
  void DropDstFileDrop(TObject* sender, const std::vector<std::wstring>& files, int x, int y);
  void PPDefClick(TObject* sender);
  void PPNonClick(TObject* sender);
  void PPTaskTrayClick(TObject* sender);
  void PPMenuPopup(TObject* sender);
  void PPRAMClick(TObject* sender);
  void PPRAMCleanClick(TObject* sender);
  void PPStopClick(TObject* sender);
  void PPResetClick(TObject* sender);
  void PPConfigClick(TObject* sender);
  void PPTaskManClick(TObject* sender);
  void PPCloseClick(TObject* sender);

  // Components; the form owns them all. Image fills the window; ImgDef,
  // never shown, holds the default picture.
  TImage* Image;
  TImage* ImgDef;
  TTextLabel *LabelCPU, *LabelRAM, *LabelCPUData, *LabelRAMData;
  TTextLabel *LBCPUB0, *LBCPUB1, *LBCPUB2, *LBRAMB0, *LBRAMB1, *LBRAMB2;
  TPopupMenu* PPMenu;
  TMenuItem *PPRAM, *PPRAMClean, *PPStop, *PPReset, *PPTaskTray, *PPConfig, *PPTop, *PPWindow,
      *PPPos1, *PPPos2, *PPPos3, *PPPos4, *PPTrans, *PPTransP, *PPSel, *PPDef, *PPNon,
      *PPTaskMan, *PPClose;
  TApplicationEvents* ApplicationEvents;
  TDropDst* DropDst;
  TOpenPictureDialog* OpenPictureDialog;

  // The background: a picture file's full path, empty for the default
  // picture, kNoPicture for none. It always describes what is shown.
  std::wstring MPic;
  int MTrans = 10;                          // opacity in tenths, 1..10
  std::array<TMenuItem*, 11> MPPTrans{};    // items 1..10
  std::array<TMenuItem*, 10> MPPRAM{};      // items 1..9
  bool FSmall = false;
  // Where each layout last stood; -1 for never.
  int MNormalTop = -1;
  int MNormalLeft = -1;
  int MSmallTop = -1;
  int MSmallLEft = -1;

  // What the layered window does now, for tests and for the state itself.
  bool OpacityOn() const { return opacityOn_; }
  bool TextOnly() const { return textOnly_; }

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // Builds the components and the menu; the form's layout.
  void LoadLayout();
  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void FormCloseQuery(TObject* sender, bool& canClose);

  void Proc_LoadIni();
  void Proc_SaveIni();
  // Shows the picture file; on success MPic names it. A file that cannot be
  // decoded raises, and the picture and MPic stay as they were.
  void Proc_LoadPicture(const std::wstring& path);
  void Proc_ShowDefaultPicture();
  void Proc_NormalMode();
  void Proc_SmallMode();
  void Proc_SavePos();

  void ShowQuantity(int percent, TTextLabel* value, TTextLabel* caption,
                    const std::array<TTextLabel*, 3>& bars, const wchar_t* hintPrefix);
  void SetTextOnly(bool on);
  void SetOpacityStep(int step);
  void ApplyLayeredAttributes();
  void ShowTrayIcons(bool show);
  void PlaceInCorner(unsigned kind);
  void MoveTo(int left, int top);
  void SetWindowSize(int width, int height);
  bool TextOnlyWanted() const;

  void Paint();
  void SnapWhileMoving(WINDOWPOS& position) const;
  TGraphicControl* ControlAt(int x, int y);
  void TrackMouse(int x, int y);

  bool opacityOn_ = false;
  int opacity_ = 255;
  bool textOnly_ = false;
  bool mouseInside_ = false;
  bool shown_ = false;
};

extern TPanelForm* PanelForm;

}  // namespace tavelo
