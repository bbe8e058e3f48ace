#pragma once
// A picture as plain pixels, for code that draws without Windows and for the
// image list that turns it into icons. Portable: no windows.h.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavelo {

struct TPixelImage {
  TPixelImage(int width, int height)
      : width(width), height(height),
        pixels(static_cast<size_t>(width * height), 0),
        transparent(static_cast<size_t>(width * height), false) {}

  std::uint32_t At(int x, int y) const { return pixels[Index(x, y)]; }
  bool IsTransparent(int x, int y) const { return transparent[Index(x, y)]; }
  void Set(int x, int y, std::uint32_t rgb) {
    pixels[Index(x, y)] = rgb;
    transparent[Index(x, y)] = false;
  }
  void Clear(int x, int y) {
    pixels[Index(x, y)] = 0;
    transparent[Index(x, y)] = true;
  }

  int width;
  int height;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top
  std::vector<bool> transparent;      // the one-bit mask: true lets the background through

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y * width + x); }
};

constexpr std::uint32_t Rgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  return (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
}

}  // namespace tavelo
