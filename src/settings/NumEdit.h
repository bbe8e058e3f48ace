#pragma once
// TNumEdit: a single-line box for a decimal number that draws itself. It
// keeps the raw number (Text) and its display text (ValText, with thousands
// separators, fixed decimals and marks). Typing only appends to or removes
// from the end of the number; the selection is either everything or nothing.
#include <functional>
#include <string>

#include "framework/Anchors.h"
#include "framework/Component.h"
#include "framework/DragDrop.h"
#include "framework/Input.h"
#include "framework/Menus.h"
#include "framework/Win32.h"
#include "settings/NumEditText.h"

namespace tavelo {

class TNumEdit : public TComponent, private TDragTarget {
 public:
  // Kept inside the class: forms have border styles of their own.
  enum class TBorderStyle { bsNone, bsSingle };
  // The modes after imDontCare open the input method in a conversion mode.
  enum class TImeMode {
    imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata,
    imChinese, imSHanguel, imHanguel
  };
  // A handler may set the key to 0 to swallow it.
  using TKeyEvent = std::function<void(TObject* sender, WORD& key, TShiftState shift)>;
  using TKeyPressEvent = std::function<void(TObject* sender, wchar_t& key)>;

  // Creates the child window of `parent` at `bounds` (parent's client
  // coordinates); with AutoSize the height then follows the font.
  TNumEdit(TComponent* owner, HWND parent, RECT bounds);
  ~TNumEdit() override;

  HWND Handle() const { return handle_; }
  void SetBounds(int left, int top, int width, int height);

  const std::wstring& Text() const { return text_; }
  void SetText(const std::wstring& text);
  const std::wstring& ValText() const { return valText_; }

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  TVertAlignment VertAlignment() const { return vertAlignment_; }
  void SetVertAlignment(TVertAlignment alignment);
  int TopMargin() const { return margins_.top; }
  void SetTopMargin(int pixels);
  int LeftMargin() const { return margins_.left; }
  void SetLeftMargin(int pixels);
  int BottomMargin() const { return margins_.bottom; }
  void SetBottomMargin(int pixels);
  int RightMargin() const { return margins_.right; }
  void SetRightMargin(int pixels);

  bool Minus() const { return format_.minus; }
  void SetMinus(bool minus);
  int IntegerLength() const { return format_.integerLength; }
  void SetIntegerLength(int digits);
  int DecimalLength() const { return format_.decimalLength; }
  void SetDecimalLength(int digits);
  bool Comma() const { return format_.comma; }
  void SetComma(bool comma);
  bool DecimalFixed() const { return format_.decimalFixed; }
  void SetDecimalFixed(bool fixed);
  const std::wstring& LeftMark() const { return format_.leftMark; }
  void SetLeftMark(std::wstring mark);
  const std::wstring& RightMark() const { return format_.rightMark; }
  void SetRightMark(std::wstring mark);

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool ctl3D);
  COLORREF Color() const { return color_; }
  void SetColor(COLORREF color);
  COLORREF DisabledColor() const { return disabledColor_; }
  void SetDisabledColor(COLORREF color);
  COLORREF FontColor() const { return fontColor_; }
  void SetFontColor(COLORREF color);
  // The font is not owned; it must outlive the box or be replaced first.
  HFONT Font() const { return font_; }
  void SetFont(HFONT font);
  bool Enabled() const;
  void SetEnabled(bool enabled);
  bool Visible() const;
  void SetVisible(bool visible);
  bool TabStop() const;
  void SetTabStop(bool tabStop);
  // The place among the parent's child windows, which Tab follows; a place
  // beyond the last makes the box the last.
  int TabOrder() const;
  void SetTabOrder(int order);

  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool autoSelect);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  bool ErrorBeep() const { return errorBeep_; }
  void SetErrorBeep(bool errorBeep) { errorBeep_ = errorBeep; }
  bool ImageCopy() const { return imageCopy_; }
  void SetImageCopy(bool imageCopy) { imageCopy_ = imageCopy; }
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool hide) { hideSelection_ = hide; }
  bool EnterFocusMove() const { return enterFocusMove_; }
  void SetEnterFocusMove(bool move) { enterFocusMove_ = move; }
  bool ArrowFocusMove() const { return arrowFocusMove_; }
  void SetArrowFocusMove(bool move) { arrowFocusMove_ = move; }

  // Not owned; dropped when the menu is destroyed.
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  const std::wstring& Hint() const { return hint_; }
  void SetHint(std::wstring hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);
  // The tooltip window, while ShowHint is on and there is a hint; else null.
  HWND HintWindow() const { return tooltip_; }
  TImeMode ImeMode() const { return imeMode_; }
  void SetImeMode(TImeMode mode);
  // The input method, by its description, switched on while the box has the
  // focus; empty, or a name no installed input method has, keeps the user's.
  const std::wstring& ImeName() const { return imeName_; }
  void SetImeName(std::wstring name);

  // The parent's edges the box keeps its distance to when the parent is
  // resized; akLeft | akTop by default.
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
  // Bounds every later size, including the automatic height.
  const TSizeConstraints& Constraints() const { return constraints_; }
  void SetConstraints(TSizeConstraints constraints);

  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  TDragKind DragKind() const { return dragKind_; }
  void SetDragKind(TDragKind kind) { dragKind_ = kind; }
  // Shown while the box is over a place that takes it; not owned.
  HCURSOR DragCursor() const { return dragCursor_; }
  void SetDragCursor(HCURSOR cursor) { dragCursor_ = cursor; }
  // Drags the box (or docks it, with dkDock) until the left button is
  // released; without `immediate` only once the mouse moves far enough.
  void BeginDrag(bool immediate);
  bool Dragging() const { return dragging_; }

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  bool CanUndo() const { return canUndo_; }
  int SelStart() const { return 0; }
  // The selection is everything or nothing.
  int SelLength() const { return selected_ ? static_cast<int>(valText_.size()) : 0; }

  void Clear();
  void ClearSelect();
  void ClearSelection();
  void ClearUndo();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  void SelectAll();
  void Undo();

  TNotifyEvent OnChange;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  // These fire before the box's own handling of the message.
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  // As the source of a drag.
  TStartDragEvent OnStartDrag;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDock;
  TEndDragEvent OnEndDock;
  // As a target: another box is dragged over this one, or dropped on it.
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;

 protected:
  virtual void CreateEditCaret();
  virtual void PlaceEditCaret();
  virtual void DestroyEditCaret();
  virtual void FitHeight();
  virtual std::wstring FormatText(const std::wstring& raw) const;
  virtual std::wstring CleanText(const std::wstring& text) const;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  // `stateStyle` carries WS_VISIBLE, WS_DISABLED and WS_TABSTOP over.
  void CreateHandle(HWND parent, RECT bounds, DWORD stateStyle);
  void DestroyHandle();
  void RecreateHandle();
  RECT BoundsInParent() const;
  RECT ClientRect() const;
  SIZE TextExtent(const std::wstring& text) const;
  int TextWidth(const std::wstring& text) const;
  POINT TextOrigin() const;
  bool Fits(const std::wstring& raw) const;
  bool Focused() const;

  // Shows the raw number anew: display text, picture and caret.
  void Reformat();
  void Refresh();
  // Repaints and moves the caret after a change of place or size.
  void Relayout();
  // Negative and unchanged margins are ignored; answers whether it was stored.
  static bool StoreMargin(int& margin, int pixels);
  void AcceptEdit(std::wstring raw);
  void Refuse() const;
  void MoveFocusToNextControl() const;

  void TypeCharacter(wchar_t c);
  bool ExecuteKey(WPARAM virtualKey);
  void DeleteLast();
  void Paint();
  void FocusGained();
  void FocusLost();
  void MousePressed();
  void MouseMoved(int x, bool leftButtonDown);
  void DoubleClicked();
  void UpdateHintWindow();
  // Attaches or detaches the input context; imDisable detaches it.
  void AssociateImeContext();
  void ApplyImeOpenStatus();
  // Answers whether the message is left to the box's own handling.
  bool KeyMessage(UINT message, WPARAM& wParam);
  void MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void ShowContextMenu(LPARAM lParam);
  void SwitchToNamedIme();
  void RestoreKeyboardLayout();
  // Remembers the bounds and the parent's size that the anchors start from.
  void RememberAnchorOrigin();
  void FollowParentSize();
  void ConstrainSize(WINDOWPOS& position) const;
  // Answers whether the press started a drag.
  bool DragOnPress(LPARAM lParam);
  // Answers whether a drag started.
  bool Drag(POINT pressedAt, bool immediate);
  // `grip`: where the mouse holds the box, from its top left corner.
  void Dock(HWND site, POINT at, POINT grip);

  TObject* DragTargetObject() override { return this; }
  bool DragOver(TObject* source, POINT at, TDragState state) override;
  void DragDrop(TObject* source, POINT at) override;

  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  TNumFormat format_;
  TMargins margins_;
  TAlignment alignment_ = TAlignment::taRightJustify;
  TVertAlignment vertAlignment_ = TVertAlignment::taVCenter;
  std::wstring valText_;
  bool errorBeep_ = true;
  COLORREF color_;
  COLORREF disabledColor_;
  COLORREF fontColor_;
  HFONT font_ = nullptr;
  bool ctl3D_ = true;
  bool imageCopy_ = false;
  bool enterFocusMove_ = false;
  bool arrowFocusMove_ = false;
  bool autoSelect_ = true;
  bool autoSize_ = true;
  TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
  bool readOnly_ = false;
  std::wstring text_ = L"0";
  bool modified_ = false;
  bool selected_ = false;
  bool hideSelection_ = true;
  int fontHeight_ = 0;
  std::wstring undoBuffer_;
  bool canUndo_ = false;
  int caretWidth_ = 1;
  bool dblClickFlag_ = false;
  RECT drawRect_{};
  TPopupMenu* popupMenu_ = nullptr;
  std::wstring hint_;
  bool showHint_ = false;
  HWND tooltip_ = nullptr;
  TImeMode imeMode_ = TImeMode::imDontCare;
  std::wstring imeName_;
  HKL layoutBeforeIme_ = nullptr;
  TAnchors anchors_ = akLeft | akTop;
  TBounds anchorBounds_;
  SIZE anchorParentSize_{};
  bool followingParent_ = false;
  TSizeConstraints constraints_;
  TDragMode dragMode_ = TDragMode::dmManual;
  TDragKind dragKind_ = TDragKind::dkDrag;
  HCURSOR dragCursor_;
  bool dragging_ = false;
};

}  // namespace tavelo
