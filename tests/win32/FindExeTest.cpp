#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "optimiser/FindExe.h"
#include "settings/Config.h"

namespace tavelo {
namespace {

std::wstring Lower(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
  return text;
}

HWND WindowOf(DWORD processId) { return test::TopLevelWindowOf(processId, nullptr, true); }

// The system's own notepad: under WOW64 the 64-bit one, which a plain start
// from this 32-bit program would not give.
std::wstring NativeNotepad() {
  if (!Func_IsWow64()) return L"notepad.exe";
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\Sysnative\\notepad.exe";
}

// Wine's notepad, running with its window for the whole suite.
class FindExeTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { notepad = new test::StartedProgram(NativeNotepad()); }
  static void TearDownTestSuite() {
    delete notepad;
    notepad = nullptr;
  }
  void SetUp() override { DataFolder = test::MakeTempFolder(); }
  void TearDown() override { test::DeleteTree(DataFolder); }

  // The settings dialog with `list` as its exclusion list.
  void StartWithList(const std::wstring& list) {
    if (!list.empty()) test::WriteBytes(DataFolder + L"TVL.dat", test::Utf16File(list));
    application.Initialize();
    application.CreateForm(MainForm);
    application.CreateForm(ConfigForm);
  }

  static test::StartedProgram* notepad;
  TApplication application;
};

test::StartedProgram* FindExeTest::notepad = nullptr;

TEST_F(FindExeTest, RunningProgramIsFoundByFileNameOnly) {
  const struct {
    const wchar_t* name;
    bool found;
  } cases[] = {
      {L"Notepad.EXE", true},
      {L"notepad.exe", true},
      {L"C:\\windows\\system32\\notepad.exe", false},  // folders never match
      {L"notepad", false},
      {L"wordpad.exe", false},
  };
  for (const auto& test : cases)
    EXPECT_EQ(Func_FindExe(test.name), test.found) << testing::PrintToString(std::wstring(test.name));
}

TEST_F(FindExeTest, WindowLeadsToTheFullPathOfItsProgram) {
  const HWND window = WindowOf(notepad->Id());
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(Lower(Func_WindowExePath(window)), Lower(test::SystemFolder() + L"notepad.exe"));
}

// The way a 32-bit program sees a 64-bit one (under WOW64, it is one): the
// module path fails, the image file name gives a device path, which maps
// back to the drive letter.
TEST_F(FindExeTest, ImageFileNameMapsTheDeviceToItsDriveLetter) {
  EXPECT_EQ(Lower(Func_ImageFilePath(notepad->Handle())),
            Lower(test::SystemFolder() + L"notepad.exe"));
  EXPECT_EQ(Func_ImageFilePath(nullptr), L"");
}

TEST_F(FindExeTest, SystemDirEndsInABackslash) {
  EXPECT_EQ(Func_SystemDir(), test::SystemFolder());
}

TEST_F(FindExeTest, StopExeAnswersWhetherAnyListedProgramRuns) {
  const struct {
    const wchar_t* list;
    bool stop;
  } cases[] = {
      {L"", false},
      {L"wordpad.exe\r\n", false},
      {L"wordpad.exe\r\nNotepad.EXE\r\n", true},
      {L"C:\\windows\\system32\\notepad.exe\r\n", false},
  };
  for (const auto& test : cases) {
    StartWithList(test.list);
    EXPECT_EQ(ConfigForm->Func_StopExe(), test.stop) << testing::PrintToString(std::wstring(test.list));
    delete ConfigForm;
    delete MainForm;
    DeleteFileW((DataFolder + L"TVL.dat").c_str());
  }
}

}  // namespace
}  // namespace tavelo
