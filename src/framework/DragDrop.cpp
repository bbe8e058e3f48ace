#include "framework/DragDrop.h"

#include <cstdlib>

namespace tavelo {

namespace {
constexpr wchar_t kDragTargetProperty[] = L"Tavelo.DragTarget";
constexpr wchar_t kDockSiteProperty[] = L"Tavelo.DockSite";

POINT ScreenPoint(HWND window, LPARAM lParam) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ClientToScreen(window, &at);
  return at;
}

POINT ClientPoint(HWND window, POINT screen) {
  ScreenToClient(window, &screen);
  return screen;
}

// The innermost window under the point, or one of its parents, that carries
// the property.
HWND WindowWithProperty(POINT screen, const wchar_t* property) {
  for (HWND window = WindowFromPoint(screen); window; window = GetParent(window))
    if (GetPropW(window, property)) return window;
  return nullptr;
}

class TDragTracker {
 public:
  TDragTracker(HWND sourceWindow, TObject* source, TDragKind kind, HCURSOR cursor)
      : sourceWindow_(sourceWindow), source_(source), kind_(kind), cursor_(cursor) {}

  void Start(POINT screen) {
    outcome_.started = true;
    Move(screen);
  }

  void Move(POINT screen) {
    if (kind_ == TDragKind::dkDock) {
      over_ = WindowWithProperty(screen, kDockSiteProperty);
      accepted_ = over_ != nullptr;
    } else {
      HWND window = WindowWithProperty(screen, kDragTargetProperty);
      if (window != over_) Leave(screen);
      const TDragState state = window == over_ ? TDragState::dsDragMove : TDragState::dsDragEnter;
      over_ = window;
      accepted_ = over_ && Target(over_)->DragOver(source_, ClientPoint(over_, screen), state);
    }
    SetCursor(accepted_ ? cursor_ : LoadCursorW(nullptr, IDC_NO));
  }

  void Drop(POINT screen) {
    if (!outcome_.started) return;
    Move(screen);
    if (!accepted_) return Leave(screen);
    outcome_.dropped = true;
    outcome_.targetWindow = over_;
    outcome_.at = ClientPoint(over_, screen);
    if (kind_ == TDragKind::dkDock) {
      outcome_.target = static_cast<TObject*>(GetPropW(over_, kDockSiteProperty));
    } else {
      TDragTarget* target = Target(over_);
      outcome_.target = target->DragTargetObject();
      target->DragDrop(source_, outcome_.at);
    }
  }

  void Cancel(POINT screen) { Leave(screen); }

  const TDragOutcome& Outcome() const { return outcome_; }
  HWND SourceWindow() const { return sourceWindow_; }

 private:
  static TDragTarget* Target(HWND window) {
    return static_cast<TDragTarget*>(GetPropW(window, kDragTargetProperty));
  }

  void Leave(POINT screen) {
    if (kind_ == TDragKind::dkDrag && over_ && Target(over_))
      Target(over_)->DragOver(source_, ClientPoint(over_, screen), TDragState::dsDragLeave);
    over_ = nullptr;
    accepted_ = false;
  }

  HWND sourceWindow_;
  TObject* source_;
  TDragKind kind_;
  HCURSOR cursor_;
  HWND over_ = nullptr;
  bool accepted_ = false;
  TDragOutcome outcome_;
};

// Releases the capture however the tracking ends, an exception included.
class TCaptureScope {
 public:
  explicit TCaptureScope(HWND window) : window_(window) { SetCapture(window); }
  ~TCaptureScope() {
    if (GetCapture() == window_) ReleaseCapture();
  }
  TCaptureScope(const TCaptureScope&) = delete;
  TCaptureScope& operator=(const TCaptureScope&) = delete;

 private:
  HWND window_;
};

bool BeyondDragDistance(POINT from, POINT to) {
  return std::abs(to.x - from.x) > GetSystemMetrics(SM_CXDRAG) ||
         std::abs(to.y - from.y) > GetSystemMetrics(SM_CYDRAG);
}
}  // namespace

void AttachDragTarget(HWND window, TDragTarget* target) {
  if (target)
    SetPropW(window, kDragTargetProperty, target);
  else
    RemovePropW(window, kDragTargetProperty);
}

void SetDockSite(HWND window, TObject* site) {
  if (site)
    SetPropW(window, kDockSiteProperty, site);
  else
    RemovePropW(window, kDockSiteProperty);
}

TDragOutcome TrackDrag(HWND sourceWindow, TObject* source, TDragKind kind, HCURSOR dragCursor,
                       POINT pressedAt, bool immediate, const std::function<void()>& onStart) {
  TDragTracker tracker(sourceWindow, source, kind, dragCursor);
  POINT lastAt = pressedAt;
  if (immediate) {
    if (onStart) onStart();
    tracker.Start(pressedAt);
  }
  TCaptureScope capture(sourceWindow);
  MSG message;
  bool tracking = true;
  while (tracking && GetCapture() == sourceWindow) {
    if (GetMessageW(&message, nullptr, 0, 0) <= 0) {
      PostQuitMessage(static_cast<int>(message.wParam));  // the application's loop must see it
      break;
    }
    const bool fromSource = message.hwnd == sourceWindow;
    if (fromSource && message.message == WM_MOUSEMOVE) {
      const POINT at = lastAt = ScreenPoint(sourceWindow, message.lParam);
      if (tracker.Outcome().started) {
        tracker.Move(at);
      } else if (BeyondDragDistance(pressedAt, at)) {
        if (onStart) onStart();
        tracker.Start(at);
      }
    } else if (fromSource && message.message == WM_LBUTTONUP) {
      tracker.Drop(ScreenPoint(sourceWindow, message.lParam));
      tracking = false;
    } else if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
      tracker.Cancel(lastAt);
      tracking = false;
    } else {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return tracker.Outcome();
}

}  // namespace tavelo
