#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>

#include "TestSupport.h"
#include "framework/Text.h"

#include <tlhelp32.h>

namespace tavelo {
namespace {

using Result = std::map<std::string, std::string>;

std::wstring WithoutTrailingBackslash(std::wstring path) {
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

std::wstring ReadUtf16(const std::wstring& file) {
  const Bytes bytes = test::ReadBytes(file);
  return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
}

Result ReadResult(const std::wstring& file) {
  Result result;
  const Bytes bytes = test::ReadBytes(file);
  std::istringstream lines(std::string(bytes.begin(), bytes.end()));
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) result[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return result;
}

// Ends the process started from `path`, as Task Manager would; false when
// none runs.
bool KillProcessOf(const std::wstring& path) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool killed = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !killed;
       more = Process32NextW(snapshot, &entry)) {
    HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE,
                                 entry.th32ProcessID);
    if (!process) continue;
    wchar_t image[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (QueryFullProcessImageNameW(process, 0, image, &length) && _wcsicmp(image, path.c_str()) == 0)
      killed = TerminateProcess(process, 1) != FALSE;
    CloseHandle(process);
  }
  CloseHandle(snapshot);
  return killed;
}

// Closes the dialog with which Wine's debugger holds a crashed program until
// someone closes it, as Windows' error reporting does; false when none shows.
bool CloseProgramErrorDialog() {
  HWND dialog = FindWindowW(L"#32770", L"Program Error");
  if (!dialog || !IsWindowVisible(dialog)) return false;
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  return true;
}

struct MessageBoxSeen {
  std::wstring caption;
  std::wstring text;
};


// The controller in RunHost.exe, in a folder of the test's own where the
// test decides what lies in the companion's place.
class CompanionRunTest : public ::testing::Test {
 protected:
  void SetUp() override { UseFolder(test::MakeTempFolder()); }
  void TearDown() override { test::DeleteTree(folder); }

  void UseFolder(const std::wstring& path) {
    folder = path;
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((test::ProgramFolder() + L"RunHost.exe").c_str(),
                          (folder + L"RunHost.exe").c_str(), FALSE));
  }
  void PlaceDouble(const std::wstring& path) const {
    ASSERT_TRUE(
        CopyFileW((test::ProgramFolder() + L"CompanionDouble.exe").c_str(), path.c_str(), FALSE));
  }
  std::wstring Companion() const { return folder + L"Vessra.exe"; }
  // What the double does after it has recorded its start.
  void Behave(const char* behaviour) const {
    test::WriteBytes(folder + L"behaviour.txt", Bytes(behaviour, behaviour + strlen(behaviour)));
  }
  // Whether the double has recorded both its lines.
  bool CompanionStarted() const {
    const std::wstring started = ReadUtf16(folder + L"started.txt");
    return std::count(started.begin(), started.end(), L'\n') >= 2;
  }

  // Runs one companion run of `amount` MB on a machine of `totalMB` at
  // `load` %; closes every message box it shows, remembering each, and
  // does `meanwhile` every 50 ms while the run goes on.
  Result Run(int totalMB, int load, int amount, const std::function<void()>& meanwhile = {}) {
    std::wstring commandLine = L"\"" + folder + L"RunHost.exe\" " + std::to_wstring(totalMB) +
                               L" " + std::to_wstring(load) + L" " + std::to_wstring(amount);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION host{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &host)) {
      hostId = 0;
      ADD_FAILURE() << "RunHost.exe did not start";
      return {};
    }
    hostId = host.dwProcessId;
    // Two minutes at most: a crash brings up Wine's debugger, which in the
    // emulated machine takes many times what it takes here.
    for (int wait = 0; wait < 2400 && WaitForSingleObject(host.hProcess, 50) == WAIT_TIMEOUT; ++wait) {
      if (meanwhile) meanwhile();
      HWND box = test::TopLevelWindowOf(host.dwProcessId, L"#32770", true);
      if (!box) continue;
      wchar_t caption[64] = {};
      GetWindowTextW(box, caption, 64);
      wchar_t text[1024] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 1024);
      boxes.push_back({caption, text});
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      Sleep(200);
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(host.hProcess, &code);
    if (code == STILL_ACTIVE) TerminateProcess(host.hProcess, 1);
    CloseHandle(host.hThread);
    CloseHandle(host.hProcess);
    EXPECT_EQ(code, 0u);
    return ReadResult(folder + L"result.txt");
  }

  // The controller's window in the host; null before it exists.
  HWND HostMainWindow() const { return test::TopLevelWindowOf(hostId, L"TMainForm", false); }
  std::wstring IniPath() const { return folder + L"data\\TVL.ini"; }

  std::wstring folder;
  std::vector<MessageBoxSeen> boxes;
  DWORD hostId = 0;
};

TEST_F(CompanionRunTest, MissingCompanionIsReportedOnceAndTheIconsGoOn) {
  const Result result = Run(16384, 40, 8192);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, L"Tavelo");
  EXPECT_EQ(boxes[0].text, Companion() + L"\r\nがありません。");
  EXPECT_EQ(result.at("busyWhileWaiting"), "0");
  EXPECT_EQ(result.at("loads"), "10,40,7") << "the busy state was never entered";
  EXPECT_EQ(result.at("timer"), "1");
  EXPECT_EQ(result.at("hintNextSecond"), "CPU:10%");
}

TEST_F(CompanionRunTest, AmountBeyondTheFreeMemoryIsRefusedSilently) {
  PlaceDouble(Companion());
  // 16384 MB at 60 %: 6554 MB free by the estimate, less than 8192.
  const Result result = Run(16384, 60, 8192);
  EXPECT_TRUE(boxes.empty());
  EXPECT_FALSE(test::FileExistsHere(folder + L"started.txt"));
  EXPECT_EQ(result.at("loads"), "10,60,7") << "the busy state was never entered";
  EXPECT_EQ(result.at("memWork"), "0");
  EXPECT_EQ(result.at("timer"), "1");
}

TEST_F(CompanionRunTest, CompanionGetsTheAmountAndTheRunWaitsForIt) {
  PlaceDouble(Companion());
  const Result result = Run(16384, 40, 8192);
  EXPECT_TRUE(boxes.empty());
  const std::wstring started = ReadUtf16(folder + L"started.txt");
  EXPECT_EQ(started, Companion() + L" 8192\n" + WithoutTrailingBackslash(folder) + L"\nexited\n");
  EXPECT_EQ(result.at("companionEndedFirst"), "1");
  EXPECT_EQ(result.at("busyWhileWaiting"), "1") << result.at("probes");
  EXPECT_EQ(result.at("loads"), "0,0,0");
  EXPECT_EQ(result.at("memWork"), "0");
  EXPECT_EQ(result.at("timer"), "1");
  EXPECT_EQ(result.at("menu"), "1");
  EXPECT_EQ(result.at("hintNextSecond"), "CPU:10%");
}

TEST_F(CompanionRunTest, CompanionThatCannotStartEndsInTheResetWithoutMessage) {
  test::WriteBytes(Companion(), Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'e', 'x', 'e'});
  const Result result = Run(16384, 40, 8192);
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(result.at("exception"), WideToUtf8(Companion() + L" 8192を起動できません。"));
  EXPECT_EQ(result.at("memWork"), "0");
  EXPECT_EQ(result.at("menu"), "1");
  EXPECT_EQ(result.at("timer"), "1");
  EXPECT_EQ(result.at("loads"), "0,0,0");
}

// Started without an application name, the unquoted command line
// "C:\Program Files\...\Vessra.exe 8192" would start C:\Program.exe.
TEST_F(CompanionRunTest, ProgramPlantedAtTheFirstSpaceOfThePathIsNeverStarted) {
  test::DeleteTree(folder);
  UseFolder(L"C:\\Program Files\\Tavelo Run " + std::to_wstring(GetCurrentProcessId()) + L"\\");
  PlaceDouble(Companion());
  PlaceDouble(L"C:\\Program.exe");
  const Result result = Run(16384, 40, 8192);
  const bool plantStarted = test::FileExistsHere(L"C:\\started.txt");
  DeleteFileW(L"C:\\Program.exe");
  DeleteFileW(L"C:\\started.txt");
  EXPECT_FALSE(plantStarted);
  EXPECT_EQ(ReadUtf16(folder + L"started.txt").substr(0, Companion().size() + 5),
            Companion() + L" 8192");
  EXPECT_EQ(result.at("companionEndedFirst"), "1");
}

// Killed in the middle of its work, or crashed: either way the companion's
// process ends without finishing, and the run must not outlive it.
TEST_F(CompanionRunTest, CompanionThatEndsWithoutFinishingEndsTheBusyState) {
  const struct {
    const char* behaviour;
    bool killed;  // else it crashes, and its crash dialog is closed
  } cases[] = {{"hang", true}, {"crash", false}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.behaviour);
    test::DeleteTree(folder);
    UseFolder(folder);
    PlaceDouble(Companion());
    Behave(test.behaviour);
    bool ended = false;
    const Result result = Run(16384, 40, 8192, [&] {
      if (!ended && CompanionStarted())
        ended = test.killed ? KillProcessOf(Companion()) : CloseProgramErrorDialog();
    });
    EXPECT_TRUE(ended);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(ReadUtf16(folder + L"started.txt"),
              Companion() + L" 8192\n" + WithoutTrailingBackslash(folder) + L"\n")
        << "it never finished";
    EXPECT_EQ(result.at("busyWhileWaiting"), "1") << result.at("probes");
    EXPECT_EQ(result.count("exception"), 0u);
    EXPECT_EQ(result.at("memWork"), "0");
    EXPECT_EQ(result.at("menu"), "1");
    EXPECT_EQ(result.at("timer"), "1");
    EXPECT_EQ(result.at("loads"), "0,0,0");
    EXPECT_EQ(result.at("hintNextSecond"), "CPU:10%");
  }
}

// A logoff while the run waits for the companion: the settings must be on
// disk when the end of the session has been answered, since the system may
// end the process at any moment after; and they are what was chosen, not
// the stopped face that the run shows.
TEST_F(CompanionRunTest, SessionEndingDuringARunWritesTheSettingsAtOnceAndEndsTheProgram) {
  PlaceDouble(Companion());
  Behave("hang");
  CreateDirectoryW((folder + L"data").c_str(), nullptr);
  test::WriteBytes(IniPath(), test::Utf16File(L"[Disp]\r\nTaskTrayCPU=2\r\nTaskTrayPosition=1\r\n"));
  DWORD_PTR answer = 0;
  Bytes atTheEnd;
  bool ended = false;
  const Result result = Run(16384, 40, 8192, [&] {
    if (ended || !CompanionStarted()) return;
    ended = true;
    HWND main = HostMainWindow();
    ASSERT_NE(main, nullptr);
    SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, &answer);
    SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 10000, nullptr);
    atTheEnd = test::ReadBytes(IniPath());
    KillProcessOf(Companion());  // the session's end takes it too
  });
  EXPECT_TRUE(ended);
  EXPECT_EQ(answer, TRUE);
  EXPECT_EQ(atTheEnd,
            test::Utf16File(L"[Disp]\r\nTaskTrayCPU=2\r\nTaskTrayPosition=1\r\nTaskTray=1\r\n"
                            L"Panel=1\r\nTaskTrayRAM=0\r\n\r\n"
                            L"[Panel]\r\nNormalTop=-1\r\nNormalLeft=-1\r\nSmallTop=-1\r\n"
                            L"SmallLeft=-1\r\nTop=100\r\nLeft=100\r\nMostTop=0\r\nSmall=0\r\n"
                            L"SmallP=0\r\nTrans=10\r\n\r\n[Picture]\r\nPicture=\r\n\r\n"));
  EXPECT_EQ(test::ReadBytes(IniPath()), atTheEnd) << "written once";
  EXPECT_EQ(result.at("terminated"), "1");
  EXPECT_EQ(result.at("memWork"), "0");
}

}  // namespace
}  // namespace tavelo
