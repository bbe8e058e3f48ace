#include "settings/NumEdit.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>
#include <utility>
#include <vector>

#include "framework/Application.h"
#include "framework/CommonControls.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/WindowClass.h"

namespace tavelo {

namespace {

constexpr wchar_t kWindowClass[] = L"TNumEdit";

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

// Keeps the clipboard open for the life of the scope.
class ClipboardScope {
 public:
  explicit ClipboardScope(HWND owner) {
    if (!OpenClipboard(owner)) throw Exception("Cannot open the clipboard");
  }
  ~ClipboardScope() { CloseClipboard(); }
  ClipboardScope(const ClipboardScope&) = delete;
  ClipboardScope& operator=(const ClipboardScope&) = delete;
};

void PutClipboardText(HWND owner, const std::wstring& text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!memory) throw Exception("Cannot copy to the clipboard");
  CopyMemory(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  ClipboardScope clipboard(owner);
  EmptyClipboard();
  if (!SetClipboardData(CF_UNICODETEXT, memory)) {
    GlobalFree(memory);
    throw Exception("Cannot copy to the clipboard");
  }
}

std::optional<std::wstring> ClipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT)) return std::nullopt;
  ClipboardScope clipboard(owner);
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (!text) return std::nullopt;
  std::wstring result(text);
  GlobalUnlock(data);
  return result;
}

TEditKey EditKey(WPARAM virtualKey) {
  switch (virtualKey) {
    case VK_LEFT: return TEditKey::Left;
    case VK_RIGHT: return TEditKey::Right;
    case VK_UP: return TEditKey::Up;
    case VK_DOWN: return TEditKey::Down;
    case VK_PRIOR: return TEditKey::PageUp;
    case VK_NEXT: return TEditKey::PageDown;
    case VK_HOME: return TEditKey::Home;
    case VK_END: return TEditKey::End;
    case 'A': return TEditKey::A;
    case 'C': return TEditKey::C;
    case 'V': return TEditKey::V;
    case 'X': return TEditKey::X;
    case VK_BACK: return TEditKey::Back;
    case VK_DELETE: return TEditKey::Delete;
    default: return TEditKey::Other;
  }
}

bool KeyIsDown(int virtualKey) { return GetKeyState(virtualKey) < 0; }

TModifiers CurrentModifiers() {
  return TModifiers{KeyIsDown(VK_SHIFT), KeyIsDown(VK_CONTROL), KeyIsDown(VK_MENU)};
}


TShiftState KeyShiftState() {
  TShiftState shift = 0;
  if (KeyIsDown(VK_SHIFT)) shift |= ssShift;
  if (KeyIsDown(VK_MENU)) shift |= ssAlt;
  if (KeyIsDown(VK_CONTROL)) shift |= ssCtrl;
  if (KeyIsDown(VK_LBUTTON)) shift |= ssLeft;
  if (KeyIsDown(VK_RBUTTON)) shift |= ssRight;
  if (KeyIsDown(VK_MBUTTON)) shift |= ssMiddle;
  return shift;
}

// Mouse messages carry the state of everything but Alt.
TShiftState MouseShiftState(WPARAM keys) {
  TShiftState shift = KeyIsDown(VK_MENU) ? ssAlt : 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

DWORD ConversionMode(TNumEdit::TImeMode mode) {
  using M = TNumEdit::TImeMode;
  switch (mode) {
    case M::imSAlpha: return IME_CMODE_ALPHANUMERIC;
    case M::imAlpha: return IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE;
    case M::imHira: return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    case M::imSKata: return IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    case M::imKata: return IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE;
    case M::imChinese: return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    case M::imSHanguel: return IME_CMODE_NATIVE;
    case M::imHanguel: return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    default: return IME_CMODE_ALPHANUMERIC;
  }
}

}  // namespace

TNumEdit::TNumEdit(TComponent* owner, HWND parent, RECT bounds)
    : TComponent(owner),
      color_(GetSysColor(COLOR_WINDOW)),
      disabledColor_(GetSysColor(COLOR_GRAYTEXT)),
      fontColor_(GetSysColor(COLOR_WINDOWTEXT)),
      dragCursor_(LoadCursorW(nullptr, IDC_ARROW)) {
  // No redraw-on-resize styles: the box repaints itself when it is resized.
  RegisterWindowClass(kWindowClass, &TNumEdit::WindowProc, LoadCursorW(nullptr, IDC_IBEAM), nullptr,
                      CS_DBLCLKS);
  valText_ = FormatText(text_);
  CreateHandle(parent, bounds, WS_VISIBLE | WS_TABSTOP);
  auto* parentFont = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
  SetFont(parentFont ? parentFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

TNumEdit::~TNumEdit() { DestroyHandle(); }

void TNumEdit::CreateHandle(HWND parent, RECT bounds, DWORD stateStyle) {
  const bool single = borderStyle_ == TBorderStyle::bsSingle;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | stateStyle | (single && !ctl3D_ ? WS_BORDER : 0);
  const DWORD exStyle = single && ctl3D_ ? WS_EX_CLIENTEDGE : 0;
  CreateWindowExW(exStyle, kWindowClass, L"", style, bounds.left, bounds.top,
                  bounds.right - bounds.left, bounds.bottom - bounds.top, parent, nullptr,
                  GetModuleHandleW(nullptr), this);
  if (!handle_) throw Exception("Cannot create a number box");
  if (imeMode_ == TImeMode::imDisable) AssociateImeContext();
  UpdateHintWindow();
  AttachDragTarget(handle_, this);
  RememberAnchorOrigin();
}

void TNumEdit::DestroyHandle() {
  if (!handle_) return;
  if (tooltip_) DestroyWindow(std::exchange(tooltip_, nullptr));
  AttachDragTarget(handle_, nullptr);
  SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
  DestroyWindow(handle_);
  handle_ = nullptr;
}

// The border styles are fixed at creation, so a new border needs a new window.
void TNumEdit::RecreateHandle() {
  HWND parent = GetParent(handle_);
  const RECT bounds = BoundsInParent();
  const DWORD stateStyle =
      static_cast<DWORD>(GetWindowLongW(handle_, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP);
  DestroyHandle();
  CreateHandle(parent, bounds, stateStyle);
}

RECT TNumEdit::BoundsInParent() const {
  RECT bounds;
  GetWindowRect(handle_, &bounds);
  MapWindowPoints(nullptr, GetParent(handle_), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

RECT TNumEdit::ClientRect() const {
  RECT client;
  GetClientRect(handle_, &client);
  return client;
}

void TNumEdit::SetBounds(int left, int top, int width, int height) {
  MoveWindow(handle_, left, top, width, height, TRUE);
  FitHeight();
}

SIZE TNumEdit::TextExtent(const std::wstring& text) const {
  HDC dc = GetDC(handle_);
  HGDIOBJ previousFont = SelectObject(dc, font_);
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, previousFont);
  ReleaseDC(handle_, dc);
  return size;
}

int TNumEdit::TextWidth(const std::wstring& text) const { return TextExtent(text).cx; }

POINT TNumEdit::TextOrigin() const {
  const RECT client = ClientRect();
  return POINT{TextLeft(alignment_, client.right, TextWidth(valText_), margins_),
               TextTop(vertAlignment_, client.bottom, fontHeight_, margins_)};
}

bool TNumEdit::Fits(const std::wstring& raw) const {
  return FitsWidth(TextWidth(FormatText(raw)), ClientRect().right, margins_.left, margins_.right,
                   borderStyle_ == TBorderStyle::bsSingle, ctl3D_);
}

bool TNumEdit::Focused() const { return handle_ && GetFocus() == handle_; }

std::wstring TNumEdit::FormatText(const std::wstring& raw) const {
  return tavelo::FormatText(raw, format_);
}

std::wstring TNumEdit::CleanText(const std::wstring& text) const {
  return tavelo::CleanText(text, format_);
}

void TNumEdit::Refresh() { InvalidateRect(handle_, nullptr, FALSE); }

void TNumEdit::Relayout() {
  Refresh();
  PlaceEditCaret();
}

void TNumEdit::Reformat() {
  valText_ = FormatText(text_);
  Relayout();
}

void TNumEdit::SetText(const std::wstring& text) {
  if (text == text_) return;
  text_ = StripZeros(CleanText(text));
  Reformat();
}

void TNumEdit::SetIntegerLength(int digits) {
  if (digits < 0 || digits == format_.integerLength) return;
  format_.integerLength = digits;
  text_ = CleanText(text_);
  Reformat();
}

void TNumEdit::SetDecimalLength(int digits) {
  if (digits < 0 || digits == format_.decimalLength) return;
  format_.decimalLength = digits;
  text_ = CleanText(text_);
  Reformat();
}

void TNumEdit::SetMinus(bool minus) {
  format_.minus = minus;
  text_ = CleanText(text_);
  Reformat();
}

void TNumEdit::SetComma(bool comma) {
  format_.comma = comma;
  Reformat();
}

void TNumEdit::SetDecimalFixed(bool fixed) {
  format_.decimalFixed = fixed;
  Reformat();
}

void TNumEdit::SetLeftMark(std::wstring mark) {
  format_.leftMark = std::move(mark);
  Reformat();
}

void TNumEdit::SetRightMark(std::wstring mark) {
  format_.rightMark = std::move(mark);
  Reformat();
}

bool TNumEdit::StoreMargin(int& margin, int pixels) {
  if (pixels < 0 || pixels == margin) return false;
  margin = pixels;
  return true;
}

void TNumEdit::SetTopMargin(int pixels) {
  if (!StoreMargin(margins_.top, pixels)) return;
  FitHeight();
  Relayout();
}

void TNumEdit::SetBottomMargin(int pixels) {
  if (!StoreMargin(margins_.bottom, pixels)) return;
  FitHeight();
  Relayout();
}

void TNumEdit::SetLeftMargin(int pixels) {
  if (StoreMargin(margins_.left, pixels)) Relayout();
}

void TNumEdit::SetRightMargin(int pixels) {
  if (StoreMargin(margins_.right, pixels)) Relayout();
}

void TNumEdit::SetAlignment(TAlignment alignment) {
  alignment_ = alignment;
  Relayout();
}

void TNumEdit::SetVertAlignment(TVertAlignment alignment) {
  vertAlignment_ = alignment;
  Relayout();
}

void TNumEdit::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  FitHeight();
  Relayout();
}

void TNumEdit::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  RecreateHandle();
  FitHeight();
  Relayout();
}

void TNumEdit::SetCtl3D(bool ctl3D) {
  if (ctl3D == ctl3D_) return;
  ctl3D_ = ctl3D;
  if (borderStyle_ != TBorderStyle::bsSingle) return;
  RecreateHandle();
  FitHeight();
  Relayout();
}

void TNumEdit::SetColor(COLORREF color) {
  color_ = color;
  Refresh();
}

void TNumEdit::SetDisabledColor(COLORREF color) {
  disabledColor_ = color;
  Refresh();
}

void TNumEdit::SetFontColor(COLORREF color) {
  fontColor_ = color;
  Refresh();
}

void TNumEdit::SetFont(HFONT font) {
  const bool focused = Focused();
  if (focused) DestroyEditCaret();
  font_ = font;
  fontHeight_ = TextExtent(L"M").cy;
  FitHeight();
  LOGFONTW description{};
  GetObjectW(font_, sizeof description, &description);
  caretWidth_ = description.lfWeight >= FW_BOLD ? 2 : 1;
  Refresh();
  if (focused) CreateEditCaret();
}

bool TNumEdit::Enabled() const { return IsWindowEnabled(handle_); }
void TNumEdit::SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }
bool TNumEdit::Visible() const { return IsWindowVisible(handle_); }
void TNumEdit::SetVisible(bool visible) { ShowWindow(handle_, visible ? SW_SHOW : SW_HIDE); }

bool TNumEdit::TabStop() const { return (GetWindowLongW(handle_, GWL_STYLE) & WS_TABSTOP) != 0; }

void TNumEdit::SetTabStop(bool tabStop) {
  const LONG style = GetWindowLongW(handle_, GWL_STYLE);
  SetWindowLongW(handle_, GWL_STYLE, tabStop ? style | WS_TABSTOP : style & ~WS_TABSTOP);
}

int TNumEdit::TabOrder() const {
  int order = 0;
  for (HWND sibling = GetWindow(handle_, GW_HWNDFIRST); sibling && sibling != handle_;
       sibling = GetWindow(sibling, GW_HWNDNEXT))
    ++order;
  return order;
}

void TNumEdit::SetTabOrder(int order) {
  HWND insertAfter = HWND_TOP;
  for (HWND sibling = GetWindow(handle_, GW_HWNDFIRST); sibling && order > 0;
       sibling = GetWindow(sibling, GW_HWNDNEXT)) {
    if (sibling == handle_) continue;
    insertAfter = sibling;
    --order;
  }
  SetWindowPos(handle_, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TNumEdit::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == popupMenu_) popupMenu_ = nullptr;
}

void TNumEdit::SetPopupMenu(TPopupMenu* menu) {
  if (popupMenu_) {
    popupMenu_->RemoveFreeNotification(this);
    RemoveFreeNotification(popupMenu_);
  }
  popupMenu_ = menu;
  if (menu) menu->FreeNotification(this);
}

void TNumEdit::SetHint(std::wstring hint) {
  hint_ = std::move(hint);
  UpdateHintWindow();
}

void TNumEdit::SetShowHint(bool show) {
  showHint_ = show;
  UpdateHintWindow();
}

// Made afresh on every change: a tool's text lives in the tooltip window.
void TNumEdit::UpdateHintWindow() {
  if (tooltip_) DestroyWindow(std::exchange(tooltip_, nullptr));
  if (!handle_ || !showHint_ || hint_.empty()) return;
  RegisterCommonControls(ICC_BAR_CLASSES);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  if (!tooltip_) throw Exception("Cannot create a hint window");
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the common controls
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = handle_;
  tool.uId = reinterpret_cast<UINT_PTR>(handle_);
  tool.lpszText = hint_.data();
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void TNumEdit::SetImeMode(TImeMode mode) {
  const bool wasDisabled = imeMode_ == TImeMode::imDisable;
  imeMode_ = mode;
  if (wasDisabled != (mode == TImeMode::imDisable)) AssociateImeContext();
  if (Focused()) ApplyImeOpenStatus();
}

void TNumEdit::AssociateImeContext() {
  ImmAssociateContextEx(handle_, nullptr, imeMode_ == TImeMode::imDisable ? 0 : IACE_DEFAULT);
}

void TNumEdit::ApplyImeOpenStatus() {
  if (imeMode_ == TImeMode::imDisable || imeMode_ == TImeMode::imDontCare) return;
  HIMC context = ImmGetContext(handle_);
  if (!context) return;
  ImmSetOpenStatus(context, imeMode_ != TImeMode::imClose);
  DWORD conversion = 0, sentence = 0;
  if (imeMode_ > TImeMode::imDontCare && ImmGetConversionStatus(context, &conversion, &sentence))
    ImmSetConversionStatus(context, ConversionMode(imeMode_), sentence);
  ImmReleaseContext(handle_, context);
}

void TNumEdit::SetImeName(std::wstring name) {
  imeName_ = std::move(name);
  if (!Focused()) return;
  RestoreKeyboardLayout();
  SwitchToNamedIme();
}

void TNumEdit::SwitchToNamedIme() {
  if (imeName_.empty()) return;
  std::vector<HKL> layouts(static_cast<size_t>(GetKeyboardLayoutList(0, nullptr)));
  GetKeyboardLayoutList(static_cast<int>(layouts.size()), layouts.data());
  for (HKL layout : layouts) {
    wchar_t description[256] = {};
    if (ImmGetDescriptionW(layout, description, 256) > 0 && imeName_ == description) {
      layoutBeforeIme_ = GetKeyboardLayout(0);
      ActivateKeyboardLayout(layout, 0);
      return;
    }
  }
}

void TNumEdit::RestoreKeyboardLayout() {
  if (layoutBeforeIme_) ActivateKeyboardLayout(std::exchange(layoutBeforeIme_, nullptr), 0);
}

void TNumEdit::SetConstraints(TSizeConstraints constraints) {
  constraints_ = constraints;
  const RECT bounds = BoundsInParent();
  SetWindowPos(handle_, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNumEdit::ConstrainSize(WINDOWPOS& position) const {
  if (!(position.flags & SWP_NOSIZE)) constraints_.Apply(position.cx, position.cy);
}

void TNumEdit::RememberAnchorOrigin() {
  const RECT bounds = BoundsInParent();
  anchorBounds_ = {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
  RECT parent;
  GetClientRect(GetParent(handle_), &parent);
  anchorParentSize_ = {parent.right, parent.bottom};
}

// Works from the anchored bounds before any constraint, so that a parent that
// grows and shrinks back gives the box its old size again.
void TNumEdit::FollowParentSize() {
  RECT parent;
  GetClientRect(GetParent(handle_), &parent);
  if (parent.right == anchorParentSize_.cx && parent.bottom == anchorParentSize_.cy) return;
  anchorBounds_ = AnchoredBounds(anchorBounds_, anchors_, anchorParentSize_.cx,
                                 anchorParentSize_.cy, parent.right, parent.bottom);
  anchorParentSize_ = {parent.right, parent.bottom};
  followingParent_ = true;
  MoveWindow(handle_, anchorBounds_.left, anchorBounds_.top, anchorBounds_.width,
             anchorBounds_.height, TRUE);
  followingParent_ = false;
}

void TNumEdit::BeginDrag(bool immediate) {
  POINT at;
  GetCursorPos(&at);
  Drag(at, immediate);
}

bool TNumEdit::DragOnPress(LPARAM lParam) {
  POINT at = PointOf(lParam);
  ClientToScreen(handle_, &at);
  return Drag(at, false);
}

bool TNumEdit::Drag(POINT pressedAt, bool immediate) {
  if (dragging_) return false;
  const bool docking = dragKind_ == TDragKind::dkDock;
  RECT window;
  GetWindowRect(handle_, &window);
  const POINT grip{pressedAt.x - window.left, pressedAt.y - window.top};
  dragging_ = true;
  TDragOutcome outcome;
  try {
    outcome = TrackDrag(handle_, this, dragKind_, dragCursor_, pressedAt, immediate,
                        [this, docking] { Fire(docking ? OnStartDock : OnStartDrag, this); });
  } catch (...) {
    dragging_ = false;
    throw;
  }
  dragging_ = false;
  if (!outcome.started) return false;
  if (docking && outcome.dropped) Dock(outcome.targetWindow, outcome.at, grip);
  Fire(docking ? OnEndDock : OnEndDrag, this, outcome.target, outcome.at.x, outcome.at.y);
  return true;
}

// The box moves into the site, where the mouse let it go.
void TNumEdit::Dock(HWND site, POINT at, POINT grip) {
  if (GetParent(handle_) != site) SetParent(handle_, site);
  SetWindowPos(handle_, HWND_TOP, at.x - grip.x, at.y - grip.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  RememberAnchorOrigin();
}

// Without an OnDragOver handler the box takes nothing.
bool TNumEdit::DragOver(TObject* source, POINT at, TDragState state) {
  bool accept = static_cast<bool>(OnDragOver);
  Fire(OnDragOver, this, source, at.x, at.y, state, accept);
  return accept;
}

void TNumEdit::DragDrop(TObject* source, POINT at) {
  Fire(OnDragDrop, this, source, at.x, at.y);
}

void TNumEdit::SetAutoSelect(bool autoSelect) {
  autoSelect_ = autoSelect;
  Refresh();
}

void TNumEdit::CreateEditCaret() {
  CreateCaret(handle_, nullptr, caretWidth_, fontHeight_);
  PlaceEditCaret();
}

void TNumEdit::PlaceEditCaret() {
  if (!Focused()) return;
  const POINT origin = TextOrigin();
  const POINT caret{origin.x + TextWidth(CaretText(text_, format_)), origin.y};
  SetCaretPos(caret.x, caret.y);
  ShowCaret(handle_);
  if (HIMC context = ImmGetContext(handle_)) {
    COMPOSITIONFORM composition{};
    composition.dwStyle = CFS_POINT;
    composition.ptCurrentPos = caret;
    ImmSetCompositionWindow(context, &composition);
    ImmReleaseContext(handle_, context);
  }
}

void TNumEdit::DestroyEditCaret() {
  HideCaret(handle_);
  DestroyCaret();
}

void TNumEdit::FitHeight() {
  if (!autoSize_) return;
  RECT window;
  GetWindowRect(handle_, &window);
  const int frameHeight = (window.bottom - window.top) - ClientRect().bottom;
  SetWindowPos(handle_, nullptr, 0, 0, window.right - window.left,
               fontHeight_ + margins_.top + margins_.bottom + frameHeight,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TNumEdit::SelectAll() {
  selected_ = true;
  Refresh();
}

void TNumEdit::ClearSelect() {
  selected_ = false;
  Refresh();
}

void TNumEdit::Clear() {
  undoBuffer_ = text_;
  text_ = L"0";
  Reformat();
  ClearSelect();
  modified_ = false;
}

void TNumEdit::ClearSelection() {
  if (SelLength() > 0) Clear();
}

void TNumEdit::ClearUndo() {
  undoBuffer_.clear();
  canUndo_ = false;
}

void TNumEdit::CopyToClipboard() {
  if (SelLength() > 0) PutClipboardText(handle_, imageCopy_ ? valText_ : text_);
}

void TNumEdit::CutToClipboard() {
  if (SelLength() == 0) return;
  CopyToClipboard();
  Clear();
  Fire(OnChange, this);
}

void TNumEdit::PasteFromClipboard() {
  const std::optional<std::wstring> pasted = ClipboardText(handle_);
  if (!pasted) return;
  undoBuffer_ = text_;
  text_ = StripZeros(CleanText(SelLength() > 0 ? *pasted : text_ + *pasted));
  valText_ = FormatText(text_);
  ClearSelect();
  PlaceEditCaret();
  Fire(OnChange, this);
}

// Swaps with the buffer, so a second Undo redoes.
void TNumEdit::Undo() {
  if (!canUndo_) return;
  std::swap(text_, undoBuffer_);
  valText_ = FormatText(text_);
  SelectAll();
  PlaceEditCaret();
  Fire(OnChange, this);
}

void TNumEdit::AcceptEdit(std::wstring raw) {
  undoBuffer_ = std::move(text_);
  canUndo_ = true;
  text_ = std::move(raw);
  Reformat();
  modified_ = true;
  Fire(OnChange, this);
}

void TNumEdit::Refuse() const {
  if (errorBeep_) MessageBeep(0);
}

void TNumEdit::MoveFocusToNextControl() const {
  PostMessageW(GetAncestor(handle_, GA_ROOT), WM_NEXTDLGCTL, 0, FALSE);
}

void TNumEdit::TypeCharacter(wchar_t c) {
  const TTypingOptions options{readOnly_, enterFocusMove_};
  if (SelLength() > 0 && TypingClearsSelection(c, format_, options)) Clear();
  const TTypedResult result =
      TypeChar(text_, c, format_, options, [this](const std::wstring& raw) { return Fits(raw); });
  switch (result.action) {
    case TTypedAction::Accept:
      AcceptEdit(result.raw);
      break;
    case TTypedAction::Refuse:
      Refuse();
      break;
    case TTypedAction::NextControl:
      MoveFocusToNextControl();
      break;
    case TTypedAction::Ignore:
      break;
  }
}

bool TNumEdit::ExecuteKey(WPARAM virtualKey) {
  switch (CommandForKey(EditKey(virtualKey), CurrentModifiers(), {readOnly_, arrowFocusMove_})) {
    case TKeyCommand::None:
      return false;
    case TKeyCommand::SelectAll:
      SelectAll();
      break;
    case TKeyCommand::Copy:
      CopyToClipboard();
      break;
    case TKeyCommand::ClearSelection:
      ClearSelect();
      break;
    case TKeyCommand::ClearSelectionAndMoveFocus:
      ClearSelect();
      MoveFocusToNextControl();
      break;
    case TKeyCommand::Paste:
      PasteFromClipboard();
      break;
    case TKeyCommand::Cut:
      CutToClipboard();
      break;
    case TKeyCommand::DeleteLast:
      DeleteLast();
      break;
  }
  return true;
}

void TNumEdit::DeleteLast() {
  if (SelLength() > 0) {
    Clear();
  } else {
    AcceptEdit(DeleteLastChar(text_));
  }
}

void TNumEdit::Paint() {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(handle_, &paint);
  const bool enabled = Enabled();
  const bool selected = enabled && SelLength() > 0;
  const COLORREF background = selected ? GetSysColor(COLOR_HIGHLIGHT) : color_;
  const COLORREF foreground =
      !enabled ? disabledColor_ : selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : fontColor_;

  FillSolid(dc, ClientRect(), color_);
  const POINT origin = TextOrigin();
  drawRect_ = RECT{origin.x, origin.y, origin.x + TextWidth(valText_), origin.y + fontHeight_};
  FillSolid(dc, drawRect_, background);
  HGDIOBJ previousFont = SelectObject(dc, font_);
  SetTextColor(dc, foreground);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, valText_.c_str(), static_cast<int>(valText_.size()), &drawRect_,
            DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
  SelectObject(dc, previousFont);
  EndPaint(handle_, &paint);
}

void TNumEdit::FocusGained() {
  if (autoSelect_) SelectAll();
  CreateEditCaret();
  ApplyImeOpenStatus();
  SwitchToNamedIme();
  Fire(OnEnter, this);
}

void TNumEdit::FocusLost() {
  DestroyEditCaret();
  if (text_ == L"-") {
    text_ = L"0";
    valText_ = FormatText(text_);
    Refresh();
  }
  if (hideSelection_) ClearSelect();
  RestoreKeyboardLayout();
  Fire(OnExit, this);
}

void TNumEdit::MousePressed() {
  if (!dblClickFlag_) {
    const bool foregroundIsOurs =
        GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId();
    if (foregroundIsOurs) SetFocus(handle_);
    ClearSelect();
  }
  dblClickFlag_ = false;
}

void TNumEdit::MouseMoved(int x, bool leftButtonDown) {
  if (leftButtonDown && x >= drawRect_.left && x < drawRect_.right) SelectAll();
}

// The press that comes with the double-click must not undo its selection.
void TNumEdit::DoubleClicked() {
  SelectAll();
  Fire(OnDblClick, this);
  dblClickFlag_ = true;
  MousePressed();
}

bool TNumEdit::KeyMessage(UINT message, WPARAM& wParam) {
  WORD key = LOWORD(wParam);
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Fire(OnKeyDown, this, key, KeyShiftState());
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      Fire(OnKeyUp, this, key, KeyShiftState());
      break;
    case WM_CHAR: {
      wchar_t c = static_cast<wchar_t>(wParam);
      Fire(OnKeyPress, this, c);
      key = c;
      break;
    }
    default:
      return true;
  }
  wParam = key;
  return key != 0;
}

void TNumEdit::MouseMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const TShiftState shift = MouseShiftState(wParam);
  const POINT at = PointOf(lParam);
  switch (message) {
    case WM_MOUSEMOVE:
      Fire(OnMouseMove, this, shift, at.x, at.y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      Fire(OnMouseDown, this, TMouseButton::mbLeft, shift, at.x, at.y);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      Fire(OnMouseDown, this, TMouseButton::mbRight, shift, at.x, at.y);
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      Fire(OnMouseDown, this, TMouseButton::mbMiddle, shift, at.x, at.y);
      break;
    case WM_LBUTTONUP:
      Fire(OnMouseUp, this, TMouseButton::mbLeft, shift, at.x, at.y);
      break;
    case WM_RBUTTONUP:
      Fire(OnMouseUp, this, TMouseButton::mbRight, shift, at.x, at.y);
      break;
    case WM_MBUTTONUP:
      Fire(OnMouseUp, this, TMouseButton::mbMiddle, shift, at.x, at.y);
      break;
  }
}

// The keyboard's menu key sends (-1, -1): the menu then opens below the box.
void TNumEdit::ShowContextMenu(LPARAM lParam) {
  POINT at = PointOf(lParam);
  if (at.x == -1 && at.y == -1) {
    RECT window;
    GetWindowRect(handle_, &window);
    at = POINT{window.left, window.bottom};
  }
  popupMenu_->PopupComponent = this;
  popupMenu_->Popup(at.x, at.y);
}

LRESULT TNumEdit::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == ParentResizedMessage()) {
    FollowParentSize();
    return 0;
  }
  if (!KeyMessage(message, wParam)) return 0;  // a handler swallowed the key
  if (message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) MouseMessage(message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client area
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (enterFocusMove_ ? DLGC_WANTALLKEYS : 0);
    case WM_CHAR:
      TypeCharacter(static_cast<wchar_t>(wParam));
      return 0;
    case WM_IME_CHAR:
      return DefWindowProcW(handle_, message, NarrowChar(static_cast<wchar_t>(wParam)), lParam);
    case WM_KEYDOWN:
      if (ExecuteKey(wParam)) return 0;
      break;
    case WM_SETFOCUS:
      FocusGained();
      return 0;
    case WM_KILLFOCUS:
      FocusLost();
      return 0;
    case WM_LBUTTONDOWN:
      if (dragMode_ == TDragMode::dmAutomatic && DragOnPress(lParam)) return 0;
      MousePressed();
      // A press that started no drag had its release taken by the tracking.
      if (dragMode_ == TDragMode::dmAutomatic) Fire(OnClick, this);
      return 0;
    case WM_LBUTTONDBLCLK:
      DoubleClicked();
      return 0;
    case WM_LBUTTONUP:
      Fire(OnClick, this);
      return 0;
    case WM_MOUSEMOVE:
      MouseMoved(static_cast<short>(LOWORD(lParam)), (wParam & MK_LBUTTON) != 0);
      return 0;
    case WM_CONTEXTMENU:
      if (popupMenu_ && popupMenu_->AutoPopup) {
        ShowContextMenu(lParam);
        return 0;
      }
      break;
    case WM_SIZE:
      Relayout();
      return 0;
    case WM_WINDOWPOSCHANGING:
      ConstrainSize(*reinterpret_cast<WINDOWPOS*>(lParam));
      break;
    case WM_WINDOWPOSCHANGED:
      if (!followingParent_) RememberAnchorOrigin();
      break;
    case WM_ENABLE:
      Refresh();
      return 0;
    case WM_SETFONT:
      SetFont(reinterpret_cast<HFONT>(wParam));
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_NCDESTROY: {
      HWND window = std::exchange(handle_, nullptr);  // the parent took the window with it
      tooltip_ = nullptr;  // an owned window goes before its owner
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TNumEdit::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* edit = static_cast<TNumEdit*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    edit->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(edit));
  }
  auto* edit = reinterpret_cast<TNumEdit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!edit) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return edit->WndProc(message, wParam, lParam);
  } catch (...) {
    RouteException(edit);
    return 0;
  }
}

}  // namespace tavelo
