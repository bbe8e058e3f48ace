#include "framework/ComCtrls.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/CommonControls.h"
#include "framework/Form.h"

namespace tavelo {

// The comctl32 window, which hands its notifications to the up-down.
class TUpDown::TArrows : public TWinControl {
 public:
  explicit TArrows(const TUpDown& upDown)
      : TWinControl(upDown.form_, upDown.parent_, ClassName(), Style(upDown), 0, upDown.bounds_),
        upDown_(const_cast<TUpDown&>(upDown)) {}

 protected:
  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    return upDown_.HandleNotification(message, wParam, lParam, result);
  }

 private:
  // Registers the class before a window of it is created; cheap when done before.
  static const wchar_t* ClassName() {
    RegisterCommonControls(ICC_UPDOWN_CLASS);
    return UPDOWN_CLASSW;
  }
  static DWORD Style(const TUpDown& upDown) {
    return UDS_ARROWKEYS | (upDown.wrap_ ? UDS_WRAP : 0);
  }

  TUpDown& upDown_;
};

TUpDown::TUpDown(TForm* owner, HWND parent, TBounds bounds)
    : TComponent(owner), form_(owner), parent_(parent), bounds_(bounds) {}

HWND TUpDown::Handle() const {
  HandleNeeded();
  return arrows_->Handle();
}

void TUpDown::HandleNeeded() const {
  if (arrows_) return;
  arrows_ = new TArrows(*this);
  const HWND window = arrows_->Handle();
  // One step per click, however long an arrow is held.
  UDACCEL step{0, 1};
  SendMessageW(window, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
  if (buddy_) SendMessageW(window, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy_), 0);
  SendMessageW(window, UDM_SETRANGE32, min_, max_);
  SendMessageW(window, UDM_SETPOS32, 0, position_);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // Only with the form itself: what the arrows' window held goes with it.
  if (operation == TOperation::Remove && component == arrows_) arrows_ = nullptr;
}

void TUpDown::SetBuddy(HWND buddy) {
  buddy_ = buddy;
  if (arrows_) SendMessageW(arrows_->Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

void TUpDown::SetRange(int min, int max) {
  min_ = min;
  max_ = max;
  if (arrows_) SendMessageW(arrows_->Handle(), UDM_SETRANGE32, min, max);
}

int TUpDown::Position() const {
  return arrows_ ? static_cast<int>(SendMessageW(arrows_->Handle(), UDM_GETPOS32, 0, 0))
                 : position_;
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, std::min(min_, max_), std::max(min_, max_));
  if (arrows_) SendMessageW(arrows_->Handle(), UDM_SETPOS32, 0, position_);
}

void TUpDown::SetWrap(bool wrap) {
  wrap_ = wrap;
  if (!arrows_) return;
  const HWND window = arrows_->Handle();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  SetWindowLongPtrW(window, GWL_STYLE, wrap ? style | UDS_WRAP : style & ~LONG_PTR{UDS_WRAP});
}

// The control asks with UDN_DELTAPOS before it moves and reports the new
// position with a scroll message after; only the first tells the arrow.
bool TUpDown::HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_NOTIFY) {
    const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
    // The control turns the delta round when the range runs backwards.
    if (change->hdr.code == UDN_DELTAPOS)
      pressed_ = (change->iDelta > 0) == (Min() <= Max()) ? TUpDownButton::Up : TUpDownButton::Down;
    return false;  // lets it move
  }
  if ((message == WM_VSCROLL || message == WM_HSCROLL) && LOWORD(wParam) == SB_THUMBPOSITION) {
    Fire(OnClick, this, pressed_);
    result = 0;
    return true;
  }
  return false;
}

}  // namespace tavelo
