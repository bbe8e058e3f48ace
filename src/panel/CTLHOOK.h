#pragma once
// A component that puts its own message handler in front of that of a child
// control or of its form, and follows the target's window through
// destruction and re-creation: the hook belongs to the control, not to the
// window, so it stays in place when the window is made anew.
#include "framework/Component.h"
#include "framework/WindowedControl.h"

namespace tavelo {

class TForm;
class TWinControl;

// Which window to hook: the control named by Control, or the form it (or,
// without one, the hook itself) belongs to.
enum THookTarget { htControl = 0, htForm = 1 };

// Codes of HandleChanged.
constexpr int kHandleDestroyed = 1;
constexpr int kHandleCreated = 2;

class TControlHook : public TComponent {
 public:
  explicit TControlHook(TComponent* owner);
  // Gives the target the handler it had before.
  ~TControlHook() override;

  // Ends the building of the owner's layout: hooks again with the
  // properties as they are now set.
  virtual void Loaded();

  TWinControl* Control() const { return FControl; }
  void SetControl(TWinControl* control);
  THookTarget Target() const { return FTargetType; }
  void SetTarget(THookTarget target);

  // The window whose messages pass through the hook; null when none.
  HWND HookedWindow() const;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  // kHandleDestroyed: the target's window is gone; kHandleCreated: the
  // target has a new window.
  virtual void HandleChanged(int code);
  // Passes the message on to the handler that was in place before hooking.
  virtual void DoWndProc(TMessage& message);

 private:
  TComponent* GetHookTarget();
  void SetHook(bool active);
  void HookWindowProc(TMessage& message);

  THookTarget FTargetType = htControl;
  TWinControl* FControl = nullptr;
  TComponent* FHookTarget = nullptr;  // a TForm or a TWinControl
  HWND FHWndHookTarget = nullptr;     // -1 from WM_CREATE until the next message
  TWndMethod FOrgHookWndProc;
};

// The form a component belongs to: the first form among its owners, or the
// form of the first control met on the way; null when there is none.
TForm* FindOwnerForm(TComponent* component);

}  // namespace tavelo
