#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ApplicationEvents.h"
#include "framework/Exception.h"
#include "framework/Timer.h"

namespace tavelo {
namespace {

// Handles this thread's messages until `done` holds or a generous while has
// passed; answers `done`.
bool PumpUntil(const std::function<bool()>& done) {
  const UINT_PTR giveUp = SetTimer(nullptr, 0, 10000, nullptr);
  MSG message;
  while (!done() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!message.hwnd && message.message == WM_TIMER && message.wParam == giveUp) break;
    DispatchMessageW(&message);
  }
  KillTimer(nullptr, giveUp);
  return done();
}

// A timer that counts its ticks.
struct CountingTimer {
  explicit CountingTimer(unsigned interval) {
    timer.SetInterval(interval);
    timer.OnTimer = [this](TObject* sender) {
      EXPECT_EQ(sender, &timer);
      ++ticks;
    };
  }
  TTimer timer{nullptr};
  int ticks = 0;
};

TEST(TimerTest, TicksArriveThroughTheMessageLoop) {
  CountingTimer counting(10);
  EXPECT_TRUE(PumpUntil([&] { return counting.ticks >= 3; }));
}

struct StopCase {
  const char* name;
  std::function<void(TTimer&)> stop;
  std::function<void(TTimer&)> restart;
  bool enabledWhileStopped;
};

class TimerStopTest : public ::testing::TestWithParam<StopCase> {};

TEST_P(TimerStopTest, StoppedTimerMissesTheTicksOfAnotherAndRestarts) {
  CountingTimer stopped(10);
  ASSERT_TRUE(PumpUntil([&] { return stopped.ticks >= 1; }));
  GetParam().stop(stopped.timer);
  EXPECT_EQ(stopped.timer.Enabled(), GetParam().enabledWhileStopped);
  const int ticksWhenStopped = stopped.ticks;
  {
    // Ten ticks of a slower timer span many intervals of the stopped one.
    CountingTimer reference(30);
    ASSERT_TRUE(PumpUntil([&] { return reference.ticks >= 10; }));
  }
  EXPECT_EQ(stopped.ticks, ticksWhenStopped);
  GetParam().restart(stopped.timer);
  EXPECT_TRUE(PumpUntil([&] { return stopped.ticks > ticksWhenStopped; }));
}

INSTANTIATE_TEST_SUITE_P(
    TimerCases, TimerStopTest,
    ::testing::Values(StopCase{"Disabled", [](TTimer& timer) { timer.SetEnabled(false); },
                               [](TTimer& timer) { timer.SetEnabled(true); }, false},
                      StopCase{"IntervalZero", [](TTimer& timer) { timer.SetInterval(0); },
                               [](TTimer& timer) { timer.SetInterval(10); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TimerTest, ExceptionInOnTimerGoesToTheApplication) {
  TApplication application;
  application.Initialize();
  auto* events = new TApplicationEvents(&application);
  std::vector<std::string> reported;
  TObject* reportedSender = nullptr;
  auto* timer = new TTimer(&application);
  events->OnException = [&](TObject* sender, const std::exception& error) {
    reported.push_back(error.what());
    reportedSender = sender;
    timer->SetEnabled(false);
  };
  timer->SetInterval(10);
  timer->OnTimer = [](TObject*) { throw Exception("tick failed"); };
  ASSERT_TRUE(PumpUntil([&] { return !reported.empty(); }));
  EXPECT_EQ(reported, std::vector<std::string>{"tick failed"});
  EXPECT_EQ(reportedSender, timer);
}

}  // namespace
}  // namespace tavelo
