#pragma once
// A picture held as a GDI bitmap, loaded from a BMP, JPEG or PNG file or set
// from pixels, and drawn stretched into any rectangle.
#include <string>

#include "framework/PictureDecoders.h"
#include "framework/PixelImage.h"
#include "framework/Win32.h"

namespace tavelo {

class TPicture {
 public:
  TPicture() = default;
  ~TPicture();
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // Decodes the file, its format chosen by its extension. Raises
  // EInvalidGraphic when the file cannot be read or decoded; the picture
  // held before stays then as it was.
  void LoadFromFile(const std::wstring& path);
  // Takes a copy of the pixels; transparent ones become black. An image
  // without pixels empties the picture.
  void Assign(const TPixelImage& image);
  // Takes a copy of the other picture's bitmap.
  void Assign(const TPicture& other);
  void Clear();

  bool Empty() const { return bitmap_ == nullptr; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Draws the whole picture into `dest`, stretched to fill it exactly, with
  // the system's averaging (halftone) stretch. An empty picture draws nothing.
  void StretchDraw(HDC dc, const RECT& dest) const;

 private:
  HBITMAP bitmap_ = nullptr;  // a 32-bit top-down DIB section
  int width_ = 0;
  int height_ = 0;
};

}  // namespace tavelo
