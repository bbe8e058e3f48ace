#include "framework/Menus.h"

#include <algorithm>
#include <memory>
#include <type_traits>

#include "framework/Exception.h"
#include "framework/Win32.h"
#include "framework/WindowClass.h"

namespace tavelo {

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->RemoveItem(this);
  // The children belong to the form and may outlive their parent.
  for (TMenuItem* item : items_) item->parent_ = nullptr;
}

void TMenuItem::Add(TMenuItem* item) {
  if (item->parent_) item->parent_->RemoveItem(item);
  items_.push_back(item);
  item->parent_ = this;
}

void TMenuItem::RemoveItem(TMenuItem* item) {
  items_.erase(std::remove(items_.begin(), items_.end(), item), items_.end());
  item->parent_ = nullptr;
}

void TMenuItem::SetChecked(bool checked) {
  checked_ = checked;
  if (!checked || !RadioItem || !parent_) return;
  for (TMenuItem* sibling : parent_->items_)
    if (sibling != this && sibling->RadioItem && sibling->GroupIndex == GroupIndex)
      sibling->checked_ = false;
}

void TMenuItem::Click() {
  if (!Enabled) return;
  if (AutoCheck) SetChecked(RadioItem || !checked_);
  Fire(OnClick, this);
}

namespace {

constexpr wchar_t kOwnerWindowClass[] = L"TPopupMenuOwner";

struct MenuDestroyer {
  void operator()(HMENU menu) const { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

// The window that owns the menu while it is open. It is hidden but
// top-level, not message-only, so that it can be the foreground window.
class OwnerWindow {
 public:
  OwnerWindow() {
    // The menu's notifications need nothing beyond the default handling,
    // so no code of ours runs inside this window's callbacks.
    RegisterWindowClass(kOwnerWindowClass, &DefWindowProcW);
    handle_ = CreateWindowExW(WS_EX_TOOLWINDOW, kOwnerWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!handle_) throw Exception("Cannot create the window of a popup menu");
  }
  ~OwnerWindow() { DestroyWindow(handle_); }
  OwnerWindow(const OwnerWindow&) = delete;
  OwnerWindow& operator=(const OwnerWindow&) = delete;

  HWND Handle() const { return handle_; }

 private:
  HWND handle_;
};

UINT StateOf(const TMenuItem& item) {
  UINT state = 0;
  if (item.Checked()) state |= MFS_CHECKED;
  if (item.Default) state |= MFS_DEFAULT;
  if (!item.Enabled) state |= MFS_DISABLED;
  return state;
}

MenuHandle BuildMenu(const TMenuItem& parent, std::vector<TMenuItem*>& commands);

// Appends `item` to `menu`, with a submenu of its children if it has any.
// The command number of an item is its place in `commands` plus one, since
// 0 means "none chosen".
void AppendItem(HMENU menu, TMenuItem& item, std::vector<TMenuItem*>& commands) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE;
  MenuHandle submenu;
  if (item.IsLine()) {
    info.fType = MFT_SEPARATOR;
  } else {
    commands.push_back(&item);
    info.fMask |= MIIM_STRING | MIIM_STATE | MIIM_ID;
    info.fType = item.RadioItem ? MFT_RADIOCHECK : MFT_STRING;
    info.dwTypeData = item.Caption.data();
    info.fState = StateOf(item);
    info.wID = static_cast<UINT>(commands.size());
    if (item.Count() > 0) {
      submenu = BuildMenu(item, commands);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = submenu.get();
    }
  }
  if (!InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info))
    throw Exception("Cannot add an item to a popup menu");
  submenu.release();  // the menu destroys it now
}

// A Windows menu of the visible children of `parent`.
MenuHandle BuildMenu(const TMenuItem& parent, std::vector<TMenuItem*>& commands) {
  MenuHandle menu(CreatePopupMenu());
  if (!menu) throw Exception("Cannot create a popup menu");
  for (int index = 0; index < parent.Count(); ++index)
    if (parent.Items(index)->Visible) AppendItem(menu.get(), *parent.Items(index), commands);
  return menu;
}

// Shows the menu until it closes; answers the chosen command, or 0.
UINT TrackMenu(MenuHandle menu, int x, int y) {
  const OwnerWindow owner;
  const UINT flags = TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD;
  return static_cast<UINT>(TrackPopupMenuEx(menu.get(), flags, x, y, owner.Handle(), nullptr));
}

}  // namespace

TPopupMenu::TPopupMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

void TPopupMenu::Popup(int x, int y) {
  if (PopupComponent) PopupComponent->FreeNotification(this);
  Fire(OnPopup, this);
  std::vector<TMenuItem*> commands;
  const UINT chosen = TrackMenu(BuildMenu(*items_, commands), x, y);
  if (chosen > 0) commands[chosen - 1]->Click();
}

void TPopupMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::Remove && component == PopupComponent) PopupComponent = nullptr;
}

}  // namespace tavelo
