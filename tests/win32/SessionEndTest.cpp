#include <gtest/gtest.h>

#include <string>

#include "ControllerTest.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "panel/Panel.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

// Logoff and shutdown as the system delivers them: the two messages sent to
// the controller's real window, with the panel shown.
class SessionEndTest : public test::ControllerTest {
 protected:
  // Choices made from the tray menu, and the panel dragged elsewhere.
  static void ChangeFacesOrderAndPanelPlace() {
    MainForm->PPTrayCPU2->Click();
    MainForm->PPTrayRAM1->Click();
    MainForm->PPTrayPos->Click();
    SetWindowPos(PanelForm->Handle(), nullptr, 321, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  static LRESULT QueryEndSession() {
    return SendMessageW(MainForm->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  }
  static void EndSession(bool ending) {
    SendMessageW(MainForm->Handle(), WM_ENDSESSION, ending, ENDSESSION_LOGOFF);
  }
};

constexpr wchar_t kBefore[] =
    L"[Panel]\r\nTop=100\r\nLeft=100\r\n\r\n[Disp]\r\nPanel=1\r\nTaskTrayPosition=0\r\n"
    L"TaskTrayCPU=0\r\nTaskTrayRAM=0\r\n\r\n[Mine]\r\nKeep=1\r\n\r\n";

// The panel's keys, then the controller's: new keys join their sections' ends.
constexpr wchar_t kAfter[] =
    L"[Panel]\r\nTop=234\r\nLeft=321\r\nNormalTop=-1\r\nNormalLeft=-1\r\nSmallTop=-1\r\n"
    L"SmallLeft=-1\r\nMostTop=0\r\nSmall=0\r\nSmallP=0\r\nTrans=10\r\n\r\n"
    L"[Disp]\r\nPanel=1\r\nTaskTrayPosition=1\r\nTaskTrayCPU=2\r\nTaskTrayRAM=1\r\nTaskTray=1\r\n\r\n"
    L"[Mine]\r\nKeep=1\r\n\r\n[Picture]\r\nPicture=\r\n\r\n";

TEST_F(SessionEndTest, EndingSessionWritesWhatExitWritesBeforeTheMessageReturns) {
  Start(kBefore);
  ChangeFacesOrderAndPanelPlace();
  EXPECT_EQ(QueryEndSession(), TRUE);
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kBefore)) << "the question writes nothing";
  EndSession(true);
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kAfter));
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated()) << "the program ends with the session";
}

TEST_F(SessionEndTest, SettingsAreWrittenOnceWhateverComesAfter) {
  Start(kBefore);
  ChangeFacesOrderAndPanelPlace();
  QueryEndSession();
  EndSession(true);
  const Bytes edited = test::Utf16File(L"[Mine]\r\nEdited=1\r\n");
  test::WriteBytes(IniPath(), edited);
  QueryEndSession();
  EndSession(true);
  MainForm->PPCloseClick(nullptr);  // an Exit that was already on its way
  EXPECT_EQ(test::ReadBytes(IniPath()), edited);
}

TEST_F(SessionEndTest, CancelledEndKeepsTheProgramRunningAndItsExitStillWrites) {
  Start(kBefore);
  ChangeFacesOrderAndPanelPlace();
  EXPECT_EQ(QueryEndSession(), TRUE);
  EndSession(false);
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kBefore));
  EXPECT_TRUE(IsWindowVisible(PanelForm->Handle()));
  application.ProcessMessages();
  EXPECT_FALSE(application.Terminated());
  MainForm->PPCloseClick(nullptr);
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kAfter));
}

TEST_F(SessionEndTest, AFailedWriteReachesTheHookAndTheSessionStillEnds) {
  Start(kBefore);
  ChangeFacesOrderAndPanelPlace();
  MainForm->MCPU = 42;
  // Held open without sharing, the file cannot be replaced.
  const HANDLE held = CreateFileW(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(QueryEndSession(), TRUE);
  EndSession(true);
  CloseHandle(held);
  EXPECT_EQ(MainForm->MCPU, 0) << "the error reached the controller's hook, which reset";
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kBefore));
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
}

// Ends the session once the settings dialog shows, after a change that the
// dialog has not confirmed; keeps the answer to the question.
LRESULT answerWhileTheDialogShows = FALSE;
void CALLBACK EndSessionOnceTheDialogShows(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!ConfigForm->Visible()) return;
  KillTimer(nullptr, timer);
  test::ClickArrow(*ConfigForm->UDRAMAuto, TUpDownButton::Down);
  EXPECT_EQ(ConfigForm->TXTRAMAuto->Text(), L"99");
  answerWhileTheDialogShows =
      SendMessageW(MainForm->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
  SendMessageW(MainForm->Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
}

// The end of a session that comes while the settings dialog is open: what
// Exit writes is written, and the dialog's unconfirmed change is dropped, as
// its Cancel would drop it.
TEST_F(SessionEndTest, EndingSessionWhileTheDialogIsOpenWritesWhatExitWritesAndNotTheDialog) {
  Start(kBefore);
  ChangeFacesOrderAndPanelPlace();
  answerWhileTheDialogShows = FALSE;
  SetTimer(nullptr, 0, 20, &EndSessionOnceTheDialogShows);
  MainForm->PPConfigClick(MainForm->PPConfig);  // returns once the dialog has closed
  EXPECT_EQ(answerWhileTheDialogShows, TRUE);
  EXPECT_FALSE(ConfigForm->Visible());
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kAfter));
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
}

}  // namespace
}  // namespace tavelo
