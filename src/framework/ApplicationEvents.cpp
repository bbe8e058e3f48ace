#include "framework/ApplicationEvents.h"

namespace tavelo {

TApplicationEvents::TApplicationEvents(TComponent* owner) : TComponent(owner) {
  if (Application)
    Application->OnException = [this](TObject* sender, const std::exception& error) {
      Fire(OnException, sender, error);
    };
}

TApplicationEvents::~TApplicationEvents() {
  if (Application) Application->OnException = nullptr;
}

}  // namespace tavelo
