#pragma once
// Child controls: a standard Windows control placed in a form or in a group
// box and owned by the form. What a control's window reports to its parent
// (WM_COMMAND, WM_NOTIFY, WM_HSCROLL, WM_VSCROLL) reaches the form, which
// hands it back to the control.
#include <string>

#include "framework/Anchors.h"
#include "framework/Component.h"
#include "framework/Win32.h"
#include "framework/WindowedControl.h"

namespace tavelo {

class TForm;

class TWinControl : public TComponent, public TWindowedControl {
 public:
  ~TWinControl() override;

  HWND Handle() const override { return handle_; }
  TForm* Form() const { return form_; }

  bool Enabled() const { return IsWindowEnabled(handle_) != FALSE; }
  void SetEnabled(bool enabled) { EnableWindow(handle_, enabled); }
  void SetFocus() { ::SetFocus(handle_); }

  // The form gives every control its font.
  virtual void SetFont(HFONT font);

  // The control whose window that is, or null.
  static TWinControl* FromHandle(HWND window);
  // Hands a notification that a control's window sent to its parent back to
  // that control; true when the control has handled it.
  static bool Reflect(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 protected:
  // Creates the visible child window; the form's font comes with it.
  TWinControl(TForm* owner, HWND parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
              TBounds bounds);

  std::wstring Text() const;
  void SetText(const std::wstring& text) { SetWindowTextW(handle_, text.c_str()); }

  // A notification from the control's own window; answers true when handled.
  virtual bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static LRESULT SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                              DWORD_PTR data);

  TForm* form_;
  HWND handle_ = nullptr;
};

}  // namespace tavelo
