#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "app/WholeFile.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

// The controller and the dialog with a data folder of their own.
class ConfigFormTest : public ::testing::Test {
 protected:
  void SetUp() override { DataFolder = test::MakeTempFolder(); }
  void TearDown() override { test::DeleteTree(DataFolder); }

  void Start(const std::wstring& ini = L"", const std::wstring& dat = L"") {
    if (!ini.empty()) test::WriteBytes(DataFolder + L"TVL.ini", test::Utf16File(ini));
    if (!dat.empty()) test::WriteBytes(DataFolder + L"TVL.dat", test::Utf16File(dat));
    application.Initialize();
    application.CreateForm(MainForm);
    application.CreateForm(ConfigForm);
  }

  static std::vector<std::wstring> Shown() {
    return {ConfigForm->TXTRAMValue->Text(), ConfigForm->TXTRAMAuto->Text(),
            ConfigForm->TXTRAMTime->Text()};
  }

  static std::vector<std::wstring> Listed() {
    std::vector<std::wstring> items;
    for (int index = 0; index < ConfigForm->ListBox->Count(); ++index)
      items.push_back(ConfigForm->ListBox->Item(index));
    return items;
  }

  std::wstring IniText() const {
    const Bytes bytes = test::ReadBytes(DataFolder + L"TVL.ini");
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  }

  TApplication application;
};

TEST_F(ConfigFormTest, FirstStartShowsTheDefaults) {
  Start();
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"50", L"100", L"0"}));
  EXPECT_TRUE(Listed().empty());
}

TEST_F(ConfigFormTest, StoredValuesOutsideTheirRangesAreShownAndSavedInRange) {
  Start(L"[RAM]\r\nValue=500\r\nAuto=-5\r\nTime=121\r\n");
  EXPECT_EQ(Shown(), (std::vector<std::wstring>{L"100", L"0", L"120"}));
  ConfigForm->BtnOKClick(ConfigForm->BtnOK);
  EXPECT_EQ(IniText(), L"[RAM]\r\nValue=100\r\nAuto=0\r\nTime=120\r\n\r\n");
}

TEST_F(ConfigFormTest, UpDownsWrapAndTheBoxesFollow) {
  Start(L"[RAM]\r\nValue=100\r\nTime=120\r\n");
  const struct {
    TUpDown* upDown;
    TNumEdit* box;
    TUpDownButton button;
    const wchar_t* shown;
  } clicks[] = {
      {ConfigForm->UDRAMValue, ConfigForm->TXTRAMValue, TUpDownButton::Up, L"1"},
      {ConfigForm->UDRAMValue, ConfigForm->TXTRAMValue, TUpDownButton::Down, L"100"},
      {ConfigForm->UDRAMTime, ConfigForm->TXTRAMTime, TUpDownButton::Up, L"0"},
      {ConfigForm->UDRAMTime, ConfigForm->TXTRAMTime, TUpDownButton::Down, L"120"},
      {ConfigForm->UDRAMAuto, ConfigForm->TXTRAMAuto, TUpDownButton::Down, L"99"},
  };
  for (const auto& click : clicks) {
    test::ClickArrow(*click.upDown, click.button);
    EXPECT_EQ(click.box->Text(), click.shown);
  }
}

TEST_F(ConfigFormTest, CancelRestoresTheStoredValuesForTheControllerToo) {
  Start(L"[RAM]\r\nAuto=80\r\nTime=5\r\n");
  test::ClickArrow(*ConfigForm->UDRAMAuto, TUpDownButton::Up);
  EXPECT_EQ(ConfigForm->TXTRAMAuto->Text(), L"81");
  ConfigForm->BtnCancelClick(ConfigForm->BtnCancel);
  ConfigForm->Close();
  EXPECT_EQ(ConfigForm->TXTRAMAuto->Text(), L"80");
  EXPECT_EQ(Func_NumberOf(ConfigForm->TXTRAMAuto), 80);
  EXPECT_FALSE(test::FileExistsHere(DataFolder + L"TVL.dat")) << "cancel writes nothing";
}

TEST_F(ConfigFormTest, OkWritesTheValuesAndRewritesTheListEvenUntouched) {
  Start(L"[Disp]\r\nPanel=0\r\n", L"A.exe\nB.exe");
  test::ClickArrow(*ConfigForm->UDRAMValue, TUpDownButton::Up);
  ConfigForm->BtnOKClick(ConfigForm->BtnOK);
  EXPECT_EQ(ConfigForm->ModalResult(), mrOK);
  EXPECT_EQ(IniText(), L"[Disp]\r\nPanel=0\r\n\r\n[RAM]\r\nAuto=100\r\nValue=51\r\nTime=0\r\n\r\n");
  EXPECT_EQ(test::ReadBytes(DataFolder + L"TVL.dat"), test::Utf16File(L"A.exe\r\nB.exe\r\n"));
}

TEST_F(ConfigFormTest, FailedWriteKeepsTheDialogOpenAndTheOldFileWhole) {
  const std::wstring stored = L"[RAM]\r\nValue=40\r\n";
  Start(stored);
  test::ClickArrow(*ConfigForm->UDRAMValue, TUpDownButton::Up);
  // Another program reads the file and lets nobody replace it meanwhile.
  const HANDLE held = CreateFileW((DataFolder + L"TVL.ini").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
  EXPECT_THROW(ConfigForm->BtnOKClick(ConfigForm->BtnOK), EFileWriteError);
  CloseHandle(held);
  EXPECT_EQ(ConfigForm->ModalResult(), mrNone);
  EXPECT_EQ(test::ReadBytes(DataFolder + L"TVL.ini"), test::Utf16File(stored));
}

TEST_F(ConfigFormTest, DeletingAnEntryGreysTheDeleteButtonAndKeepsTheScrollRange) {
  Start(L"", L"A.exe\r\nB.exe\r\n");
  const LRESULT extent = SendMessageW(ConfigForm->ListBox->Handle(), LB_GETHORIZONTALEXTENT, 0, 0);
  EXPECT_GT(extent, 0) << "twice the widest item";
  ConfigForm->Show();
  EXPECT_FALSE(ConfigForm->BtnDel->Enabled()) << "nothing is selected when the dialog shows";
  ConfigForm->ListBox->SetItemIndex(1);
  ConfigForm->ListBoxClick(ConfigForm->ListBox);
  EXPECT_TRUE(ConfigForm->BtnDel->Enabled());
  ConfigForm->BtnDelClick(ConfigForm->BtnDel);
  EXPECT_EQ(Listed(), std::vector<std::wstring>{L"A.exe"});
  EXPECT_FALSE(ConfigForm->BtnDel->Enabled());
  EXPECT_EQ(SendMessageW(ConfigForm->ListBox->Handle(), LB_GETHORIZONTALEXTENT, 0, 0), extent);
}

TEST_F(ConfigFormTest, ShownDialogDeafensTheTrayIconsUntilItCloses) {
  Start();
  ConfigForm->Show();
  EXPECT_FALSE(MainForm->TrayIconCPU->Enabled());
  EXPECT_FALSE(MainForm->TrayIconRAM->Enabled());
  ConfigForm->Close();
  EXPECT_TRUE(MainForm->TrayIconCPU->Enabled());
  EXPECT_TRUE(MainForm->TrayIconRAM->Enabled());
}

// Answers the open-file dialog with `chosen` once it shows.
std::wstring chosen;

void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND dialog = FindWindowW(L"#32770", L"自動最適化、定期間隔の実行を停止するプログラム");
  if (!dialog) return;
  KillTimer(nullptr, timer);
  for (const int nameField : {0x47C, 0x480})  // the explorer-style and the old field
    SetDlgItemTextW(dialog, nameField, chosen.c_str());
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(ConfigFormTest, AddTakesTheFileNameOnlyAndNoNameTwice) {
  Start(L"", L"NOTEPAD.EXE\r\n");
  const std::wstring folder = DataFolder + L"Foo\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  for (const wchar_t* file : {L"bar.exe", L"notepad.exe"}) test::WriteBytes(folder + file, {'M', 'Z'});
  const struct {
    const wchar_t* file;
    std::vector<std::wstring> listed;
  } additions[] = {
      {L"notepad.exe", {L"NOTEPAD.EXE"}},
      {L"bar.exe", {L"NOTEPAD.EXE", L"bar.exe"}},
  };
  for (const auto& addition : additions) {
    chosen = folder + addition.file;
    SetTimer(nullptr, 0, 100, &AnswerFileDialog);
    ConfigForm->BtnAddClick(ConfigForm->BtnAdd);
    EXPECT_EQ(Listed(), addition.listed) << testing::PrintToString(chosen);
  }
}

}  // namespace
}  // namespace tavelo
