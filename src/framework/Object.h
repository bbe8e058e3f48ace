#pragma once
// Base of every object that can be the sender of an event.
#include <functional>
#include <utility>

namespace tavelo {

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;
};

// An event handler takes the sending object first; an unassigned event is skipped.
using TNotifyEvent = std::function<void(TObject* sender)>;

template <class Event, class... Args>
void Fire(const Event& event, Args&&... args) {
  if (event) event(std::forward<Args>(args)...);
}

}  // namespace tavelo
