#include "framework/PixelBitmap.h"

#include <cstdint>

namespace tavelo {

BITMAPINFO TopDownRgbInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

HBITMAP CreatePixelBitmap(const TPixelImage& picture) {
  const BITMAPINFO info = TopDownRgbInfo(picture.width, picture.height);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<std::uint32_t*>(bits);
  for (size_t index = 0; index < picture.pixels.size(); ++index)
    pixels[index] = picture.transparent[index] ? 0 : picture.pixels[index];
  return bitmap;
}

}  // namespace tavelo
