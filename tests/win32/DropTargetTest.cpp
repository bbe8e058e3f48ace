#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ApplicationEvents.h"
#include "framework/Exception.h"
#include "framework/Form.h"
#include "framework/StdCtrls.h"
#include "TestSupport.h"
#include "panel/DROPDST.h"

namespace tavelo {
namespace {

using test::MakeDrop;

bool Finished(HDROP drop) { return GlobalFlags(drop) == GMEM_INVALID_HANDLE; }

bool AcceptsFiles(HWND window) {
  return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

// Counts the drops that reach the form's own handling.
class TDropForm : public TForm {
 public:
  explicit TDropForm(TComponent* owner) : TForm(owner, L"TDropForm") {}
  int ownDrops = 0;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_DROPFILES) ++ownDrops;
    return TForm::WndProc(message, wParam, lParam);
  }
};

struct TDrop {
  TObject* sender;
  std::vector<std::wstring> files;
  int x;
  int y;
};

// A hidden form with a drop target on itself, as the panel has it.
class DropTargetTest : public testing::Test {
 protected:
  void SetUp() override {
    application.Initialize();
    auto* events = new TApplicationEvents(&application);
    events->OnException = [this](TObject* sender, const std::exception& error) {
      reported.push_back(error.what());
      reportedSender = sender;
    };
    application.CreateForm(form);
    target = new TDropDst(form);
    target->SetTarget(htForm);
    target->OnFileDrop = [this](TObject* sender, const std::vector<std::wstring>& files, int x,
                                int y) { drops.push_back({sender, files, x, y}); };
    target->Loaded();
  }

  // Drops the files on the window the way the shell does, and tells
  // whether the drop was finished.
  bool Drop(HWND window, const std::vector<std::wstring>& files, POINT point = {12, 34}) {
    HDROP drop = MakeDrop(files, point);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    const bool finished = Finished(drop);
    if (!finished) GlobalFree(drop);
    return finished;
  }

  TApplication application;
  TDropForm* form = nullptr;
  TDropDst* target = nullptr;
  std::vector<TDrop> drops;
  std::vector<std::string> reported;
  TObject* reportedSender = nullptr;
};

TEST_F(DropTargetTest, ThreeFilesGiveOneEventInTheShellsOrderWithTheClientPoint) {
  EXPECT_TRUE(AcceptsFiles(form->Handle()));
  const std::vector<std::wstring> files = {L"C:\\notes.txt", L"C:\\Pictures\\sky.png",
                                           L"D:\\写真\\海.jpg"};
  EXPECT_TRUE(Drop(form->Handle(), files, {40, 25}));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].sender, target);
  EXPECT_EQ(drops[0].files, files);
  EXPECT_EQ(drops[0].x, 40);
  EXPECT_EQ(drops[0].y, 25);
  EXPECT_EQ(form->ownDrops, 0) << "the drop goes no further than the target";
}

TEST_F(DropTargetTest, ANameLongerThanMaxPathIsReadWhole) {
  const std::wstring longName = L"C:\\" + std::wstring(292, L'x') + L"\\a.png";
  ASSERT_EQ(longName.size(), 301u);
  EXPECT_TRUE(Drop(form->Handle(), {longName, L"C:\\b.bmp"}));
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].files, (std::vector<std::wstring>{longName, L"C:\\b.bmp"}));
}

TEST_F(DropTargetTest, WithoutAHandlerTheDropIsFinishedAndNothingElseHappens) {
  target->OnFileDrop = nullptr;
  EXPECT_TRUE(Drop(form->Handle(), {L"C:\\a.png"}));
  EXPECT_EQ(form->ownDrops, 0);
  EXPECT_TRUE(reported.empty());
}

TEST_F(DropTargetTest, AFailingHandlerReachesTheApplicationAndTheDropIsStillFinished) {
  target->OnFileDrop = [](TObject*, const std::vector<std::wstring>&, int, int) {
    throw Exception("cannot decode");
  };
  EXPECT_TRUE(Drop(form->Handle(), {L"C:\\a.png"}));
  EXPECT_EQ(reported, std::vector<std::string>{"cannot decode"});
  EXPECT_EQ(reportedSender, target);
}

TEST_F(DropTargetTest, AcceptDropSwitchesTheWindowsAcceptanceOnlyOnAChange) {
  target->SetAcceptDrop(false);
  EXPECT_FALSE(AcceptsFiles(form->Handle()));
  DragAcceptFiles(form->Handle(), TRUE);  // set from outside
  target->SetAcceptDrop(false);
  EXPECT_TRUE(AcceptsFiles(form->Handle())) << "the same value does nothing";
  target->SetAcceptDrop(true);
  EXPECT_TRUE(AcceptsFiles(form->Handle()));
}

TEST_F(DropTargetTest, ARecreatedWindowAcceptsDropsAgainWithoutANewAssignment) {
  HWND old = form->Handle();
  form->RecreateWindow();
  ASSERT_NE(form->Handle(), old);
  EXPECT_FALSE(IsWindow(old));
  SendMessageW(form->Handle(), WM_NULL, 0, 0);  // the first message after creation
  EXPECT_EQ(target->HookedWindow(), form->Handle());
  EXPECT_TRUE(AcceptsFiles(form->Handle()));
  EXPECT_TRUE(Drop(form->Handle(), {L"C:\\a.png"}));
  EXPECT_EQ(drops.size(), 1u);
}

TEST_F(DropTargetTest, RecreatingKeepsTheChildControls) {
  auto* button = new TButton(form, form->Handle(), {5, 5, 60, 20});
  form->RecreateWindow();
  EXPECT_TRUE(IsWindow(button->Handle()));
  EXPECT_EQ(GetParent(button->Handle()), form->Handle());
}

TEST_F(DropTargetTest, FreeingTheTargetGivesTheFormItsOwnHandlingBack) {
  delete target;
  EXPECT_FALSE(Drop(form->Handle(), {L"C:\\a.png"}));
  EXPECT_EQ(form->ownDrops, 1);
  EXPECT_TRUE(drops.empty());
}

TEST_F(DropTargetTest, ATargetThatIsDestroyedIsDropped) {
  TComponent keeper(nullptr);
  auto* stranger = new TDropDst(&keeper);
  stranger->SetControl(new TButton(form, form->Handle(), {5, 5, 60, 20}));
  ASSERT_NE(stranger->HookedWindow(), nullptr);
  delete form;
  form = nullptr;
  EXPECT_EQ(stranger->HookedWindow(), nullptr);
  EXPECT_EQ(stranger->Control(), nullptr);
  stranger->SetTarget(htControl);  // nothing left to hook, and nothing to give back
  EXPECT_EQ(stranger->HookedWindow(), nullptr);
}

TEST_F(DropTargetTest, AControlTargetTakesTheDropsOfThatControlOnly) {
  auto* list = new TListBox(form, form->Handle(), {0, 0, 80, 60});
  auto* onList = new TDropDst(form);
  std::vector<std::wstring> listFiles;
  onList->OnFileDrop = [&listFiles](TObject*, const std::vector<std::wstring>& files, int, int) {
    listFiles = files;
  };
  onList->SetControl(list);
  onList->Loaded();
  EXPECT_TRUE(AcceptsFiles(list->Handle()));
  EXPECT_TRUE(Drop(list->Handle(), {L"C:\\list.png"}));
  EXPECT_EQ(listFiles, std::vector<std::wstring>{L"C:\\list.png"});
  EXPECT_TRUE(drops.empty());
  SendMessageW(list->Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"item"));
  EXPECT_EQ(SendMessageW(list->Handle(), LB_GETCOUNT, 0, 0), 1) << "other messages go on";
}

TEST_F(DropTargetTest, AFormTargetWithAControlHooksTheControlsForm) {
  auto* button = new TButton(form, form->Handle(), {5, 5, 60, 20});
  auto* viaControl = new TDropDst(nullptr);
  viaControl->SetControl(button);
  viaControl->SetTarget(htForm);
  EXPECT_EQ(viaControl->HookedWindow(), form->Handle());
  delete viaControl;
}

TEST_F(DropTargetTest, WithoutATargetAControlHookWaitsAndAFormHookFails) {
  TDropDst loose(nullptr);
  loose.Loaded();
  EXPECT_EQ(loose.HookedWindow(), nullptr);
  try {
    loose.SetTarget(htForm);
    FAIL() << "no form to hook";
  } catch (const Exception& error) {
    EXPECT_STREQ(error.what(), "フック先を特定できません。");
  }
}

}  // namespace
}  // namespace tavelo
