#include "app/Placement.h"

namespace tavelo {

namespace {
// Sums and halves are taken in 64 bits, so that no pair of rectangle
// coordinates overflows; halves truncate toward zero.
using Wide = std::int64_t;

std::int32_t Narrow(Wide value) { return static_cast<std::int32_t>(value); }
Wide Half(Wide value) { return value / 2; }
Wide Abs(Wide value) { return value < 0 ? -value : value; }

TWindowBounds Bounds(Wide left, Wide top, Wide width, Wide height) {
  return {Narrow(left), Narrow(top), Narrow(width), Narrow(height)};
}
}  // namespace

bool IsMinimisedRectangle(const TRectangle& rectangle) {
  return rectangle.left == kMinimisedPosition && rectangle.top == kMinimisedPosition;
}

TWindowBounds BoundsOf(const TRectangle& rectangle) {
  return Bounds(rectangle.left, rectangle.top, Wide{rectangle.right} - rectangle.left,
                Wide{rectangle.bottom} - rectangle.top);
}

TRectangle ScreenAreaWithTaskbar(TRectangle workArea, int edge, const TRectangle& taskbar) {
  switch (edge) {
    case kTaskbarTop:
      workArea.top = Narrow(Wide{workArea.top} - taskbar.bottom);
      break;
    case kTaskbarBottom:
      workArea.bottom = Narrow(Wide{workArea.bottom} + taskbar.bottom - taskbar.top);
      break;
    case kTaskbarLeft:
      workArea.left = Narrow(Wide{workArea.left} - taskbar.right);
      break;
    case kTaskbarRight:
      workArea.right = Narrow(Wide{workArea.right} + taskbar.right - taskbar.left);
      break;
    default:
      break;
  }
  return workArea;
}

bool PlaceInScreenArea(const TWindowBounds& window, std::uint32_t kind, const TRectangle& area,
                       TWindowBounds& placed) {
  const Wide x = window.left, y = window.top, w = window.width, h = window.height;
  const Wide l = area.left, t = area.top, r = area.right, b = area.bottom;
  switch (kind) {
    case 0: placed = Bounds(x, t, w, b - t); return true;  // full height
    case 1: placed = Bounds(l, y, r - l, h); return true;  // full width
    case 2: placed = Bounds(x, t, w, h); return true;  // top edge
    case 3: placed = Bounds(x, b - h, w, h); return true;  // bottom edge
    case 4: placed = Bounds(l, y, w, h); return true;  // left edge
    case 5: placed = Bounds(r - w, y, w, h); return true;  // right edge
    case 6: placed = Bounds(l, t, w, h); return true;  // top-left
    case 7: placed = Bounds(r - w, t, w, h); return true;  // top-right
    case 8: placed = Bounds(l, b - h, w, h); return true;  // bottom-left
    case 9: placed = Bounds(r - w, b - h, w, h); return true;  // bottom-right
    case 10: placed = Bounds(Half(r - w), Half(b - h), w, h); return true;  // centre
    case 11: placed = Bounds(l, t, r, Half(b)); return true;  // top half
    case 12: placed = Bounds(l, Half(b), r, Half(b)); return true;  // bottom half
    case 13: placed = Bounds(l, t, Half(r), b - t); return true;  // left half
    case 14: placed = Bounds(Half(r), t, Half(r), b - t); return true;  // right half
    default: return false;
  }
}

bool PlaceInMonitorArea(const TWindowBounds& window, std::uint32_t kind, const TRectangle& area,
                        TWindowBounds& placed) {
  const Wide x = window.left, y = window.top, w = window.width, h = window.height;
  const Wide l = area.left, t = area.top, r = area.right, b = area.bottom;
  const Wide width = Abs(r - l), height = Abs(b - t);
  const Wide middleX = Half(l + r), middleY = Half(t + b);
  const Wide halfWidth = Half(width), halfHeight = Half(height);
  switch (kind) {
    case 0: placed = Bounds(x, t, w, height); return true;  // full height
    case 1: placed = Bounds(l, y, width, h); return true;  // full width
    case 2: placed = Bounds(x, t, w, h); return true;  // top edge
    case 3: placed = Bounds(x, b - h, w, h); return true;  // bottom edge
    case 4: placed = Bounds(l, y, w, h); return true;  // left edge
    case 5: placed = Bounds(r - w, y, w, h); return true;  // right edge
    case 6: placed = Bounds(l, t, w, h); return true;  // top-left
    case 7: placed = Bounds(r - w, t, w, h); return true;  // top-right
    case 8: placed = Bounds(l, b - h, w, h); return true;  // bottom-left
    case 9: placed = Bounds(r - w, b - h, w, h); return true;  // bottom-right
    case 10: placed = Bounds(Half(l + r - w), Half(t + b - h), w, h); return true;  // centre
    case 11: placed = Bounds(l, t, width, halfHeight); return true;  // top half
    case 12: placed = Bounds(l, middleY, width, halfHeight); return true;  // bottom half
    case 13: placed = Bounds(l, t, halfWidth, height); return true;  // left half
    case 14: placed = Bounds(middleX, t, halfWidth, height); return true;  // right half
    // The quarters: top-left, top-right, bottom-left, bottom-right.
    case 15: placed = Bounds(l, t, halfWidth, halfHeight); return true;
    case 16: placed = Bounds(middleX, t, halfWidth, halfHeight); return true;
    case 17: placed = Bounds(l, middleY, halfWidth, halfHeight); return true;
    case 18: placed = Bounds(middleX, middleY, halfWidth, halfHeight); return true;
    default: return false;
  }
}

bool TallerAndWiderThanCaption(const TWindowBounds& placed, int captionHeight) {
  return captionHeight < placed.width && captionHeight < placed.height;
}

TTestPoints OffScreenTestPoints(const TWindowBounds& window) {
  const Wide left = window.left, top = window.top;
  const Wide right = left + window.width, bottom = top + window.height;
  const auto point = [](Wide x, Wide y) { return TScreenPoint{Narrow(x), Narrow(y)}; };
  return {{point(left, top), point(right, bottom), point(right, top), point(left, bottom),
           point(left + Half(window.width), top + Half(window.height))}};
}

bool OffAllMonitors(const TWindowBounds& window,
                    const std::function<bool(TScreenPoint)>& isOnMonitor) {
  for (const TScreenPoint& point : OffScreenTestPoints(window).points)
    if (isOnMonitor(point)) return false;
  return true;
}

bool Contains(const TRectangle& rectangle, TScreenPoint point) {
  return point.x >= rectangle.left && point.x < rectangle.right && point.y >= rectangle.top &&
         point.y < rectangle.bottom;
}

}  // namespace tavelo
