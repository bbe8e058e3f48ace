#pragma once
// A list of same-sized pictures, 32-bit colour with a one-bit mask, from
// which icons are made.
#include "framework/Component.h"
#include "framework/PixelImage.h"
#include "framework/Win32.h"

#include <commctrl.h>

namespace tavelo {

class TImageList : public TComponent {
 public:
  TImageList(TComponent* owner, int width, int height);
  ~TImageList() override;

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const;
  // Appends a picture of the list's size; answers its index.
  int Add(const TPixelImage& picture);
  // A new icon of image `index`, its mask as transparency; the caller
  // destroys it. Null for an index outside the list.
  HICON GetIcon(int index) const;
  HIMAGELIST Handle() const { return handle_; }

 private:
  int width_;
  int height_;
  HIMAGELIST handle_;
};

}  // namespace tavelo
