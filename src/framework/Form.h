#pragma once
// A form: a top-level window owned by the application's owner window, with
// creation, show, close-query and destroy events.
#include <string>

#include "framework/Component.h"
#include "framework/Win32.h"

namespace tavelo {

using TCloseQueryEvent = std::function<void(TObject* sender, bool& canClose)>;

class TForm : public TComponent {
 public:
  // Creates the hidden window. `windowClass` names its window class, so that
  // each kind of form can be told apart from outside.
  TForm(TComponent* owner, std::wstring windowClass);
  ~TForm() override;

  // Runs OnCreate once the form is whole; an exception there goes to the
  // application and skips the rest of the handler.
  void AfterConstruction();

  HWND Handle() const { return handle_; }
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(std::wstring caption);
  void SetBounds(int left, int top, int width, int height);

  void Show();
  void Hide();
  bool Visible() const;

  // Asks OnCloseQuery; if it allows, hides the form, and closing the main
  // form ends the application.
  void Close();
  // Destroys the form once the message being handled now has been handled.
  void Release();

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnDestroy;

 protected:
  // Handles the form's window messages; derived forms add their own.
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void RegisterWindowClass() const;

  std::wstring windowClass_;
  std::wstring caption_;
  RECT bounds_{0, 0, 320, 240};
  HWND handle_ = nullptr;
  bool destroying_ = false;
};

}  // namespace tavelo
