#include "framework/Controls.h"

#include <vector>

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/WindowSubclass.h"

namespace tavelo {

namespace {
constexpr wchar_t kControlProperty[] = L"Tavelo.Control";

// Identifiers of child windows. The small ones stay free for the commands
// that the dialog manager sends to the form itself (IDOK, IDCANCEL).
int NextControlId() {
  static int last = 99;
  last = last < 0xFFFF ? last + 1 : 100;
  return last;
}
}  // namespace

TWinControl::TWinControl(TForm* owner, HWND parent, const wchar_t* windowClass, DWORD style,
                         DWORD exStyle, TBounds bounds)
    : TComponent(owner), form_(owner) {
  handle_ = CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | WS_VISIBLE | style, bounds.left,
                            bounds.top, bounds.width, bounds.height, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlId())),
                            GetModuleHandleW(nullptr), nullptr);
  if (!handle_) throw Exception("Cannot create a control");
  SetPropW(handle_, kControlProperty, this);
  // The system's class handles what MessageHandler passes on.
  MessageHandler = [this](TMessage& message) {
    message.Result = CallNextSubclass(handle_, message.Msg, message.WParam, message.LParam);
  };
  AttachSubclass(handle_, &TWinControl::SubclassProc, 0, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(owner->Font()), FALSE);
}

TWinControl::~TWinControl() {
  // The window is gone already when its parent control was destroyed first.
  if (!IsWindow(handle_)) return;
  RemovePropW(handle_, kControlProperty);
  DestroyWindow(handle_);  // its last messages still pass through MessageHandler
}

void TWinControl::SetFont(HFONT font) {
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

TWinControl* TWinControl::FromHandle(HWND window) {
  return window ? static_cast<TWinControl*>(GetPropW(window, kControlProperty)) : nullptr;
}

bool TWinControl::Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND sender = nullptr;
  if (message == WM_COMMAND || message == WM_HSCROLL || message == WM_VSCROLL)
    sender = reinterpret_cast<HWND>(lParam);
  else if (message == WM_NOTIFY)
    sender = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
  TWinControl* control = FromHandle(sender);
  return control && control->HandleNotification(message, wParam, lParam, result);
}

std::wstring TWinControl::Text() const {
  std::vector<wchar_t> text(static_cast<size_t>(GetWindowTextLengthW(handle_)) + 1);
  GetWindowTextW(handle_, text.data(), static_cast<int>(text.size()));
  return text.data();
}

LRESULT TWinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) {
  auto* control = reinterpret_cast<TWinControl*>(data);
  try {
    TMessage routed{message, wParam, lParam, 0};
    control->MessageHandler(routed);
    if (message == WM_NCDESTROY) DetachSubclass(window, &TWinControl::SubclassProc, 0);
    return routed.Result;
  } catch (...) {
    RouteException(control);
    return 0;
  }
}

bool TWinControl::HandleNotification(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

}  // namespace tavelo
