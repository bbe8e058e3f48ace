#pragma once
// A form: a top-level window owned by the application's owner window, with
// creation, show, close-query and destroy events. Shown modally it is a
// dialog: Tab, access keys, a default and a cancel button.
#include <string>

#include "framework/Component.h"
#include "framework/Win32.h"
#include "framework/WindowedControl.h"

namespace tavelo {

class TButton;
class TWinControl;

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

// What ShowModal answers; a handler sets one to close a modal form.
constexpr int mrNone = 0;
constexpr int mrOK = 1;
constexpr int mrCancel = 2;

// Neither can be resized; a dialog frame has no icon.
enum class TFormBorderStyle { Single, Dialog };

// Sent to every window inside a form after the form's client area changed
// size, so that controls can follow it.
UINT ParentResizedMessage();

class TForm : public TComponent, public TWindowedControl {
 public:
  // Creates the hidden window. `windowClass` names its window class, so that
  // each kind of form can be told apart from outside.
  TForm(TComponent* owner, std::wstring windowClass);
  ~TForm() override;

  // Runs OnCreate once the form is whole; an exception there goes to the
  // application and skips the rest of the handler.
  void AfterConstruction();

  HWND Handle() const override { return handle_; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  void SetBounds(int left, int top, int width, int height);
  // Keeps the client size.
  void SetBorderStyle(TFormBorderStyle style);
  void SetClientSize(int width, int height);
  int ClientWidth() const;
  int ClientHeight() const;
  // Destroys the form's window and makes a new one of the same class,
  // caption, styles, place and visibility; the child controls move across.
  // What else the system kept with the old window (timers, layering, drop
  // acceptance) goes with it: whoever set it sees WM_DESTROY and WM_CREATE
  // pass through MessageHandler and sets it again.
  void RecreateWindow();
  // Centres the form on the window, or on the work area when there is none.
  void CenterOn(HWND window);

  // The font of the child controls, which the form owns; the height is that
  // of the characters, in pixels.
  void SetFont(const std::wstring& face, int pixelHeight, BYTE charset);
  HFONT Font() const;

  void Show();
  void Hide();
  bool Visible() const;

  // Asks OnCloseQuery; if it allows, hides the form, and closing the main
  // form ends the application. A modal form only ends its modal loop.
  void Close();
  // Destroys the form once the message being handled now has been handled.
  void Release();

  // Shows the form and disables the other windows of the thread until the
  // form closes; answers the modal result. A quit message ends it with
  // mrCancel and goes on to the application's loop.
  int ShowModal();
  bool Modal() const { return modal_; }
  int ModalResult() const { return modalResult_; }
  // A result other than mrNone closes a modal form once the message being
  // handled now has been handled; OnCloseQuery may still refuse.
  void SetModalResult(int result) { modalResult_ = result; }

  // Enter clicks the default button (or a focused one), Esc the cancel button.
  TButton* DefaultButton() const { return defaultButton_; }
  void SetDefaultButton(TButton* button);
  TButton* CancelButton() const { return cancelButton_; }
  void SetCancelButton(TButton* button) { cancelButton_ = button; }

  // The control with the focus, or the one that gets it when the form is
  // next activated.
  TWinControl* ActiveControl() const;
  void SetActiveControl(TWinControl* control);

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

 protected:
  // Handles the form's window messages; derived forms add their own.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  void Notification(TComponent* component, TOperation operation) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  bool ModalCloseAllowed();
  void RunModalLoop();
  void DispatchModalMessage(MSG& message);
  bool ClickButtonForKey(const MSG& message);
  void MoveFocus(WPARAM wParam, LPARAM lParam);
  bool Contains(HWND window) const;

  std::wstring windowClass_;
  std::wstring caption_;
  RECT bounds_{0, 0, 320, 240};
  HWND handle_ = nullptr;
  bool destroying_ = false;
  HFONT font_ = nullptr;
  bool modal_ = false;
  int modalResult_ = mrNone;
  TButton* defaultButton_ = nullptr;
  TButton* cancelButton_ = nullptr;
  HWND focus_ = nullptr;  // the child to focus when the form is activated
};

}  // namespace tavelo
