#pragma once
// A picture control without a window of its own: it stretches its picture
// to exactly its place, and draws nothing while the picture is empty.
#include "framework/GraphicControls.h"
#include "framework/Picture.h"

namespace tavelo {

class TImage : public TGraphicControl {
 public:
  explicit TImage(TForm* owner) : TGraphicControl(owner) {}

  // Whoever changes the picture invalidates the control.
  TPicture& Picture() { return picture_; }
  const TPicture& Picture() const { return picture_; }

  void Paint(HDC canvas) const override;

 private:
  TPicture picture_;
};

}  // namespace tavelo
