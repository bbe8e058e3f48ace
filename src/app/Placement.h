#pragma once
// The arithmetic of window placement: where a numbered placement (an edge, a
// corner, the centre, a half or a quarter) puts a window within an area, and
// whether a window has been lost off every monitor. No windows.h here, so
// that it is tested natively; Orvane applies it to real windows.
#include <cstdint>
#include <functional>

namespace tavelo {

// Right and bottom are exclusive; virtual-screen pixels.
struct TRectangle {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

struct TWindowBounds {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

struct TScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

// Where the shell reports the taskbar.
enum TTaskbarEdge : int {
  kTaskbarNone = -1,
  kTaskbarTop = 0,
  kTaskbarBottom = 1,
  kTaskbarLeft = 2,
  kTaskbarRight = 3,
};

// Where the system keeps a minimised window.
constexpr std::int32_t kMinimisedPosition = -32000;

// A rectangle at the minimised position tells nothing about where the window is.
bool IsMinimisedRectangle(const TRectangle& rectangle);
TWindowBounds BoundsOf(const TRectangle& rectangle);

// The primary work area with the taskbar's strip added back: with a normal
// taskbar, the whole primary monitor.
TRectangle ScreenAreaWithTaskbar(TRectangle workArea, int edge, const TRectangle& taskbar);

// Placements 0..14 over the primary screen. Kinds 10 to 14 measure from the
// screen's origin, which is where the primary monitor starts. False for any
// other kind: the window stays as it is.
bool PlaceInScreenArea(const TWindowBounds& window, std::uint32_t kind, const TRectangle& area,
                       TWindowBounds& placed);
// Placements 0..18 over any area (a monitor's bounds or work area); false
// for any other kind.
bool PlaceInMonitorArea(const TWindowBounds& window, std::uint32_t kind, const TRectangle& area,
                        TWindowBounds& placed);
// A placement is applied only when it leaves the window taller and wider
// than a caption bar; a window is never squeezed to its title.
bool TallerAndWiderThanCaption(const TWindowBounds& placed, int captionHeight);

// The five points that decide whether a window is still on some monitor:
// its corners (right and bottom exclusive) and its centre, in test order.
struct TTestPoints {
  TScreenPoint points[5];
};
TTestPoints OffScreenTestPoints(const TWindowBounds& window);
// True when none of the five points lies on a monitor.
bool OffAllMonitors(const TWindowBounds& window,
                    const std::function<bool(TScreenPoint)>& isOnMonitor);
// Whether the point lies inside the rectangle (right and bottom exclusive).
bool Contains(const TRectangle& rectangle, TScreenPoint point);

}  // namespace tavelo
