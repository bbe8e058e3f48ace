#include "resources/PanelPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavelo {

namespace {
constexpr int kTopGrey = 226;
constexpr int kBottomGrey = 168;
// Grey has a faint touch of blue, as polished metal does.
constexpr int kBlueTint = 6;
constexpr double kHighlight = 34.0;
constexpr double kHighlightWidth = 9.0;  // pixels from the diagonal to half strength

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}
}  // namespace

TPixelImage DefaultPanelPicture() {
  TPixelImage picture(kPanelPictureWidth, kPanelPictureHeight);
  const double slope = double(kPanelPictureHeight) / kPanelPictureWidth;
  for (int y = 0; y < kPanelPictureHeight; ++y) {
    const double grey =
        kTopGrey + (kBottomGrey - kTopGrey) * double(y) / (kPanelPictureHeight - 1);
    for (int x = 0; x < kPanelPictureWidth; ++x) {
      const double fromDiagonal = (y - slope * x) / kHighlightWidth;
      const double light = grey + kHighlight / (1.0 + fromDiagonal * fromDiagonal);
      picture.Set(x, y, Rgb(Channel(light), Channel(light), Channel(light + kBlueTint)));
    }
  }
  return picture;
}

}  // namespace tavelo
