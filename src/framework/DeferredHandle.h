#pragma once
// A control whose window is made late: when its form is first shown, or
// when its handle is first asked for, so that a form made at start and shown
// only on request does not bind the window's library before then.

namespace tavelo {

class TDeferredHandle {
 public:
  // Makes the window unless it exists.
  virtual void HandleNeeded() const = 0;

 protected:
  TDeferredHandle() = default;
  ~TDeferredHandle() = default;
};

}  // namespace tavelo
