#include "framework/PictureDecoders.h"

#include <string>

namespace tavelo {

std::optional<TPictureFormat> PictureFormatOf(std::wstring_view path) {
  const size_t dot = path.find_last_of(L'.');
  const size_t separator = path.find_last_of(L"\\/");
  if (dot == std::wstring_view::npos || (separator != std::wstring_view::npos && dot < separator))
    return std::nullopt;
  std::wstring extension(path.substr(dot));
  for (wchar_t& c : extension)
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  if (extension == L".bmp") return TPictureFormat::Bmp;
  if (extension == L".jpg" || extension == L".jpeg") return TPictureFormat::Jpeg;
  if (extension == L".png") return TPictureFormat::Png;
  return std::nullopt;
}

TPixelImage DecodePicture(TPictureFormat format, const std::uint8_t* data, std::size_t size) {
  if (size > kMaxPictureFileBytes) throw EInvalidGraphic("The picture file is too large");
  switch (format) {
    case TPictureFormat::Bmp: return DecodeBmp(data, size);
    case TPictureFormat::Jpeg: return DecodeJpeg(data, size);
    case TPictureFormat::Png: return DecodePng(data, size);
  }
  throw EInvalidGraphic("Unknown picture format");
}

}  // namespace tavelo
