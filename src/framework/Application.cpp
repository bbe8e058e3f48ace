#include "framework/Application.h"

#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/Text.h"
#include "framework/WindowClass.h"

namespace tavelo {

TApplication* Application = nullptr;

namespace {
constexpr wchar_t kOwnerWindowClass[] = L"TApplication";
}

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
  DestroyComponents();  // the forms, last created first, while the owner window exists
  if (handle_) DestroyWindow(handle_);
  if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
  if (handle_) return;
  RegisterWindowClass(kOwnerWindowClass, &TApplication::WindowProc, LoadCursorW(nullptr, IDC_ARROW));
  // Never shown, but it must be a real top-level window: it owns the forms,
  // which keeps them off the taskbar, and it carries the title.
  handle_ = CreateWindowExW(0, kOwnerWindowClass, title_.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!handle_) throw Exception("Cannot create the application window");
}

void TApplication::SetTitle(std::wstring title) {
  title_ = std::move(title);
  if (handle_) SetWindowTextW(handle_, title_.c_str());
}

void TApplication::Run() {
  if (ShowMainForm && mainForm_) mainForm_->Show();
  while (!terminated_)
    if (!ProcessMessage() && !terminated_) WaitMessage();
}

void TApplication::Terminate() {
  if (!terminated_) PostQuitMessage(0);
}

void TApplication::ProcessMessages() {
  while (!terminated_ && ProcessMessage()) {
  }
}

// Handles one waiting message; false when none was waiting.
bool TApplication::ProcessMessage() {
  MSG message;
  if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return false;
  if (message.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  try {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::HandleException(TObject* sender) noexcept {
  // A handler that fails again must not come back here: that way lies a loop.
  if (inExceptionHandler_) return;
  inExceptionHandler_ = true;
  try {
    try {
      throw;
    } catch (const std::exception& error) {
      if (OnException)
        OnException(sender, error);
      else
        ShowException(error);
    } catch (...) {
      const Exception unknown("Unknown exception");
      if (OnException)
        OnException(sender, unknown);
      else
        ShowException(unknown);
    }
  } catch (...) {
  }
  inExceptionHandler_ = false;
}

void TApplication::ShowException(const std::exception& error) const {
  MessageBoxW(handle_, AnsiToWide(error.what()).c_str(), title_.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == mainForm_) mainForm_ = nullptr;
}

int TApplication::HookMainWindow(TWindowHook hook) {
  hooks_.emplace_back(++lastHookKey_, std::move(hook));
  return lastHookKey_;
}

void TApplication::UnhookMainWindow(int key) {
  for (auto hook = hooks_.begin(); hook != hooks_.end(); ++hook)
    if (hook->first == key) {
      hooks_.erase(hook);
      return;
    }
}

LRESULT CALLBACK TApplication::WindowProc(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) {
  if (Application && Application->handle_ == window) {
    try {
      LRESULT result = 0;
      // A copy, since a hook may add or remove hooks.
      const auto hooks = Application->hooks_;
      for (const auto& hook : hooks)
        if (hook.second(message, wParam, lParam, result)) return result;
    } catch (...) {
      RouteException(Application);
      return 0;
    }
  }
  // Closing the owner window (End task, taskkill) closes the main form, the
  // way the program itself ends; the owner window is destroyed last.
  if (message == WM_CLOSE) {
    try {
      if (Application && Application->mainForm_) Application->mainForm_->Close();
    } catch (...) {
      RouteException(Application);
    }
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RouteException(TObject* sender) noexcept {
  if (Application) Application->HandleException(sender);
}

}  // namespace tavelo
