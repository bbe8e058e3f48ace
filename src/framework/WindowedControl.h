#pragma once
// What forms and child controls share: a window whose every message passes
// through one replaceable handler. A component that wants a window's
// messages first keeps the handler it finds and installs its own.
#include <functional>

#include "framework/Win32.h"

namespace tavelo {

// A message on its way through the handler; whoever handles it sets Result.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

using TWndMethod = std::function<void(TMessage& message)>;

class TWindowedControl {
 public:
  virtual HWND Handle() const = 0;

  // Starts as the control's own handling of its messages; whoever replaces
  // it hands what it does not consume to the handler it replaced.
  TWndMethod MessageHandler;

 protected:
  TWindowedControl() = default;
  ~TWindowedControl() = default;
};

}  // namespace tavelo
