#include "panel/CTLHOOK.h"

#include "framework/Controls.h"
#include "framework/Exception.h"
#include "framework/Form.h"

namespace tavelo {

namespace {
// Marks a window that has just been created and not yet taken over.
HWND WindowBeingCreated() { return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1)); }

TWindowedControl* Windowed(TComponent* component) {
  return dynamic_cast<TWindowedControl*>(component);
}
}  // namespace

TForm* FindOwnerForm(TComponent* component) {
  for (TComponent* link = component; link; link = link->Owner()) {
    if (auto* form = dynamic_cast<TForm*>(link)) return form;
    if (auto* control = dynamic_cast<TWinControl*>(link)) return control->Form();
  }
  return nullptr;
}

TControlHook::TControlHook(TComponent* owner) : TComponent(owner) {}

TControlHook::~TControlHook() { SetHook(false); }

void TControlHook::Loaded() { SetControl(FControl); }

void TControlHook::SetControl(TWinControl* control) {
  SetHook(false);
  FControl = control;
  if (FControl) FControl->FreeNotification(this);
  SetHook(true);
}

void TControlHook::SetTarget(THookTarget target) {
  SetHook(false);
  FTargetType = target;
  SetHook(true);
}

HWND TControlHook::HookedWindow() const {
  return FHWndHookTarget == WindowBeingCreated() ? nullptr : FHWndHookTarget;
}

void TControlHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FHookTarget) {
    HandleChanged(kHandleDestroyed);
    FHookTarget = nullptr;  // nothing to give back to a control that is gone
  }
  if (component == FControl) FControl = nullptr;
}

void TControlHook::HandleChanged(int code) {
  FHWndHookTarget = code == kHandleDestroyed ? nullptr : Windowed(FHookTarget)->Handle();
}

void TControlHook::DoWndProc(TMessage& message) { FOrgHookWndProc(message); }

TComponent* TControlHook::GetHookTarget() {
  if (FTargetType != htForm) return FControl;
  return FindOwnerForm(FControl ? static_cast<TComponent*>(FControl) : this);
}

void TControlHook::SetHook(bool active) {
  if (!active) {
    if (!FHookTarget) return;
    Windowed(FHookTarget)->MessageHandler = FOrgHookWndProc;
    FOrgHookWndProc = nullptr;
    FHWndHookTarget = nullptr;
    FHookTarget = nullptr;
    return;
  }
  TComponent* target = GetHookTarget();
  TWindowedControl* windowed = Windowed(target);
  if (!windowed || !windowed->Handle()) {
    if (FTargetType == htForm) throw Exception("フック先を特定できません。");
    return;
  }
  FHWndHookTarget = windowed->Handle();
  FHookTarget = target;
  target->FreeNotification(this);
  FOrgHookWndProc = windowed->MessageHandler;
  windowed->MessageHandler = [this](TMessage& message) { HookWindowProc(message); };
}

void TControlHook::HookWindowProc(TMessage& message) {
  if (message.Msg == WM_CREATE) {
    FHWndHookTarget = WindowBeingCreated();
  } else if (message.Msg == WM_DESTROY) {
    HandleChanged(kHandleDestroyed);
  } else if (FHWndHookTarget == WindowBeingCreated() && FHookTarget &&
             Windowed(FHookTarget)->Handle()) {
    HandleChanged(kHandleCreated);
  }
  DoWndProc(message);
}

}  // namespace tavelo
