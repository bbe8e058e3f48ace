#include <gtest/gtest.h>

#include "ControllerTest.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "panel/Panel.h"

namespace tavelo {
namespace {

// What the system tells every top-level window in a long session, sent to
// the controller's real window while its real clock runs.
class SystemEventsTest : public test::ControllerTest {
 protected:
  // Starts the clock, counting its ticks and the seconds of work they do.
  void StartClock() {
    const TNotifyEvent tick = MainForm->TimerMain->OnTimer;
    MainForm->TimerMain->OnTimer = [this, tick](TObject* sender) {
      ++ticks;
      tick(sender);
      if (MainForm->MTimerC == 0) ++seconds;
    };
    MainForm->TimerMain->SetEnabled(true);
  }

  // Handles messages until the cycle has done `count` more seconds of work.
  void RunSeconds(int count) {
    const int until = seconds + count;
    const DWORD start = GetTickCount();
    while (seconds < until) {
      ASSERT_LT(GetTickCount() - start, 20000u) << "the cycle stopped";
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
      application.ProcessMessages();
    }
  }

  static LRESULT Send(UINT message, WPARAM wParam) {
    return SendMessageW(MainForm->Handle(), message, wParam, 0);
  }

  int ticks = 0;
  int seconds = 0;
};

// Asleep, the process runs nothing at all: its clock's ticks fall due and
// are not handled. On waking the cycle goes on with one tick, whatever was
// due, and its counts go on from where they stood: a periodic run comes
// after as many seconds awake as it still needed, not at once.
TEST_F(SystemEventsTest, AfterSleepTheCycleGoesOnWithoutCatchingUp) {
  Start(L"[RAM]\r\nTime=1\r\n");
  MainForm->MTotalRAM = 64 * 1048576;  // a run, if one came, would be quick
  MainForm->MTimeStop = 0;
  MainForm->MTimeC = 56;
  StartClock();
  RunSeconds(1);
  const int countBefore = MainForm->MTimeC;
  Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
  Sleep(3000);  // six ticks fall due, and the periodic run, counted by the calendar
  Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
  Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND);
  ticks = 0;
  application.ProcessMessages();  // whatever waits now
  EXPECT_LE(ticks, 1);
  RunSeconds(2);
  EXPECT_EQ(MainForm->MTimeC, countBefore + 2);
  EXPECT_EQ(MainForm->MCPU, 10) << "no run, which would have cleared it";
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:10%");
}

// The cycle counts its own seconds and reads no clock of the calendar, so a
// clock set forwards or backwards changes none of its counts.
TEST_F(SystemEventsTest, ClockChangeLeavesTheCycleCounting) {
  Start(L"[RAM]\r\nTime=1\r\n");
  StartClock();
  RunSeconds(1);
  const int countBefore = MainForm->MTimeC;
  const int holdOffBefore = MainForm->MTimeStop;
  Send(WM_TIMECHANGE, 0);
  RunSeconds(1);
  EXPECT_EQ(MainForm->MTimeC, countBefore + 1);
  EXPECT_EQ(MainForm->MTimeStop, holdOffBefore - 1);
  EXPECT_EQ(MainForm->TrayIconCPU->Hint(), L"CPU:10%");
}

// The displays change under the panel: a monitor taken away, or the screen
// made smaller, leaves it where nothing shows it. It comes back onto the
// primary monitor, centred; a panel that still shows stays where it is.
TEST_F(SystemEventsTest, DisplayChangeBringsBackAPanelThatNoMonitorShows) {
  Start();
  RECT screen{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
  const struct {
    POINT at;
    bool lost;
  } cases[] = {{{screen.right + 200, 100}, true}, {{-500, -500}, true}, {{300, 200}, false}};
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::Message() << test.at.x << "," << test.at.y);
    HWND panel = PanelForm->Handle();
    SetWindowPos(panel, nullptr, test.at.x, test.at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(panel, WM_DISPLAYCHANGE, 32, MAKELPARAM(screen.right, screen.bottom));
    RECT now{};
    GetWindowRect(panel, &now);
    EXPECT_NE(MonitorFromRect(&now, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_EQ(now.left == test.at.x && now.top == test.at.y, !test.lost) << "moved only when lost";
  }
}

}  // namespace
}  // namespace tavelo
