// Feeds arbitrary file bytes to each picture decoder; the first byte picks
// the decoder. A decoder may refuse the bytes with EInvalidGraphic, but must
// never crash, leak, read outside them, or give a picture out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "framework/PictureDecoders.h"
#include "framework/PictureReducer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tavelo;
  if (size == 0) return 0;
  const TPictureFormat formats[] = {TPictureFormat::Bmp, TPictureFormat::Jpeg, TPictureFormat::Png};
  const TPictureFormat format = formats[data[0] % 3];
  try {
    const TPixelImage picture = DecodePicture(format, data + 1, size - 1);
    if (picture.width < 1 || picture.height < 1 || picture.width > TPictureReducer::kMostWidth ||
        picture.height > TPictureReducer::kMostHeight ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
      std::abort();
  } catch (const EInvalidGraphic&) {
  }
  return 0;
}
