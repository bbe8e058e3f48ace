#include "framework/Anchors.h"

#include <algorithm>

namespace tavelo {

namespace {

struct TSpan {
  int start;
  int length;
};

TSpan AnchoredSpan(TSpan span, bool nearEdge, bool farEdge, int oldExtent, int newExtent) {
  const int growth = newExtent - oldExtent;
  if (nearEdge && farEdge) return {span.start, std::max(0, span.length + growth)};
  if (farEdge) return {span.start + growth, span.length};
  if (nearEdge || oldExtent <= 0) return span;
  // Twice the centre, so that odd sizes keep their exact middle.
  const long long doubledCentre = 2LL * span.start + span.length;
  const long long movedCentre = doubledCentre * newExtent / oldExtent;
  return {static_cast<int>((movedCentre - span.length) / 2), span.length};
}

int Clamp(int value, int minimum, int maximum) {
  if (maximum > 0) value = std::min(value, std::max(maximum, minimum));
  return std::max(value, minimum);
}

}  // namespace

TBounds AnchoredBounds(TBounds bounds, TAnchors anchors, int oldWidth, int oldHeight, int newWidth,
                       int newHeight) {
  const TSpan x = AnchoredSpan({bounds.left, bounds.width}, (anchors & akLeft) != 0,
                               (anchors & akRight) != 0, oldWidth, newWidth);
  const TSpan y = AnchoredSpan({bounds.top, bounds.height}, (anchors & akTop) != 0,
                               (anchors & akBottom) != 0, oldHeight, newHeight);
  return {x.start, y.start, x.length, y.length};
}

void TSizeConstraints::Apply(int& width, int& height) const {
  width = Clamp(width, MinWidth, MaxWidth);
  height = Clamp(height, MinHeight, MaxHeight);
}

}  // namespace tavelo
