#include "framework/Form.h"

#include <vector>

#include "framework/Application.h"
#include "framework/Controls.h"
#include "framework/DeferredHandle.h"
#include "framework/Exception.h"
#include "framework/StdCtrls.h"
#include "framework/WindowClass.h"

namespace tavelo {

namespace {
// Posted to a form by Release; the form is deleted when it arrives.
const UINT kReleaseMessage = WM_APP + 0x3F00;

struct TWindowSearch {
  HWND modal;
  HWND owner;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOtherWindow(HWND window, LPARAM data) {
  auto& search = *reinterpret_cast<TWindowSearch*>(data);
  try {
    if (window != search.modal && IsWindowEnabled(window) &&
        (IsWindowVisible(window) || window == search.owner))
      search.found.push_back(window);
    return TRUE;
  } catch (...) {
    RouteException(nullptr);
    return FALSE;
  }
}

// Disables the windows of this thread that could take input besides the
// modal form, and its owner, as the system's own dialogs do; answers them.
std::vector<HWND> DisableOtherWindows(HWND modal) {
  TWindowSearch search{modal, GetWindow(modal, GW_OWNER), {}};
  EnumThreadWindows(GetCurrentThreadId(), &CollectOtherWindow, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) EnableWindow(window, FALSE);
  return search.found;
}

// Parents come before their children, so nested controls follow a parent
// that has already moved.
BOOL CALLBACK TellParentResized(HWND window, LPARAM) {
  SendMessageW(window, ParentResizedMessage(), 0, 0);
  return TRUE;
}
}  // namespace

UINT ParentResizedMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tavelo.ParentResized");
  return message;
}

TForm::TForm(TComponent* owner, std::wstring windowClass)
    : TComponent(owner), windowClass_(std::move(windowClass)) {
  MessageHandler = [this](TMessage& message) {
    message.Result = WndProc(message.Msg, message.WParam, message.LParam);
  };
  // The window comes first, so that the form's components can attach to it.
  RegisterWindowClass(windowClass_.c_str(), &TForm::WindowProc, LoadCursorW(nullptr, IDC_ARROW),
                      reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  HWND ownerWindow = Application ? Application->Handle() : nullptr;
  handle_ = CreateWindowExW(0, windowClass_.c_str(), caption_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, bounds_.left,
                            bounds_.top, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top,
                            ownerWindow, nullptr, GetModuleHandleW(nullptr), this);
  if (!handle_) throw Exception("Cannot create a window");
}

TForm::~TForm() {
  destroying_ = true;
  try {
    Fire(OnDestroy, this);
  } catch (...) {
    RouteException(this);
  }
  DestroyComponents();
  if (handle_) {
    SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
    DestroyWindow(handle_);
  }
  if (font_) DeleteObject(font_);
}

void TForm::AfterConstruction() {
  try {
    Fire(OnCreate, this);
  } catch (...) {
    RouteException(this);
  }
}

void TForm::SetCaption(std::wstring caption) {
  caption_ = std::move(caption);
  if (handle_) SetWindowTextW(handle_, caption_.c_str());
}

void TForm::SetBounds(int left, int top, int width, int height) {
  bounds_ = RECT{left, top, left + width, top + height};
  if (handle_) MoveWindow(handle_, left, top, width, height, TRUE);
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
  const int width = ClientWidth();
  const int height = ClientHeight();
  const LONG_PTR exStyle = GetWindowLongPtrW(handle_, GWL_EXSTYLE);
  SetWindowLongPtrW(handle_, GWL_EXSTYLE,
                    style == TFormBorderStyle::Dialog ? exStyle | WS_EX_DLGMODALFRAME
                                                  : exStyle & ~LONG_PTR{WS_EX_DLGMODALFRAME});
  SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  SetClientSize(width, height);
}

void TForm::SetClientSize(int width, int height) {
  RECT frame{0, 0, width, height};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_EXSTYLE)));
  RECT window{};
  GetWindowRect(handle_, &window);
  SetBounds(window.left, window.top, frame.right - frame.left, frame.bottom - frame.top);
}

int TForm::ClientWidth() const {
  RECT client{};
  GetClientRect(handle_, &client);
  return client.right;
}

int TForm::ClientHeight() const {
  RECT client{};
  GetClientRect(handle_, &client);
  return client.bottom;
}

void TForm::RecreateWindow() {
  RECT bounds{};
  GetWindowRect(handle_, &bounds);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE));
  // Layering and drop acceptance are settings of the old window, which
  // whoever made them renews; a layered window without them would not show.
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_EXSTYLE)) &
                       ~DWORD{WS_EX_LAYERED | WS_EX_ACCEPTFILES};
  HWND owner = GetWindow(handle_, GW_OWNER);
  // The children wait in a hidden window while the form has none.
  HWND parking = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  if (!parking) throw Exception("Cannot create a window");
  std::vector<HWND> children;
  for (HWND child = GetWindow(handle_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    children.push_back(child);
  for (HWND child : children) SetParent(child, parking);
  DestroyWindow(handle_);
  handle_ = nullptr;
  CreateWindowExW(exStyle, windowClass_.c_str(), caption_.c_str(), style & ~WS_VISIBLE,
                  bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                  owner, nullptr, GetModuleHandleW(nullptr), this);  // sets handle_
  if (!handle_) throw Exception("Cannot create a window");  // the children stay parked, whole
  for (HWND child : children) SetParent(child, handle_);
  DestroyWindow(parking);
  if (style & WS_VISIBLE) ShowWindow(handle_, SW_SHOWNA);
}

void TForm::CenterOn(HWND window) {
  RECT area{};
  if (!window || !GetWindowRect(window, &area)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  RECT own{};
  GetWindowRect(handle_, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  SetBounds(area.left + (area.right - area.left - width) / 2,
            area.top + (area.bottom - area.top - height) / 2, width, height);
}

void TForm::SetFont(const std::wstring& face, int pixelHeight, BYTE charset) {
  LOGFONTW description{};
  description.lfHeight = -pixelHeight;  // negative: the characters, without the leading
  description.lfCharSet = charset;
  face.copy(description.lfFaceName, LF_FACESIZE - 1);
  HFONT font = CreateFontIndirectW(&description);
  if (!font) throw Exception("Cannot create a font");
  for (TComponent* component : Components())
    if (auto* control = dynamic_cast<TWinControl*>(component)) control->SetFont(font);
  if (font_) DeleteObject(font_);  // no control uses it any more
  font_ = font;
}

HFONT TForm::Font() const {
  return font_ ? font_ : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TForm::Show() {
  if (Visible()) return;
  // A copy: each window made adds a component of its own.
  const std::vector<TComponent*> components = Components();
  for (TComponent* component : components)
    if (auto* control = dynamic_cast<const TDeferredHandle*>(component)) control->HandleNeeded();
  ShowWindow(handle_, SW_SHOWNORMAL);
  Fire(OnShow, this);
}

void TForm::Hide() {
  if (Visible()) ShowWindow(handle_, SW_HIDE);
}

bool TForm::Visible() const { return handle_ && IsWindowVisible(handle_); }

void TForm::Close() {
  if (modal_) {
    if (modalResult_ == mrNone) modalResult_ = mrCancel;  // the modal loop asks OnCloseQuery
    return;
  }
  bool canClose = true;
  Fire(OnCloseQuery, this, canClose);
  if (!canClose) return;
  Hide();
  if (Application && Application->MainForm() == this) Application->Terminate();
}

void TForm::Release() {
  if (handle_) PostMessageW(handle_, kReleaseMessage, 0, 0);
}

int TForm::ShowModal() {
  if (Visible()) throw Exception("A visible form cannot be shown modally");
  modalResult_ = mrNone;
  const std::vector<HWND> disabled = DisableOtherWindows(handle_);
  modal_ = true;
  const auto endModal = [this, &disabled] {
    // The others come first, so that one of them is activated again.
    for (HWND window : disabled) EnableWindow(window, TRUE);
    Hide();
    modal_ = false;
  };
  try {
    Show();
    RunModalLoop();
  } catch (...) {
    endModal();
    throw;
  }
  endModal();
  return modalResult_;
}

void TForm::RunModalLoop() {
  for (;;) {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));  // for the application's loop
      modalResult_ = mrCancel;
      return;
    }
    DispatchModalMessage(message);
    if (modalResult_ != mrNone && ModalCloseAllowed()) return;
  }
}

void TForm::DispatchModalMessage(MSG& message) {
  try {
    // The dialog manager: Tab, arrow keys and access keys.
    if (ClickButtonForKey(message) || IsDialogMessageW(handle_, &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  } catch (...) {
    RouteException(this);
  }
}

// Enter clicks a focused button, else the default button; Esc clicks the
// cancel button. A control that wants the key for itself keeps it.
bool TForm::ClickButtonForKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || !Contains(message.hwnd)) return false;
  TButton* button = nullptr;
  if (message.wParam == VK_RETURN) {
    auto* focused = dynamic_cast<TButton*>(TWinControl::FromHandle(message.hwnd));
    button = focused ? focused : defaultButton_;
  } else if (message.wParam == VK_ESCAPE) {
    button = cancelButton_;
  }
  if (!button) return false;
  const LRESULT wanted = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                      reinterpret_cast<LPARAM>(&message));
  if (wanted & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
  button->Click();
  return true;
}

// Asks OnCloseQuery; a refusal, or an exception, keeps the modal form open.
bool TForm::ModalCloseAllowed() {
  bool canClose = true;
  try {
    Fire(OnCloseQuery, this, canClose);
  } catch (...) {
    RouteException(this);
    canClose = false;
  }
  if (!canClose) modalResult_ = mrNone;
  return canClose;
}

void TForm::SetDefaultButton(TButton* button) {
  // The default button wears the thick frame.
  if (defaultButton_) SendMessageW(defaultButton_->Handle(), BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
  defaultButton_ = button;
  if (button) SendMessageW(button->Handle(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

TWinControl* TForm::ActiveControl() const {
  HWND focus = GetFocus();
  return TWinControl::FromHandle(focus && IsChild(handle_, focus) ? focus : focus_);
}

void TForm::SetActiveControl(TWinControl* control) {
  focus_ = control ? control->Handle() : nullptr;
  if (focus_ && GetActiveWindow() == handle_) ::SetFocus(focus_);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == defaultButton_) defaultButton_ = nullptr;
  if (component == cancelButton_) cancelButton_ = nullptr;
}

bool TForm::Contains(HWND window) const {
  return window && (window == handle_ || IsChild(handle_, window));
}

// WM_NEXTDLGCTL, which the dialog manager sends for Tab and access keys: with
// lParam set, wParam is the window to focus; else it picks the previous
// (non-zero) or the next tab stop.
void TForm::MoveFocus(WPARAM wParam, LPARAM lParam) {
  HWND focus = GetFocus();
  HWND target = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                               : GetNextDlgTabItem(handle_, focus != handle_ ? focus : nullptr,
                                                   wParam != 0);
  if (target && Contains(target)) ::SetFocus(target);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (TWinControl::Reflect(message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_CLOSE:
      Close();
      return 0;
    case WM_ACTIVATE:
      // The focused control gets the focus back when the form is next activated.
      if (LOWORD(wParam) == WA_INACTIVE && GetFocus() != handle_ && Contains(GetFocus()))
        focus_ = GetFocus();
      break;
    case WM_SETFOCUS: {
      HWND target = IsWindow(focus_) && IsChild(handle_, focus_)
                        ? focus_
                        : GetNextDlgTabItem(handle_, nullptr, FALSE);
      if (target && target != handle_) ::SetFocus(target);
      return 0;
    }
    case WM_NEXTDLGCTL:
      MoveFocus(wParam, lParam);
      return 0;
    case WM_SIZE:
      EnumChildWindows(handle_, &TellParentResized, 0);
      return 0;
    case DM_GETDEFID:
      if (defaultButton_)
        return MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
      break;
  }
  return DefWindowProcW(handle_, message, wParam, lParam);
}

LRESULT CALLBACK TForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* form = static_cast<TForm*>(create->lpCreateParams);
    form->handle_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!form || form->destroying_) return DefWindowProcW(window, message, wParam, lParam);
  if (message == kReleaseMessage) {
    delete form;
    return 0;
  }
  try {
    TMessage routed{message, wParam, lParam, 0};
    form->MessageHandler(routed);
    return routed.Result;
  } catch (...) {
    RouteException(form);
    return 0;
  }
}

}  // namespace tavelo
