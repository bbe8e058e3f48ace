#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/PictureDecoders.h"
#include "resources/AppIcon.h"
#include "resources/TrayFaces.h"

namespace tavelo {
namespace {

std::uint32_t Little(const std::vector<std::uint8_t>& bytes, size_t at, int count) {
  std::uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
  return value;
}

const TPixelImage& Meter() {
  static const TPixelImage meter = LevelMeterFace(7);
  return meter;
}

// Whether the source area that target pixel (x, y) of a `size` image covers
// is one opaque colour (answered in `rgb`), all transparent (false, rgb
// unset and `clear` true), or mixed (false).
bool UniformSource(int size, int x, int y, std::uint32_t& rgb, bool& clear) {
  const double scale = 32.0 / size;
  const int left = static_cast<int>(x * scale), right = static_cast<int>((x + 1) * scale - 1e-9);
  const int top = static_cast<int>(y * scale), bottom = static_cast<int>((y + 1) * scale - 1e-9);
  bool anyOpaque = false, anyClear = false, oneColour = true;
  for (int sy = top; sy <= bottom; ++sy)
    for (int sx = left; sx <= right; ++sx) {
      if (Meter().IsTransparent(sx, sy)) {
        anyClear = true;
        continue;
      }
      if (anyOpaque && Meter().At(sx, sy) != rgb) oneColour = false;
      anyOpaque = true;
      rgb = Meter().At(sx, sy);
    }
  clear = anyClear && !anyOpaque;
  return anyOpaque && !anyClear && oneColour;
}

TEST(AppIconTest, EachSizeShowsTheMeterWithItsEdgesBlendedOnlyWhereAreasMix) {
  const std::vector<TIconImage> images = AppIconImages();
  ASSERT_EQ(images.size(), 4u);
  for (size_t i = 0; i < images.size(); ++i) {
    const TIconImage& image = images[i];
    SCOPED_TRACE(image.size);
    EXPECT_EQ(image.size, kAppIconSizes[i]);
    ASSERT_EQ(image.argb.size(), static_cast<size_t>(image.size * image.size));
    int mixed = 0;
    for (int y = 0; y < image.size; ++y)
      for (int x = 0; x < image.size; ++x) {
        std::uint32_t rgb = 0;
        bool clear = false;
        const std::uint32_t pixel = image.argb[static_cast<size_t>(y) * image.size + x];
        if (UniformSource(image.size, x, y, rgb, clear)) {
          ASSERT_EQ(pixel, 0xFF000000u | rgb) << x << "," << y;
        } else if (clear) {
          ASSERT_EQ(pixel >> 24, 0u) << x << "," << y;
        } else {
          ++mixed;
          ASSERT_GT(pixel >> 24, 0u) << "partly covered: " << x << "," << y;
        }
      }
    if (image.size % 32 == 0) {
      EXPECT_EQ(mixed, 0) << "whole multiples of the meter stay crisp";
    }
  }
}

TEST(AppIconTest, IcoFileHoldsBitmapsWithMasksAndThe256PixelImageAsPng) {
  const std::vector<TIconImage> images = AppIconImages();
  const std::vector<std::uint8_t> ico = IcoFile(images);
  ASSERT_GE(ico.size(), 6u + 4 * 16);
  EXPECT_EQ(Little(ico, 0, 2), 0u);
  EXPECT_EQ(Little(ico, 2, 2), 1u) << "an icon, not a cursor";
  ASSERT_EQ(Little(ico, 4, 2), 4u);
  size_t expectedOffset = 6 + 4 * 16;
  for (size_t i = 0; i < 4; ++i) {
    const size_t entry = 6 + 16 * i;
    const int size = images[i].size;
    SCOPED_TRACE(size);
    EXPECT_EQ(ico[entry], size == 256 ? 0 : size) << "0 stands for 256";
    EXPECT_EQ(ico[entry + 1], size == 256 ? 0 : size);
    EXPECT_EQ(Little(ico, entry + 6, 2), 32u) << "bits per pixel";
    const size_t length = Little(ico, entry + 8, 4), offset = Little(ico, entry + 12, 4);
    EXPECT_EQ(offset, expectedOffset) << "entries follow each other";
    expectedOffset += length;
    ASSERT_LE(offset + length, ico.size());
    if (size == 256) {
      const TPixelImage png = DecodePng(&ico[offset], length);
      ASSERT_EQ(png.width, 256);
      for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
          if (!Meter().IsTransparent(x / 8, y / 8)) {
            ASSERT_EQ(png.At(x, y), Meter().At(x / 8, y / 8)) << x << "," << y;
          }
      continue;
    }
    EXPECT_EQ(Little(ico, offset + 4, 4), static_cast<std::uint32_t>(size));
    EXPECT_EQ(Little(ico, offset + 8, 4), static_cast<std::uint32_t>(2 * size)) << "colour and mask";
    const size_t colours = offset + 40, mask = colours + static_cast<size_t>(size) * size * 4;
    const size_t maskStride = (size + 31) / 32 * 4;
    EXPECT_EQ(length, 40 + static_cast<size_t>(size) * size * 4 + maskStride * size);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const int row = size - 1 - y;  // bottom-up
        const std::uint32_t pixel = images[i].argb[static_cast<size_t>(y) * size + x];
        ASSERT_EQ(Little(ico, colours + (static_cast<size_t>(row) * size + x) * 4, 4), pixel);
        const bool masked = ico[mask + row * maskStride + x / 8] & (0x80 >> (x % 8));
        ASSERT_EQ(masked, pixel >> 24 == 0) << x << "," << y;
      }
  }
  EXPECT_EQ(expectedOffset, ico.size());
}

}  // namespace
}  // namespace tavelo
