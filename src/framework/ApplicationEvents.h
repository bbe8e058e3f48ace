#pragma once
// A component that takes the application's events for the form that owns it.
#include "framework/Application.h"

namespace tavelo {

class TApplicationEvents : public TComponent {
 public:
  explicit TApplicationEvents(TComponent* owner);
  ~TApplicationEvents() override;

  TExceptionEvent OnException;
};

}  // namespace tavelo
