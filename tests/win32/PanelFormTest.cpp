#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PictureEncoders.h"
#include "ControllerTest.h"
#include "TestSupport.h"
#include "app/Main.h"
#include "app/Orvane.h"
#include "framework/Text.h"
#include "panel/Panel.h"
#include "settings/Config.h"

#include <commctrl.h>  // after windows.h

namespace tavelo {
namespace {

// The panel window of a running controller.
class PanelFormTest : public test::ControllerTest {
 protected:
  std::wstring SavedIni() {
    const Bytes bytes = test::ReadBytes(IniPath());
    return DecodeText(bytes, &AnsiToWide);
  }

  // Closes and reopens the panel through the controller's menu item.
  void ReopenPanel() {
    MainForm->PPPanel->Click();
    application.ProcessMessages();
    ASSERT_EQ(PanelForm, nullptr);
    MainForm->PPPanel->Click();
    ASSERT_NE(PanelForm, nullptr);
  }

  // A drag whose button comes up at once: the system's move loop ends where
  // the window stands.
  static void DragInPlace() {
    PostMessageW(PanelForm->Handle(), WM_LBUTTONUP, 0, 0);
    PanelForm->ImageMouseDown(PanelForm->Image, TMouseButton::mbLeft, ssLeft, 10, 10);
  }

  static RECT WindowRect() {
    RECT rect{};
    GetWindowRect(PanelForm->Handle(), &rect);
    return rect;
  }

  static BYTE Opacity() {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    GetLayeredWindowAttributes(PanelForm->Handle(), &key, &alpha, &flags);
    return (flags & LWA_ALPHA) ? alpha : 0;
  }

  static bool ColourKeyed() {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 1;
    if (!GetLayeredWindowAttributes(PanelForm->Handle(), &key, &alpha, &flags)) return false;
    return (flags & LWA_COLORKEY) && key == RGB(0, 0, 0);
  }

  // What the panel shows at a client point, painted now.
  static COLORREF Pixel(int x, int y) {
    RedrawWindow(PanelForm->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    HDC canvas = GetDC(PanelForm->Handle());
    const COLORREF pixel = GetPixel(canvas, x, y);
    ReleaseDC(PanelForm->Handle(), canvas);
    return pixel;
  }

  static bool IsLightGrey(COLORREF pixel) {
    return GetRValue(pixel) > 150 && GetGValue(pixel) > 150 && GetBValue(pixel) > 150;
  }

  // A small picture file in one colour.
  static void WritePng(const std::wstring& path, std::uint8_t red, std::uint8_t green,
                       std::uint8_t blue) {
    test::WriteBytes(path, test::EncodePng(8, 6, [&](int, std::uint8_t* rgb) {
                       for (int x = 0; x < 8; ++x, rgb += 3) {
                         rgb[0] = red;
                         rgb[1] = green;
                         rgb[2] = blue;
                       }
                     }));
  }

};

TEST_F(PanelFormTest, FirstStartShowsTheDefaultPanelAtOneHundredOneHundred) {
  Start();
  const RECT rect = WindowRect();
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 100);
  EXPECT_EQ(rect.right - rect.left, 85);
  EXPECT_EQ(rect.bottom - rect.top, 64);
  EXPECT_TRUE(IsWindowVisible(PanelForm->Handle()));
  EXPECT_EQ(PanelForm->MPic, L"");
  EXPECT_EQ(PanelForm->Image->Picture().Width(), 85);
  EXPECT_TRUE(IsLightGrey(Pixel(80, 60))) << std::hex << Pixel(80, 60);
  EXPECT_EQ(Pixel(40, 17), RGB(0, 0, 0)) << "the labels' black background";
  EXPECT_EQ(Opacity(), 255);
  EXPECT_TRUE(PanelForm->MPPTrans[10]->Checked());
  const LONG style = GetWindowLongW(PanelForm->Handle(), GWL_STYLE);
  const LONG exStyle = GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE);
  EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME)) << "no border";
  EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(MainForm->TrayIconCPU->IconVisible());
  EXPECT_TRUE(MainForm->TrayIconRAM->IconVisible());
  EXPECT_TRUE(PanelForm->PPTaskTray->Checked());
  EXPECT_EQ(PanelForm->Caption(), L"Tavelo");
}

TEST_F(PanelFormTest, NormalLayoutPlacesEveryLabelAndBar) {
  Start();
  const struct {
    TTextLabel* label;
    int left, top, width, height;
  } cases[] = {
      {PanelForm->LabelCPU, 12, 6, 29, 13},     {PanelForm->LabelRAM, 12, 34, 29, 13},
      {PanelForm->LabelCPUData, 38, 6, 36, 13}, {PanelForm->LabelRAMData, 38, 34, 36, 13},
      {PanelForm->LBCPUB0, 34, 19, 20, 13},     {PanelForm->LBCPUB1, 54, 19, 12, 13},
      {PanelForm->LBCPUB2, 66, 19, 8, 13},      {PanelForm->LBRAMB0, 34, 47, 20, 13},
      {PanelForm->LBRAMB1, 54, 47, 12, 13},     {PanelForm->LBRAMB2, 66, 47, 8, 13},
  };
  for (const auto& test : cases) {
    const TBounds& bounds = test.label->Bounds();
    EXPECT_EQ(bounds.left, test.left) << test.label->Name().size();
    EXPECT_EQ(bounds.top, test.top);
    EXPECT_EQ(bounds.width, test.width);
    EXPECT_EQ(bounds.height, test.height);
    EXPECT_TRUE(test.label->Font().bold);
    EXPECT_EQ(test.label->Font().size, 8);
    EXPECT_EQ(test.label->Color(), 0x000000u);
  }
  EXPECT_EQ(PanelForm->LabelCPU->Font().name, L"ＭＳ ゴシック");
  EXPECT_EQ(PanelForm->LabelRAMData->Font().name, L"ＭＳ ゴシック");
  EXPECT_EQ(PanelForm->LBRAMB2->Font().name, L"MS UI Gothic");
  EXPECT_EQ(PanelForm->LabelCPU->FontColor(), 0x00FFFFu);
  EXPECT_EQ(PanelForm->LabelRAM->Caption(), L"RAM");
  EXPECT_EQ(PanelForm->LBCPUB0->FontColor(), 0x00FF00u);
  EXPECT_EQ(PanelForm->LBCPUB1->FontColor(), 0xFFFF00u);
  EXPECT_EQ(PanelForm->LBRAMB2->FontColor(), 0xFF0000u);
  EXPECT_EQ(PanelForm->LabelCPUData->Alignment(), TAlignment::taRightJustify);
}

TEST_F(PanelFormTest, ValuesShowAsTextColourBarsAndHints) {
  Start();
  const struct {
    int percent;
    std::uint32_t colour;
    const wchar_t* green;
    const wchar_t* yellow;
    const wchar_t* red;
  } cases[] = {{49, 0x00FF00, L"IIII", L"", L""},
               {50, 0xFFFF00, L"IIIII", L"I", L""},
               {79, 0xFFFF00, L"IIIII", L"III", L""},
               {80, 0xFF0000, L"IIIII", L"III", L"I"},
               {100, 0xFF0000, L"IIIII", L"III", L"III"},
               {9, 0x00FF00, L"", L"", L""}};
  for (const auto& test : cases) {
    MainForm->MCPU = test.percent;
    MainForm->MRAM = 100 - test.percent;
    PanelForm->Proc_DispData();
    const std::wstring text = std::to_wstring(test.percent) + L"%";
    EXPECT_EQ(PanelForm->LabelCPUData->Caption(), text);
    EXPECT_EQ(PanelForm->LabelCPUData->FontColor(), test.colour) << test.percent;
    EXPECT_EQ(PanelForm->LBCPUB0->Caption(), test.green) << test.percent;
    EXPECT_EQ(PanelForm->LBCPUB1->Caption(), test.yellow) << test.percent;
    EXPECT_EQ(PanelForm->LBCPUB2->Caption(), test.red) << test.percent;
    for (TTextLabel* label : {PanelForm->LabelCPUData, PanelForm->LabelCPU, PanelForm->LBCPUB0,
                              PanelForm->LBCPUB1, PanelForm->LBCPUB2})
      EXPECT_EQ(label->Hint(), L"CPU : " + text);
    EXPECT_EQ(PanelForm->LabelRAMData->Caption(), std::to_wstring(100 - test.percent) + L"%");
    EXPECT_EQ(PanelForm->LBRAMB2->Hint(), L"RAM : " + std::to_wstring(100 - test.percent) + L"%");
  }
}

// The tooltip over the panel is made when the mouse first moves over it, and
// shows a label's hint.
TEST_F(PanelFormTest, HintsReachTheTooltip) {
  Start();
  MainForm->MCPU = 45;
  PanelForm->Proc_DispData();
  EXPECT_EQ(GetPropW(PanelForm->Handle(), L"Tavelo.Hints"), nullptr);
  SendMessageW(PanelForm->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(60, 25));
  HWND tips = static_cast<HWND>(GetPropW(PanelForm->Handle(), L"Tavelo.Hints"));
  ASSERT_NE(tips, nullptr);
  wchar_t text[80] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = PanelForm->Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(PanelForm->LBCPUB1);
  tool.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, L"CPU : 45%");
  ASSERT_TRUE(SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(tool.rect.left, 54);
  EXPECT_EQ(tool.rect.top, 19);
}

TEST_F(PanelFormTest, TheSameValueTwiceChangesNothing) {
  Start();
  MainForm->MCPU = 45;
  MainForm->MRAM = 60;
  PanelForm->Proc_DispData();
  UpdateWindow(PanelForm->Handle());
  ASSERT_FALSE(GetUpdateRect(PanelForm->Handle(), nullptr, FALSE));
  PanelForm->Proc_DispData();
  EXPECT_FALSE(GetUpdateRect(PanelForm->Handle(), nullptr, FALSE)) << "nothing to repaint";
  MainForm->MRAM = 75;
  PanelForm->Proc_DispData();
  EXPECT_TRUE(GetUpdateRect(PanelForm->Handle(), nullptr, FALSE)) << "a new bar is drawn";
}

TEST_F(PanelFormTest, StopEmptiesEveryTextAndSaysStoppedInEveryHint) {
  Start();
  MainForm->MCPU = 85;
  MainForm->MRAM = 55;
  PanelForm->Proc_DispData();
  MainForm->PPStop->Click();  // the controller mirrors Stop and refreshes the panel
  EXPECT_TRUE(PanelForm->PPStop->Checked());
  for (TTextLabel* label : {PanelForm->LabelCPUData, PanelForm->LabelRAMData, PanelForm->LBCPUB0,
                            PanelForm->LBCPUB1, PanelForm->LBCPUB2, PanelForm->LBRAMB0,
                            PanelForm->LBRAMB1, PanelForm->LBRAMB2})
    EXPECT_EQ(label->Caption(), L"");
  for (TTextLabel* label : {PanelForm->LabelCPU, PanelForm->LabelCPUData, PanelForm->LabelRAM,
                            PanelForm->LabelRAMData, PanelForm->LBCPUB0, PanelForm->LBCPUB1,
                            PanelForm->LBCPUB2, PanelForm->LBRAMB0, PanelForm->LBRAMB1,
                            PanelForm->LBRAMB2})
    EXPECT_EQ(label->Hint(), L"停止");
  EXPECT_EQ(PanelForm->LabelCPUData->FontColor(), 0x00FF00u) << "the controller zeroed the loads";

  PanelForm->PPStop->Click();  // the panel's own item runs the controller's Stop
  EXPECT_FALSE(MainForm->PPStop->Checked());
  EXPECT_NE(MainForm->TrayIconCPU->IconIndex(), 101);
  PanelForm->PPStop->Click();
  EXPECT_TRUE(MainForm->PPStop->Checked());
  EXPECT_EQ(MainForm->TrayIconCPU->IconIndex(), 101);
}

TEST_F(PanelFormTest, SmallLayoutIsOneRowAndLeavesTheBarsAlone) {
  Start();
  MainForm->MCPU = 30;
  PanelForm->Proc_DispData();
  SendMessageW(PanelForm->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 40));
  ASSERT_TRUE(PanelForm->FSmall);
  RECT rect = WindowRect();
  EXPECT_EQ(rect.right - rect.left, 155);
  EXPECT_EQ(rect.bottom - rect.top, 23);
  EXPECT_EQ(PanelForm->LabelCPU->Top(), 5);
  EXPECT_EQ(PanelForm->LabelCPUData->Left(), 38);
  EXPECT_EQ(PanelForm->LabelRAM->Left(), 84);
  EXPECT_EQ(PanelForm->LabelRAM->Top(), 5);
  EXPECT_EQ(PanelForm->LabelRAMData->Left(), 110);
  EXPECT_FALSE(PanelForm->LBCPUB0->Visible());
  EXPECT_EQ(PanelForm->LabelCPUData->Caption(), L"30%") << "the value stays";

  MainForm->MCPU = 90;
  PanelForm->Proc_DispData();
  EXPECT_EQ(PanelForm->LabelCPUData->Caption(), L"90%");
  EXPECT_EQ(PanelForm->LabelCPUData->FontColor(), 0xFF0000u);
  EXPECT_EQ(PanelForm->LBCPUB0->Hint(), L"CPU : 90%");
  EXPECT_EQ(PanelForm->LBCPUB0->Caption(), L"III") << "the hidden bars are left alone";

  SendMessageW(PanelForm->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(40, 10));
  EXPECT_FALSE(PanelForm->FSmall);
  rect = WindowRect();
  EXPECT_EQ(rect.right - rect.left, 85);
  EXPECT_EQ(rect.bottom - rect.top, 64);
  EXPECT_EQ(PanelForm->LabelCPUData->Caption(), L"") << "emptied, so that the bars are rebuilt";
  PanelForm->Proc_DispData();
  EXPECT_EQ(PanelForm->LBCPUB2->Caption(), L"II");
}

TEST_F(PanelFormTest, OpacityStepsGiveTenthsOfFullOpacity) {
  Start();
  PanelForm->MPPTrans[5]->Click();
  EXPECT_EQ(Opacity(), 127);
  EXPECT_EQ(PanelForm->MTrans, 5);
  EXPECT_TRUE(PanelForm->MPPTrans[5]->Checked());
  EXPECT_FALSE(PanelForm->MPPTrans[10]->Checked());
  PanelForm->MPPTrans[9]->Click();
  EXPECT_EQ(Opacity(), 229);
  ReopenPanel();
  EXPECT_EQ(PanelForm->MTrans, 9) << "kept in the settings";
  EXPECT_EQ(Opacity(), 229);
}

TEST_F(PanelFormTest, AStoredOpacityOutsideTheStepsIsFullOpacity) {
  for (const wchar_t* trans : {L"0", L"11", L"-4"}) {
    Start(std::wstring(L"[Panel]\r\nTrans=") + trans + L"\r\n");
    EXPECT_EQ(PanelForm->MTrans, 10) << trans;
    EXPECT_TRUE(PanelForm->MPPTrans[10]->Checked());
    EXPECT_EQ(Opacity(), 255);
    Exit();
    EXPECT_NE(SavedIni().find(L"Trans=10\r\n"), std::wstring::npos) << trans;
  }
}

TEST_F(PanelFormTest, NoPictureStaysBlackAndStaysNone) {
  Start(L"[Picture]\r\nPicture=無し\r\n");
  EXPECT_TRUE(PanelForm->Image->Picture().Empty());
  EXPECT_EQ(PanelForm->MPic, L"無し");
  EXPECT_EQ(Pixel(80, 60), RGB(0, 0, 0));
  ReopenPanel();
  EXPECT_NE(SavedIni().find(L"[Picture]\r\nPicture=無し\r\n"), std::wstring::npos);
  EXPECT_EQ(PanelForm->MPic, L"無し");
}

TEST_F(PanelFormTest, APictureThatIsGoneOrBrokenGivesTheDefaultPictureWrittenBackEmpty) {
  const std::wstring broken = DataFolder + L"broken.bmp";
  test::WriteBytes(broken, Bytes{'B', 'M', 1, 2, 3});
  for (const std::wstring& stored : {DataFolder + L"deleted.png", broken}) {
    Start(L"[Picture]\r\nPicture=" + stored + L"\r\n");
    EXPECT_EQ(PanelForm->MPic, L"");
    EXPECT_EQ(PanelForm->Image->Picture().Width(), 85);
    EXPECT_TRUE(IsLightGrey(Pixel(80, 60)));
    EXPECT_TRUE(MainForm->TrayIconCPU->IconVisible()) << "the creation went on";
    EXPECT_EQ(Opacity(), 255);
    Exit();
    EXPECT_NE(SavedIni().find(L"[Picture]\r\nPicture=\r\n"), std::wstring::npos);
  }
}

// The picture file is deleted or replaced while the panel shows it, and the
// program runs on: what shows stays, through repaints and layout changes,
// since the picture was read whole; the path stays stored, and the next
// start shows what the file holds by then.
TEST_F(PanelFormTest, PictureFileDeletedOrReplacedWhileShownTakesEffectAtTheNextStart) {
  enum Change { kDeleted, kReplacedByBlue, kReplacedByBroken };
  const struct {
    Change change;
    bool defaultNext;  // else blue
  } cases[] = {{kDeleted, true}, {kReplacedByBlue, false}, {kReplacedByBroken, true}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.change);
    const std::wstring picture = DataFolder + L"shown.png";
    WritePng(picture, 255, 0, 0);
    Start(L"[Picture]\r\nPicture=" + picture + L"\r\n");
    ASSERT_EQ(Pixel(80, 60), RGB(255, 0, 0));
    if (test.change == kDeleted) DeleteFileW(picture.c_str());
    if (test.change == kReplacedByBlue) WritePng(picture, 0, 0, 255);
    if (test.change == kReplacedByBroken) test::WriteBytes(picture, Bytes{0x89, 'P', 'N', 'G'});
    EXPECT_EQ(Pixel(80, 60), RGB(255, 0, 0));
    PanelForm->ImageDblClick(PanelForm->Image);
    PanelForm->ImageDblClick(PanelForm->Image);
    EXPECT_EQ(Pixel(80, 60), RGB(255, 0, 0)) << "after the layout changed twice";
    EXPECT_EQ(PanelForm->MPic, picture);
    Exit();
    EXPECT_NE(SavedIni().find(L"[Picture]\r\nPicture=" + picture + L"\r\n"), std::wstring::npos);

    Start();
    EXPECT_EQ(PanelForm->MPic, test.defaultNext ? L"" : picture);
    if (test.defaultNext)
      EXPECT_TRUE(IsLightGrey(Pixel(80, 60)));
    else
      EXPECT_EQ(Pixel(80, 60), RGB(0, 0, 255));
    Exit();
    DeleteFileW(picture.c_str());
  }
}

// Files dropped on the panel, as the shell hands them over.
void Drop(const std::vector<std::wstring>& files) {
  SendMessageW(PanelForm->Handle(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(test::MakeDrop(files, POINT{5, 5})), 0);
}

TEST_F(PanelFormTest, DroppedPicturesAndPictureItemsChangeThePictureAndMPicTogether) {
  Start();
  const std::wstring red = DataFolder + L"red.PNG";
  const std::wstring text = DataFolder + L"notes.txt";
  const std::wstring broken = DataFolder + L"broken.bmp";
  WritePng(red, 255, 0, 0);
  test::WriteBytes(text, Bytes{'h', 'i'});
  test::WriteBytes(broken, Bytes{'B', 'M', 0});

  Drop({text, red, red});
  EXPECT_EQ(PanelForm->MPic, L"") << "only the first file counts";
  EXPECT_TRUE(IsLightGrey(Pixel(80, 60)));
  Drop({red, text});
  EXPECT_EQ(PanelForm->MPic, red);
  EXPECT_EQ(Pixel(80, 60), RGB(255, 0, 0));

  MainForm->MCPU = 42;
  Drop({broken});
  EXPECT_EQ(MainForm->MCPU, 0) << "the error reached the controller's hook, which reset";
  EXPECT_EQ(PanelForm->MPic, red) << "what is shown did not change";
  EXPECT_EQ(Pixel(80, 60), RGB(255, 0, 0));

  PanelForm->PPNon->Click();
  EXPECT_EQ(PanelForm->MPic, L"無し");
  EXPECT_EQ(Pixel(80, 60), RGB(0, 0, 0));
  PanelForm->PPDef->Click();
  EXPECT_EQ(PanelForm->MPic, L"");
  EXPECT_TRUE(IsLightGrey(Pixel(80, 60)));
}

TEST_F(PanelFormTest, DraggingInTheSmallLayoutMovesOnlyTheSmallPosition) {
  Start(L"[Panel]\r\nSmall=1\r\nNormalTop=120\r\nNormalLeft=130\r\n");
  ASSERT_TRUE(PanelForm->FSmall);
  SetWindowPos(PanelForm->Handle(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  DragInPlace();
  EXPECT_EQ(PanelForm->MSmallLEft, 300);
  EXPECT_EQ(PanelForm->MSmallTop, 200);
  EXPECT_EQ(PanelForm->MNormalLeft, 130);
  EXPECT_EQ(PanelForm->MNormalTop, 120);
  PanelForm->ImageDblClick(PanelForm->Image);
  EXPECT_EQ(WindowRect().left, 130) << "the normal layout stands where it stood";
  EXPECT_EQ(WindowRect().top, 120);
  PanelForm->ImageDblClick(PanelForm->Image);
  EXPECT_EQ(WindowRect().left, 300);
  EXPECT_EQ(WindowRect().top, 200);
}

TEST_F(PanelFormTest, AMovedPanelSnapsToTheWorkAreaEdges) {
  Start();
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  SetWindowPos(PanelForm->Handle(), nullptr, area.left + 7, area.top + 300, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect().left, area.left);
  EXPECT_EQ(WindowRect().top, area.top + 300);
  SetWindowPos(PanelForm->Handle(), nullptr, area.right - 85 - 12, area.bottom - 64 + 9, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_EQ(WindowRect().left, area.right - 85 - 12) << "12 pixels away";
  EXPECT_EQ(WindowRect().bottom, area.bottom);
}

TEST_F(PanelFormTest, CornerItemsReachTheWorkAreaCorners) {
  Start();
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  const struct {
    TMenuItem* item;
    int left, top;
  } cases[] = {{PanelForm->PPPos1, area.left, area.top},
               {PanelForm->PPPos2, area.right - 85, area.top},
               {PanelForm->PPPos3, area.left, area.bottom - 64},
               {PanelForm->PPPos4, area.right - 85, area.bottom - 64}};
  for (const auto& test : cases) {
    test.item->Click();
    EXPECT_EQ(WindowRect().left, test.left) << test.item->Caption.size();
    EXPECT_EQ(WindowRect().top, test.top);
    EXPECT_EQ(PanelForm->MNormalLeft, test.left) << "remembered for the layout";
    EXPECT_EQ(PanelForm->MNormalTop, test.top);
  }
}

TEST_F(PanelFormTest, TextOnlyStateComesAndGoesWithTheMouseInTheSmallLayout) {
  Start(L"[Panel]\r\nSmall=1\r\nSmallP=1\r\n");
  EXPECT_TRUE(PanelForm->TextOnly()) << "entered when shown";
  EXPECT_TRUE(ColourKeyed());
  EXPECT_FALSE(PanelForm->Image->Visible());
  EXPECT_TRUE(PanelForm->LabelCPUData->Transparent());
  EXPECT_FALSE(PanelForm->LBCPUB0->Transparent());
  EXPECT_EQ(Opacity(), 255) << "opacity and colour key together";

  SendMessageW(PanelForm->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
  EXPECT_FALSE(PanelForm->TextOnly()) << "the full panel while the mouse is over it";
  EXPECT_FALSE(ColourKeyed());
  EXPECT_TRUE(PanelForm->Image->Visible());
  EXPECT_FALSE(PanelForm->LabelCPU->Transparent());
  SendMessageW(PanelForm->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(PanelForm->TextOnly());

  SendMessageW(PanelForm->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
  PanelForm->ImageDblClick(PanelForm->Image);
  SendMessageW(PanelForm->Handle(), WM_MOUSELEAVE, 0, 0);
  EXPECT_FALSE(PanelForm->TextOnly()) << "entering and leaving act in the small layout only";

  PanelForm->PPTransP->Click();
  EXPECT_FALSE(PanelForm->PPTransP->Checked());
  PanelForm->PPTransP->Click();
  EXPECT_TRUE(PanelForm->TextOnly()) << "the menu item acts in any layout";
}

TEST_F(PanelFormTest, TopmostIsAppliedAgainWhenTheProgramLosesActivation) {
  Start();
  PanelForm->PPTop->Click();
  EXPECT_TRUE(GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  SetWindowPos(PanelForm->Handle(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ASSERT_FALSE(GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  SendMessageW(application.Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_TRUE(GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  PanelForm->PPTop->Click();
  EXPECT_FALSE(GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(PanelFormTest, TheTraySwitchHidesBothIconsAndIsSaved) {
  Start();
  PanelForm->PPTaskTray->Click();
  EXPECT_FALSE(MainForm->TrayIconCPU->IconVisible());
  EXPECT_FALSE(MainForm->TrayIconRAM->IconVisible());
  EXPECT_FALSE(MainForm->FPPTaskTray);
  ReopenPanel();
  EXPECT_NE(SavedIni().find(L"[Disp]\r\nTaskTray=0\r\n"), std::wstring::npos);
  EXPECT_FALSE(PanelForm->PPTaskTray->Checked());
  EXPECT_FALSE(MainForm->TrayIconCPU->IconVisible());
  PanelForm->PPTaskTray->Click();
  EXPECT_TRUE(MainForm->TrayIconCPU->IconVisible());
  EXPECT_TRUE(MainForm->TrayIconRAM->IconVisible());
}

TEST_F(PanelFormTest, ClosingWritesThePanelKeysInOrderAndReopeningReadsThemBack) {
  Start();
  PanelForm->ImageDblClick(PanelForm->Image);
  SetWindowPos(PanelForm->Handle(), nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  DragInPlace();
  PanelForm->PPTop->Click();
  PanelForm->PPTransP->Click();
  ReopenPanel();
  EXPECT_EQ(SavedIni(),
            L"[Panel]\r\nNormalTop=-1\r\nNormalLeft=-1\r\nSmallTop=300\r\nSmallLeft=400\r\n"
            L"Top=300\r\nLeft=400\r\nMostTop=1\r\nSmall=1\r\nSmallP=1\r\nTrans=10\r\n\r\n"
            L"[Picture]\r\nPicture=\r\n\r\n[Disp]\r\nTaskTray=1\r\n\r\n");
  EXPECT_TRUE(PanelForm->FSmall);
  EXPECT_EQ(WindowRect().left, 400);
  EXPECT_EQ(WindowRect().top, 300);
  EXPECT_EQ(WindowRect().right - WindowRect().left, 155);
  EXPECT_TRUE(PanelForm->PPTop->Checked());
  EXPECT_TRUE(GetWindowLongW(PanelForm->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(PanelForm->TextOnly());
}

TEST_F(PanelFormTest, ExitClosesThePanelFirst) {
  Start();
  PanelForm->PPClose->Click();
  EXPECT_EQ(SavedIni().find(L"[Panel]\r\n"), 0u) << "the panel wrote first";
  EXPECT_NE(SavedIni().find(L"Panel=1\r\n"), std::wstring::npos) << "then the controller";
  EXPECT_FALSE(IsWindowVisible(PanelForm->Handle()));
}

TEST_F(PanelFormTest, MenuHasTheExactItemsInOrder) {
  Start();
  const auto captions = [](const TMenuItem* parent) {
    std::wstring all;
    for (int i = 0; i < parent->Count(); ++i) all += parent->Items(i)->Caption + L"|";
    return all;
  };
  EXPECT_EQ(captions(PanelForm->PPMenu->Items()),
            L"RAM最適化(&E)|-|停止(&S)|リセット(&R)|-|タスクトレイ(&Y)|設定(&C)|-|"
            L"常に最前面表示(&T)|ウィンドウの位置(&W)|半透明度(&H)|透過(&U)|背景画像の選択(&P)|"
            L"背景画像をデフォルトに戻す(&D)|背景画像無し(&N)|-|Windows タスク マネージャ(&M)|-|"
            L"終了(&X)|");
  EXPECT_EQ(captions(PanelForm->PPRAM),
            L"設定値|-|10%|20%|30%|40%|50%|60%|70%|80%|90%|");
  EXPECT_EQ(captions(PanelForm->PPWindow), L"左上(&7)|右上(&9)|左下(&1)|右下(&3)|");
  EXPECT_EQ(captions(PanelForm->PPTrans), L"100%|90%|80%|70%|60%|50%|40%|30%|20%|10%|");
  EXPECT_EQ(PanelForm->MPPTrans[3]->Caption, L"30%");
  EXPECT_EQ(PanelForm->MPPTrans[3]->Tag, 3);
  EXPECT_EQ(PanelForm->MPPRAM[7]->Tag, 7);
  EXPECT_TRUE(PanelForm->PPTrans->Enabled);
  EXPECT_TRUE(PanelForm->PPTaskMan->Enabled);
}

TEST_F(PanelFormTest, MenuOffersWhatFitsInTheFreeMemoryAndTextOnlyInTheSmallLayout) {
  Start();
  MainForm->MRAM = 45;
  for (const auto& [amount, clean] : {std::pair{L"55", false}, std::pair{L"54", true}}) {
    ConfigForm->TXTRAMValue->SetText(amount);
    PanelForm->PPMenuPopup(PanelForm->PPMenu);
    for (int i = 1; i <= 9; ++i) EXPECT_EQ(PanelForm->MPPRAM[i]->Enabled, i <= 5) << i;
    EXPECT_EQ(PanelForm->PPRAMClean->Enabled, clean) << amount;
    EXPECT_EQ(PanelForm->PPRAMClean->Caption, L"設定値:" + std::wstring(amount) + L"%");
  }
  EXPECT_FALSE(PanelForm->PPTransP->Enabled);
  PanelForm->ImageDblClick(PanelForm->Image);
  PanelForm->PPMenuPopup(PanelForm->PPMenu);
  EXPECT_TRUE(PanelForm->PPTransP->Enabled);
}

TEST_F(PanelFormTest, WhileMemoryIsFreedThePanelIsBlankAndItsMenuClosed) {
  Start();
  MainForm->MCPU = 70;
  PanelForm->Proc_DispData();
  MainForm->jsMaxMemsBeforeDefrag(MainForm->jsMaxMems);
  EXPECT_FALSE(PanelForm->PPMenu->AutoPopup);
  EXPECT_FALSE(PanelForm->PPRAM->Enabled);
  EXPECT_EQ(PanelForm->LabelCPUData->Caption(), L"");
  EXPECT_EQ(PanelForm->LBCPUB1->Caption(), L"");
  MainForm->MRAM = 10;
  PanelForm->MPPRAM[9]->Enabled = false;
  PanelForm->PPMenuPopup(PanelForm->PPMenu);
  EXPECT_FALSE(PanelForm->MPPRAM[9]->Enabled) << "the menu is left as it is";
  MainForm->jsMaxMemsAfterDefrag(MainForm->jsMaxMems);
  EXPECT_TRUE(PanelForm->PPMenu->AutoPopup);
  EXPECT_TRUE(PanelForm->PPRAM->Enabled);
}

TEST_F(PanelFormTest, PanelItemOfTheControllerClosesAndReleasesThePanel) {
  Start();
  const HWND window = PanelForm->Handle();
  MainForm->PPPanel->Click();
  EXPECT_EQ(PanelForm, nullptr);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_NE(SavedIni().find(L"[Panel]\r\n"), std::wstring::npos) << "its settings were written";
  application.ProcessMessages();
  EXPECT_FALSE(IsWindow(window)) << "released";
  MainForm->MCPU = 30;
  MainForm->TimerMainTimer(MainForm->TimerMain);
  MainForm->TimerMainTimer(MainForm->TimerMain);  // a second without a panel
  MainForm->PPStop->Click();
  MainForm->PPStop->Click();
}

}  // namespace
}  // namespace tavelo
