#include "framework/Timer.h"

#include "framework/Application.h"
#include "framework/Exception.h"
#include "framework/WindowClass.h"

namespace tavelo {

namespace {
constexpr wchar_t kTimerWindowClass[] = L"TTimerWindow";
constexpr UINT_PTR kTimerId = 1;
}  // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  RegisterWindowClass(kTimerWindowClass, &TTimer::WindowProc);
  // The window only receives the ticks, so it needs no place on the screen.
  window_ = CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!window_) throw Exception("Cannot create the window of a timer");
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Update();
}

TTimer::~TTimer() { DestroyWindow(window_); }  // which also kills its timer

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Update();
}

void TTimer::SetInterval(unsigned milliseconds) {
  if (milliseconds == interval_) return;
  interval_ = milliseconds;
  Update();
}

// Starts the ticks afresh, so a full interval passes before the next one.
// Setting a running timer again restarts it, so it is only killed to stop.
void TTimer::Update() {
  if (!enabled_ || interval_ == 0) {
    KillTimer(window_, kTimerId);
    return;
  }
  if (!SetTimer(window_, kTimerId, interval_, nullptr)) throw Exception("Cannot start a timer");
}

LRESULT CALLBACK TTimer::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* timer = reinterpret_cast<TTimer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message != WM_TIMER || !timer) return DefWindowProcW(window, message, wParam, lParam);
  try {
    Fire(timer->OnTimer, timer);
  } catch (...) {
    RouteException(timer);
  }
  return 0;
}

}  // namespace tavelo
