#include "framework/Picture.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "framework/PixelBitmap.h"

namespace tavelo {

namespace {

// Reads go in steps of this size, so that no single call asks for all of a
// large file at once.
constexpr DWORD kReadStep = 4 << 20;

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Handle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

[[noreturn]] void CannotRead() {
  throw EInvalidGraphic("Cannot read the picture file (error " + std::to_string(GetLastError()) + ")");
}

// The whole file in memory, read rather than mapped: a mapped file whose
// drive goes away during the decode would end the process at the next page,
// where a failed read is only an error.
std::vector<std::uint8_t> ReadPictureFile(const std::wstring& path) {
  HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (opened == INVALID_HANDLE_VALUE) CannotRead();
  Handle file(opened);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) CannotRead();
  if (size.QuadPart == 0) throw EInvalidGraphic("The picture file is empty");
  if (static_cast<unsigned long long>(size.QuadPart) > kMaxPictureFileBytes)
    throw EInvalidGraphic("The picture file is too large");
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    throw EInvalidGraphic("No memory to read the picture file");
  }
  for (std::size_t done = 0; done < bytes.size();) {
    DWORD read = 0;
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kReadStep));
    if (!ReadFile(file.get(), bytes.data() + done, wanted, &read, nullptr)) CannotRead();
    if (read == 0) throw EInvalidGraphic("The picture file ended early");  // shrunk meanwhile
    done += read;
  }
  return bytes;
}

TPixelImage DecodeFile(const std::wstring& path, TPictureFormat format) {
  const std::vector<std::uint8_t> bytes = ReadPictureFile(path);
  return DecodePicture(format, bytes.data(), bytes.size());
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
