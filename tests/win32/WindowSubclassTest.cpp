#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ApplicationEvents.h"
#include "framework/Exception.h"
#include "framework/WindowClass.h"
#include "framework/WindowSubclass.h"

namespace tavelo {
namespace {

constexpr UINT kMessage = WM_APP;
constexpr UINT kNested = WM_APP + 1;
constexpr LRESULT kAnswer = 42;
constexpr wchar_t kWindowClass[] = L"TSubclassTestWindow";

// Who saw which message, in order: a subclass's letter, W for the window's
// own procedure, o for a procedure put in front; ' marks the nested message.
std::string trace;

void Note(const std::string& who, UINT message) {
  if (message != kMessage && message != kNested && message != WM_NCDESTROY) return;
  if (!trace.empty()) trace += ' ';
  trace += who;
  if (message == kNested) trace += '\'';
}

BOOL CALLBACK CountProperty(HWND, LPWSTR, HANDLE, ULONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int PropertyCount(HWND window) {
  int count = 0;
  EnumPropsExW(window, &CountProperty, reinterpret_cast<LPARAM>(&count));
  return count;
}

LRESULT CALLBACK OwnProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Note("W", message);
  return message == kMessage ? kAnswer : DefWindowProcW(window, message, wParam, lParam);
}

// A procedure put in front of the chain the plain way, as comctl32 puts its
// own in front of an up-down's buddy. After the window's last message it
// counts the properties the chain has left.
WNDPROC behindFront = nullptr;
int propertiesLeft = -1;

LRESULT CALLBACK FrontProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  Note("o", message);
  const LRESULT result = CallWindowProcW(behindFront, window, message, wParam, lParam);
  if (message == WM_NCDESTROY) propertiesLeft = PropertyCount(window);
  return result;
}

// A subclass known by its letter, which is also its id. On `trigger` it
// detaches the subclasses whose letters `detaches` lists, then sends `sends`
// to the window, and then passes the message on.
struct Probe {
  char letter;
  UINT trigger = 0;
  std::string detaches{};
  UINT sends = 0;
};

LRESULT ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                       DWORD_PTR data) {
  const Probe& probe = *reinterpret_cast<const Probe*>(data);
  Note(std::string(1, probe.letter), message);
  if (message == probe.trigger) {
    for (char letter : probe.detaches) DetachSubclass(window, &ProbeProcedure, letter);
    if (probe.sends) SendMessageW(window, probe.sends, 0, 0);
  }
  return CallNextSubclass(window, message, wParam, lParam);
}

LRESULT FailingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                         DWORD_PTR) {
  if (message == kMessage) throw Exception("subclass failed");
  return CallNextSubclass(window, message, wParam, lParam);
}

// A message-only window of the test's own class, without subclasses.
class WindowSubclassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterWindowClass(kWindowClass, &OwnProcedure);
    MakeWindow();
  }

  void TearDown() override {
    if (IsWindow(window)) DestroyWindow(window);
  }

  // A fresh window in place of the one before.
  void MakeWindow() {
    if (IsWindow(window)) DestroyWindow(window);
    window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    bareProperties = PropertyCount(window);
    propertiesLeft = -1;
  }

  bool AttachProbe(const Probe& probe) {
    return AttachSubclass(window, &ProbeProcedure, probe.letter,
                          reinterpret_cast<DWORD_PTR>(&probe));
  }

  // Attaches the probes in their order, so the last one sees messages first.
  void Attach(std::vector<Probe> list) {
    probes = std::move(list);
    for (const Probe& probe : probes) ASSERT_TRUE(AttachProbe(probe));
  }

  void Detach(const std::string& letters) {
    for (char letter : letters) DetachSubclass(window, &ProbeProcedure, letter);
  }

  void PutInFront() {
    behindFront = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrontProcedure)));
  }

  // The trace of one message; the window's answer must come back through all.
  std::string Send() {
    trace.clear();
    EXPECT_EQ(SendMessageW(window, kMessage, 0, 0), kAnswer);
    return trace;
  }

  std::string Destroy() {
    trace.clear();
    EXPECT_TRUE(DestroyWindow(window));
    return trace;
  }

  // As before any subclass: its own procedure and no property of the chain.
  bool IsBare() const {
    return GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&OwnProcedure) &&
           PropertyCount(window) == bareProperties;
  }

  HWND window = nullptr;
  int bareProperties = 0;
  std::vector<Probe> probes;
};

TEST_F(WindowSubclassTest, MessagesMeetTheNewestSubclassFirstAndTheWindowLast) {
  Attach({{'a'}, {'b'}, {'c'}});
  EXPECT_FALSE(IsBare());
  EXPECT_EQ(Send(), "c b a W");
  Detach("abc");
  EXPECT_TRUE(IsBare());
  EXPECT_EQ(Send(), "W");
}

TEST_F(WindowSubclassTest, DetachingFromOutsideInEitherOrderRestoresTheWindow) {
  const struct {
    const char* order;
    const char* afterFirst;
  } cases[] = {
      {"ab", "b W"},
      {"ba", "a W"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.order);
    Attach({{'a'}, {'b'}});
    Detach(std::string(1, c.order[0]));
    EXPECT_EQ(Send(), c.afterFirst);
    EXPECT_FALSE(IsBare());
    Detach(std::string(1, c.order[1]));
    EXPECT_TRUE(IsBare());
    EXPECT_EQ(Send(), "W");
  }
}

TEST_F(WindowSubclassTest, SubclassesComingAndGoingOnTheWayLeaveEveryMessageItsPath) {
  const struct {
    const char* what;
    std::vector<Probe> probes;
    const char* first;
    const char* second;
  } cases[] = {
      {"none goes", {{'a'}, {'b'}, {'c'}}, "c b a W", "c b a W"},
      {"the newest detaches itself", {{'a'}, {'b'}, {'c', kMessage, "c"}}, "c b a W", "b a W"},
      {"the oldest detaches itself", {{'a', kMessage, "a"}, {'b'}, {'c'}}, "c b a W", "c b W"},
      {"one detaches the next before it runs",
       {{'a'}, {'b'}, {'c', kMessage, "b"}},
       "c a W",
       "c a W"},
      {"one detaches one that has run", {{'a', kMessage, "c"}, {'b'}, {'c'}}, "c b a W", "b a W"},
      {"the newest detaches all", {{'a'}, {'b'}, {'c', kMessage, "cba"}}, "c W", "W"},
      {"the oldest detaches all", {{'a', kMessage, "abc"}, {'b'}, {'c'}}, "c b a W", "W"},
      {"the oldest sends a message on its way",
       {{'a', kMessage, "", kNested}, {'b'}, {'c'}},
       "c b a c' b' a' W' W",
       "c b a c' b' a' W' W"},
      {"one detaches itself, then sends",
       {{'a'}, {'b', kMessage, "b", kNested}, {'c'}},
       "c b c' a' W' a W",
       "c a W"},
      {"the newest detaches all, then sends",
       {{'a'}, {'b'}, {'c', kMessage, "abc", kNested}},
       "c W' W",
       "W"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Attach(c.probes);
    EXPECT_EQ(Send(), c.first);
    EXPECT_EQ(Send(), c.second);
    Detach("abc");  // those already gone are passed over
    EXPECT_TRUE(IsBare());
  }
}

TEST_F(WindowSubclassTest, AttachingAgainKeepsThePlaceAndTakesTheNewData) {
  Attach({{'a'}, {'b'}});
  const Probe renamed{'z'};
  ASSERT_TRUE(AttachSubclass(window, &ProbeProcedure, 'a', reinterpret_cast<DWORD_PTR>(&renamed)));
  EXPECT_EQ(Send(), "b z W");
  Detach("a");
  EXPECT_EQ(Send(), "b W");
}

// The chain drops what is still attached after the window's WM_NCDESTROY. A
// procedure in front sees that no property is left; without one, a later
// call on the dead handle finds nothing.
TEST_F(WindowSubclassTest, DestroyedWindowDropsItsSubclasses) {
  const struct {
    const char* what;
    std::vector<Probe> probes;
    const char* trace;
  } cases[] = {
      {"both still attached", {{'a'}, {'b'}}, "b a W"},
      {"each detaches itself", {{'a', WM_NCDESTROY, "a"}, {'b', WM_NCDESTROY, "b"}}, "b a W"},
      {"the older detaches itself", {{'a', WM_NCDESTROY, "a"}, {'b'}}, "b a W"},
      {"the newer detaches both", {{'a'}, {'b', WM_NCDESTROY, "ab"}}, "b W"},
  };
  for (const auto& c : cases)
    for (bool inFront : {false, true}) {
      SCOPED_TRACE(std::string(c.what) + (inFront ? ", a procedure in front" : ""));
      MakeWindow();
      Attach(c.probes);
      if (inFront) PutInFront();
      EXPECT_EQ(Destroy(), (inFront ? "o " : "") + std::string(c.trace));
      if (inFront) {
        EXPECT_EQ(propertiesLeft, bareProperties);
      }
      Detach("ab");
      EXPECT_FALSE(AttachProbe(probes[0]));
    }
}

TEST_F(WindowSubclassTest, ProcedurePutInFrontKeepsWorkingWhenTheLastSubclassGoes) {
  Attach({{'a'}});
  PutInFront();
  EXPECT_EQ(Send(), "o a W");
  Detach("a");
  EXPECT_EQ(Send(), "o W");
  ASSERT_TRUE(AttachProbe(probes[0]));
  EXPECT_EQ(Send(), "o a W");
  EXPECT_EQ(Destroy(), "o a W");
  EXPECT_EQ(propertiesLeft, bareProperties);
}

TEST_F(WindowSubclassTest, ExceptionOfASubclassGoesToTheApplicationAndTheChainGoesOn) {
  TApplication application;
  application.Initialize();
  auto* events = new TApplicationEvents(&application);
  std::vector<std::string> reported;
  events->OnException = [&reported](TObject*, const std::exception& error) {
    reported.push_back(error.what());
  };
  Attach({{'a'}});
  ASSERT_TRUE(AttachSubclass(window, &FailingProcedure, 0, 0));
  trace.clear();
  EXPECT_EQ(SendMessageW(window, kMessage, 0, 0), 0);
  EXPECT_EQ(reported, std::vector<std::string>{"subclass failed"});
  EXPECT_EQ(trace, "");
  DetachSubclass(window, &FailingProcedure, 0);
  EXPECT_EQ(Send(), "a W");
}

TEST_F(WindowSubclassTest, RefusesWindowsItCannotSubclass) {
  HWND destroyed = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
  DestroyWindow(destroyed);
  const struct {
    const char* what;
    HWND window;
  } cases[] = {
      {"no window", nullptr},
      {"a destroyed window", destroyed},
      {"a window of another thread", GetDesktopWindow()},
  };
  const Probe probe{'a'};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(
        AttachSubclass(c.window, &ProbeProcedure, 'a', reinterpret_cast<DWORD_PTR>(&probe)));
    DetachSubclass(c.window, &ProbeProcedure, 'a');  // nothing to take out
  }
  EXPECT_TRUE(IsBare());
}

}  // namespace
}  // namespace tavelo
