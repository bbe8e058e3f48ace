#pragma once
// How a control follows its parent's size (anchors) and how far its own size
// may go (constraints). Portable: no windows.h.

namespace tavelo {

// A place in the parent's client area, in pixels.
struct TBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// A set over the parent's edges that a control keeps its distance to.
using TAnchors = unsigned;
constexpr TAnchors akLeft = 1, akTop = 2, akRight = 4, akBottom = 8;

// The bounds after the parent's client area changed from `oldWidth` x
// `oldHeight` to `newWidth` x `newHeight`. Anchored to both edges of an axis,
// the control stretches; to one, it keeps its distance to that edge; to
// neither, it keeps its centre at the same fraction of the parent.
TBounds AnchoredBounds(TBounds bounds, TAnchors anchors, int oldWidth, int oldHeight, int newWidth,
                       int newHeight);

// Smallest and largest size; 0 leaves that side unbounded.
struct TSizeConstraints {
  int MinWidth = 0;
  int MinHeight = 0;
  int MaxWidth = 0;
  int MaxHeight = 0;

  // The nearest size within bounds; a maximum below its minimum gives way.
  void Apply(int& width, int& height) const;
};

}  // namespace tavelo
