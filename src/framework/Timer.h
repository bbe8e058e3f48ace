#pragma once
// A window timer: OnTimer runs on the message loop every Interval
// milliseconds while Enabled. An exception in OnTimer goes to the application.
#include "framework/Component.h"
#include "framework/Win32.h"

namespace tavelo {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  // 0 stops the ticks; Enabled stays as it is.
  void SetInterval(unsigned milliseconds);

  TNotifyEvent OnTimer;

 private:
  void Update();
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  bool enabled_ = true;
  unsigned interval_ = 1000;
  HWND window_ = nullptr;
};

}  // namespace tavelo
