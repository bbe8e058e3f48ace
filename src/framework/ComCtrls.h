#pragma once
// The up-down arrows of comctl32.
#include <functional>

#include "framework/Controls.h"

namespace tavelo {

enum class TUpDownButton { Up, Down };
using TUpDownClickEvent = std::function<void(TObject* sender, TUpDownButton button)>;

// Arrows that step a position by 1 between Min and Max. The arrow keys in
// the buddy window step it too.
class TUpDown : public TWinControl {
 public:
  TUpDown(TForm* owner, HWND parent, TBounds bounds);

  void SetBuddy(HWND buddy);

  int Min() const;
  int Max() const;
  void SetRange(int min, int max);
  int Position() const;
  void SetPosition(int position);
  // Whether a step past one end lands on the other.
  bool Wrap() const;
  void SetWrap(bool wrap);

  // Runs once the position has moved one step, wrapped when Wrap is set.
  TUpDownClickEvent OnClick;

 protected:
  bool HandleNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  TUpDownButton pressed_ = TUpDownButton::Up;
};

}  // namespace tavelo
