#include "framework/Picture.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "framework/PixelBitmap.h"

namespace tavelo {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct ViewUnmapper {
  void operator()(const void* view) const { UnmapViewOfFile(view); }
};

[[noreturn]] void CannotRead() {
  throw EInvalidGraphic("Cannot read the picture file (error " + std::to_string(GetLastError()) + ")");
}

// Maps the file into memory rather than reading it, so that even a huge
// bitmap file costs no memory of its own: the decoder touches each row once.
TPixelImage DecodeFile(const std::wstring& path, TPictureFormat format) {
  HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (opened == INVALID_HANDLE_VALUE) CannotRead();
  Handle file(opened);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) CannotRead();
  if (size.QuadPart == 0) throw EInvalidGraphic("The picture file is empty");
  if (static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX) throw EInvalidGraphic("The picture file is too large");
  Handle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!mapping) CannotRead();
  std::unique_ptr<const void, ViewUnmapper> view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) CannotRead();
  return DecodePicture(format, static_cast<const std::uint8_t*>(view.get()),
                       static_cast<std::size_t>(size.QuadPart));
}

}  // namespace

TPicture::~TPicture() { Clear(); }

void TPicture::LoadFromFile(const std::wstring& path) {
  const std::optional<TPictureFormat> format = PictureFormatOf(path);
  if (!format) throw EInvalidGraphic("Unknown picture file extension");
  Assign(DecodeFile(path, *format));
}

void TPicture::Assign(const TPixelImage& image) {
  if (image.width <= 0 || image.height <= 0) {
    Clear();
    return;
  }
  HBITMAP bitmap = CreatePixelBitmap(image);
  if (!bitmap) throw EInvalidGraphic("Cannot create a bitmap for the picture");
  Clear();
  bitmap_ = bitmap;
  width_ = image.width;
  height_ = image.height;
}

void TPicture::Assign(const TPicture& other) {
  if (&other == this) return;
  if (other.Empty()) {
    Clear();
    return;
  }
  auto* bitmap = static_cast<HBITMAP>(CopyImage(other.bitmap_, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) throw EInvalidGraphic("Cannot copy the picture");
  Clear();
  bitmap_ = bitmap;
  width_ = other.width_;
  height_ = other.height_;
}

void TPicture::Clear() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void TPicture::StretchDraw(HDC dc, const RECT& dest) const {
  if (!bitmap_) return;
  HDC source = CreateCompatibleDC(dc);
  HGDIOBJ previous = SelectObject(source, bitmap_);
  const int previousMode = SetStretchBltMode(dc, HALFTONE);
  POINT previousOrigin{};
  SetBrushOrgEx(dc, 0, 0, &previousOrigin);  // halftoning needs it reset after the mode
  StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, source, 0, 0,
             width_, height_, SRCCOPY);
  SetBrushOrgEx(dc, previousOrigin.x, previousOrigin.y, nullptr);
  SetStretchBltMode(dc, previousMode);
  SelectObject(source, previous);
  DeleteDC(source);
}

}  // namespace tavelo
