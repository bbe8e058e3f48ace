#include "framework/ComCtrls.h"

#include <commctrl.h>

#include "framework/Form.h"

namespace tavelo {

namespace {
// Registers the class before a window of it is created; cheap when done before.
const wchar_t* UpDownClass() {
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS};
  InitCommonControlsEx(&classes);
  return UPDOWN_CLASSW;
}
}  // namespace

TUpDown::TUpDown(TForm* owner, HWND parent, TBounds bounds)
    : TWinControl(owner, parent, UpDownClass(), UDS_ARROWKEYS, 0, bounds) {
  // One step per click, however long an arrow is held.
  UDACCEL step{0, 1};
  SendMessageW(Handle(), UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
}

void TUpDown::SetBuddy(HWND buddy) {
  SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
}

int TUpDown::Min() const {
  int min = 0;
  SendMessageW(Handle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min), 0);
  return min;
}

int TUpDown::Max() const {
  int max = 0;
  SendMessageW(Handle(), UDM_GETRANGE32, 0, reinterpret_cast<LPARAM>(&max));
  return max;
}

void TUpDown::SetRange(int min, int max) { SendMessageW(Handle(), UDM_SETRANGE32, min, max); }

int TUpDown::Position() const {
  return static_cast<int>(SendMessageW(Handle(), UDM_GETPOS32, 0, 0));
}

void TUpDown::SetPosition(int position) { SendMessageW(Handle(), UDM_SETPOS32, 0, position); }

bool TUpDown::Wrap() const { return (GetWindowLongPtrW(Handle(), GWL_STYLE) & UDS_WRAP) != 0; }

void TUpDown::SetWrap(bool wrap) {
  const LONG_PTR style = GetWindowLongPtrW(Handle(), GWL_STYLE);
  SetWindowLongPtrW(Handle(), GWL_STYLE, wrap ? style | UDS_WRAP : style & ~LONG_PTR{UDS_WRAP});
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
