#pragma once
// The up-down arrows of comctl32. The arrows keep their range and position
// themselves until their window is made, which happens when their form is
// first shown: comctl32 is bound then, not at start.
#include <functional>

#include "framework/Controls.h"
#include "framework/DeferredHandle.h"

namespace tavelo {

enum class TUpDownButton { Up, Down };
using TUpDownClickEvent = std::function<void(TObject* sender, TUpDownButton button)>;

// Arrows that step a position by 1 between Min and Max. The arrow keys in
// the buddy window step it too.
class TUpDown : public TComponent, public TDeferredHandle {
 public:
  TUpDown(TForm* owner, HWND parent, TBounds bounds);

  // The arrows' window, made by this call when it does not exist yet.
  HWND Handle() const;
  void HandleNeeded() const override;

  void SetBuddy(HWND buddy);

  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int Position() const;
  // A position outside the range is brought to its nearer end.
  void SetPosition(int position);
  // Whether a step past one end lands on the other.
  bool Wrap() const { return wrap_; }
  void SetWrap(bool wrap);

  // Runs once the position has moved one step, wrapped when Wrap is set.
  TUpDownClickEvent OnClick;

 protected:
  void Notification(TComponent* component, TOperation operation) override;

 private:
  class TArrows;

  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  TForm* form_;
  HWND parent_;
  TBounds bounds_;
  HWND buddy_ = nullptr;
  // What a new up-down control starts with: its range runs backwards.
  int min_ = 100;
  int max_ = 0;
  int position_ = 0;
  bool wrap_ = false;
  TUpDownButton pressed_ = TUpDownButton::Up;
  mutable TArrows* arrows_ = nullptr;
};

}  // namespace tavelo
