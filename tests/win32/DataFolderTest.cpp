#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ControllerTest.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

// The data folder taken away or locked while the program runs, long before
// it exits.
class DataFolderTest : public test::ControllerTest {
 protected:
  static std::vector<std::wstring> FilesInDataFolder() {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((DataFolder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Exit's keys as the panel and then the controller write them into an empty file.
constexpr wchar_t kWrittenAtExit[] =
    L"[Panel]\r\nNormalTop=-1\r\nNormalLeft=-1\r\nSmallTop=-1\r\nSmallLeft=-1\r\nTop=100\r\n"
    L"Left=100\r\nMostTop=0\r\nSmall=0\r\nSmallP=0\r\nTrans=10\r\n\r\n[Picture]\r\nPicture=\r\n\r\n"
    L"[Disp]\r\nTaskTray=1\r\nPanel=1\r\nTaskTrayPosition=1\r\nTaskTrayCPU=2\r\nTaskTrayRAM=0\r\n\r\n";

TEST_F(DataFolderTest, FolderDeletedBeforeExitIsMadeAgainAndTheNextStartFindsTheChoices) {
  Start();
  MainForm->PPTrayCPU2->Click();
  MainForm->PPTrayPos->Click();
  test::DeleteTree(DataFolder);
  Exit();
  EXPECT_EQ(FilesInDataFolder(), std::vector<std::wstring>{L"TVL.ini"}) << "nothing half-written";
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(kWrittenAtExit));

  Start();
  EXPECT_TRUE(MainForm->PPTrayCPU2->Checked());
  EXPECT_EQ(MainForm->TrayIconCPU->IconList(), MainForm->ImageListLevel);
  EXPECT_TRUE(MainForm->PPTrayPos->Checked());
}

TEST_F(DataFolderTest, DialogConfirmedAfterTheFolderWasDeletedSavesAndCloses) {
  Start();
  test::DeleteTree(DataFolder);
  test::ClickArrow(*ConfigForm->UDRAMAuto, TUpDownButton::Down);
  ConfigForm->BtnOKClick(ConfigForm->BtnOK);
  EXPECT_EQ(ConfigForm->ModalResult(), mrOK);
  EXPECT_EQ(test::ReadBytes(IniPath()),
            test::Utf16File(L"[RAM]\r\nAuto=99\r\nValue=50\r\nTime=0\r\n\r\n"));
  EXPECT_EQ(test::ReadBytes(DataFolder + L"TVL.dat"), test::Utf16File(L""));
}

// Another program holds TVL.ini without sharing, as a backup or a virus
// scanner may: the exit ends all the same, with the old file whole and no
// temporary file left beside it.
TEST_F(DataFolderTest, ExitThatCannotReplaceTheFileLeavesTheOldOneWholeAndNothingElse) {
  const std::wstring before = L"[Disp]\r\nTaskTrayCPU=1\r\n";
  Start(before);
  MainForm->PPTrayCPU2->Click();
  const HANDLE held = CreateFileW(IniPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  MainForm->PPCloseClick(nullptr);
  CloseHandle(held);
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
  EXPECT_EQ(FilesInDataFolder(), std::vector<std::wstring>{L"TVL.ini"});
  EXPECT_EQ(test::ReadBytes(IniPath()), test::Utf16File(before));
  FreeForms();

  Start();
  EXPECT_TRUE(MainForm->PPTrayCPU1->Checked()) << "the next start reads the old file";
}

}  // namespace
}  // namespace tavelo
