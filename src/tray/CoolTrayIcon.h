#pragma once
// One icon in the notification area. It keeps the icon's picture and hint in
// step with its properties, puts the icon back when the taskbar is made
// again, and turns the shell's mouse notifications into events, a popup menu
// and the click of the menu's default item. All tray icons of the process
// share one hidden window to which the shell sends its notifications.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/Component.h"
#include "framework/ImageList.h"
#include "framework/Input.h"
#include "framework/Menus.h"
#include "framework/Win32.h"
#include "tray/SimpleTimer.h"

#include <shellapi.h>

namespace tavelo {

enum class TBehavior { bhWin95, bhWin2000 };
enum class TBalloonHintIcon { bitNone, bitInfo, bitWarning, bitError, bitCustom };
using TCycleEvent = std::function<void(TObject* sender, int nextIndex)>;
using TStartupEvent = std::function<void(TObject* sender, bool& showMainForm)>;

// The shell's record in the form every supported system knows: every field
// up to dwInfoFlags, without the GUID and balloon-icon fields.
struct TNotifyIconDataEx {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  WCHAR szTip[128];
  DWORD dwState;
  DWORD dwStateMask;
  WCHAR szInfo[256];
  union {
    UINT uTimeout;
    UINT uVersion;
  } TimeoutOrVersion;
  WCHAR szInfoTitle[64];
  DWORD dwInfoFlags;
};

class TCoolTrayIcon : public TComponent {
 public:
  // The message the shell sends to the handler window.
  static constexpr UINT WM_TRAYNOTIFY = WM_USER + 1024;

  explicit TCoolTrayIcon(TComponent* owner);
  ~TCoolTrayIcon() override;

  // Runs once the owner has set the stored properties.
  void Loaded();

  HWND Handle() const { return IconData.hWnd; }
  // The icon's id, which the shell's notifications carry in wParam.
  UINT IconID() const { return FIconID; }

  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool visible);
  TImageList* IconList() const { return FIconList; }
  void SetIconList(TImageList* list);
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int index);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(std::wstring hint);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool show);
  // Takes the icon over; the previous one is destroyed.
  void SetIcon(HICON icon);
  HICON Icon() const { return FIcon; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled) { FEnabled = enabled; }
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  bool LeftPopup = false;
  bool MinimizeToTray = false;
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool cycle);
  unsigned CycleInterval() const { return FCycleInterval; }
  void SetCycleInterval(unsigned interval);
  bool WantEnterExitEvents() const { return FWantEnterExitEvents; }
  void SetWantEnterExitEvents(bool want);
  TBehavior Behavior() const { return FBehavior; }
  void SetBehavior(TBehavior behavior);

  // Sends the current picture and hint to the shell again.
  bool Refresh() { return ModifyIcon(); }
  void ShowBalloonHint(const std::wstring& title, const std::wstring& text,
                       TBalloonHintIcon iconType, int timeoutSecs);
  void HideBalloonHint();
  void Popup(int x, int y);
  void PopupAtCursor();
  bool SetFocus();
  void HideTaskbarIcon();
  void ShowTaskbarIcon();
  void ShowMainForm();
  void HideMainForm();
  // The point in client coordinates of the window under it, folded into one icon cell.
  static void GetClientIconPos(int& x, int& y);
  static HWND GetTooltipHandle();
  static HWND GetBalloonHintHandle();
  // A 16 x 16 icon from the top left of the bitmap, with `maskColor` pixels
  // and those beyond a smaller bitmap transparent; null when the bitmap
  // cannot be read.
  static HICON BitmapToIcon(HBITMAP bitmap, COLORREF maskColor);

  TNotifyEvent OnClick, OnDblClick, OnMouseEnter, OnMouseExit, OnMinimizeToTray;
  TNotifyEvent OnBalloonHintShow, OnBalloonHintHide, OnBalloonHintTimeout, OnBalloonHintClick;
  TMouseEvent OnMouseDown, OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;
  TStartupEvent OnStartup;

 protected:
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool AddIcon();
  virtual bool DeleteIcon();
  virtual bool ModifyIcon();

 private:
  friend struct TTrayIconHandler;
  void FillRecord();
  void HandleNotification(LPARAM notification);
  void ClickDefaultItem();
  void ClickTimerTick();
  void CycleTimerTick();
  void ExitTimerTick();
  bool HookAppProc(UINT message, WPARAM wParam, LPARAM lParam);
  bool AskStartup();
  HWND OwnerWindow() const;
  static LRESULT OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                           UINT_PTR subclass, DWORD_PTR reference);

  bool FEnabled = true;
  HICON FIcon = nullptr;
  UINT FIconID;
  bool FIconVisible = false;
  std::wstring FHint;
  bool FShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  bool FClickStart = false;
  bool FClickReady = false;
  std::unique_ptr<TSimpleTimer> CycleTimer;
  std::unique_ptr<TSimpleTimer> ClickTimer;
  std::unique_ptr<TSimpleTimer> ExitTimer;
  int LastMoveX = 0;
  int LastMoveY = 0;
  bool FDidExit = true;
  bool FWantEnterExitEvents = false;
  TBehavior FBehavior = TBehavior::bhWin95;
  bool IsDblClick = false;
  int FIconIndex = 0;
  bool SettingMDIForm = true;
  TImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  unsigned FCycleInterval = 0;
  int appHookKey_ = 0;
  HWND subclassedOwner_ = nullptr;
  TNotifyIconDataEx IconData{};
};

}  // namespace tavelo
