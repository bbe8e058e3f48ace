#include "framework/ImageList.h"

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>

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
  if (!bitmap) throw Exception("Cannot create a picture for an icon");
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
  if (!bitmap) throw Exception("Cannot create a mask for an icon");
  return bitmap;
}

void CheckSize(const TPixelImage& picture, int width, int height) {
  if (picture.width != width || picture.height != height)
    throw Exception("A picture does not have the size of its image list");
}

}  // namespace

TImageList::TImageList(TComponent* owner, int width, int height)
    : TComponent(owner), width_(width), height_(height) {}

int TImageList::Count() const { return static_cast<int>(kept_.size()) + drawnCount_; }

int TImageList::Add(const TPixelImage& picture) {
  // Kept pictures come first, so that the drawn ones keep their indexes.
  if (drawnCount_ > 0) throw Exception("Pictures are added to an image list before its drawn ones");
  CheckSize(picture, width_, height_);
  kept_.push_back(picture);
  return static_cast<int>(kept_.size()) - 1;
}

void TImageList::AddDrawn(int count, TPainter painter) {
  if (drawnCount_ > 0) throw Exception("An image list has one painter");
  drawnCount_ = count;
  painter_ = std::move(painter);
}

TPixelImage TImageList::Picture(int index) const {
  const int kept = static_cast<int>(kept_.size());
  if (index < kept) return kept_[static_cast<size_t>(index)];
  TPixelImage drawn = painter_(index - kept);
  CheckSize(drawn, width_, height_);
  return drawn;
}

HICON TImageList::GetIcon(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  const TPixelImage picture = Picture(index);
  const Bitmap colour = ColourBitmap(picture);
  const Bitmap mask = MaskBitmap(picture);
  ICONINFO parts{};
  parts.fIcon = TRUE;
  parts.hbmColor = colour.get();
  parts.hbmMask = mask.get();
  return CreateIconIndirect(&parts);  // copies both bitmaps
}

}  // namespace tavelo
