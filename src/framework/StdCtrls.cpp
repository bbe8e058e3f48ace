#include "framework/StdCtrls.h"

#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/WindowSubclass.h"

namespace tavelo {

// --- TGroupBox ---

TGroupBox::TGroupBox(TForm* owner, HWND parent, TBounds bounds)
    : TWinControl(owner, parent, L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                  bounds) {
  AttachSubclass(Handle(), &TGroupBox::ForwardingProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

TGroupBox::~TGroupBox() { DetachSubclass(Handle(), &TGroupBox::ForwardingProc, 0); }

LRESULT TGroupBox::ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  auto* groupBox = reinterpret_cast<TGroupBox*>(data);
  try {
    switch (message) {
      case WM_COMMAND:
      case WM_NOTIFY:
      case WM_HSCROLL:
      case WM_VSCROLL:
        return SendMessageW(groupBox->Form()->Handle(), message, wParam, lParam);
      case WM_ERASEBKGND: {
        // A group box paints only its frame, and the form clips its children.
        RECT client{};
        GetClientRect(window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
      }
      default:
        return CallNextSubclass(window, message, wParam, lParam);
    }
  } catch (...) {
    RouteException(groupBox);
    return 0;
  }
}

// --- TLabel ---

TLabel::TLabel(TForm* owner, HWND parent, int left, int top)
    : TWinControl(owner, parent, L"STATIC", SS_LEFT, 0, TBounds{left, top, 0, 0}) {}

void TLabel::SetCaption(const std::wstring& caption) {
  SetText(caption);
  AutoSize();
}

void TLabel::SetFocusControl(const TWinControl& control) {
  HWND previous = GetWindow(control.Handle(), GW_HWNDPREV);
  if (previous == Handle()) return;
  SetWindowPos(Handle(), previous ? previous : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TLabel::SetFont(HFONT font) {
  TWinControl::SetFont(font);
  AutoSize();
}

void TLabel::AutoSize() {
  const std::wstring caption = Caption();
  HDC dc = GetDC(Handle());
  HGDIOBJ previousFont =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(Handle(), WM_GETFONT, 0, 0)));
  RECT extent{};
  DrawTextW(dc, caption.c_str(), -1, &extent, DT_CALCRECT | DT_SINGLELINE);  // "&" takes no room
  SelectObject(dc, previousFont);
  ReleaseDC(Handle(), dc);
  SetWindowPos(Handle(), nullptr, 0, 0, extent.right, extent.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- TListBox ---

TListBox::TListBox(TForm* owner, HWND parent, TBounds bounds)
    : TWinControl(owner, parent, L"LISTBOX",
                  WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                  WS_EX_CLIENTEDGE, bounds) {}

int TListBox::Count() const {
  return static_cast<int>(SendMessageW(Handle(), LB_GETCOUNT, 0, 0));
}

std::wstring TListBox::Item(int index) const {
  const LRESULT length = SendMessageW(Handle(), LB_GETTEXTLEN, index, 0);
  if (length == LB_ERR) return {};
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  SendMessageW(Handle(), LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

int TListBox::Add(const std::wstring& item) {
  return static_cast<int>(
      SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str())));
}

void TListBox::Delete(int index) { SendMessageW(Handle(), LB_DELETESTRING, index, 0); }

void TListBox::Clear() { SendMessageW(Handle(), LB_RESETCONTENT, 0, 0); }

int TListBox::IndexOfExact(const std::wstring& text) const {
  // -1 starts the search at the first item.
  return static_cast<int>(SendMessageW(Handle(), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(text.c_str())));
}

int TListBox::ItemIndex() const {
  return static_cast<int>(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void TListBox::SetItemIndex(int index) { SendMessageW(Handle(), LB_SETCURSEL, index, 0); }

int TListBox::ItemHeight() const {
  return static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
}

void TListBox::SetItemHeight(int height) {
  itemHeight_ = height;
  SendMessageW(Handle(), LB_SETITEMHEIGHT, 0, MAKELPARAM(height, 0));
}

void TListBox::SetFont(HFONT font) {
  TWinControl::SetFont(font);
  if (itemHeight_ > 0) SetItemHeight(itemHeight_);
}

bool TListBox::HandleNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != LBN_SELCHANGE) return false;
  Fire(OnClick, this);
  result = 0;
  return true;
}

// --- TButton ---

TButton::TButton(TForm* owner, HWND parent, TBounds bounds)
    : TWinControl(owner, parent, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON, 0, bounds) {}

bool TButton::Default() const { return Form()->DefaultButton() == this; }

void TButton::SetDefault(bool isDefault) {
  if (isDefault)
    Form()->SetDefaultButton(this);
  else if (Default())
    Form()->SetDefaultButton(nullptr);
}

bool TButton::Cancel() const { return Form()->CancelButton() == this; }

void TButton::SetCancel(bool isCancel) {
  if (isCancel)
    Form()->SetCancelButton(this);
  else if (Cancel())
    Form()->SetCancelButton(nullptr);
}

void TButton::Click() {
  if (Enabled()) Fire(OnClick, this);
}

bool TButton::HandleNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  Click();
  result = 0;
  return true;
}

}  // namespace tavelo
