#include "framework/ImageList.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "framework/Exception.h"
#include "framework/PixelBitmap.h"

namespace tavelo {

namespace {

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// 32-bit colour, top-down. The transparent pixels are black, so that drawing
// the colour over the masked background leaves the background as it was.
Bitmap ColourBitmap(const TPixelImage& picture) {
  Bitmap bitmap(CreatePixelBitmap(picture));
  if (!bitmap) throw Exception("Cannot create a picture for an image list");
  return bitmap;
}

// One bit a pixel, set where the background shows through. Each row of a
// monochrome bitmap fills whole 16-bit words, leftmost pixel in the top bit.
Bitmap MaskBitmap(const TPixelImage& picture) {
  const int rowBytes = (picture.width + 15) / 16 * 2;
  std::vector<std::uint8_t> bits(static_cast<size_t>(rowBytes * picture.height), 0);
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (picture.IsTransparent(x, y))
        bits[static_cast<size_t>(y * rowBytes + x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  Bitmap bitmap(CreateBitmap(picture.width, picture.height, 1, 1, bits.data()));
  if (!bitmap) throw Exception("Cannot create a mask for an image list");
  return bitmap;
}

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height),
      handle_(ImageList_Create(width, height, ILC_COLOR32 | ILC_MASK, 0, 16)) {
  if (!handle_) throw Exception("Cannot create an image list");
}

TImageList::~TImageList() { ImageList_Destroy(handle_); }

int TImageList::Count() const { return ImageList_GetImageCount(handle_); }

int TImageList::Add(const TPixelImage& picture) {
  if (picture.width != width_ || picture.height != height_)
    throw Exception("A picture does not have the size of its image list");
  const int index = ImageList_Add(handle_, ColourBitmap(picture).get(), MaskBitmap(picture).get());
  if (index < 0) throw Exception("Cannot add a picture to an image list");
  return index;
}

HICON TImageList::GetIcon(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return ImageList_GetIcon(handle_, index, ILD_NORMAL);
}

}  // namespace tavelo
