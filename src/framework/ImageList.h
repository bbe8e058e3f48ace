#pragma once
// A list of same-sized pictures, 32-bit colour with a one-bit mask, from
// which icons are made.
#include <functional>
#include <vector>

#include "framework/Component.h"
#include "framework/PixelImage.h"
#include "framework/Win32.h"

namespace tavelo {

class TImageList : public TComponent {
 public:
  // Draws picture `index` of the list.
  using TPainter = std::function<TPixelImage(int index)>;

  TImageList(TComponent* owner, int width, int height);

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Appends a picture of the list's size, kept as it is; answers its index.
  int Add(const TPixelImage& picture);
  // Appends `count` pictures that `painter` draws each time an icon of one
  // is asked for. A resident program shows one picture of a list at a time,
  // so a hundred of them need not be kept.
  void AddDrawn(int count, TPainter painter);
  // A new icon of image `index`, its mask as transparency; the caller
  // destroys it. Null for an index outside the list.
  HICON GetIcon(int index) const;

 private:
  TPixelImage Picture(int index) const;

  int width_;
  int height_;
  std::vector<TPixelImage> kept_;
  int drawnCount_ = 0;  // the pictures after the kept ones
  TPainter painter_;
};

}  // namespace tavelo
