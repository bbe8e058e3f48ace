#include "panel/Panel.h"

#include <algorithm>
#include <cmath>

#include "app/Main.h"
#include "app/Orvane.h"
#include "app/SettingsFiles.h"
#include "framework/DecimalText.h"
#include "framework/Exception.h"
#include "panel/PanelRules.h"
#include "settings/Config.h"

namespace tavelo {

TPanelForm* PanelForm = nullptr;
const wchar_t kNoPicture[] = L"無し";

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kAqua = 0x00FFFF;
constexpr std::uint32_t kLime = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kRed = 0xFF0000;

constexpr int kNormalHeight = 64;
constexpr int kSmallWidth = 155;
constexpr int kSmallHeight = 23;

// The placement kinds of the four corners of a work area.
constexpr unsigned kTopLeft = 6, kTopRight = 7, kBottomLeft = 8, kBottomRight = 9;

const TFontStyle kCaptionFont{L"ＭＳ ゴシック", 8, true};
const TFontStyle kBarFont{L"MS UI Gothic", 8, true};

constexpr wchar_t kPictureFilter[] =
    L"画像ファイル(*.bmp,*.jpg,*.jpeg,*.png)|*.bmp;*.jpg;*.jpeg;*.png";

// Turns the tray icons deaf for the life of the scope, whatever happens in it.
class DeafTrayIcons {
 public:
  DeafTrayIcons() { SetEnabled(false); }
  ~DeafTrayIcons() { SetEnabled(true); }
  DeafTrayIcons(const DeafTrayIcons&) = delete;
  DeafTrayIcons& operator=(const DeafTrayIcons&) = delete;

 private:
  static void SetEnabled(bool enabled) {
    MainForm->TrayIconCPU->SetEnabled(enabled);
    MainForm->TrayIconRAM->SetEnabled(enabled);
  }
};

}  // namespace

TPanelForm::TPanelForm(TComponent* owner) : TForm(owner, L"TPanelForm") {
  LoadLayout();
  OnCreate = [this](TObject* sender) { FormCreate(sender); };
  OnCloseQuery = [this](TObject* sender, bool& canClose) { FormCloseQuery(sender, canClose); };
}

TPanelForm::~TPanelForm() {
  if (PanelForm == this) PanelForm = nullptr;
}

// --- creation, settings and closing ---

void TPanelForm::FormCreate(TObject*) {
  PPRAM->Visible = MainForm->PPRAM->Visible;
  PPConfig->Visible = MainForm->PPConfig->Visible;
  for (int i = 1; i <= 10; ++i) {
    MPPTrans[i] = static_cast<TMenuItem*>(FindComponent(L"PPTrans" + DecimalText(i)));
    MPPTrans[i]->Tag = i;
  }
  for (int i = 1; i <= 9; ++i) {
    MPPRAM[i] = static_cast<TMenuItem*>(FindComponent(L"PPRAM" + DecimalText(i)));
    MPPRAM[i]->Tag = i;
    MPPRAM[i]->Caption = DecimalText(i * 10) + L"%";
  }
  Proc_LoadIni();
  Proc_NormalMode();
  if (FSmall) Proc_SmallMode();
  for (TTextLabel* bar : {LBCPUB0, LBCPUB1, LBCPUB2, LBRAMB0, LBRAMB1, LBRAMB2})
    bar->SetCaption(L"");

  if (Func_FileExists(MPic)) {
    try {
      Proc_LoadPicture(MPic);
    } catch (const Exception&) {
      Proc_ShowDefaultPicture();  // as for a missing file
    }
  } else if (MPic != kNoPicture) {
    Proc_ShowDefaultPicture();
  }

  Func_TopMost(Handle(), PPTop->Checked());
  PPTaskMan->Enabled = Func_Win2000OrLater();
  PPTrans->Enabled = Func_Win2000OrLater();
  opacityOn_ = PPTrans->Enabled;
  if (opacityOn_) SetOpacityStep(MTrans);
  ApplyLayeredAttributes();
  ShowTrayIcons(PPTaskTray->Checked());
  Proc_ToolWindow(Handle());
}

void TPanelForm::FormShow(TObject*) {
  ShowWindow(Application->Handle(), SW_HIDE);
  if (TextOnlyWanted()) SetTextOnly(true);
}

// Closing is always allowed; settings that cannot be written are reported.
void TPanelForm::FormCloseQuery(TObject*, bool&) {
  try {
    Proc_SaveIni();
  } catch (...) {
    RouteException(this);
  }
}

void TPanelForm::Proc_LoadIni() {
  const TSettingsFile settings(SettingsFilePath());
  MNormalTop = settings.ReadInteger(L"Panel", L"NormalTop", -1);
  MNormalLeft = settings.ReadInteger(L"Panel", L"NormalLeft", -1);
  MSmallTop = settings.ReadInteger(L"Panel", L"SmallTop", -1);
  MSmallLEft = settings.ReadInteger(L"Panel", L"SmallLeft", -1);
  const int top = settings.ReadInteger(L"Panel", L"Top", 100);
  MoveTo(settings.ReadInteger(L"Panel", L"Left", 100), top);
  PPTop->SetChecked(settings.ReadBool(L"Panel", L"MostTop", false));
  FSmall = settings.ReadBool(L"Panel", L"Small", false);
  PPTransP->SetChecked(settings.ReadBool(L"Panel", L"SmallP", false));
  MTrans = ValidOpacityStep(settings.ReadInteger(L"Panel", L"Trans", 10));
  MPic = settings.ReadString(L"Picture", L"Picture", L"");
  PPTaskTray->SetChecked(settings.ReadBool(L"Disp", L"TaskTray", true));
}

void TPanelForm::Proc_SaveIni() {
  TSettingsFile settings(SettingsFilePath());
  RECT window{};
  GetWindowRect(Handle(), &window);
  settings.WriteInteger(L"Panel", L"NormalTop", MNormalTop);
  settings.WriteInteger(L"Panel", L"NormalLeft", MNormalLeft);
  settings.WriteInteger(L"Panel", L"SmallTop", MSmallTop);
  settings.WriteInteger(L"Panel", L"SmallLeft", MSmallLEft);
  settings.WriteInteger(L"Panel", L"Top", window.top);
  settings.WriteInteger(L"Panel", L"Left", window.left);
  settings.WriteBool(L"Panel", L"MostTop", PPTop->Checked());
  settings.WriteBool(L"Panel", L"Small", FSmall);
  settings.WriteBool(L"Panel", L"SmallP", PPTransP->Checked());
  settings.WriteInteger(L"Panel", L"Trans", MTrans);
  settings.WriteString(L"Picture", L"Picture", MPic);
  settings.WriteBool(L"Disp", L"TaskTray", PPTaskTray->Checked());
  settings.UpdateFile();
}

// --- the values ---

void TPanelForm::Proc_DispData() {
  ShowQuantity(MainForm->MCPU, LabelCPUData, LabelCPU, {LBCPUB0, LBCPUB1, LBCPUB2}, L"CPU : ");
  ShowQuantity(MainForm->MRAM, LabelRAMData, LabelRAM, {LBRAMB0, LBRAMB1, LBRAMB2}, L"RAM : ");
}

void TPanelForm::ShowQuantity(int percent, TTextLabel* value, TTextLabel* caption,
                              const std::array<TTextLabel*, 3>& bars, const wchar_t* hintPrefix) {
  const std::wstring text = DecimalText(percent) + L"%";
  const bool stopped = PPStop->Checked();
  if (value->Caption() == text && !stopped) return;
  value->SetFontColor(ValueColour(percent));
  value->SetCaption(text);
  value->Repaint();
  value->SetHint(hintPrefix + text);
  if (stopped) {
    value->SetCaption(L"");
    value->SetHint(L"停止");
    percent = 0;
  }
  caption->SetHint(value->Hint());
  for (TTextLabel* bar : bars) bar->SetHint(value->Hint());
  if (FSmall) return;  // the bars are hidden
  const std::array<std::wstring, 3> texts = BarTexts(percent);
  for (size_t segment = 0; segment < bars.size(); ++segment) bars[segment]->SetCaption(texts[segment]);
}

void TPanelForm::Proc_BusyBegin() {
  PPMenu->AutoPopup = false;
  for (TTextLabel* text :
       {LabelCPUData, LabelRAMData, LBCPUB0, LBCPUB1, LBCPUB2, LBRAMB0, LBRAMB1, LBRAMB2})
    text->SetCaption(L"");
  PPRAM->Enabled = false;
}

void TPanelForm::Proc_BusyEnd() {
  PPMenu->AutoPopup = true;
  PPRAM->Enabled = true;
}

// --- the two layouts ---

void TPanelForm::MoveTo(int left, int top) {
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPanelForm::SetWindowSize(int width, int height) {
  SetWindowPos(Handle(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Image->SetBounds(TBounds{0, 0, width, height});
}

void TPanelForm::Proc_NormalMode() {
  if (MNormalTop != -1 || MNormalLeft != -1) MoveTo(MNormalLeft, MNormalTop);
  Proc_EnsureOnScreen(Handle());
  for (TTextLabel* bar : {LBCPUB0, LBCPUB1, LBCPUB2, LBRAMB0, LBRAMB1, LBRAMB2})
    bar->SetVisible(true);
  SetWindowSize(static_cast<int>(kNormalHeight * 1.33), kNormalHeight);

  const auto place = [](TTextLabel* label, int left, int top, int width, int height,
                        const TFontStyle& font) {
    label->SetBounds(TBounds{left, top, width, height});
    label->SetFont(font);
  };
  place(LabelCPU, 12, 6, 29, 13, kCaptionFont);
  LabelCPU->SetFontColor(kAqua);
  LabelCPU->SetColor(kBlack);
  LabelCPU->SetAlignment(TAlignment::taLeftJustify);
  LabelCPU->SetCaption(L"CPU");
  place(LabelRAM, LabelCPU->Left(), LabelCPU->Top() + 28, LabelCPU->Width(), LabelCPU->Height(),
        LabelCPU->Font());
  LabelRAM->SetFontColor(LabelCPU->FontColor());
  LabelRAM->SetColor(kBlack);
  LabelRAM->SetAlignment(TAlignment::taLeftJustify);
  LabelRAM->SetCaption(L"RAM");
  place(LabelCPUData, LabelCPU->Left() + 26, LabelCPU->Top(), 36, LabelCPU->Height(),
        LabelCPU->Font());
  LabelCPUData->SetColor(kBlack);
  LabelCPUData->SetAlignment(TAlignment::taRightJustify);
  LabelCPUData->SetCaption(L"");
  place(LabelRAMData, LabelCPUData->Left(), LabelRAM->Top(), LabelCPUData->Width(),
        LabelCPUData->Height(), LabelCPU->Font());
  LabelRAMData->SetColor(LabelCPUData->Color());
  LabelRAMData->SetAlignment(TAlignment::taRightJustify);
  LabelRAMData->SetCaption(L"");

  // Each bar: green, yellow and red segments side by side below its caption.
  const auto bar = [&](TTextLabel* const (&segments)[3], const TTextLabel* caption) {
    TFontStyle font = kBarFont;
    font.bold = caption->Font().bold;
    place(segments[0], caption->Left() + 22, caption->Top() + caption->Height(), 20, 13, font);
    place(segments[1], segments[0]->Left() + segments[0]->Width(), segments[0]->Top(), 12,
          segments[0]->Height(), segments[0]->Font());
    place(segments[2], segments[1]->Left() + segments[1]->Width(), segments[0]->Top(), 8,
          segments[0]->Height(), segments[0]->Font());
    const std::uint32_t colours[] = {kLime, kYellow, kRed};
    for (int segment = 0; segment < 3; ++segment) {
      segments[segment]->SetFontColor(colours[segment]);
      segments[segment]->SetColor(caption->Color());
    }
  };
  bar({LBCPUB0, LBCPUB1, LBCPUB2}, LabelCPU);
  bar({LBRAMB0, LBRAMB1, LBRAMB2}, LabelRAM);
}

void TPanelForm::Proc_SmallMode() {
  if (MSmallTop != -1 || MSmallLEft != -1) MoveTo(MSmallLEft, MSmallTop);
  Proc_EnsureOnScreen(Handle());
  for (TTextLabel* bar : {LBCPUB0, LBCPUB1, LBCPUB2, LBRAMB0, LBRAMB1, LBRAMB2})
    bar->SetVisible(false);
  SetWindowSize(kSmallWidth, kSmallHeight);
  const int row = (kSmallHeight - LabelCPU->Height()) / 2;
  const auto moveTo = [](TTextLabel* label, int left, int top) {
    label->SetBounds(TBounds{left, top, label->Width(), label->Height()});
  };
  moveTo(LabelCPU, LabelCPU->Left(), row);
  moveTo(LabelCPUData, LabelCPUData->Left(), row);
  moveTo(LabelRAM, LabelCPUData->Left() + LabelCPUData->Width() + 10, row);
  moveTo(LabelRAMData, LabelRAM->Left() + 26, row);
}

void TPanelForm::Proc_SavePos() {
  RECT window{};
  GetWindowRect(Handle(), &window);
  if (FSmall) {
    MSmallLEft = window.left;
    MSmallTop = window.top;
  } else {
    MNormalLeft = window.left;
    MNormalTop = window.top;
  }
}

// --- mouse ---

void TPanelForm::ImageMouseDown(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button != TMouseButton::mbLeft) return;
  // The system's own move loop runs until the button is released.
  const DWORD cursor = GetMessagePos();
  ReleaseCapture();
  DefWindowProcW(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(cursor));
  Proc_SavePos();
}

void TPanelForm::ImageDblClick(TObject*) {
  FSmall = !FSmall;
  if (FSmall)
    Proc_SmallMode();
  else
    Proc_NormalMode();
}

bool TPanelForm::TextOnlyWanted() const { return FSmall && PPTransP->Checked(); }

void TPanelForm::ImageMouseEnter(TObject*) {
  if (TextOnlyWanted()) SetTextOnly(false);
}

void TPanelForm::ImageMouseLeave(TObject*) {
  if (TextOnlyWanted()) SetTextOnly(true);
}

// --- look ---

void TPanelForm::SetTextOnly(bool on) {
  textOnly_ = on;
  Image->SetVisible(!on);
  for (TTextLabel* text : {LabelCPU, LabelCPUData, LabelRAM, LabelRAMData})
    text->SetTransparent(on);
  ApplyLayeredAttributes();
}

void TPanelForm::PPTransPClick(TObject*) { SetTextOnly(PPTransP->Checked()); }

void TPanelForm::SetOpacityStep(int step) {
  MTrans = step;
  MPPTrans[step]->SetChecked(true);
  opacity_ = OpacityOf(step);
  ApplyLayeredAttributes();
}

void TPanelForm::PPTransClick(TObject* sender) {
  SetOpacityStep(ValidOpacityStep(static_cast<TMenuItem*>(sender)->Tag));
}

// Opacity and colour key are both attributes of a layered window; a window
// that needs neither is not layered.
void TPanelForm::ApplyLayeredAttributes() {
  const LONG exStyle = GetWindowLongW(Handle(), GWL_EXSTYLE);
  DWORD flags = 0;
  if (opacityOn_) flags |= LWA_ALPHA;
  if (textOnly_) flags |= LWA_COLORKEY;
  if (!flags) {
    if (exStyle & WS_EX_LAYERED) SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    return;
  }
  if (!(exStyle & WS_EX_LAYERED)) SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Handle(), ColorRef(kBlack), static_cast<BYTE>(opacity_), flags);
}

void TPanelForm::PPTopClick(TObject*) { Func_TopMost(Handle(), PPTop->Checked()); }

// A panel that is already closed stays hidden.
void TPanelForm::ApplicationEventsDeactivate(TObject* sender) {
  if (Visible()) PPTopClick(sender);
}

void TPanelForm::PlaceInCorner(unsigned kind) {
  Proc_PlaceOnMonitor(Handle(), kind, Func_MonitorIndex(Handle()), false);
  Proc_SavePos();
}

void TPanelForm::PPPos1Click(TObject*) { PlaceInCorner(kTopLeft); }
void TPanelForm::PPPos2Click(TObject*) { PlaceInCorner(kTopRight); }
void TPanelForm::PPPos3Click(TObject*) { PlaceInCorner(kBottomLeft); }
void TPanelForm::PPPos4Click(TObject*) { PlaceInCorner(kBottomRight); }

// --- the background picture ---

void TPanelForm::Proc_LoadPicture(const std::wstring& path) {
  Image->Picture().LoadFromFile(path);
  MPic = path;
  Image->Invalidate();
}

void TPanelForm::Proc_ShowDefaultPicture() {
  Image->Picture().Assign(ImgDef->Picture());
  MPic.clear();
  Image->Invalidate();
}

void TPanelForm::PPSelClick(TObject*) {
  const DeafTrayIcons deaf;
  const std::wstring pictures = Func_SpecialFolder(kFolderMyPictures);
  OpenPictureDialog->InitialDir = Func_DirExists(pictures) ? pictures : std::wstring();
  OpenPictureDialog->Filter = kPictureFilter;
  if (OpenPictureDialog->Execute() && IsPictureFileName(OpenPictureDialog->FileName))
    Proc_LoadPicture(OpenPictureDialog->FileName);
}

void TPanelForm::DropDstFileDrop(TObject*, const std::vector<std::wstring>& files, int, int) {
  if (!files.empty() && IsPictureFileName(files.front())) Proc_LoadPicture(files.front());
}

void TPanelForm::PPDefClick(TObject*) { Proc_ShowDefaultPicture(); }

void TPanelForm::PPNonClick(TObject*) {
  Image->Picture().Clear();
  MPic = kNoPicture;
  Image->Invalidate();
}

// --- the controller's parts ---

void TPanelForm::ShowTrayIcons(bool show) {
  if (show) {
    MainForm->ShowTrayIcons();
  } else {
    MainForm->TrayIconCPU->SetIconVisible(false);
    MainForm->TrayIconRAM->SetIconVisible(false);
  }
}

void TPanelForm::PPTaskTrayClick(TObject*) {
  MainForm->FPPTaskTray = PPTaskTray->Checked();
  ShowTrayIcons(PPTaskTray->Checked());
}

void TPanelForm::PPMenuPopup(TObject*) {
  if (!PPRAM->Enabled) return;  // memory is being freed
  const int free = 100 - MainForm->MRAM;
  for (int i = 1; i <= 9; ++i) MPPRAM[i]->Enabled = free > 10 * i;
  PPRAMClean->Enabled = free > Func_NumberOf(ConfigForm->TXTRAMValue);
  PPRAMClean->Caption = L"設定値:" + ConfigForm->TXTRAMValue->Text() + L"%";
  PPTransP->Enabled = FSmall;
}

void TPanelForm::PPStopClick(TObject* sender) {
  MainForm->PPStop->SetChecked(PPStop->Checked());
  MainForm->PPStopClick(sender);
}

void TPanelForm::PPRAMClick(TObject* sender) { MainForm->PPRAMClick(sender); }
void TPanelForm::PPRAMCleanClick(TObject* sender) { MainForm->PPRAMCleanClick(sender); }
void TPanelForm::PPResetClick(TObject* sender) { MainForm->PPResetClick(sender); }
void TPanelForm::PPConfigClick(TObject* sender) { MainForm->PPConfigClick(sender); }
void TPanelForm::PPTaskManClick(TObject* sender) { MainForm->PPTaskManClick(sender); }
void TPanelForm::PPCloseClick(TObject* sender) { MainForm->PPCloseClick(sender); }

// --- the window ---

void TPanelForm::Paint() {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(Handle(), &paint);
  RECT client{};
  GetClientRect(Handle(), &client);
  // Drawn off screen first, so that the picture never flickers through the labels.
  HDC canvas = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
  const HGDIOBJ previous = SelectObject(canvas, bitmap);
  FillRect(canvas, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  PaintGraphicControls(*this, canvas);
  BitBlt(screen, 0, 0, client.right, client.bottom, canvas, 0, 0, SRCCOPY);
  SelectObject(canvas, previous);
  DeleteObject(bitmap);
  DeleteDC(canvas);
  EndPaint(Handle(), &paint);
}

void TPanelForm::SnapWhileMoving(WINDOWPOS& position) const {
  if (position.flags & SWP_NOMOVE) return;
  RECT current{};
  GetWindowRect(Handle(), &current);
  const int width = current.right - current.left;
  const int height = current.bottom - current.top;
  if (!(position.flags & SWP_NOSIZE) && (position.cx != width || position.cy != height)) return;
  const RECT moved{position.x, position.y, position.x + width, position.y + height};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromRect(&moved, MONITOR_DEFAULTTONEAREST), &monitor)) return;
  const RECT& work = monitor.rcWork;
  const TScreenRect snapped = SnapToArea({moved.left, moved.top, moved.right, moved.bottom},
                                         {work.left, work.top, work.right, work.bottom});
  position.x = snapped.left;
  position.y = snapped.top;
}

// The label or bar under the point, else the picture.
TGraphicControl* TPanelForm::ControlAt(int x, int y) {
  const auto& components = Components();
  for (auto component = components.rbegin(); component != components.rend(); ++component)
    if (auto* control = dynamic_cast<TGraphicControl*>(*component);
        control && control != Image && control->Visible() && control->Contains(POINT{x, y}))
      return control;
  return Image;
}

void TPanelForm::TrackMouse(int x, int y) {
  if (mouseInside_) return;
  mouseInside_ = true;
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
  TrackMouseEvent(&track);
  ImageMouseEnter(ControlAt(x, y));
}

LRESULT TPanelForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  const int y = static_cast<short>(HIWORD(lParam));
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_PAINT:
      Paint();
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) != HTCLIENT) break;
      SetCursor(LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_WINDOWPOSCHANGING:
      SnapWhileMoving(*reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_DISPLAYCHANGE:
      // The panel's monitor may have gone, or shrunk past it: a panel left
      // where nothing shows it could not even be dragged back.
      Proc_EnsureOnScreen(Handle());
      break;
    case WM_WINDOWPOSCHANGED: {
      // Shown by the system (placed on top) as well as by Show.
      const UINT flags = reinterpret_cast<const WINDOWPOS*>(lParam)->flags;
      if (flags & SWP_HIDEWINDOW) shown_ = false;
      if ((flags & SWP_SHOWWINDOW) && !shown_) {
        shown_ = true;
        FormShow(this);
      }
      break;
    }
    case WM_LBUTTONDOWN:
      ImageMouseDown(ControlAt(x, y), TMouseButton::mbLeft, ssLeft, x, y);
      return 0;
    case WM_LBUTTONDBLCLK:
      ImageDblClick(ControlAt(x, y));
      return 0;
    case WM_MOUSEMOVE:
      EnableGraphicControlHints(*this);
      TrackMouse(x, y);
      return 0;
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      ImageMouseLeave(Image);
      return 0;
    case WM_CONTEXTMENU: {
      if (!PPMenu->AutoPopup) return 0;
      POINT at{x, y};
      if (lParam == -1) {  // from the keyboard: at the window's corner
        at = POINT{0, 0};
        ClientToScreen(Handle(), &at);
      }
      POINT client = at;
      ScreenToClient(Handle(), &client);
      PPMenu->PopupComponent = ControlAt(client.x, client.y);
      PPMenu->Popup(at.x, at.y);
      return 0;
    }
  }
  return TForm::WndProc(message, wParam, lParam);
}

}  // namespace tavelo
