#include "framework/PictureReducer.h"

#include <algorithm>
#include <string>

#include "framework/PictureDecoders.h"

namespace tavelo {

void CheckPictureSize(std::uint64_t width, std::uint64_t height) {
  if (width == 0 || height == 0) throw EInvalidGraphic("The picture has no pixels");
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
    throw EInvalidGraphic("The picture is too large: " + std::to_string(width) + " x " +
                          std::to_string(height));
}

namespace {

int CeilDiv(int value, int divisor) { return (value + divisor - 1) / divisor; }

}  // namespace

TPictureReducer::TPictureReducer(int sourceWidth, int sourceHeight)
    : sourceWidth_(sourceWidth), sourceHeight_(sourceHeight) {
  CheckPictureSize(static_cast<std::uint64_t>(sourceWidth), static_cast<std::uint64_t>(sourceHeight));
  // One factor for both directions keeps the picture's shape; only a very
  // long or very tall picture is squeezed further along its long side.
  const int shared = std::max(1, std::min(sourceWidth / kSharpWidth, sourceHeight / kSharpHeight));
  factorX_ = std::max(shared, CeilDiv(sourceWidth, kMostWidth));
  factorY_ = std::max(shared, CeilDiv(sourceHeight, kMostHeight));
  width_ = CeilDiv(sourceWidth, factorX_);
  height_ = CeilDiv(sourceHeight, factorY_);
  sums_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3, 0);
}

void TPictureReducer::AddPixels(int y, const std::uint8_t* rgb, int count, int first, int step) {
  std::uint32_t* row = &sums_[static_cast<size_t>(y / factorY_) * static_cast<size_t>(width_) * 3];
  for (int index = 0, x = first; index < count; ++index, x += step, rgb += 3) {
    std::uint32_t* sum = row + static_cast<size_t>(x / factorX_) * 3;
    sum[0] += rgb[0];
    sum[1] += rgb[1];
    sum[2] += rgb[2];
  }
}

TPixelImage TPictureReducer::Result() const {
  TPixelImage picture(width_, height_);
  const std::uint32_t* sum = sums_.data();
  for (int y = 0; y < height_; ++y) {
    // The last box of a row or column may be cut short by the picture's edge.
    const int boxHeight = std::min(factorY_, sourceHeight_ - y * factorY_);
    for (int x = 0; x < width_; ++x, sum += 3) {
      const std::uint32_t pixels =
          static_cast<std::uint32_t>(boxHeight * std::min(factorX_, sourceWidth_ - x * factorX_));
      const auto average = [&](int channel) {
        return static_cast<std::uint8_t>((sum[channel] + pixels / 2) / pixels);
      };
      picture.Set(x, y, Rgb(average(0), average(1), average(2)));
    }
  }
  return picture;
}

}  // namespace tavelo
