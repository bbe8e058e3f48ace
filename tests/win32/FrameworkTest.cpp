#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/ApplicationEvents.h"
#include "framework/Exception.h"
#include "framework/Form.h"

namespace tavelo {
namespace {

std::vector<std::wstring> destroyed;

class TRecordingComponent : public TComponent {
 public:
  TRecordingComponent(TComponent* owner, std::wstring name) : TComponent(owner) {
    SetName(std::move(name));
  }
  ~TRecordingComponent() override { destroyed.push_back(Name()); }

  // Refers to a component it does not own, and drops it when that one goes.
  void Watch(TComponent* other) {
    watched = other;
    other->FreeNotification(this);
  }
  TComponent* watched = nullptr;

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == TOperation::Remove && component == watched) watched = nullptr;
  }
};

TEST(ComponentTest, OwnerDestroysItsComponentsLastCreatedFirst) {
  destroyed.clear();
  {
    TComponent owner(nullptr);
    new TRecordingComponent(&owner, L"first");
    auto* second = new TRecordingComponent(&owner, L"second");
    new TRecordingComponent(second, L"second.child");
    new TRecordingComponent(&owner, L"third");
    EXPECT_EQ(owner.FindComponent(L"second"), second);
    EXPECT_EQ(owner.FindComponent(L"fourth"), nullptr);
  }
  // A component's own destructor runs before it destroys what it owns.
  EXPECT_EQ(destroyed,
            (std::vector<std::wstring>{L"third", L"second", L"second.child", L"first"}));
}

TEST(ComponentTest, ReferenceIsDroppedWhenTheOtherComponentIsDestroyed) {
  TRecordingComponent owner(nullptr, L"owner");
  auto* watcher = new TRecordingComponent(&owner, L"watcher");
  auto* stranger = new TRecordingComponent(nullptr, L"stranger");
  watcher->Watch(stranger);
  delete stranger;
  EXPECT_EQ(watcher->watched, nullptr);
  EXPECT_EQ(owner.FindComponent(L"watcher"), watcher);
}

// An application per test, with its exceptions recorded instead of shown.
class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application.Initialize();
    events = new TApplicationEvents(&application);
    events->OnException = [this](TObject* sender, const std::exception& error) {
      reported.push_back(error.what());
      reportedSender = sender;
    };
  }

  TApplication application;
  TApplicationEvents* events = nullptr;
  std::vector<std::string> reported;
  TObject* reportedSender = nullptr;
};

class TSampleForm : public TForm {
 public:
  explicit TSampleForm(TComponent* owner) : TForm(owner, L"TSampleForm") {
    OnCreate = [this](TObject*) {
      createdWithReference = self && *self == this;
      if (failInCreate) throw Exception("creation failed");
      createCompleted = true;
    };
    OnDestroy = [this](TObject*) { ++destroyCount; };
  }

  static inline TSampleForm** self = nullptr;
  static inline bool failInCreate = false;
  static inline int destroyCount = 0;
  bool createdWithReference = false;
  bool createCompleted = false;

 protected:
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_APP) throw Exception("handler failed");
    return TForm::WndProc(message, wParam, lParam);
  }
};

TEST_F(FormTest, FirstFormIsTheMainFormAndItsReferenceIsSetBeforeCreation) {
  TSampleForm* first = nullptr;
  TSampleForm* second = nullptr;
  TSampleForm::self = &first;
  application.CreateForm(first);
  TSampleForm::self = nullptr;
  application.CreateForm(second);
  EXPECT_TRUE(first->createdWithReference);
  EXPECT_EQ(application.MainForm(), first);
  EXPECT_FALSE(first->Visible());
  EXPECT_EQ(GetWindow(first->Handle(), GW_OWNER), application.Handle());
}

TEST_F(FormTest, ExceptionInCreationGoesToTheHookAndSkipsTheRest) {
  TSampleForm* form = nullptr;
  TSampleForm::failInCreate = true;
  application.CreateForm(form);
  TSampleForm::failInCreate = false;
  EXPECT_FALSE(form->createCompleted);
  EXPECT_EQ(reported, std::vector<std::string>{"creation failed"});
  EXPECT_EQ(reportedSender, form);
}

TEST_F(FormTest, ExceptionInAWindowMessageGoesToTheHook) {
  TSampleForm* form = nullptr;
  application.CreateForm(form);
  EXPECT_EQ(SendMessageW(form->Handle(), WM_APP, 0, 0), 0);
  PostMessageW(form->Handle(), WM_APP, 0, 0);
  application.ProcessMessages();
  EXPECT_EQ(reported, (std::vector<std::string>{"handler failed", "handler failed"}));
}

TEST_F(FormTest, FailingHookDoesNotComeBackToItself) {
  int calls = 0;
  events->OnException = [&calls](TObject*, const std::exception&) {
    ++calls;
    throw Exception("hook failed too");
  };
  TSampleForm* form = nullptr;
  application.CreateForm(form);
  SendMessageW(form->Handle(), WM_APP, 0, 0);
  EXPECT_EQ(calls, 1);
}

TEST_F(FormTest, ReleaseDestroysTheFormAfterTheCurrentMessage) {
  TSampleForm* main = nullptr;
  TSampleForm* released = nullptr;
  application.CreateForm(main);
  application.CreateForm(released);
  const HWND handle = released->Handle();
  TSampleForm::destroyCount = 0;
  released->Release();
  EXPECT_TRUE(IsWindow(handle));
  EXPECT_EQ(TSampleForm::destroyCount, 0);
  application.ProcessMessages();
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_EQ(TSampleForm::destroyCount, 1);
  EXPECT_EQ(application.Components().size(), 2u);  // the events and the main form
}

TEST_F(FormTest, ClosingTheMainFormEndsTheLoopUnlessTheCloseQueryRefuses) {
  TSampleForm* form = nullptr;
  application.CreateForm(form);
  bool allow = false;
  form->OnCloseQuery = [&allow](TObject*, bool& canClose) { canClose = allow; };
  PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  application.ProcessMessages();
  EXPECT_FALSE(application.Terminated());
  allow = true;
  PostMessageW(form->Handle(), WM_CLOSE, 0, 0);
  application.Run();  // returns only because the close ended the loop
  EXPECT_TRUE(application.Terminated());
}

}  // namespace
}  // namespace tavelo
