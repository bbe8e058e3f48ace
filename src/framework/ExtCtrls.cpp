#include "framework/ExtCtrls.h"

namespace tavelo {

void TImage::Paint(HDC canvas) const {
  if (!picture_.Empty()) picture_.StretchDraw(canvas, Rect());
}

}  // namespace tavelo
