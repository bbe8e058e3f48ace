#pragma once
// A component that takes the application's events for the form that owns it.
// Several may exist at once; each gets every event.
#include "framework/Application.h"

namespace tavelo {

class TApplicationEvents : public TComponent {
 public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;

  TExceptionEvent OnException;
  // Another program has become active: no window of this one is any more.
  TNotifyEvent OnDeactivate;

 private:
  int activationHookKey_ = 0;
};

}  // namespace tavelo
