#pragma once
// The panel window's rules that need no window: the texts of the load bars,
// the colour of a load's value text, the opacity of a step and the snapping
// of a moved window to the edges of its work area. Portable: no windows.h.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tavelo {

// The three bar segments for a load of `percent`: green, yellow and red
// marks ("I"), one per ten percent: 1..4 green marks below 50, five green
// and up to three yellow ones from 50, and up to three red ones from 80.
// Below 10 and above 109 every segment is empty.
std::array<std::wstring, 3> BarTexts(int percent);

// The colour (0x00RRGGBB) of a load's value text: lime below 50, yellow
// from 50 to 79, red from 80.
std::uint32_t ValueColour(int percent);

// Whether the file's extension, lower-cased, is one of the picture formats
// the panel shows: .bmp, .jpg, .jpeg or .png.
bool IsPictureFileName(std::wstring_view path);

// An opacity step outside 1..10 has no menu item; it counts as fully opaque.
int ValidOpacityStep(int step);
// The window's opacity (0..255) at step 1..10: tenths of 255, truncated.
int OpacityOf(int step);

struct TScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;  // exclusive
  int bottom = 0;  // exclusive
};

// Within this many pixels of a work-area edge, a moved window's edge is put
// on it.
constexpr int kSnapDistance = 10;

// Where a window being moved to `window` ends up: each edge that comes
// closer than kSnapDistance to the same edge of `area` lies on it exactly;
// left before right and top before bottom. The size stays.
TScreenRect SnapToArea(const TScreenRect& window, const TScreenRect& area);

}  // namespace tavelo
