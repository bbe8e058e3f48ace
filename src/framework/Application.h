#pragma once
// The application object: the hidden owner window that carries the title and
// owns every form, the main form, the message loop, and the place where every
// exception that reaches the loop ends up.
#include <exception>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/Component.h"
#include "framework/Win32.h"

namespace tavelo {

class TForm;

using TExceptionEvent = std::function<void(TObject* sender, const std::exception& error)>;
// Sees a message of the application's owner window first; answers true when
// it has handled the message, which then goes no further.
using TWindowHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;

class TApplication : public TComponent {
 public:
  TApplication();
  ~TApplication() override;

  // Creates the hidden owner window.
  void Initialize();
  HWND Handle() const { return handle_; }

  const std::wstring& Title() const { return title_; }
  void SetTitle(std::wstring title);

  // Whether Run shows the main form first.
  bool ShowMainForm = true;

  // Creates a form owned by the application. `reference` is set before the
  // form's creation handler runs, so the handler may already be reached
  // through it. The first form created is the main form.
  template <class Form>
  void CreateForm(Form*& reference) {
    reference = new Form(this);
    reference->AfterConstruction();
    if (!mainForm_) mainForm_ = reference;
  }
  TForm* MainForm() const { return mainForm_; }

  // Runs the message loop until Terminate.
  void Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Handles every message waiting now, then returns.
  void ProcessMessages();

  // Call only inside a catch block: hands the exception being handled to
  // OnException, or shows it when no handler is assigned. Never throws.
  void HandleException(TObject* sender) noexcept;

  TExceptionEvent OnException;

  // Hooks see the owner window's messages in the order they were added.
  // Answers a key for UnhookMainWindow.
  int HookMainWindow(TWindowHook hook);
  void UnhookMainWindow(int key);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  bool ProcessMessage();
  void ShowException(const std::exception& error) const;
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND handle_ = nullptr;
  std::wstring title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool inExceptionHandler_ = false;
  std::vector<std::pair<int, TWindowHook>> hooks_;
  int lastHookKey_ = 0;
};

// The one application object of the process; set while it exists.
extern TApplication* Application;

// Hands the exception being handled to the application. For catch blocks of
// window procedures and other callbacks, which must never let one escape.
void RouteException(TObject* sender) noexcept;

}  // namespace tavelo
