#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/PixelBitmap.h"
#include "resources/TrayFaces.h"
#include "tray/CoolTrayIcon.h"
#include "TestSupport.h"

namespace tavelo {
namespace {

// Two icons on a form with a shared menu, as the controller has them; the
// shell's notifications are sent to the handler window the way it sends them.
class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    application.Initialize();
    form = new TForm(&application, L"TTrayTestForm");
    list = new TImageList(form, 32, 32);
    for (int n = 0; n <= 100; ++n) list->Add(DigitalFace(n));
    menu = new TPopupMenu(form);
    upper = AddItem(L"upper", true);
    AddItem(L"plain", false);
    lower = AddItem(L"lower", true);
    cpu = new TCoolTrayIcon(form);
    ram = new TCoolTrayIcon(form);
    for (TCoolTrayIcon* icon : {cpu, ram}) {
      icon->SetIconList(list);
      icon->SetPopupMenu(menu);
    }
  }

  TMenuItem* AddItem(const wchar_t* name, bool isDefault) {
    auto* item = new TMenuItem(form);
    item->SetName(name);
    item->Caption = name;
    item->Default = isDefault;
    item->OnClick = [this, name](TObject*) { clicked += name; };
    menu->Items()->Add(item);
    return item;
  }

  static void Notify(TCoolTrayIcon* icon, UINT mouseMessage) {
    SendMessageW(icon->Handle(), TCoolTrayIcon::WM_TRAYNOTIFY, icon->IconID(), mouseMessage);
  }

  TApplication application;
  TForm* form = nullptr;
  TImageList* list = nullptr;
  TPopupMenu* menu = nullptr;
  TMenuItem* upper = nullptr;
  TMenuItem* lower = nullptr;
  TCoolTrayIcon* cpu = nullptr;
  TCoolTrayIcon* ram = nullptr;
  std::wstring clicked;
};

TEST_F(TrayIconTest, DoubleClickClicksTheUppermostDefaultItemOfTheMenuOnly) {
  Notify(ram, WM_LBUTTONDOWN);
  Notify(ram, WM_LBUTTONUP);
  EXPECT_EQ(clicked, L"") << "a single click does nothing";
  Notify(ram, WM_LBUTTONDBLCLK);
  EXPECT_EQ(clicked, L"upper");
}

TEST_F(TrayIconTest, DeafIconsIgnoreTheDoubleClick) {
  const struct {
    const char* what;
    bool ramEnabled;
    bool autoPopup;
    bool upperEnabled;
    const wchar_t* fromCpu;
    const wchar_t* fromRam;
  } cases[] = {
      {"all answer", true, true, true, L"upper", L"upper"},
      {"RAM icon disabled", false, true, true, L"upper", L""},
      {"menu closed for both", true, false, true, L"", L""},
      {"default item disabled", true, true, false, L"", L""},
  };
  for (const auto& test : cases) {
    ram->SetEnabled(test.ramEnabled);
    menu->AutoPopup = test.autoPopup;
    upper->Enabled = test.upperEnabled;
    clicked.clear();
    Notify(cpu, WM_LBUTTONDBLCLK);
    EXPECT_EQ(clicked, test.fromCpu) << test.what;
    clicked.clear();
    Notify(ram, WM_LBUTTONDBLCLK);
    EXPECT_EQ(clicked, test.fromRam) << test.what;
  }
}

TEST_F(TrayIconTest, RightButtonOpensTheMenuForThatIconAndPokesTheOwnerAfterwards) {
  bool opened = false;
  menu->OnPopup = [&opened](TObject*) { opened = true; };
  test::CloseMenuOnceShown();
  Notify(ram, WM_RBUTTONDOWN);
  EXPECT_TRUE(opened);
  EXPECT_EQ(menu->PopupComponent, ram);
  MSG poke;
  EXPECT_TRUE(PeekMessageW(&poke, form->Handle(), WM_NULL, WM_NULL, PM_REMOVE));
  EXPECT_EQ(clicked, L"") << "closing the menu chose nothing";

  opened = false;
  menu->AutoPopup = false;
  Notify(cpu, WM_RBUTTONDOWN);
  EXPECT_FALSE(opened);
}

TEST_F(TrayIconTest, IndexBeyondTheListSelectsTheLastPicture) {
  cpu->SetIconIndex(150);
  EXPECT_EQ(cpu->IconIndex(), 100);
  EXPECT_NE(cpu->Icon(), nullptr);
  cpu->SetIconIndex(7);
  EXPECT_EQ(cpu->IconIndex(), 7);
}

TEST_F(TrayIconTest, DestroyedListAndMenuAreDropped) {
  cpu->SetIconIndex(42);
  delete list;
  EXPECT_EQ(cpu->IconList(), nullptr);
  EXPECT_EQ(cpu->IconIndex(), 0);
  delete menu;
  EXPECT_EQ(ram->PopupMenu(), nullptr);
  Notify(ram, WM_LBUTTONDBLCLK);  // nothing to click, nothing to crash
  EXPECT_EQ(clicked, L"");
}

TEST_F(TrayIconTest, HandlerWindowSurvivesCloseRequestsAndGoesWithTheLastIcon) {
  const HWND handler = cpu->Handle();
  EXPECT_EQ(ram->Handle(), handler) << "one window for all icons";
  EXPECT_EQ(SendMessageW(handler, WM_CLOSE, 0, 0), 1);
  ASSERT_TRUE(IsWindow(handler));
  Notify(cpu, WM_LBUTTONDBLCLK);
  EXPECT_EQ(clicked, L"upper");
  delete cpu;
  EXPECT_TRUE(IsWindow(handler));
  delete ram;
  EXPECT_FALSE(IsWindow(handler));
}

TEST_F(TrayIconTest, CyclingWithoutIntervalNeverStartsItsTimer) {
  const unsigned running = TSimpleTimer::ActiveCount();
  cpu->SetCycleInterval(0);
  cpu->SetCycleIcons(true);
  EXPECT_EQ(TSimpleTimer::ActiveCount(), running);
  cpu->SetCycleInterval(50);
  EXPECT_EQ(TSimpleTimer::ActiveCount(), running + 1);
  cpu->SetCycleIcons(false);
  EXPECT_EQ(TSimpleTimer::ActiveCount(), running);
}

// Each icon stands in front of the form's window procedure; the newest one
// that minimizes to the tray takes the command, whichever icon went before.
TEST_F(TrayIconTest, MinimizeCommandOfTheFormGoesToTheNewestIconThatTakesIt) {
  const struct {
    const char* what;
    bool olderTakes;
    bool newerTakes;
    const wchar_t* first;
    bool newerGoes;  // else the older icon goes
    const wchar_t* second;
  } cases[] = {
      {"both take it, the newer goes", true, true, L"newer", true, L"older"},
      {"only the older takes it, the newer goes", true, false, L"older", true, L"older"},
      {"only the newer takes it, the older goes", false, true, L"newer", false, L"newer"},
      {"both take it, the older goes", true, true, L"newer", false, L"newer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::wstring taken;
    auto* older = new TCoolTrayIcon(form);
    auto* newer = new TCoolTrayIcon(form);
    older->MinimizeToTray = c.olderTakes;
    older->OnMinimizeToTray = [&taken](TObject*) { taken += L"older"; };
    newer->MinimizeToTray = c.newerTakes;
    newer->OnMinimizeToTray = [&taken](TObject*) { taken += L"newer"; };

    EXPECT_EQ(SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
    EXPECT_EQ(taken, c.first);
    TCoolTrayIcon* staying = c.newerGoes ? older : newer;
    delete (c.newerGoes ? newer : older);
    taken.clear();
    EXPECT_EQ(SendMessageW(form->Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0), 1);
    EXPECT_EQ(taken, c.second);
    delete staying;
  }
}

// A painting whose pixels are, in turn, orange, black and a colour of their
// place, which is never one of the other two.
TPixelImage Painting(int width, int height) {
  TPixelImage picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int kind = (x + 2 * y) % 3;
      picture.Set(x, y,
                  kind == 0   ? Rgb(0xFF, 0x80, 0x20)
                  : kind == 1 ? 0
                              : Rgb(static_cast<std::uint8_t>(x * 5),
                                    static_cast<std::uint8_t>(y * 9), 0x40));
    }
  return picture;
}

// The top left 16 x 16 pixels of the painting, those of the colour and those
// beyond it transparent.
TPixelImage Masked(const TPixelImage& painting, std::uint32_t transparent) {
  TPixelImage icon(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (x < painting.width && y < painting.height && painting.At(x, y) != transparent)
        icon.Set(x, y, painting.At(x, y));
      else
        icon.Clear(x, y);
  return icon;
}

TEST(TrayIconBitmapTest, PixelsOfTheMaskColourTurnTransparent) {
  const struct {
    const char* what;
    int width;
    int height;
    COLORREF maskColor;
    std::uint32_t transparent;
  } cases[] = {
      {"icon sized, orange", 16, 16, RGB(0xFF, 0x80, 0x20), Rgb(0xFF, 0x80, 0x20)},
      {"icon sized, black", 16, 16, RGB(0, 0, 0), 0},
      {"red and blue swapped: all opaque", 16, 16, RGB(0x20, 0x80, 0xFF), Rgb(0x20, 0x80, 0xFF)},
      {"wider and taller: the top left", 40, 24, RGB(0xFF, 0x80, 0x20), Rgb(0xFF, 0x80, 0x20)},
      {"smaller: the rest transparent", 10, 7, RGB(0xFF, 0x80, 0x20), Rgb(0xFF, 0x80, 0x20)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TPixelImage painting = Painting(c.width, c.height);
    HBITMAP bitmap = CreatePixelBitmap(painting);
    ASSERT_NE(bitmap, nullptr);
    test::ExpectIconShows(TCoolTrayIcon::BitmapToIcon(bitmap, c.maskColor),
                          Masked(painting, c.transparent));
    DeleteObject(bitmap);
  }
}

TEST(TrayIconBitmapTest, NoIconFromWhatIsNoBitmap) {
  EXPECT_EQ(TCoolTrayIcon::BitmapToIcon(nullptr, RGB(0xFF, 0, 0xFF)), nullptr);
  HBRUSH brush = CreateSolidBrush(RGB(0xFF, 0, 0xFF));
  EXPECT_EQ(TCoolTrayIcon::BitmapToIcon(reinterpret_cast<HBITMAP>(brush), RGB(0xFF, 0, 0xFF)),
            nullptr);
  DeleteObject(brush);
}

TEST(SimpleTimerTest, AutoDisableStopsTheTimerBeforeItsTick) {
  int ticks = 0;
  TSimpleTimer timer(10, [&ticks](TObject*) { ++ticks; });
  timer.AutoDisable = true;
  timer.SetEnabled(true);
  const DWORD start = GetTickCount();
  MSG message;
  while (ticks == 0 && GetTickCount() - start < 5000)
    if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&message);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.Enabled());

  timer.SetInterval(0);
  timer.SetEnabled(true);
  EXPECT_FALSE(timer.Enabled()) << "an interval of 0 cannot start";
}

}  // namespace
}  // namespace tavelo
