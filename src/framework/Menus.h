#pragma once
// Popup menus: a tree of items with captions and access keys ("&"), tags,
// ticks, radio groups, a default item, enabled and visible flags. The
// Windows menu is built afresh from the items each time the menu opens.
#include <string>
#include <vector>

#include "framework/Component.h"

namespace tavelo {

class TMenuItem : public TComponent {
 public:
  // Items are owned by the form, like its other components, so that they can
  // be found by name; their place in the menu comes from Add.
  explicit TMenuItem(TComponent* owner);
  ~TMenuItem() override;

  void Add(TMenuItem* item);
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int index) const { return items_[static_cast<size_t>(index)]; }
  TMenuItem* Parent() const { return parent_; }

  // A caption of "-" makes a separator.
  std::wstring Caption;
  int Tag = 0;
  bool Enabled = true;
  bool Visible = true;
  bool Default = false;
  // The tick toggles (or, for a radio item, is set) before OnClick runs.
  bool AutoCheck = false;
  // Radio items of the same group and parent tick one at a time.
  bool RadioItem = false;
  int GroupIndex = 0;

  bool Checked() const { return checked_; }
  // Ticking a radio item unticks the others of its group.
  void SetChecked(bool checked);
  bool IsLine() const { return Caption == L"-"; }

  // Does nothing for a disabled item; else applies AutoCheck and runs OnClick.
  void Click();
  TNotifyEvent OnClick;

 private:
  void RemoveItem(TMenuItem* item);

  std::vector<TMenuItem*> items_;
  TMenuItem* parent_ = nullptr;
  bool checked_ = false;
};

class TPopupMenu : public TComponent {
 public:
  explicit TPopupMenu(TComponent* owner);

  // The top-level items.
  TMenuItem* Items() const { return items_; }

  bool AutoPopup = true;
  // The component that opened the menu last; set by that component.
  TComponent* PopupComponent = nullptr;
  TNotifyEvent OnPopup;

  // Runs OnPopup, shows the menu at the screen point and tracks it until it
  // closes; then clicks the chosen item, if any.
  void Popup(int x, int y);

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TMenuItem* items_;
};

}  // namespace tavelo
