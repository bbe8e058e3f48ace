#pragma once
// Decodes BMP, JPEG and PNG files into pixels, reduced on the way to a size
// that is bounded whatever the file's size but still looks sharp on the panel.
// Portable: no windows.h, so it also builds natively for tests and fuzzing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "framework/Exception.h"
#include "framework/PixelImage.h"

namespace tavelo {

// The graphics layer's error: a picture file that cannot be decoded.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

enum class TPictureFormat { Bmp, Jpeg, Png };

// The largest picture file taken: an uncompressed bitmap of a big photo
// (8000 x 5500 at 24 bits) fits, and a 32-bit process can still find the
// room to hold it whole while it decodes.
constexpr std::size_t kMaxPictureFileBytes = std::size_t{128} << 20;

// The format that the path's extension names, ignoring case: ".bmp",
// ".jpg", ".jpeg" or ".png". Empty for any other extension or none.
std::optional<TPictureFormat> PictureFormatOf(std::wstring_view path);

// The picture in `data`, reduced as TPictureReducer describes. Raises
// EInvalidGraphic for data that is truncated, damaged, of a kind this
// decoder does not support, longer than kMaxPictureFileBytes, or that
// declares a picture too large to decode.
TPixelImage DecodePicture(TPictureFormat format, const std::uint8_t* data, std::size_t size);

// The decoders of the single formats, for DecodePicture.
TPixelImage DecodeBmp(const std::uint8_t* data, std::size_t size);
TPixelImage DecodeJpeg(const std::uint8_t* data, std::size_t size);
TPixelImage DecodePng(const std::uint8_t* data, std::size_t size);

}  // namespace tavelo
