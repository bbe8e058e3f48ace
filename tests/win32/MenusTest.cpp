#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Menus.h"
#include "framework/Timer.h"
#include "TestSupport.h"

namespace tavelo {
namespace {

// A form's components: the popup menu and its items, which the form owns.
class MenuTest : public ::testing::Test {
 protected:
  TMenuItem* MakeItem(TMenuItem* parent, const std::wstring& caption) {
    auto* item = new TMenuItem(&form);
    item->SetName(caption);
    item->Caption = caption;
    parent->Add(item);
    return item;
  }
  TMenuItem* Item(const std::wstring& name) const {
    return static_cast<TMenuItem*>(form.FindComponent(name));
  }
  static std::vector<std::wstring> CaptionsOf(const TMenuItem& parent) {
    std::vector<std::wstring> captions;
    for (int index = 0; index < parent.Count(); ++index)
      captions.push_back(parent.Items(index)->Caption);
    return captions;
  }

  TComponent form{nullptr};
  TPopupMenu* menu = new TPopupMenu(&form);
  TMenuItem* root = menu->Items();
};

TEST_F(MenuTest, ItemsAreFoundByNameAndAddMovesThemBetweenParents) {
  TMenuItem* sub = MakeItem(root, L"sub");
  TMenuItem* moved = MakeItem(root, L"moved");
  EXPECT_EQ(Item(L"sub"), sub);
  EXPECT_EQ(moved->Parent(), root);
  sub->Add(moved);
  EXPECT_EQ(moved->Parent(), sub);
  EXPECT_EQ(CaptionsOf(*root), std::vector<std::wstring>{L"sub"});
  EXPECT_EQ(CaptionsOf(*sub), std::vector<std::wstring>{L"moved"});
}

TEST_F(MenuTest, DestroyedItemLeavesItsParentAndFreesItsChildren) {
  MakeItem(root, L"first");
  TMenuItem* sub = MakeItem(root, L"sub");
  TMenuItem* inner = MakeItem(sub, L"inner");
  MakeItem(root, L"last");
  delete sub;
  EXPECT_EQ(CaptionsOf(*root), (std::vector<std::wstring>{L"first", L"last"}));
  EXPECT_EQ(inner->Parent(), nullptr);
  EXPECT_EQ(Item(L"inner"), inner);
}

TEST_F(MenuTest, DestroyedPopupMenuLeavesTheFormsItemsWithoutParent) {
  TMenuItem* item = MakeItem(root, L"item");
  delete menu;
  EXPECT_EQ(item->Parent(), nullptr);
  EXPECT_EQ(form.Components(), std::vector<TComponent*>{item});
}

struct RadioCase {
  const wchar_t* item;
  bool checked;
  const wchar_t* tickedAfter;
};

class MenuRadioTest : public MenuTest, public ::testing::WithParamInterface<RadioCase> {
 protected:
  // Under the root: radio items a1, a2 (group 1) and b1 (group 2), the plain
  // item "plain" (group 1), and "sub" with the radio item s1 (group 1).
  void SetUp() override {
    for (const wchar_t* name : {L"a1", L"a2", L"b1", L"plain", L"sub"}) MakeItem(root, name);
    MakeItem(Item(L"sub"), L"s1");
    for (const wchar_t* name : {L"a1", L"a2", L"s1"}) Item(name)->GroupIndex = 1;
    Item(L"plain")->GroupIndex = 1;
    Item(L"b1")->GroupIndex = 2;
    for (const wchar_t* name : {L"a1", L"a2", L"b1", L"s1"}) Item(name)->RadioItem = true;
    Item(L"a1")->SetChecked(true);
    Item(L"b1")->SetChecked(true);
  }
  std::wstring TickedItems() const {
    std::wstring ticked;
    for (const wchar_t* name : {L"a1", L"a2", L"b1", L"plain", L"s1"})
      if (Item(name)->Checked()) ticked += (ticked.empty() ? L"" : L" ") + std::wstring(name);
    return ticked;
  }
};

TEST_P(MenuRadioTest, TickingARadioItemUnticksOnlyItsGroupUnderTheSameParent) {
  EXPECT_EQ(TickedItems(), L"a1 b1");
  Item(GetParam().item)->SetChecked(GetParam().checked);
  EXPECT_EQ(TickedItems(), GetParam().tickedAfter);
}

INSTANTIATE_TEST_SUITE_P(MenuCases, MenuRadioTest,
                         ::testing::Values(RadioCase{L"a2", true, L"a2 b1"},
                                           RadioCase{L"a1", false, L"b1"},
                                           RadioCase{L"plain", true, L"a1 b1 plain"},
                                           RadioCase{L"s1", true, L"a1 b1 s1"}));

struct ClickCase {
  const char* name;
  bool radioItem;
  bool autoCheck;
  bool enabled;
  bool tickedBefore;
  bool tickedAfter;
  bool siblingTickedAfter;  // a radio item of the same group, ticked first
  bool clicked;
};

class MenuClickTest : public MenuTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(MenuClickTest, ClickAppliesAutoCheckBeforeOnClickUnlessDisabled) {
  const ClickCase& given = GetParam();
  TMenuItem* sibling = MakeItem(root, L"sibling");
  TMenuItem* item = MakeItem(root, L"item");
  sibling->RadioItem = true;
  sibling->SetChecked(true);
  item->RadioItem = given.radioItem;
  item->AutoCheck = given.autoCheck;
  item->Enabled = given.enabled;
  item->SetChecked(given.tickedBefore);
  std::vector<bool> tickSeenByOnClick;
  item->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, item);
    tickSeenByOnClick.push_back(item->Checked());
  };
  item->Click();
  EXPECT_EQ(item->Checked(), given.tickedAfter);
  EXPECT_EQ(sibling->Checked(), given.siblingTickedAfter);
  EXPECT_EQ(tickSeenByOnClick,
            given.clicked ? std::vector<bool>{given.tickedAfter} : std::vector<bool>{});
}

INSTANTIATE_TEST_SUITE_P(
    MenuCases, MenuClickTest,
    ::testing::Values(ClickCase{"PlainTicks", false, true, true, false, true, true, true},
                      ClickCase{"PlainUnticks", false, true, true, true, false, true, true},
                      ClickCase{"RadioTicks", true, true, true, false, true, false, true},
                      ClickCase{"RadioStaysTicked", true, true, true, true, true, false, true},
                      ClickCase{"NoAutoCheck", true, false, true, false, false, true, true},
                      ClickCase{"Disabled", false, true, false, false, false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A line per item: caption and states, a submenu in brackets.
std::wstring Describe(HMENU menu) {
  std::wstring lines;
  for (int index = 0; index < GetMenuItemCount(menu); ++index) {
    wchar_t caption[64] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = caption;
    info.cch = 64;
    GetMenuItemInfoW(menu, static_cast<UINT>(index), TRUE, &info);
    std::wstring line = (info.fType & MFT_SEPARATOR) ? L"-" : caption;
    if (info.fType & MFT_RADIOCHECK) line += L" radio";
    if (info.fState & MFS_CHECKED) line += L" checked";
    if (info.fState & MFS_DEFAULT) line += L" default";
    if (info.fState & MFS_DISABLED) line += L" disabled";
    if (info.hSubMenu) line += L" [" + Describe(info.hSubMenu) + L"]";
    lines += (lines.empty() ? L"" : L"; ") + line;
  }
  return lines;
}

// Works the menu while Popup waits in it: a timer on this thread finds the
// open menu window, writes down what it shows, then posts the keys to it, or
// cancels the menu when there are none.
class MenuDriver {
 public:
  MenuDriver(std::vector<UINT> keys, std::vector<std::wstring>& log)
      : keys_(std::move(keys)), log_(log) {
    timer_.SetInterval(20);
    timer_.OnTimer = [this](TObject*) { Tick(); };
  }

  std::wstring shown;

 private:
  // Ticks after the keys before the menu is cancelled, so that a test whose
  // keys are not taken fails instead of hanging.
  static constexpr int kPatience = 250;

  void Tick() {
    const HWND window = test::OpenMenuWindow();
    if (!window) return;
    if (acted_) {
      if (++waited_ == kPatience) EndMenu();
      return;
    }
    acted_ = true;
    log_.push_back(L"open");
    shown = Describe(reinterpret_cast<HMENU>(SendMessageW(window, MN_GETHMENU, 0, 0)));
    if (keys_.empty()) EndMenu();
    for (const UINT key : keys_)
      PostMessageW(window, WM_KEYDOWN, key, 1 | (MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16));
  }

  std::vector<UINT> keys_;
  std::vector<std::wstring>& log_;
  TTimer timer_{nullptr};
  bool acted_ = false;
  int waited_ = 0;
};

struct PopupCase {
  const char* name;
  std::vector<UINT> keys;
  std::vector<std::wstring> log;
};

class MenuPopupTest : public MenuTest, public ::testing::WithParamInterface<PopupCase> {
 protected:
  void SetUp() override {
    MakeItem(root, L"&Open")->Default = true;
    TMenuItem* tick = MakeItem(root, L"&Tick");
    tick->AutoCheck = true;
    tick->SetChecked(true);
    MakeItem(root, L"-");
    TMenuItem* radio = MakeItem(root, L"&Radio");
    radio->RadioItem = true;
    radio->SetChecked(true);
    MakeItem(MakeItem(root, L"&Sub"), L"&Inner");
    MakeItem(root, L"Hidden")->Visible = false;
    MakeItem(root, L"O&ff")->Enabled = false;
    for (TComponent* component : form.Components())
      if (auto* item = dynamic_cast<TMenuItem*>(component))
        item->OnClick = [this](TObject* sender) {
          log.push_back(L"click " + static_cast<TMenuItem*>(sender)->Caption);
        };
    menu->OnPopup = [this](TObject* sender) {
      EXPECT_EQ(sender, menu);
      log.push_back(L"popup");
      Item(L"&Open")->Caption = L"&Open now";
    };
  }

  std::vector<std::wstring> log;
};

TEST_P(MenuPopupTest, ShowsTheVisibleItemsWithTheirStatesAndClicksTheChosenOne) {
  MenuDriver driver(GetParam().keys, log);
  menu->Popup(100, 100);
  EXPECT_EQ(driver.shown,
            L"&Open now default; &Tick checked; -; &Radio radio checked; &Sub [&Inner]; "
            L"O&ff disabled");
  EXPECT_EQ(log, GetParam().log);
}

INSTANTIATE_TEST_SUITE_P(
    MenuCases, MenuPopupTest,
    ::testing::Values(
        PopupCase{"FirstItem", {VK_DOWN, VK_RETURN}, {L"popup", L"open", L"click &Open now"}},
        PopupCase{"SecondItem", {VK_DOWN, VK_DOWN, VK_RETURN}, {L"popup", L"open", L"click &Tick"}},
        PopupCase{"ItemOfASubmenu",
                  {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN},
                  {L"popup", L"open", L"click &Inner"}},
        PopupCase{"Cancelled", {}, {L"popup", L"open"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, PopupMenuDropsThePopupComponentWhenThatIsDestroyed) {
  MakeItem(root, L"item");
  auto* opener = new TComponent(nullptr);
  menu->PopupComponent = opener;
  std::vector<std::wstring> log;
  MenuDriver driver({}, log);
  menu->Popup(100, 100);
  ASSERT_EQ(log, std::vector<std::wstring>{L"open"});
  delete opener;
  EXPECT_EQ(menu->PopupComponent, nullptr);
}

}  // namespace
}  // namespace tavelo
