#include "settings/NumEdit.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/Form.h"
#include "framework/Menus.h"
#include "TestSupport.h"

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

TEST_F(NumEditTest, KeyEventsComeFirstAndASwallowedKeyChangesNothing) {
  const struct {
    UINT message;
    WPARAM key;
    bool shiftHeld;
    bool swallow;
    const wchar_t* event;
    TShiftState shift;
    const wchar_t* textAfter;
  } cases[] = {
      {WM_KEYDOWN, VK_BACK, false, false, L"down", 0, L"1"},
      {WM_KEYDOWN, VK_BACK, false, true, L"down", 0, L"12"},
      {WM_CHAR, L'3', false, false, L"press", 0, L"123"},
      {WM_CHAR, L'3', false, true, L"press", 0, L"12"},
      {WM_KEYUP, VK_BACK, true, false, L"up", ssShift, L"12"},
  };
  box->SetReadOnly(false);
  std::wstring event;
  std::wstring textSeen;
  WPARAM keySeen = 0;
  TShiftState shiftSeen = 0;
  bool swallow = false;
  auto keyHandler = [&](const wchar_t* name) {
    return [&, name](TObject* sender, WORD& key, TShiftState shift) {
      EXPECT_EQ(sender, box);
      event = name;
      textSeen = box->Text();
      keySeen = key;
      shiftSeen = shift;
      if (swallow) key = 0;
    };
  };
  box->OnKeyDown = keyHandler(L"down");
  box->OnKeyUp = keyHandler(L"up");
  box->OnKeyPress = [&](TObject* sender, wchar_t& key) {
    EXPECT_EQ(sender, box);
    event = L"press";
    textSeen = box->Text();
    keySeen = key;
    shiftSeen = 0;
    if (swallow) key = 0;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.event << " key " << c.key << " swallow " << c.swallow);
    box->SetText(L"12");
    box->ClearSelect();  // with a selection Backspace would clear everything
    changes = 0;
    event.clear();
    swallow = c.swallow;
    {
      std::optional<KeyDownScope> shift;
      if (c.shiftHeld) shift.emplace(VK_SHIFT);
      SendMessageW(box->Handle(), c.message, c.key, 1);
    }
    EXPECT_EQ(event, c.event);
    EXPECT_EQ(textSeen, L"12") << "the handler runs before the box edits";
    EXPECT_EQ(keySeen, c.key);
    EXPECT_EQ(shiftSeen, c.shift);
    EXPECT_EQ(box->Text(), c.textAfter);
    EXPECT_EQ(changes, box->Text() == L"12" ? 0 : 1);
  }
}

TEST_F(NumEditTest, MouseButtonsReachOnMouseDownBeforeTheBoxHandlesThem) {
  const struct {
    UINT message;
    WPARAM keys;
    TMouseButton button;
    TShiftState shift;
    int selectionAfter;
  } cases[] = {
      {WM_LBUTTONDOWN, MK_LBUTTON, TMouseButton::mbLeft, ssLeft, 0},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, TMouseButton::mbRight, ssRight | ssCtrl, 3},
      {WM_MBUTTONDOWN, MK_MBUTTON | MK_SHIFT, TMouseButton::mbMiddle, ssMiddle | ssShift, 3},
  };
  box->SetText(L"100");
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "message " << c.message);
    int fired = 0;
    int selectionSeen = -1;
    box->OnMouseDown = [&](TObject* sender, TMouseButton button, TShiftState shift, int x, int y) {
      ++fired;
      selectionSeen = box->SelLength();
      EXPECT_EQ(sender, box);
      EXPECT_EQ(button, c.button);
      EXPECT_EQ(shift, c.shift);
      EXPECT_EQ(x, 7);
      EXPECT_EQ(y, 5);
    };
    box->SelectAll();
    SendMessageW(box->Handle(), c.message, c.keys, MAKELPARAM(7, 5));
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(selectionSeen, 3) << "a left press clears the selection only afterwards";
    EXPECT_EQ(box->SelLength(), c.selectionAfter);
  }
}

TEST_F(NumEditTest, ContextMenuOpensTheAssignedPopupMenuForTheBox) {
  auto* menu = new TPopupMenu(&form);
  auto* item = new TMenuItem(&form);
  item->Caption = L"Item";
  menu->Items()->Add(item);
  box->SetPopupMenu(menu);
  EXPECT_EQ(box->PopupMenu(), menu);
  for (const LPARAM at : {MAKELPARAM(150, 160), MAKELPARAM(-1, -1)}) {
    SCOPED_TRACE(testing::Message() << "at " << at);
    int opened = 0;
    TComponent* openedFor = nullptr;
    menu->PopupComponent = nullptr;
    menu->OnPopup = [&](TObject*) {
      ++opened;
      openedFor = menu->PopupComponent;
    };
    test::CloseMenuOnceShown();
    EXPECT_EQ(SendMessageW(box->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Handle()), at), 0);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(openedFor, box);
  }
}

TEST_F(NumEditTest, DestroyedPopupMenuIsDropped) {
  auto* first = new TPopupMenu(nullptr);
  auto* second = new TPopupMenu(nullptr);
  box->SetPopupMenu(first);
  box->SetPopupMenu(second);
  delete first;
  EXPECT_EQ(box->PopupMenu(), second) << "a menu no longer assigned does not matter";
  delete second;
  EXPECT_EQ(box->PopupMenu(), nullptr);
  // Without a menu the message goes on to the default handling and the box survives it.
  SendMessageW(box->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(box->Handle()), MAKELPARAM(150, 160));
  EXPECT_TRUE(IsWindow(box->Handle()));
}

TEST_F(NumEditTest, HintWindowExistsOnlyWithShowHintAndAHint) {
  const struct {
    bool showHint;
    const wchar_t* hint;
    bool expected;
  } cases[] = {{false, L"Seconds", false}, {true, L"", false}, {true, L"Seconds", true}};
  for (const auto& c : cases) {
    box->SetShowHint(c.showHint);
    box->SetHint(c.hint);
    HWND tooltip = box->HintWindow();
    EXPECT_EQ(tooltip != nullptr, c.expected) << c.showHint << " " << c.hint;
    if (!tooltip) continue;
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 1);
    wchar_t className[64] = {};
    GetClassNameW(tooltip, className, 64);
    EXPECT_STREQ(className, TOOLTIPS_CLASSW);
  }
}

TEST_F(NumEditTest, UnknownImeNameKeepsTheKeyboardLayout) {
  const HKL before = GetKeyboardLayout(0);
  box->SetImeName(L"No such input method");
  SetFocus(box->Handle());
  ASSERT_EQ(GetFocus(), box->Handle());
  EXPECT_EQ(GetKeyboardLayout(0), before);
  EXPECT_EQ(box->ImeName(), L"No such input method");
}

TEST_F(NumEditTest, TabOrderIsThePlaceThatTabFollows) {
  auto* second = new TNumEdit(&form, form.Handle(), RECT{20, 50, 60, 70});
  ASSERT_EQ(box->TabOrder(), 0);
  ASSERT_EQ(second->TabOrder(), 1);
  EXPECT_EQ(GetNextDlgTabItem(form.Handle(), box->Handle(), FALSE), second->Handle());

  second->SetTabOrder(0);
  EXPECT_EQ(second->TabOrder(), 0);
  EXPECT_EQ(box->TabOrder(), 1);
  EXPECT_EQ(GetNextDlgTabItem(form.Handle(), second->Handle(), FALSE), box->Handle());

  second->SetTabOrder(99);
  EXPECT_EQ(second->TabOrder(), 1);
}

RECT BoundsInParent(HWND window) {
  RECT bounds;
  GetWindowRect(window, &bounds);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

TEST_F(NumEditTest, AnchorsFollowTheFormsClientArea) {
  const struct {
    TAnchors anchors;
    RECT expected;  // after the client area grew by 50 x 30
  } cases[] = {
      {akLeft | akTop, {20, 20, 60, 40}},
      {akRight | akBottom, {70, 50, 110, 70}},
      {akLeft | akRight | akTop, {20, 20, 110, 40}},
  };
  const int width = form.ClientWidth(), height = form.ClientHeight();
  for (const auto& c : cases) {
    form.SetClientSize(width, height);
    box->SetBounds(20, 20, 40, 20);
    box->SetAnchors(c.anchors);
    form.SetClientSize(width + 50, height + 30);
    const RECT bounds = BoundsInParent(box->Handle());
    EXPECT_EQ(bounds.left, c.expected.left) << c.anchors;
    EXPECT_EQ(bounds.top, c.expected.top) << c.anchors;
    EXPECT_EQ(bounds.right, c.expected.right) << c.anchors;
    EXPECT_EQ(bounds.bottom, c.expected.bottom) << c.anchors;
  }
}

TEST_F(NumEditTest, ConstraintsBoundEverySizeAndAStretchedBoxComesBack) {
  box->SetConstraints({60, 0, 100, 30});
  EXPECT_EQ(BoundsInParent(box->Handle()).right, 20 + 60) << "the minimum applies at once";
  box->SetBounds(20, 20, 500, 500);
  RECT bounds = BoundsInParent(box->Handle());
  EXPECT_EQ(bounds.right - bounds.left, 100);
  EXPECT_EQ(bounds.bottom - bounds.top, 30);

  box->SetBounds(20, 20, 80, 20);
  box->SetAnchors(akLeft | akRight | akTop);
  const int width = form.ClientWidth(), height = form.ClientHeight();
  form.SetClientSize(width + 60, height);
  bounds = BoundsInParent(box->Handle());
  EXPECT_EQ(bounds.right - bounds.left, 100) << "stretched only up to the maximum";
  form.SetClientSize(width, height);
  bounds = BoundsInParent(box->Handle());
  EXPECT_EQ(bounds.right - bounds.left, 80);
}

// Drives a drag with the mouse messages posted beforehand, in the box's
// client coordinates, as the tracking loop reads them from the queue.
class NumEditDragTest : public NumEditTest {
 protected:
  NumEditDragTest() {
    box->SetDragMode(TDragMode::dmAutomatic);
    target->SetAutoSize(false);
    target->SetBounds(120, 20, 40, 20);
    box->OnStartDrag = [this](TObject* sender) {
      EXPECT_EQ(sender, box);
      ++starts;
    };
    box->OnEndDrag = [this](TObject*, TObject* endTarget, int x, int y) {
      ended = endTarget;
      endedAt = POINT{x, y};
      ++ends;
    };
  }

  void PressMoveRelease(POINT to) const {
    PostMessageW(box->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x / 2, to.y));
    PostMessageW(box->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    PostMessageW(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    SendMessageW(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  }

  TNumEdit* target = new TNumEdit(&form, form.Handle(), RECT{120, 20, 160, 40});
  int starts = 0;
  int ends = 0;
  TObject* ended = nullptr;
  POINT endedAt{-1, -1};
};

TEST_F(NumEditDragTest, DropOnABoxThatAcceptsIt) {
  std::vector<TDragState> states;
  target->OnDragOver = [&](TObject* sender, TObject* source, int, int, TDragState state,
                           bool& accept) {
    EXPECT_EQ(sender, target);
    EXPECT_EQ(source, box);
    EXPECT_TRUE(accept) << "a handler starts from accepting";
    states.push_back(state);
  };
  int drops = 0;
  target->OnDragDrop = [&](TObject* sender, TObject* source, int x, int y) {
    EXPECT_EQ(sender, target);
    EXPECT_EQ(source, box);
    EXPECT_EQ(x, 10);
    EXPECT_EQ(y, 5);
    ++drops;
  };
  PressMoveRelease({110, 5});  // the target's client area starts 100 pixels to the right
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(ended, target);
  EXPECT_EQ(endedAt.x, 10);
  ASSERT_GE(states.size(), 2u);
  EXPECT_EQ(states.front(), TDragState::dsDragEnter);
  EXPECT_EQ(states.back(), TDragState::dsDragMove);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(NumEditDragTest, BoxWithoutDragOverTakesNothing) {
  int drops = 0;
  target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
  PressMoveRelease({110, 5});
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(ended, nullptr);
}

TEST_F(NumEditDragTest, PressWithinTheDragDistanceIsAClick) {
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  PressMoveRelease({6, 5});
  EXPECT_EQ(starts, 0);
  EXPECT_EQ(ends, 0);
  EXPECT_EQ(clicks, 1);
}

TEST_F(NumEditDragTest, EscCancelsTheDrag) {
  int drops = 0;
  target->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool&) {};
  target->OnDragDrop = [&](TObject*, TObject*, int, int) { ++drops; };
  PostMessageW(box->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(110, 5));
  PostMessageW(box->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  PostMessageW(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(110, 5));
  SendMessageW(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(drops, 0);
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(ended, nullptr);
}

TEST_F(NumEditDragTest, DockKindMovesTheBoxIntoADockSite) {
  TForm site(nullptr, L"TNumEditDockSite");
  site.SetBounds(400, 100, 240, 120);
  site.Show();
  SetDockSite(site.Handle(), &site);
  TObject* dockedOn = nullptr;
  int startedDocks = 0;
  box->OnStartDock = [&](TObject*) { ++startedDocks; };
  box->OnEndDock = [&](TObject*, TObject* endTarget, int, int) { dockedOn = endTarget; };
  box->SetDragKind(TDragKind::dkDock);

  POINT drop{50, 40};  // in the site's client area, as the box's client point
  MapWindowPoints(site.Handle(), box->Handle(), &drop, 1);
  PressMoveRelease(drop);

  EXPECT_EQ(startedDocks, 1);
  EXPECT_EQ(starts, 0) << "docking is not dragging";
  EXPECT_EQ(dockedOn, &site);
  EXPECT_EQ(GetParent(box->Handle()), site.Handle());
  // The box keeps the grip: pressed at 5,5 of its client area, inside a 2-pixel edge.
  const RECT bounds = BoundsInParent(box->Handle());
  EXPECT_EQ(bounds.left, 50 - 7);
  EXPECT_EQ(bounds.top, 40 - 7);
  SetParent(box->Handle(), form.Handle());  // the form destroys its own box
}

}  // namespace
}  // namespace tavelo
