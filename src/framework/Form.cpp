#include "framework/Form.h"

#include "framework/Application.h"
#include "framework/Exception.h"

namespace tavelo {

namespace {
// Posted to a form by Release; the form is deleted when it arrives.
const UINT kReleaseMessage = WM_APP + 0x3F00;
}  // namespace

TForm::TForm(TComponent* owner, std::wstring windowClass)
    : TComponent(owner), windowClass_(std::move(windowClass)) {
  // The window comes first, so that the form's components can attach to it.
  RegisterWindowClass();
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
}

void TForm::RegisterWindowClass() const {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, windowClass_.c_str(), &existing)) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &TForm::WindowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = windowClass_.c_str();
  RegisterClassExW(&windowClass);
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

void TForm::Show() {
  if (Visible()) return;
  ShowWindow(handle_, SW_SHOWNORMAL);
  Fire(OnShow, this);
}

void TForm::Hide() {
  if (Visible()) ShowWindow(handle_, SW_HIDE);
}

bool TForm::Visible() const { return handle_ && IsWindowVisible(handle_); }

void TForm::Close() {
  bool canClose = true;
  Fire(OnCloseQuery, this, canClose);
  if (!canClose) return;
  Hide();
  if (Application && Application->MainForm() == this) Application->Terminate();
}

void TForm::Release() {
  if (handle_) PostMessageW(handle_, kReleaseMessage, 0, 0);
}

LRESULT TForm::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) {
    Close();
    return 0;
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
    return form->WndProc(message, wParam, lParam);
  } catch (...) {
    RouteException(form);
    return 0;
  }
}

}  // namespace tavelo
