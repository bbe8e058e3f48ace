#pragma once
// Millisecond timers whose ticks all arrive on one hidden window of the
// process, shared by every such timer and freed with the last one.
#include <cstdint>

#include "framework/Object.h"
#include "framework/Win32.h"

namespace tavelo {

class TSimpleTimer : public TObject {
 public:
  TSimpleTimer();
  TSimpleTimer(unsigned interval, TNotifyEvent onTimer);
  ~TSimpleTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned interval);
  // When set, each tick stops the timer before OnTimer runs.
  bool AutoDisable = false;
  std::int32_t Tag = 0;
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent onTimer);

  // Running timers of the process, for tests.
  static unsigned ActiveCount();

 private:
  friend struct TSimpleTimerHandler;
  bool Start();
  bool Stop(bool clear);
  void Tick();

  UINT_PTR FId;
  bool FEnabled = false;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
};

}  // namespace tavelo
