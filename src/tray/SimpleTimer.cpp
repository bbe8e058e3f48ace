#include "tray/SimpleTimer.h"

#include "framework/Application.h"
#include "framework/WindowClass.h"

namespace tavelo {

// The shared window, alive while any timer lives.
struct TSimpleTimerHandler {
  void AddTimer();
  void RemoveTimer();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  unsigned RefCount = 0;
  unsigned ActiveCount = 0;
  HWND FWindowHandle = nullptr;
};

namespace {
TSimpleTimerHandler handler;
constexpr wchar_t kWindowClass[] = L"TSimpleTimerWindow";
}  // namespace

void TSimpleTimerHandler::AddTimer() {
  if (RefCount++ > 0) return;
  RegisterWindowClass(kWindowClass, &TSimpleTimerHandler::WindowProc);
  FWindowHandle = CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, HWND_MESSAGE,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
}

void TSimpleTimerHandler::RemoveTimer() {
  if (--RefCount > 0) return;
  DestroyWindow(FWindowHandle);
  FWindowHandle = nullptr;
  ActiveCount = 0;
}

LRESULT CALLBACK TSimpleTimerHandler::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  if (message != WM_TIMER) return DefWindowProcW(window, message, wParam, lParam);
  auto* timer = reinterpret_cast<TSimpleTimer*>(wParam);  // a timer's id is the timer itself
  try {
    timer->Tick();
  } catch (...) {
    RouteException(timer);
  }
  return 0;
}

TSimpleTimer::TSimpleTimer() : FId(reinterpret_cast<UINT_PTR>(this)) { handler.AddTimer(); }

TSimpleTimer::TSimpleTimer(unsigned interval, TNotifyEvent onTimer) : TSimpleTimer() {
  FInterval = interval;
  FOnTimer = std::move(onTimer);
}

TSimpleTimer::~TSimpleTimer() {
  if (FEnabled) Stop(true);
  handler.RemoveTimer();
}

unsigned TSimpleTimer::ActiveCount() { return handler.ActiveCount; }

bool TSimpleTimer::Start() {
  if (FInterval == 0) return false;
  if (FEnabled) Stop(true);
  if (!SetTimer(handler.FWindowHandle, FId, FInterval, nullptr)) return false;
  FEnabled = true;
  ++handler.ActiveCount;
  return true;
}

bool TSimpleTimer::Stop(bool clear) {
  if (clear) FEnabled = false;
  if (!KillTimer(handler.FWindowHandle, FId)) return false;
  if (handler.ActiveCount > 0) --handler.ActiveCount;
  return true;
}

void TSimpleTimer::SetEnabled(bool enabled) {
  if (enabled)
    Start();
  else
    Stop(true);
}

void TSimpleTimer::SetInterval(unsigned interval) {
  if (interval == FInterval) return;
  FInterval = interval;
  if (!FEnabled) return;
  if (interval > 0)
    Start();
  else
    Stop(false);  // stays enabled, so that a later interval starts it again
}

void TSimpleTimer::SetOnTimer(TNotifyEvent onTimer) {
  FOnTimer = std::move(onTimer);
  if (!FOnTimer && FEnabled) Stop(false);
}

void TSimpleTimer::Tick() {
  if (AutoDisable) Stop(true);
  Fire(FOnTimer, this);
}

}  // namespace tavelo
