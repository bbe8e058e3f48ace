#include "settings/NumEdit.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/Form.h"

namespace tavelo {
namespace {

// Holds a key down in this thread's keyboard state for the life of the scope.
class KeyDownScope {
 public:
  explicit KeyDownScope(BYTE virtualKey) : virtualKey_(virtualKey) { SetKey(0x80); }
  ~KeyDownScope() { SetKey(0); }
  KeyDownScope(const KeyDownScope&) = delete;
  KeyDownScope& operator=(const KeyDownScope&) = delete;

 private:
  void SetKey(BYTE state) const {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[virtualKey_] = state;
    SetKeyboardState(keys);
  }
  BYTE virtualKey_;
};

void SetClipboardText(HWND owner, const std::wstring& text) {
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
  CopyMemory(GlobalLock(memory), text.c_str(), bytes);
  GlobalUnlock(memory);
  SetClipboardData(CF_UNICODETEXT, memory);
  CloseClipboard();
}

std::wstring ClipboardText(HWND owner) {
  if (!OpenClipboard(owner)) return L"<clipboard busy>";
  std::wstring text = L"<no text>";
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    text = static_cast<const wchar_t*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

// A shown form with one box set up the way the settings dialog sets it up.
class NumEditTest : public ::testing::Test {
 protected:
  NumEditTest() {
    form.SetBounds(100, 100, 240, 120);
    form.Show();
    box->SetReadOnly(true);
    box->SetIntegerLength(3);
    box->SetColor(GetSysColor(COLOR_BTNFACE));
    box->SetAutoSize(false);
    box->SetBounds(20, 20, 40, 20);
    box->OnChange = [this](TObject*) { ++changes; };
  }

  void Char(wchar_t c) const { SendMessageW(box->Handle(), WM_CHAR, c, 1); }
  void Key(WPARAM virtualKey) const { SendMessageW(box->Handle(), WM_KEYDOWN, virtualKey, 1); }
  void CtrlKey(WPARAM virtualKey) const {
    KeyDownScope control(VK_CONTROL);
    Key(virtualKey);
  }

  // How many pixels of the box's client area have this colour.
  int PixelsOf(COLORREF color) const {
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(box->Handle(), &client);
    HDC dc = GetDC(box->Handle());
    int count = 0;
    for (int y = 0; y < client.bottom; ++y) {
      for (int x = 0; x < client.right; ++x) count += GetPixel(dc, x, y) == color;
    }
    ReleaseDC(box->Handle(), dc);
    return count;
  }

  TForm form{nullptr, L"TNumEditTestForm"};
  TNumEdit* box = new TNumEdit(&form, form.Handle(), RECT{20, 20, 141, 40});
  int changes = 0;
};

TEST_F(NumEditTest, ReadOnlyBoxIgnoresTypingAndEditingKeys) {
  box->SetText(L"70");
  SetClipboardText(form.Handle(), L"5");
  for (const wchar_t c : {L'5', L'-', L'.', L'\b', L'x'}) Char(c);
  Key(VK_BACK);
  Key(VK_DELETE);
  CtrlKey('V');
  CtrlKey('X');
  EXPECT_EQ(box->Text(), L"70");
  EXPECT_EQ(changes, 0);
  EXPECT_FALSE(box->Modified());
  EXPECT_FALSE(box->CanUndo());
}

TEST_F(NumEditTest, ReadOnlyBoxSelectsAndCopiesWithCtrlAAndCtrlC) {
  const struct {
    bool imageCopy;
    const wchar_t* copied;
  } cases[] = {{false, L"12345"}, {true, L"12,345"}};
  box->SetIntegerLength(9);
  box->SetText(L"12345");
  for (const auto& c : cases) {
    box->SetImageCopy(c.imageCopy);
    box->ClearSelect();
    SetClipboardText(form.Handle(), L"old");
    CtrlKey('C');
    EXPECT_EQ(ClipboardText(form.Handle()), L"old") << "nothing is selected yet";
    CtrlKey('A');
    EXPECT_EQ(box->SelLength(), 6);
    CtrlKey('C');
    EXPECT_EQ(ClipboardText(form.Handle()), c.copied);
  }
}

TEST_F(NumEditTest, TextRoundTripsThroughTheWindow) {
  const struct {
    const wchar_t* given;
    const wchar_t* text;
    const wchar_t* shown;
  } cases[] = {
      {L"70", L"70", L"70"},   {L"007", L"7", L"7"},   {L"abc", L"", L""},
      {L"1234", L"123", L"123"}, {L"-1234", L"-123", L"-123"}, {L"120", L"120", L"120"},
  };
  for (const auto& c : cases) {
    box->SetText(c.given);
    EXPECT_EQ(box->Text(), c.text) << c.given;
    EXPECT_EQ(box->ValText(), c.shown) << c.given;
  }
  EXPECT_EQ(changes, 0);
}

TEST_F(NumEditTest, PaintsTheSelectionInHighlightColoursOnTheBoxColour) {
  box->SetText(L"100");
  box->ClearSelect();
  EXPECT_EQ(PixelsOf(GetSysColor(COLOR_HIGHLIGHT)), 0);
  const int boxColoured = PixelsOf(GetSysColor(COLOR_BTNFACE));
  EXPECT_GT(boxColoured, 0);
  box->SelectAll();
  EXPECT_GT(PixelsOf(GetSysColor(COLOR_HIGHLIGHT)), 0);
  EXPECT_LT(PixelsOf(GetSysColor(COLOR_BTNFACE)), boxColoured);
}

TEST_F(NumEditTest, EditableBoxTypesDeletesAndUndoes) {
  box->SetReadOnly(false);
  box->SetText(L"0");
  Char(L'-');
  EXPECT_EQ(box->Text(), L"-1");
  Char(L'2');
  EXPECT_EQ(box->Text(), L"-12");
  Char(L'3');
  Char(L'4');  // beyond the three digits
  EXPECT_EQ(box->Text(), L"-123");
  Key(VK_BACK);
  EXPECT_EQ(box->Text(), L"-12");
  EXPECT_EQ(changes, 4);
  EXPECT_TRUE(box->Modified());
  box->Undo();
  EXPECT_EQ(box->Text(), L"-123");
  box->Undo();
  EXPECT_EQ(box->Text(), L"-12");
}

TEST_F(NumEditTest, FocusSelectsEverythingAndLeavingDropsTheSelection) {
  auto* other = new TNumEdit(&form, form.Handle(), RECT{80, 20, 120, 40});
  box->SetText(L"100");
  SetFocus(other->Handle());
  EXPECT_EQ(box->SelLength(), 0);
  SetFocus(box->Handle());
  EXPECT_EQ(box->SelLength(), 3);
  EXPECT_EQ(other->SelLength(), 0);
  SetFocus(other->Handle());
  EXPECT_EQ(box->SelLength(), 0);
}

TEST_F(NumEditTest, EnterReachesTheBoxOnlyWhenItMovesTheFocus) {
  EXPECT_EQ(SendMessageW(box->Handle(), WM_GETDLGCODE, 0, 0), 0x81);
  box->SetEnterFocusMove(true);
  EXPECT_EQ(SendMessageW(box->Handle(), WM_GETDLGCODE, 0, 0), 0x85);
}

}  // namespace
}  // namespace tavelo
