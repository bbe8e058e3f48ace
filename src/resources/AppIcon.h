#pragma once
// The application's icon: the tray's level meter, seven cells lit, at the
// sizes Windows asks for, and the .ico file that holds them. It is drawn
// while building, so no binary picture lives in the sources.
// Portable: no windows.h.
#include <cstdint>
#include <vector>

namespace tavelo {

// Straight (not premultiplied) 0xAARRGGBB pixels, rows from the top.
struct TIconImage {
  int size = 0;
  std::vector<std::uint32_t> argb;
};

// The sides of the images, smallest first.
constexpr int kAppIconSizes[] = {16, 32, 48, 256};

// The meter at each of kAppIconSizes, scaled with exact area coverage: the
// multiples of its 32 pixels stay crisp, the others blend their edges.
std::vector<TIconImage> AppIconImages();

// An .ico file of the images in their order: the ones below 256 pixels as
// 32-bit bitmaps with their mask, 256 as a PNG, as Windows Vista and later
// read it.
std::vector<std::uint8_t> IcoFile(const std::vector<TIconImage>& images);

}  // namespace tavelo
