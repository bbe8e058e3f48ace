#include <gtest/gtest.h>

#include "TestSupport.h"

namespace tavelo {
namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kExitTimeoutMs = 15000;

// Starts each test without a data folder, as in a fresh prefix.
class StartupTest : public ::testing::Test {
 protected:
  void SetUp() override { test::DeleteTree(test::VendorFolder()); }
  void TearDown() override { test::DeleteTree(test::VendorFolder()); }

  static void CloseAndExpectCleanExit(const test::TaveloProcess& tavelo) {
    tavelo.Close();
    EXPECT_EQ(tavelo.WaitForExit(kExitTimeoutMs), 0u);
  }
};

TEST_F(StartupTest, FirstStartMakesTheDataFolderAndRunsHidden) {
  test::TaveloProcess tavelo;
  const HWND main = tavelo.WaitForMainWindow(kStartTimeoutMs);
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(test::DirectoryExists(test::TaveloDataFolder()));
  EXPECT_FALSE(IsWindowVisible(main));
  const HWND owner = GetWindow(main, GW_OWNER);
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_TRUE(GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) << "no taskbar button";
  wchar_t title[32] = {};
  GetWindowTextW(owner, title, 32);
  EXPECT_STREQ(title, L"Tavelo");
  CloseAndExpectCleanExit(tavelo);
}

TEST_F(StartupTest, EndTaskOnTheOwnerWindowEndsTheProgramCleanly) {
  test::TaveloProcess tavelo;
  const HWND main = tavelo.WaitForMainWindow(kStartTimeoutMs);
  ASSERT_NE(main, nullptr);
  PostMessageW(GetWindow(main, GW_OWNER), WM_CLOSE, 0, 0);
  EXPECT_EQ(tavelo.WaitForExit(kExitTimeoutMs), 0u);
}

TEST_F(StartupTest, WithTheVendorFolderPresentOnlyTheProgramFolderIsMade) {
  CreateDirectoryW(test::VendorFolder().c_str(), nullptr);
  const std::wstring neighbour = test::VendorFolder() + L"Other\\";
  CreateDirectoryW(neighbour.c_str(), nullptr);
  test::WriteBytes(neighbour + L"keep.txt", {'k'});

  test::TaveloProcess tavelo;
  ASSERT_NE(tavelo.WaitForMainWindow(kStartTimeoutMs), nullptr);
  EXPECT_TRUE(test::DirectoryExists(test::TaveloDataFolder()));
  EXPECT_EQ(test::ReadBytes(neighbour + L"keep.txt"), (Bytes{'k'}));
  CloseAndExpectCleanExit(tavelo);
}

TEST_F(StartupTest, SecondStartEndsAtOnceAndLeavesTheFirstUntouched) {
  CreateDirectoryW(test::VendorFolder().c_str(), nullptr);
  CreateDirectoryW(test::TaveloDataFolder().c_str(), nullptr);
  const std::wstring ini = test::TaveloDataFolder() + L"TVL.ini";
  const Bytes settings = test::Utf16File(L"[Disp]\r\nPanel=0\r\n\r\n[Mine]\r\nKeep=1\r\n\r\n");
  test::WriteBytes(ini, settings);

  test::TaveloProcess first;
  const HWND main = first.WaitForMainWindow(kStartTimeoutMs);
  ASSERT_NE(main, nullptr);
  test::TaveloProcess second;
  EXPECT_EQ(second.WaitForExit(kExitTimeoutMs), 0u);
  EXPECT_TRUE(first.Running());
  EXPECT_EQ(first.WaitForMainWindow(0), main);
  EXPECT_EQ(test::ReadBytes(ini), settings);
  CloseAndExpectCleanExit(first);
}

TEST_F(StartupTest, InstancesStartedAtTheSameMomentLeaveExactlyOneRunning) {
  for (int round = 0; round < 3; ++round) {
    const test::TaveloProcess one;
    const test::TaveloProcess other;
    // The one that lost ends by itself; the winner waits to be closed.
    const HANDLE both[] = {one.Handle(), other.Handle()};
    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, kExitTimeoutMs) - WAIT_OBJECT_0;
    ASSERT_LT(ended, 2u) << "round " << round << ": neither ended";
    const test::TaveloProcess& loser = ended == 0 ? one : other;
    const test::TaveloProcess& winner = ended == 0 ? other : one;
    EXPECT_EQ(loser.WaitForExit(0), 0u) << "round " << round;
    ASSERT_NE(winner.WaitForMainWindow(kStartTimeoutMs), nullptr) << "round " << round;
    CloseAndExpectCleanExit(winner);
  }
}

}  // namespace
}  // namespace tavelo
