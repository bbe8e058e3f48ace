#pragma once
// Shrinks a picture while it is decoded, by averaging boxes of source pixels,
// so that no decoder ever holds the picture at full size. The result keeps
// at least twice the panel's largest size (155 x 64) on each side, so that
// the system's halftone stretch still draws it sharp, and it never exceeds
// four times that size, however large or oddly shaped the source is.
#include <cstdint>
#include <vector>

#include "framework/PixelImage.h"

namespace tavelo {

// Pictures larger than this in either direction, or in pixels, are refused:
// decoding them would take too long to be worth it.
constexpr int kMaxPictureSide = 65535;
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 28;
// Raises EInvalidGraphic unless a width x height picture can be decoded.
void CheckPictureSize(std::uint64_t width, std::uint64_t height);

class TPictureReducer {
 public:
  // The smallest size the result keeps, where the source has it.
  static constexpr int kSharpWidth = 2 * 155;
  static constexpr int kSharpHeight = 2 * 64;
  // The largest size the result has.
  static constexpr int kMostWidth = 4 * kSharpWidth;
  static constexpr int kMostHeight = 4 * kSharpHeight;

  // For a source of that size, which CheckPictureSize accepts.
  TPictureReducer(int sourceWidth, int sourceHeight);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Adds `count` pixels of source row `y`, 3 bytes red, green, blue each,
  // at columns first, first + step, first + 2 * step and so on. Every source
  // pixel must be added once, in any order, before Result.
  void AddPixels(int y, const std::uint8_t* rgb, int count, int first = 0, int step = 1);
  // Adds a whole source row.
  void AddRow(int y, const std::uint8_t* rgb) { AddPixels(y, rgb, sourceWidth_); }

  TPixelImage Result() const;

 private:
  int sourceWidth_;
  int sourceHeight_;
  int factorX_;
  int factorY_;
  int width_;
  int height_;
  // Red, green and blue sums per result pixel. A box is at most 211 x 211
  // source pixels (kMaxPictureSide / kSharpWidth), so the sums fit.
  std::vector<std::uint32_t> sums_;
};

}  // namespace tavelo
