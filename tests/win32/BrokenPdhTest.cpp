// Runs with a broken system: Wine's own pdh.dll is switched off for this
// program, and each test moves the scripted one out of the system folder and
// may put a defective one in its place. The binder caches what it found for
// the life of the process, so each test wants a process of its own, as the
// test run gives it.
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"
#include "measure/CPUUsage.h"
#include "measure/PdhBinding.h"

namespace tavelo {
namespace {

class BrokenPdhTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(MoveFileW(system.c_str(), aside.c_str())); }
  void TearDown() override {
    // The binder never frees the library, but the file can't be replaced while loaded.
    if (HMODULE loaded = GetModuleHandleW(system.c_str())) FreeLibrary(loaded);
    DeleteFileW(system.c_str());
    EXPECT_TRUE(MoveFileW(aside.c_str(), system.c_str()));
  }

  const std::wstring system = test::SystemFolder() + L"pdh.dll";
  const std::wstring aside = test::MakeTempFolder() + L"pdh.dll";
};

TEST_F(BrokenPdhTest, BinderNamesTheMissingLibrary) {
  FARPROC cell = nullptr;
  try {
    ResolveProcedure(cell, "pdh.dll", "PdhOpenQueryW");
    FAIL() << "no error raised";
  } catch (const EJwaLoadLibraryError& error) {
    EXPECT_STREQ(error.what(), "Library not found: pdh.dll");
  }
  EXPECT_EQ(cell, nullptr);
}

TEST_F(BrokenPdhTest, OpenRaisesOnceThenTheCpuSimplyReadsNothing) {
  EXPECT_THROW(Proc_CPUOpen(), EJwaLoadLibraryError);
  EXPECT_NO_THROW(Proc_CPUOpen()) << "a Reset after the first error must not raise again";
  EXPECT_EQ(Func_CPUUsage(), -1);
  EXPECT_NO_THROW(Proc_CPUClose());
}

TEST_F(BrokenPdhTest, BinderNamesTheMissingFunction) {
  const std::wstring defective = test::ProgramFolder() + L"..\\fakes\\without-add-counter\\pdh.dll";
  ASSERT_TRUE(CopyFileW(defective.c_str(), system.c_str(), TRUE));
  try {
    Proc_CPUOpen();
    FAIL() << "no error raised";
  } catch (const EJwaGetProcAddressError& error) {
    EXPECT_STREQ(error.what(), "Function not found: pdh.dll.PdhAddCounterW");
  }
}

// Enumerates the visible top-level windows of one process, except its panel
// window, which shows from the start.
BOOL CALLBACK CountVisible(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<std::pair<DWORD, int>*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  if (owner == search->first && IsWindowVisible(window) && std::wstring(className) != L"TPanelForm")
    ++search->second;
  return TRUE;
}

TEST_F(BrokenPdhTest, ProgramKeepsRunningSilentlyAndEndsCleanly) {
  test::TaveloProcess tavelo;
  ASSERT_NE(tavelo.WaitForMainWindow(30000), nullptr);
  Sleep(2000);  // time for any message box or a loop of resets to show
  std::pair<DWORD, int> search{GetProcessId(tavelo.Handle()), 0};
  EnumWindows(&CountVisible, reinterpret_cast<LPARAM>(&search));
  EXPECT_EQ(search.second, 0) << "nothing is shown";
  tavelo.Close();
  EXPECT_EQ(tavelo.WaitForExit(15000), 0u);
}

}  // namespace
}  // namespace tavelo
