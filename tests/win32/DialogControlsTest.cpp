#include <gtest/gtest.h>

#include "TestSupport.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ApplicationEvents.h"
#include "framework/ComCtrls.h"
#include "framework/Dialogs.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "framework/Timer.h"

namespace tavelo {
namespace {

// A dialog laid out like the settings dialog: three up-downs with labels in
// one group box, a list with two buttons in another, OK and Cancel below.
class TTestDialog : public TForm {
 public:
  explicit TTestDialog(TComponent* owner) : TForm(owner, L"TDialogControlsTestForm") {
    SetCaption(L"Tavelo");
    SetBorderStyle(TFormBorderStyle::Dialog);
    SetClientSize(514, 149);
    SetFont(L"Tahoma", 12, DEFAULT_CHARSET);

    ram = new TGroupBox(this, Handle(), {0, 0, 200, 121});
    ram->SetCaption(L"[RAM]");
    const wchar_t* captions[] = {L"Amount [%](&Y)", L"Threshold [%](&Z)", L"Interval [min](&T)"};
    for (int row = 0; row < 3; ++row) {
      auto* label = new TLabel(this, ram->Handle(), 10, 23 + 32 * row);
      label->SetCaption(captions[row]);
      HWND box = boxes[row] = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"0",
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_READONLY, 120,
                                 20 + 32 * row, 40, 20, ram->Handle(), nullptr, nullptr, nullptr);
      upDowns[row] = new TUpDown(this, ram->Handle(), {160, 20 + 32 * row, 30, 20});
      upDowns[row]->SetBuddy(box);
    }

    exe = new TGroupBox(this, Handle(), {200, 0, 314, 121});
    exe->SetCaption(L"[Programs]");
    list = new TListBox(this, exe->Handle(), {10, 20, 225, 90});
    list->SetItemHeight(12);
    add = new TButton(this, exe->Handle(), {245, 25, 60, 25});
    add->SetCaption(L"&Add");
    del = new TButton(this, exe->Handle(), {245, 60, 60, 25});
    del->SetCaption(L"&Delete");
    // Created last, yet its access key leads to the list.
    listLabel = new TLabel(this, exe->Handle(), 245, 95);
    listLabel->SetCaption(L"&Programs");
    listLabel->SetFocusControl(*list);

    ok = new TButton(this, Handle(), {344, 121, 85, 28});
    ok->SetCaption(L"&OK");
    ok->SetDefault(true);
    cancel = new TButton(this, Handle(), {429, 121, 85, 28});
    cancel->SetCaption(L"Cancel(&C)");
    cancel->SetCancel(true);

    for (TButton* button : {add, del, ok, cancel})
      button->OnClick = [this, button](TObject*) { clicks.push_back(button->Caption()); };
  }

  TGroupBox* ram;
  TGroupBox* exe;
  HWND boxes[3];
  TUpDown* upDowns[3];
  TListBox* list;
  TButton* add;
  TButton* del;
  TLabel* listLabel;
  TButton* ok;
  TButton* cancel;
  std::vector<std::wstring> clicks;
};

// Another window of the application, which the modal dialog disables.
class TOtherForm : public TForm {
 public:
  explicit TOtherForm(TComponent* owner) : TForm(owner, L"TOtherTestForm") {}
};

class DialogControlsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application.Initialize();
    auto* events = new TApplicationEvents(&application);
    events->OnException = [this](TObject*, const std::exception& error) {
      reported.push_back(error.what());
    };
    // The dialog is the main form: closing it modally must still not end
    // the application.
    application.CreateForm(dialog);
    application.CreateForm(other);
    dialog->OnCloseQuery = [this](TObject*, bool& canClose) {
      ++closeQueries;
      otherEnabledWhileModal = IsWindowEnabled(other->Handle()) != FALSE;
      canClose = closeQueries > refusedCloses;
    };
    other->Show();
  }

  // Runs the steps on the message loop, one per timer tick, so that what a
  // step posts has been handled before the next one runs.
  void Script(std::vector<std::function<void()>> steps) {
    auto* timer = new TTimer(&application);
    timer->SetInterval(10);
    timer->OnTimer = [timer, steps = std::move(steps), next = size_t{0}](TObject*) mutable {
      steps[next++]();
      if (next == steps.size()) timer->SetEnabled(false);
    };
  }

  bool QuitPending() const {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
  }

  TApplication application;
  TTestDialog* dialog = nullptr;
  TOtherForm* other = nullptr;
  std::vector<std::string> reported;
  int closeQueries = 0;
  int refusedCloses = 0;
  bool otherEnabledWhileModal = true;
};

struct CloseCase {
  const char* name;
  std::function<void(TTestDialog&)> close;
  int expectedResult;
};

TEST_F(DialogControlsTest, EveryWayOfClosingEndsTheModalLoopButNotTheApplication) {
  const CloseCase cases[] = {
      {"OK sets a result",
       [](TTestDialog& form) {
         form.ok->OnClick = [&form](TObject*) { form.SetModalResult(mrOK); };
         PostMessageW(form.ok->Handle(), BM_CLICK, 0, 0);
       },
       mrOK},
      {"Close()",
       [](TTestDialog& form) {
         form.cancel->OnClick = [&form](TObject*) { form.Close(); };
         PostMessageW(form.cancel->Handle(), BM_CLICK, 0, 0);
       },
       mrCancel},
      {"title-bar X", [](TTestDialog& form) { PostMessageW(form.Handle(), WM_CLOSE, 0, 0); },
       mrCancel},
      {"Alt+F4",
       [](TTestDialog& form) {
         PostMessageW(form.Handle(), WM_SYSKEYDOWN, VK_F4, LPARAM{KF_ALTDOWN} << 16);
       },
       mrCancel},
  };
  for (const CloseCase& row : cases) {
    SCOPED_TRACE(row.name);
    closeQueries = 0;
    otherEnabledWhileModal = true;
    Script({[&] { row.close(*dialog); }});
    EXPECT_EQ(dialog->ShowModal(), row.expectedResult);
    EXPECT_EQ(closeQueries, 1);
    EXPECT_FALSE(otherEnabledWhileModal);
    EXPECT_TRUE(IsWindowEnabled(other->Handle()));
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(application.Terminated());
    EXPECT_FALSE(QuitPending());
  }
}

TEST_F(DialogControlsTest, RefusedCloseKeepsTheModalFormOpen) {
  refusedCloses = 1;
  Script({[&] {
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
    PostMessageW(dialog->Handle(), WM_CLOSE, 0, 0);
  }});
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_EQ(closeQueries, 2);
}

TEST_F(DialogControlsTest, QuitEndsTheModalLoopAndThenTheApplication) {
  Script({[&] { application.Terminate(); }});
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(dialog->Visible());
  application.ProcessMessages();
  EXPECT_TRUE(application.Terminated());
}

TWinControl* TheList(const TTestDialog& form) { return form.list; }

struct KeyCase {
  const char* name;
  std::function<TWinControl*(const TTestDialog&)> focus;
  WPARAM key;
  std::wstring clicked;
};

TEST_F(DialogControlsTest, EnterClicksTheDefaultOrFocusedButtonAndEscTheCancelButton) {
  const KeyCase cases[] = {
      {"Esc in the list", TheList, VK_ESCAPE, L"Cancel(&C)"},
      {"Enter in the list", TheList, VK_RETURN, L"&OK"},
      {"Enter on Add", [](const TTestDialog& form) -> TWinControl* { return form.add; }, VK_RETURN,
       L"&Add"},
  };
  dialog->ok->OnClick = [this](TObject*) {
    dialog->clicks.push_back(L"&OK");
    dialog->SetModalResult(mrOK);
  };
  dialog->add->OnClick = [this](TObject*) {
    dialog->clicks.push_back(L"&Add");
    dialog->Close();
  };
  dialog->cancel->OnClick = [this](TObject*) {
    dialog->clicks.push_back(L"Cancel(&C)");
    dialog->Close();
  };
  for (const KeyCase& row : cases) {
    SCOPED_TRACE(row.name);
    dialog->clicks.clear();
    TWinControl* focus = row.focus(*dialog);
    dialog->SetActiveControl(focus);
    Script({[&] {
      EXPECT_EQ(dialog->ActiveControl(), focus);
      PostMessageW(GetFocus(), WM_KEYDOWN, row.key, 0);
    }});
    dialog->ShowModal();
    EXPECT_EQ(dialog->clicks, std::vector<std::wstring>{row.clicked});
  }
}

TEST_F(DialogControlsTest, TabAndAccessKeysMoveTheFocus) {
  std::vector<HWND> focused;
  dialog->SetActiveControl(dialog->list);
  Script({
      [&] { PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0); },
      [&] {
        focused.push_back(GetFocus());
        // Alt+P: the label's access key.
        PostMessageW(GetFocus(), WM_SYSCHAR, L'p', LPARAM{KF_ALTDOWN} << 16);
      },
      [&] {
        focused.push_back(GetFocus());
        dialog->SetModalResult(mrOK);
      },
  });
  dialog->ShowModal();
  EXPECT_EQ(focused, (std::vector<HWND>{dialog->add->Handle(), dialog->list->Handle()}));
}

struct UpDownCase {
  int min;
  int max;
  int start;
  TUpDownButton button;
  int expected;
};

TEST_F(DialogControlsTest, UpDownClickSeesThePositionAlreadyMovedAndWrapped) {
  const UpDownCase cases[] = {
      {1, 100, 100, TUpDownButton::Up, 1},  {1, 100, 1, TUpDownButton::Down, 100},
      {0, 120, 120, TUpDownButton::Up, 0},  {0, 120, 0, TUpDownButton::Down, 120},
      {0, 100, 41, TUpDownButton::Up, 42},  {0, 100, 41, TUpDownButton::Down, 40},
  };
  dialog->Show();
  TUpDown& upDown = *dialog->upDowns[1];
  upDown.SetWrap(true);
  for (const UpDownCase& row : cases) {
    SCOPED_TRACE(row.start);
    upDown.SetRange(row.min, row.max);
    upDown.SetPosition(row.start);
    std::vector<std::pair<int, TUpDownButton>> clicks;
    upDown.OnClick = [&clicks, &upDown](TObject* sender, TUpDownButton button) {
      EXPECT_EQ(sender, &upDown);
      clicks.emplace_back(upDown.Position(), button);
    };
    test::ClickArrow(upDown, row.button);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, TUpDownButton>>{{row.expected, row.button}}));
  }
}

TEST_F(DialogControlsTest, UpDownWithoutWrapStopsAtTheEnd) {
  dialog->Show();
  TUpDown& upDown = *dialog->upDowns[0];
  upDown.SetRange(1, 100);
  upDown.SetPosition(100);
  test::ClickArrow(upDown, TUpDownButton::Up);
  EXPECT_EQ(upDown.Position(), 100);
  EXPECT_FALSE(upDown.Wrap());
}

// The arrows hold their state until their form is first shown, and the
// window made then starts from it, buddy included.
TEST_F(DialogControlsTest, UpDownMakesItsWindowWhenItsFormFirstShows) {
  TUpDown& upDown = *dialog->upDowns[2];
  const HWND parent = dialog->ram->Handle();
  const auto arrowsInGroup = [parent] {
    int count = 0;
    for (HWND child = FindWindowExW(parent, nullptr, L"msctls_updown32", nullptr); child;
         child = FindWindowExW(parent, child, L"msctls_updown32", nullptr))
      ++count;
    return count;
  };
  upDown.SetRange(0, 120);
  upDown.SetPosition(130);
  upDown.SetWrap(true);
  EXPECT_EQ(upDown.Position(), 120) << "brought to the nearer end";
  EXPECT_EQ(arrowsInGroup(), 0);

  dialog->Show();
  EXPECT_EQ(arrowsInGroup(), 3);
  const HWND arrows = upDown.Handle();
  EXPECT_EQ(GetParent(arrows), parent);
  EXPECT_EQ(SendMessageW(arrows, UDM_GETPOS32, 0, 0), 120);
  int min = -1;
  int max = -1;
  SendMessageW(arrows, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&min),
               reinterpret_cast<LPARAM>(&max));
  EXPECT_EQ(std::make_pair(min, max), std::make_pair(0, 120));
  EXPECT_NE(GetWindowLongPtrW(arrows, GWL_STYLE) & UDS_WRAP, 0);
  EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(arrows, UDM_GETBUDDY, 0, 0)), dialog->boxes[2]);
  test::ClickArrow(upDown, TUpDownButton::Up);
  EXPECT_EQ(upDown.Position(), 0) << "wrapped";
}

struct SearchCase {
  const wchar_t* text;
  int expected;
};

TEST_F(DialogControlsTest, ListBoxFindsExactItemsWithoutRegardToCase) {
  TListBox& list = *dialog->list;
  list.Add(L"NOTEPAD.EXE");
  list.Add(L"calc.exe");
  const SearchCase cases[] = {
      {L"notepad.exe", 0}, {L"Calc.EXE", 1}, {L"notepad", -1}, {L"calc.exe.bak", -1}, {L"", -1},
  };
  for (const SearchCase& row : cases) EXPECT_EQ(list.IndexOfExact(row.text), row.expected) << row.text;
}

TEST_F(DialogControlsTest, ListBoxDeletesTheSelectedItemAndThenHasNoSelection) {
  TListBox& list = *dialog->list;
  for (const wchar_t* item : {L"a.exe", L"b.exe", L"c.exe"}) list.Add(item);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetItemIndex(1);
  EXPECT_EQ(list.ItemIndex(), 1);
  list.Delete(list.ItemIndex());
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Item(1), L"c.exe");
  EXPECT_EQ(list.ItemIndex(), -1);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST_F(DialogControlsTest, GroupBoxPassesItsChildrensNotificationsToTheForm) {
  dialog->Show();
  SendMessageW(dialog->del->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog->clicks, std::vector<std::wstring>{L"&Delete"});

  TListBox& list = *dialog->list;
  list.Add(L"a.exe");
  list.Add(L"b.exe");
  std::vector<int> selected;
  list.OnClick = [&selected, &list](TObject*) { selected.push_back(list.ItemIndex()); };
  const LPARAM secondItem = MAKELPARAM(5, list.ItemHeight() + list.ItemHeight() / 2);
  SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, secondItem);
  SendMessageW(list.Handle(), WM_LBUTTONUP, 0, secondItem);
  EXPECT_EQ(selected, std::vector<int>{1});
}

TEST_F(DialogControlsTest, ChildControlsTakeTheFormsFont) {
  auto* later = new TButton(dialog, dialog->Handle(), {0, 121, 85, 28});
  dialog->SetFont(L"Tahoma", 15, DEFAULT_CHARSET);
  auto* latest = new TButton(dialog, dialog->Handle(), {85, 121, 85, 28});
  ASSERT_NE(dialog->Font(), nullptr);
  LOGFONTW font{};
  GetObjectW(dialog->Font(), sizeof font, &font);
  EXPECT_EQ(font.lfHeight, -15);
  EXPECT_STREQ(font.lfFaceName, L"Tahoma");
  // Up-downs show no text and keep no font.
  for (TWinControl* control :
       std::vector<TWinControl*>{dialog->ram, dialog->list, dialog->listLabel, later, latest})
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(control->Handle(), WM_GETFONT, 0, 0)),
              dialog->Font());
  EXPECT_EQ(dialog->list->ItemHeight(), 12);  // set before, kept through the new font
}

TEST_F(DialogControlsTest, DialogBorderKeepsTheClientSizeAndCannotBeResized) {
  EXPECT_EQ(dialog->ClientWidth(), 514);
  EXPECT_EQ(dialog->ClientHeight(), 149);
  const LONG_PTR style = GetWindowLongPtrW(dialog->Handle(), GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_NE(GetWindowLongPtrW(dialog->Handle(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
  other->SetBounds(100, 100, 600, 400);
  dialog->CenterOn(other->Handle());
  RECT own{};
  GetWindowRect(dialog->Handle(), &own);
  EXPECT_EQ(own.left + own.right, 100 + 700);
  EXPECT_EQ(own.top + own.bottom, 100 + 500);
}

struct FilterCase {
  std::wstring filter;
  std::wstring expected;
};

TEST(OpenDialogTest, FilterBecomesTheSystemsNulSeparatedList) {
  using namespace std::string_literals;
  const FilterCase cases[] = {
      {L"プログラム|*.exe", L"プログラム\0*.exe\0"s},
      {L"Pictures|*.bmp;*.jpg|All|*.*", L"Pictures\0*.bmp;*.jpg\0All\0*.*\0"s},
      {L"", L""},
  };
  for (const FilterCase& row : cases)
    EXPECT_EQ(TOpenDialog::SystemFilter(row.filter), row.expected) << row.filter.size();
}

}  // namespace
}  // namespace tavelo
