#include "framework/ApplicationEvents.h"

#include <algorithm>
#include <vector>

namespace tavelo {

namespace {

std::vector<TApplicationEvents*>& Instances() {
  static std::vector<TApplicationEvents*> instances;
  return instances;
}

void DispatchException(TObject* sender, const std::exception& error) {
  for (TApplicationEvents* events : std::vector<TApplicationEvents*>(Instances()))
    Fire(events->OnException, sender, error);
}

}  // namespace

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  Instances().push_back(this);
  if (!Application) return;
  Application->OnException = &DispatchException;
  // The system tells every top-level window of the program, the hidden owner
  // window among them, when the program loses activation.
  activationHookKey_ = Application->HookMainWindow([this](UINT message, WPARAM wParam, LPARAM,
                                                          LRESULT&) {
    if (message == WM_ACTIVATEAPP && !wParam) Fire(OnDeactivate, this);
    return false;
  });
}

TApplicationEvents::~TApplicationEvents() {
  auto& instances = Instances();
  instances.erase(std::remove(instances.begin(), instances.end(), this), instances.end());
  if (!Application) return;
  Application->UnhookMainWindow(activationHookKey_);
  if (instances.empty()) Application->OnException = nullptr;
}

}  // namespace tavelo
