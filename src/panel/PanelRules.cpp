#include "panel/PanelRules.h"

#include <cstdlib>

namespace tavelo {

namespace {
constexpr std::uint32_t kLime = 0x00FF00;
constexpr std::uint32_t kYellow = 0xFFFF00;
constexpr std::uint32_t kRed = 0xFF0000;

constexpr int kGreenMarks = 5;
constexpr int kYellowMarks = 3;

std::wstring Marks(int count) { return std::wstring(static_cast<size_t>(count), L'I'); }

bool Near(int edge, int target) { return std::abs(edge - target) < kSnapDistance; }

// The shift that puts the near edge on its target: the first pair wins.
int SnapShift(int first, int firstTarget, int second, int secondTarget) {
  if (Near(first, firstTarget)) return firstTarget - first;
  if (Near(second, secondTarget)) return secondTarget - second;
  return 0;
}
}  // namespace

std::array<std::wstring, 3> BarTexts(int percent) {
  const int tens = percent / 10;
  if (tens < 1 || tens > 10) return {};
  if (tens < kGreenMarks) return {Marks(tens), L"", L""};
  if (tens < kGreenMarks + kYellowMarks) return {Marks(kGreenMarks), Marks(tens - 4), L""};
  return {Marks(kGreenMarks), Marks(kYellowMarks), Marks(tens - 7)};
}

std::uint32_t ValueColour(int percent) {
  if (percent > 79) return kRed;
  if (percent > 49) return kYellow;
  return kLime;
}

bool IsPictureFileName(std::wstring_view path) {
  const size_t dot = path.find_last_of(L'.');
  const size_t folder = path.find_last_of(L"\\/");
  if (dot == std::wstring_view::npos || (folder != std::wstring_view::npos && dot < folder))
    return false;
  std::wstring extension(path.substr(dot));
  for (wchar_t& c : extension)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  return extension == L".bmp" || extension == L".jpg" || extension == L".jpeg" ||
         extension == L".png";
}

int ValidOpacityStep(int step) { return step >= 1 && step <= 10 ? step : 10; }

int OpacityOf(int step) { return static_cast<int>(step / 10.0 * 255); }

TScreenRect SnapToArea(const TScreenRect& window, const TScreenRect& area) {
  const int dx = SnapShift(window.left, area.left, window.right, area.right);
  const int dy = SnapShift(window.top, area.top, window.bottom, area.bottom);
  return {window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
}

}  // namespace tavelo
