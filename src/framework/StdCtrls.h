#pragma once
// The standard controls of a dialog: group box, label, list box and button.
// Tab order is the order of creation within each parent.
#include <string>

#include "framework/Controls.h"

namespace tavelo {

// A framed caption that holds other controls. What they report to it goes
// on to the form, and Tab walks into it.
class TGroupBox : public TWinControl {
 public:
  TGroupBox(TForm* owner, HWND parent, TBounds bounds);
  ~TGroupBox() override;

  std::wstring Caption() const { return Text(); }
  void SetCaption(const std::wstring& caption) { SetText(caption); }

 private:
  static LRESULT ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                UINT_PTR id, DWORD_PTR data);
};

// A one-line text that sizes itself to it; "&" marks the access key.
//
// A static control never takes the focus: the dialog manager moves its
// access key on to the next tab stop after it. SetFocusControl therefore
// places the label just before the control, which must share its parent.
class TLabel : public TWinControl {
 public:
  TLabel(TForm* owner, HWND parent, int left, int top);

  std::wstring Caption() const { return Text(); }
  void SetCaption(const std::wstring& caption);
  void SetFocusControl(const TWinControl& control);
  void SetFont(HFONT font) override;

 private:
  void AutoSize();
};

// An unsorted list with single selection.
class TListBox : public TWinControl {
 public:
  TListBox(TForm* owner, HWND parent, TBounds bounds);

  int Count() const;
  std::wstring Item(int index) const;
  // Appends the item and answers its index.
  int Add(const std::wstring& item);
  void Delete(int index);
  void Clear();
  // The first item equal to `text` without regard to case, or -1.
  int IndexOfExact(const std::wstring& text) const;

  // The selected item, or -1 for none.
  int ItemIndex() const;
  void SetItemIndex(int index);

  int ItemHeight() const;
  void SetItemHeight(int height);
  // Keeps a set item height, which a new font would reset.
  void SetFont(HFONT font) override;

  // The user has changed the selection.
  TNotifyEvent OnClick;

 protected:
  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  int itemHeight_ = 0;  // 0 while the font decides
};

class TButton : public TWinControl {
 public:
  TButton(TForm* owner, HWND parent, TBounds bounds);

  std::wstring Caption() const { return Text(); }
  void SetCaption(const std::wstring& caption) { SetText(caption); }

  // Enter clicks the default button of a modal form, Esc its cancel button.
  bool Default() const;
  void SetDefault(bool isDefault);
  bool Cancel() const;
  void SetCancel(bool isCancel);

  // Runs OnClick as a mouse click would; does nothing while disabled.
  void Click();
  TNotifyEvent OnClick;

 protected:
  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};

}  // namespace tavelo
