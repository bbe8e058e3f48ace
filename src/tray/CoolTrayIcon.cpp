#include "tray/CoolTrayIcon.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "framework/Application.h"
#include "framework/Form.h"
#include "framework/PixelBitmap.h"
#include "framework/WindowClass.h"
#include "framework/WindowSubclass.h"

#include <commctrl.h>  // the taskbar tooltips' class and style; nothing of comctl32.dll

namespace tavelo {

static_assert(offsetof(TNotifyIconDataEx, dwInfoFlags) == offsetof(NOTIFYICONDATAW, dwInfoFlags),
              "the record must match the start of the shell's own");
static_assert(sizeof(void*) != 4 || sizeof(TNotifyIconDataEx) == 936,
              "the record has the size every supported system accepts");

// The hidden window that the shell sends the notifications of every tray
// icon of the process to; it lives from the first icon to the last.
struct TTrayIconHandler {
  UINT Add(TCoolTrayIcon* icon);
  void Remove(TCoolTrayIcon* icon);
  TCoolTrayIcon* Find(UINT id) const;
  static LRESULT CALLBACK HandleIconMessage(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

  unsigned RefCount = 0;
  HWND FHandle = nullptr;
  UINT lastId = 0;
  std::vector<TCoolTrayIcon*> icons;
};

namespace {

TTrayIconHandler handler;
constexpr wchar_t kHandlerClass[] = L"TTrayIconHandler";
constexpr UINT kStandardFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr UINT kVersionWin2000 = 3;  // NOTIFYICON_VERSION

// Sent by the shell to top-level windows when the taskbar is made again.
UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

TShiftState KeyShiftState() {
  TShiftState shift = 0;
  if (GetAsyncKeyState(VK_SHIFT) & 0x8000) shift |= ssShift;
  if (GetAsyncKeyState(VK_MENU) & 0x8000) shift |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) & 0x8000) shift |= ssCtrl;
  return shift;
}

template <size_t Size>
void CopyCut(WCHAR (&field)[Size], const std::wstring& text, size_t limit = Size - 1) {
  const size_t length = std::min(text.size(), std::min(limit, Size - 1));
  std::fill(std::begin(field), std::end(field), L'\0');
  std::copy_n(text.data(), length, field);
}

HWND ApplicationWindow() { return Application ? Application->Handle() : nullptr; }

}  // namespace

UINT TTrayIconHandler::Add(TCoolTrayIcon* icon) {
  if (RefCount++ == 0) {
    RegisterWindowClass(kHandlerClass, &TTrayIconHandler::HandleIconMessage);
    // A real top-level window, so that it can be made the foreground window.
    FHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kHandlerClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  icons.push_back(icon);
  return ++lastId;
}

void TTrayIconHandler::Remove(TCoolTrayIcon* icon) {
  icons.erase(std::remove(icons.begin(), icons.end(), icon), icons.end());
  if (--RefCount > 0) return;
  HWND window = FHandle;
  FHandle = nullptr;
  DestroyWindow(window);
}

TCoolTrayIcon* TTrayIconHandler::Find(UINT id) const {
  for (TCoolTrayIcon* icon : icons)
    if (icon->FIconID == id) return icon;
  return nullptr;
}

LRESULT CALLBACK TTrayIconHandler::HandleIconMessage(HWND window, UINT message, WPARAM wParam,
                                                     LPARAM lParam) {
  switch (message) {
    case TCoolTrayIcon::WM_TRAYNOTIFY:
      if (TCoolTrayIcon* icon = handler.Find(static_cast<UINT>(wParam))) {
        try {
          icon->HandleNotification(lParam);
        } catch (...) {
          RouteException(icon);
        }
      }
      return 0;
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION:
      return 1;
    case WM_CLOSE:  // a close request must not take the icons' window away
    case WM_QUIT:
    case WM_DESTROY:
    case WM_NCDESTROY:
      return 1;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

TCoolTrayIcon::TCoolTrayIcon(TComponent* owner)
    : TComponent(owner),
      FIconID(handler.Add(this)),
      CycleTimer(std::make_unique<TSimpleTimer>(1000, [this](TObject*) { CycleTimerTick(); })),
      ClickTimer(std::make_unique<TSimpleTimer>(1000, [this](TObject*) { ClickTimerTick(); })),
      ExitTimer(std::make_unique<TSimpleTimer>(20, [this](TObject*) { ExitTimerTick(); })) {
  IconData.cbSize = sizeof IconData;
  IconData.hWnd = handler.FHandle;
  IconData.uID = FIconID;
  IconData.uFlags = kStandardFlags;
  IconData.uCallbackMessage = WM_TRAYNOTIFY;
  TaskbarCreatedMessage();
  if (Application)
    appHookKey_ = Application->HookMainWindow(
        [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT&) {
          return HookAppProc(message, wParam, lParam);
        });
  if (HWND window = OwnerWindow()) {
    AttachSubclass(window, &TCoolTrayIcon::OwnerProc, FIconID, reinterpret_cast<DWORD_PTR>(this));
    subclassedOwner_ = window;
  }
}

TCoolTrayIcon::~TCoolTrayIcon() {
  SetIconVisible(false);
  CycleTimer.reset();
  ClickTimer.reset();
  ExitTimer.reset();
  if (FIcon) DestroyIcon(FIcon);
  if (appHookKey_ && Application) Application->UnhookMainWindow(appHookKey_);
  if (subclassedOwner_) DetachSubclass(subclassedOwner_, &TCoolTrayIcon::OwnerProc, FIconID);
  handler.Remove(this);
}

HWND TCoolTrayIcon::OwnerWindow() const {
  const auto* form = dynamic_cast<const TForm*>(Owner());
  return form ? form->Handle() : nullptr;
}

bool TCoolTrayIcon::AskStartup() {
  bool showMainForm = true;
  Fire(OnStartup, this, showMainForm);
  return showMainForm;
}

void TCoolTrayIcon::Loaded() {
  if (OwnerWindow() && !AskStartup()) {
    if (Application) Application->ShowMainForm = false;
    HideMainForm();
  }
  ModifyIcon();
  SetIconVisible(FIconVisible);
  SetCycleIcons(FCycleIcons);
  SetWantEnterExitEvents(FWantEnterExitEvents);
  SetBehavior(FBehavior);
}

void TCoolTrayIcon::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FPopupMenu) FPopupMenu = nullptr;
  if (component == FIconList) {
    FIconList = nullptr;
    SetIconIndex(0);
  }
}

void TCoolTrayIcon::FillRecord() {
  IconData.hIcon = FIcon;
  if (!FHint.empty() && FShowHint)
    CopyCut(IconData.szTip, FHint, 126);
  else
    std::fill(std::begin(IconData.szTip), std::end(IconData.szTip), L'\0');
}

bool TCoolTrayIcon::AddIcon() {
  FIconVisible = true;
  FillRecord();
  return Shell_NotifyIconW(NIM_ADD, reinterpret_cast<NOTIFYICONDATAW*>(&IconData)) != FALSE;
}

bool TCoolTrayIcon::DeleteIcon() {
  FIconVisible = false;
  FillRecord();
  return Shell_NotifyIconW(NIM_DELETE, reinterpret_cast<NOTIFYICONDATAW*>(&IconData)) != FALSE;
}

bool TCoolTrayIcon::ModifyIcon() {
  FillRecord();
  return Shell_NotifyIconW(NIM_MODIFY, reinterpret_cast<NOTIFYICONDATAW*>(&IconData)) != FALSE;
}

void TCoolTrayIcon::SetIconVisible(bool visible) {
  if (visible)
    AddIcon();
  else
    DeleteIcon();
}

void TCoolTrayIcon::SetIconList(TImageList* list) {
  FIconList = list;
  if (list) list->FreeNotification(this);
  SetIconIndex(0);
}

void TCoolTrayIcon::SetIconIndex(int index) {
  if (FIconList) {
    FIconIndex = std::max(0, std::min(index, FIconList->Count() - 1));
    SetIcon(FIconList->GetIcon(FIconIndex));
  } else {
    FIconIndex = 0;
    ModifyIcon();
  }
}

void TCoolTrayIcon::SetIcon(HICON icon) {
  // Replaced handles are destroyed: the faces change every second for weeks.
  if (FIcon && FIcon != icon) DestroyIcon(FIcon);
  FIcon = icon;
  ModifyIcon();
}

void TCoolTrayIcon::SetHint(std::wstring hint) {
  FHint = std::move(hint);
  ModifyIcon();
}

void TCoolTrayIcon::SetShowHint(bool show) {
  FShowHint = show;
  ModifyIcon();
}

void TCoolTrayIcon::SetPopupMenu(TPopupMenu* menu) {
  FPopupMenu = menu;
  if (menu) menu->FreeNotification(this);
}

void TCoolTrayIcon::SetCycleIcons(bool cycle) {
  FCycleIcons = cycle;
  if (cycle) {
    SetIconIndex(0);
    CycleTimer->SetInterval(FCycleInterval);
    CycleTimer->SetEnabled(true);  // an interval of 0 never starts it
  } else {
    CycleTimer->SetEnabled(false);
  }
}

void TCoolTrayIcon::SetCycleInterval(unsigned interval) {
  if (interval == FCycleInterval) return;
  FCycleInterval = interval;
  SetCycleIcons(FCycleIcons);
}

void TCoolTrayIcon::SetWantEnterExitEvents(bool want) {
  FWantEnterExitEvents = want;
  ExitTimer->SetEnabled(want);
}

void TCoolTrayIcon::SetBehavior(TBehavior behavior) {
  FBehavior = behavior;
  IconData.TimeoutOrVersion.uVersion = behavior == TBehavior::bhWin2000 ? kVersionWin2000 : 0;
  Shell_NotifyIconW(NIM_SETVERSION, reinterpret_cast<NOTIFYICONDATAW*>(&IconData));
}

void TCoolTrayIcon::HandleNotification(LPARAM notification) {
  POINT at{};
  GetCursorPos(&at);
  const TShiftState keys = KeyShiftState();
  const bool win2000 = FBehavior == TBehavior::bhWin2000;
  const bool menuCanOpen = FPopupMenu && FPopupMenu->AutoPopup;
  switch (static_cast<UINT>(notification)) {
    case NIN_BALLOONSHOW:
      return Fire(OnBalloonHintShow, this);
    case NIN_BALLOONHIDE:
      return Fire(OnBalloonHintHide, this);
    case NIN_BALLOONTIMEOUT:
      return Fire(OnBalloonHintTimeout, this);
    case NIN_BALLOONUSERCLICK:
      return Fire(OnBalloonHintClick, this);
  }
  if (!FEnabled) return;
  switch (static_cast<UINT>(notification)) {
    case WM_MOUSEMOVE:
      if (FWantEnterExitEvents && FDidExit) {
        Fire(OnMouseEnter, this);
        FDidExit = false;
      }
      Fire(OnMouseMove, this, keys, at.x, at.y);
      LastMoveX = at.x;
      LastMoveY = at.y;
      break;
    case WM_LBUTTONDOWN:
      if (OnDblClick) {
        ClickTimer->SetInterval(GetDoubleClickTime());
        ClickTimer->SetEnabled(true);
      }
      Fire(OnMouseDown, this, TMouseButton::mbLeft, keys | ssLeft, at.x, at.y);
      FClickStart = true;
      if (LeftPopup && menuCanOpen) {
        SetForegroundWindow(IconData.hWnd);
        PopupAtCursor();
      }
      break;
    case WM_LBUTTONUP:
      if (FClickStart) {
        FClickReady = true;
        if (!ClickTimer->Enabled()) {
          FClickStart = false;
          FClickReady = false;
          Fire(OnClick, this);
        }
      }
      FClickStart = false;
      Fire(OnMouseUp, this, TMouseButton::mbLeft, keys | ssLeft, at.x, at.y);
      break;
    case WM_LBUTTONDBLCLK:
      FClickReady = false;
      IsDblClick = true;
      Fire(OnDblClick, this);
      if (menuCanOpen && !LeftPopup) ClickDefaultItem();
      break;
    case WM_RBUTTONDOWN:
      Fire(OnMouseDown, this, TMouseButton::mbRight, keys | ssRight, at.x, at.y);
      if (menuCanOpen) {
        SetForegroundWindow(IconData.hWnd);
        PopupAtCursor();
      }
      break;
    case WM_RBUTTONUP:
      if (!win2000) Fire(OnMouseUp, this, TMouseButton::mbRight, keys | ssRight, at.x, at.y);
      break;
    case WM_CONTEXTMENU:
    case NIN_SELECT:
    case NIN_KEYSELECT:
      if (win2000) Fire(OnMouseUp, this, TMouseButton::mbRight, keys | ssRight, at.x, at.y);
      break;
    case WM_MBUTTONDOWN:
      Fire(OnMouseDown, this, TMouseButton::mbMiddle, keys | ssMiddle, at.x, at.y);
      break;
    case WM_MBUTTONUP:
      Fire(OnMouseUp, this, TMouseButton::mbMiddle, keys | ssMiddle, at.x, at.y);
      break;
  }
}

// Of the top-level items marked default, the one nearest the top is clicked.
void TCoolTrayIcon::ClickDefaultItem() {
  TMenuItem* items = FPopupMenu->Items();
  TMenuItem* chosen = nullptr;
  for (int index = items->Count() - 1; index >= 0; --index)
    if (items->Items(index)->Default) chosen = items->Items(index);
  if (chosen) chosen->Click();
}

void TCoolTrayIcon::Popup(int x, int y) {
  if (!FPopupMenu) return;
  SetForegroundWindow(IconData.hWnd);
  if (Application) Application->ProcessMessages();
  FPopupMenu->PopupComponent = this;
  FPopupMenu->Popup(x, y);
  if (HWND owner = OwnerWindow()) PostMessageW(owner, WM_NULL, 0, 0);
}

void TCoolTrayIcon::PopupAtCursor() {
  POINT at{};
  if (GetCursorPos(&at)) Popup(at.x, at.y);
}

void TCoolTrayIcon::ClickTimerTick() {
  ClickTimer->SetEnabled(false);
  if (!IsDblClick && FClickReady) {
    FClickReady = false;
    Fire(OnClick, this);
  }
  IsDblClick = false;
}

void TCoolTrayIcon::CycleTimerTick() {
  if (!FIconList) return;
  SetIcon(FIconList->GetIcon(FIconIndex));
  const int next = FIconIndex + 1 < FIconList->Count() ? FIconIndex + 1 : 0;
  Fire(OnCycle, this, next);
  SetIconIndex(next);
}

void TCoolTrayIcon::ExitTimerTick() {
  if (FDidExit) return;
  POINT at{};
  GetCursorPos(&at);
  if (at.x == LastMoveX && at.y == LastMoveY) return;
  FDidExit = true;
  Fire(OnMouseExit, this);
}

bool TCoolTrayIcon::HookAppProc(UINT message, WPARAM wParam, LPARAM) {
  TForm* mainForm = Application ? Application->MainForm() : nullptr;
  if (message == WM_SIZE && wParam == SIZE_MINIMIZED && MinimizeToTray) {
    HideMainForm();
    SetIconVisible(true);
  } else if (message == WM_WINDOWPOSCHANGED && SettingMDIForm && mainForm) {
    SettingMDIForm = false;  // the framework has no MDI frames, so there is nothing to ask
  } else if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE && mainForm) {
    if (IsIconic(mainForm->Handle())) ShowWindow(mainForm->Handle(), SW_RESTORE);
    mainForm->Show();
  } else if (message == TaskbarCreatedMessage() && FIconVisible) {
    AddIcon();
  }
  return false;  // the application window's own handling always follows
}

LRESULT TCoolTrayIcon::OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR reference) {
  auto* icon = reinterpret_cast<TCoolTrayIcon*>(reference);
  try {
    if (message == WM_SHOWWINDOW && wParam == 1 && lParam == 0) {
      SetForegroundWindow(ApplicationWindow());
      SetForegroundWindow(window);
    } else if ((message == WM_SHOWWINDOW && wParam == 0 && lParam == SW_PARENTCLOSING &&
                Application && !Application->Terminated()) ||
               (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE)) {
      if (icon->MinimizeToTray && icon->OnMinimizeToTray) {
        icon->OnMinimizeToTray(icon);
        icon->HideMainForm();
        icon->SetIconVisible(true);
        return 1;
      }
    }
  } catch (...) {
    RouteException(icon);
    return 0;
  }
  return CallNextSubclass(window, message, wParam, lParam);
}

void TCoolTrayIcon::ShowBalloonHint(const std::wstring& title, const std::wstring& text,
                                    TBalloonHintIcon iconType, int timeoutSecs) {
  HideBalloonHint();
  IconData.uFlags |= NIF_INFO;
  CopyCut(IconData.szInfo, text);
  CopyCut(IconData.szInfoTitle, title);
  IconData.TimeoutOrVersion.uTimeout = static_cast<UINT>(std::clamp(timeoutSecs, 10, 60) * 1000);
  IconData.dwInfoFlags = static_cast<DWORD>(iconType);
  ModifyIcon();
  IconData.uFlags = kStandardFlags;
}

void TCoolTrayIcon::HideBalloonHint() {
  IconData.uFlags |= NIF_INFO;
  IconData.szInfo[0] = L'\0';
  ModifyIcon();
}

bool TCoolTrayIcon::SetFocus() {
  return Shell_NotifyIconW(NIM_SETFOCUS, reinterpret_cast<NOTIFYICONDATAW*>(&IconData)) != FALSE;
}

void TCoolTrayIcon::HideTaskbarIcon() {
  if (IsWindowVisible(ApplicationWindow())) ShowWindow(ApplicationWindow(), SW_HIDE);
}

void TCoolTrayIcon::ShowTaskbarIcon() {
  if (!IsWindowVisible(ApplicationWindow())) ShowWindow(ApplicationWindow(), SW_SHOW);
}

void TCoolTrayIcon::HideMainForm() {
  TForm* mainForm = Application ? Application->MainForm() : nullptr;
  if (!OwnerWindow() || !mainForm) return;
  mainForm->Hide();
  HideTaskbarIcon();
}

void TCoolTrayIcon::ShowMainForm() {
  TForm* mainForm = Application ? Application->MainForm() : nullptr;
  if (!OwnerWindow() || !mainForm) return;
  ShowWindow(ApplicationWindow(), SW_RESTORE);
  if (IsIconic(mainForm->Handle())) ShowWindow(mainForm->Handle(), SW_RESTORE);
  mainForm->Show();
  SetForegroundWindow(ApplicationWindow());
}

void TCoolTrayIcon::GetClientIconPos(int& x, int& y) {
  POINT at{x, y};
  ScreenToClient(WindowFromPoint(at), &at);
  const int cell = GetSystemMetrics(SM_CYCAPTION) - 1;
  if (cell <= 0) return;
  x = at.x % cell - 1;
  y = at.y % cell - 1;
}

namespace {
struct TooltipSearch {
  DWORD processId;
  bool balloon;
  HWND found;
};

BOOL CALLBACK MatchTooltip(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TooltipSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t className[32] = {};
  GetClassNameW(window, className, 32);
  if (processId != search->processId || std::wstring(className) != TOOLTIPS_CLASSW) return TRUE;
  const bool noPrefix = (GetWindowLongW(window, GWL_STYLE) & TTS_NOPREFIX) != 0;
  if (noPrefix != search->balloon) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTaskbarTooltip(bool balloon) {
  HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  if (!taskbar) return nullptr;
  TooltipSearch search{0, balloon, nullptr};
  GetWindowThreadProcessId(taskbar, &search.processId);
  EnumWindows(&MatchTooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}
}  // namespace

HWND TCoolTrayIcon::GetTooltipHandle() { return FindTaskbarTooltip(false); }

HWND TCoolTrayIcon::GetBalloonHintHandle() { return FindTaskbarTooltip(true); }

namespace {
constexpr int kSmallIconSize = 16;

// The top left 16 x 16 pixels of the bitmap, those of `maskColor` and those
// beyond a smaller bitmap transparent; none when the bitmap cannot be read.
std::optional<TPixelImage> MaskedPicture(HBITMAP bitmap, COLORREF maskColor) {
  BITMAP shape{};
  if (GetObjectType(bitmap) != OBJ_BITMAP || !GetObjectW(bitmap, sizeof shape, &shape))
    return std::nullopt;
  BITMAPINFO info = TopDownRgbInfo(shape.bmWidth, shape.bmHeight);
  std::vector<std::uint32_t> pixels(static_cast<size_t>(shape.bmWidth) * shape.bmHeight);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, static_cast<UINT>(shape.bmHeight), pixels.data(),
                             &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != shape.bmHeight) return std::nullopt;
  const std::uint32_t transparent =
      Rgb(GetRValue(maskColor), GetGValue(maskColor), GetBValue(maskColor));
  TPixelImage picture(kSmallIconSize, kSmallIconSize);
  for (int y = 0; y < kSmallIconSize; ++y)
    for (int x = 0; x < kSmallIconSize; ++x) {
      const bool inside = x < shape.bmWidth && y < shape.bmHeight;
      const std::uint32_t pixel =
          inside ? pixels[static_cast<size_t>(y) * shape.bmWidth + x] & 0xFFFFFF : transparent;
      if (pixel == transparent)
        picture.Clear(x, y);
      else
        picture.Set(x, y, pixel);
    }
  return picture;
}
}  // namespace

HICON TCoolTrayIcon::BitmapToIcon(HBITMAP bitmap, COLORREF maskColor) {
  const std::optional<TPixelImage> picture = MaskedPicture(bitmap, maskColor);
  if (!picture) return nullptr;
  TImageList list(nullptr, kSmallIconSize, kSmallIconSize);
  list.Add(*picture);
  return list.GetIcon(0);
}

}  // namespace tavelo
