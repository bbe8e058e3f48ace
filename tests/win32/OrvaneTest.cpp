#include <gtest/gtest.h>

#include "TestSupport.h"
#include "app/Orvane.h"

namespace tavelo {
namespace {

// The first drive letter that names no drive in this prefix.
std::wstring MissingDrive() {
  const DWORD drives = GetLogicalDrives();
  for (int letter = 'Z'; letter >= 'D'; --letter)
    if (!(drives & (1u << (letter - 'A')))) return {static_cast<wchar_t>(letter), L':', L'\\'};
  return {};
}

struct DriveCase {
  const char* what;
  std::wstring path;
  bool ready;
};

TEST(OrvaneTest, DriveReadyAsksOnlyForLettersAndLeavesTheErrorModeAsItWas) {
  const std::wstring missing = MissingDrive();
  ASSERT_FALSE(missing.empty());
  const DriveCase cases[] = {
      {"empty", L"", false},
      {"relative", L"data\\x.txt", false},
      {"digit", L"1:\\x", false},
      {"UNC", L"\\\\server\\share\\x.txt", true},
      {"root of current drive", L"\\windows", true},
      {"system drive", L"C:\\windows", true},
      {"lower-case letter", L"c:\\windows", true},
      {"missing drive", missing + L"x.txt", false},
  };
  for (const UINT before : {0u, UINT(SEM_NOGPFAULTERRORBOX)}) {
    SetErrorMode(before);
    for (const DriveCase& test : cases) {
      EXPECT_EQ(Func_DriveReady(test.path), test.ready) << test.what;
      EXPECT_EQ(GetErrorMode(), before) << test.what;
    }
  }
  SetErrorMode(0);
}

TEST(OrvaneTest, ExistenceTestsNeedAReadyDriveAndAnAbsolutePath) {
  const std::wstring folder = test::MakeTempFolder();
  test::WriteBytes(folder + L"TVL.ini", {'x'});
  SetCurrentDirectoryW(folder.c_str());
  EXPECT_TRUE(Func_FileExists(folder + L"TVL.ini"));
  EXPECT_FALSE(Func_FileExists(L"TVL.ini")) << "a bare name never exists";
  EXPECT_FALSE(Func_FileExists(folder)) << "a folder is not a file";
  EXPECT_TRUE(Func_DirExists(folder));
  EXPECT_FALSE(Func_DirExists(folder + L"TVL.ini"));
  EXPECT_FALSE(Func_FileExists(MissingDrive() + L"TVL.ini"));
  SetCurrentDirectoryW(L"C:\\");
  test::DeleteTree(folder);
}

TEST(OrvaneTest, SpecialFoldersHaveNoTrailingBackslash) {
  for (const int kind : {kFolderAppData, kFolderMyPictures}) {
    const std::wstring path = Func_SpecialFolder(kind);
    ASSERT_FALSE(path.empty()) << kind;
    EXPECT_NE(path.back(), L'\\') << kind;
    EXPECT_TRUE(Func_DirExists(path)) << kind;
  }
  EXPECT_EQ(Func_SpecialFolder(6), L"");
}

TEST(OrvaneTest, TopMostOnAndOffLeavesTheWindowVisibleInPlaceAndNotTopmost) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 10, 20, 30, 40,
                                nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(Func_TopMost(window, true));
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(Func_TopMost(window, false));
  RECT bounds;
  GetWindowRect(window, &bounds);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 20);
  EXPECT_EQ(bounds.right - bounds.left, 30);
  EXPECT_EQ(bounds.bottom - bounds.top, 40);
  DestroyWindow(window);
}

TEST(OrvaneTest, ToolWindowAddsOnlyTheToolWindowStyle) {
  HWND window = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
  Proc_ToolWindow(window);
  const LONG style = GetWindowLongW(window, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(style & WS_EX_TOPMOST);
  DestroyWindow(window);
}

}  // namespace
}  // namespace tavelo
