// Our own reader of Windows and OS/2 bitmap files: 1, 4 and 8 bits a pixel
// with a palette, 16 and 32 bits with or without bit-field masks, and 24
// bits, stored bottom-up or top-down. Run-length compressed files are refused.
#include <array>
#include <string>
#include <vector>

#include "framework/PictureDecoders.h"
#include "framework/PictureReducer.h"

namespace tavelo {

namespace {

constexpr size_t kFileHeaderSize = 14;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// One colour of a 16- or 32-bit pixel, picked out by its mask and scaled to
// 0..255 whatever the mask's width.
class TChannel {
 public:
  explicit TChannel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    while ((mask >> shift_ & 1) == 0) ++shift_;
    max_ = mask >> shift_;
  }
  std::uint8_t From(std::uint32_t pixel) const {
    if (max_ == 0) return 0;
    const std::uint64_t value = (pixel & mask_) >> shift_;
    return static_cast<std::uint8_t>((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  std::uint32_t max_ = 0;
};

struct TBmpLayout {
  int width = 0;
  int height = 0;
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = kUncompressed;
  std::array<std::uint32_t, 3> masks{};  // red, green, blue
  std::array<std::uint8_t, 256 * 3> palette{};  // red, green, blue; unlisted entries black
  const std::uint8_t* pixels = nullptr;
  size_t stride = 0;  // rows fill whole 32-bit words
};

[[noreturn]] void Fail(const std::string& why) { throw EInvalidGraphic("Invalid BMP file: " + why); }

void Require(bool condition, const char* why) {
  if (!condition) Fail(why);
}

// Reads the info header's fields into `layout`; answers where the data
// after the header (masks or palette) starts.
size_t ReadInfoHeader(const std::uint8_t* data, size_t size, TBmpLayout& layout,
                      std::uint32_t& coloursUsed, size_t& paletteEntrySize) {
  const std::uint8_t* info = data + kFileHeaderSize;
  const std::uint32_t headerSize = U32(info);
  std::int64_t height = 0;
  int planes = 0;
  if (headerSize == 12) {  // the OS/2 core header: 16-bit sizes, 3-byte palette entries
    layout.width = U16(info + 4);
    height = U16(info + 6);
    planes = U16(info + 8);
    layout.bitsPerPixel = U16(info + 10);
    paletteEntrySize = 3;
  } else {
    Require(headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 ||
                headerSize == 108 || headerSize == 124,
            "unknown header");
    Require(kFileHeaderSize + headerSize <= size, "truncated header");
    layout.width = I32(info + 4);
    height = I32(info + 8);
    planes = U16(info + 12);
    layout.bitsPerPixel = U16(info + 14);
    layout.compression = U32(info + 16);
    coloursUsed = U32(info + 32);
    paletteEntrySize = 4;
    // The OS/2 header numbers its compressions differently; only none is shared.
    Require(headerSize != 64 || layout.compression == kUncompressed, "unsupported OS/2 compression");
  }
  Require(planes == 1, "planes other than 1");
  Require(layout.width > 0 && height != 0, "no pixels");
  layout.topDown = height < 0;
  layout.height = static_cast<int>(height < 0 ? -height : height);
  CheckPictureSize(static_cast<std::uint64_t>(layout.width), static_cast<std::uint64_t>(layout.height));

  size_t afterHeader = kFileHeaderSize + headerSize;
  if (layout.compression == kBitFields || layout.compression == kAlphaBitFields) {
    Require(layout.bitsPerPixel == 16 || layout.bitsPerPixel == 32, "bit fields need 16 or 32 bits");
    // An info header of 40 bytes is followed by the masks; larger ones hold them.
    const size_t masksAt = kFileHeaderSize + 40;
    Require(masksAt + 12 <= size, "truncated masks");
    for (size_t channel = 0; channel < 3; ++channel) layout.masks[channel] = U32(data + masksAt + 4 * channel);
    if (headerSize == 40) afterHeader += layout.compression == kAlphaBitFields ? 16 : 12;
  } else if (layout.bitsPerPixel == 16) {
    layout.masks = {0x7C00, 0x03E0, 0x001F};
  } else if (layout.bitsPerPixel == 32) {
    layout.masks = {0xFF0000, 0x00FF00, 0x0000FF};
  }
  return afterHeader;
}

TBmpLayout ReadLayout(const std::uint8_t* data, size_t size) {
  Require(size >= kFileHeaderSize + 12, "truncated header");
  Require(data[0] == 'B' && data[1] == 'M', "no BMP signature");
  TBmpLayout layout;
  std::uint32_t coloursUsed = 0;
  size_t paletteEntrySize = 0;
  const size_t paletteAt = ReadInfoHeader(data, size, layout, coloursUsed, paletteEntrySize);

  if (layout.compression == kRle8 || layout.compression == kRle4)
    Fail("run-length compression is not supported");
  Require(layout.compression == kUncompressed || layout.compression == kBitFields ||
              layout.compression == kAlphaBitFields,
          "unsupported compression");
  const int bits = layout.bitsPerPixel;
  Require(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32,
          "unsupported number of bits a pixel");

  if (bits <= 8) {
    const std::uint32_t listed = coloursUsed == 0 || coloursUsed > (1u << bits) ? 1u << bits : coloursUsed;
    Require(paletteAt + listed * paletteEntrySize <= size, "truncated palette");
    for (std::uint32_t entry = 0; entry < listed; ++entry) {
      const std::uint8_t* blueGreenRed = data + paletteAt + entry * paletteEntrySize;
      layout.palette[entry * 3] = blueGreenRed[2];
      layout.palette[entry * 3 + 1] = blueGreenRed[1];
      layout.palette[entry * 3 + 2] = blueGreenRed[0];
    }
  }

  const std::uint32_t pixelsAt = U32(data + 10);
  layout.stride = (static_cast<size_t>(layout.width) * static_cast<size_t>(bits) + 31) / 32 * 4;
  Require(pixelsAt >= paletteAt && pixelsAt <= size, "pixel data outside the file");
  Require(static_cast<std::uint64_t>(layout.height) * layout.stride <= size - pixelsAt, "truncated pixel data");
  layout.pixels = data + pixelsAt;
  return layout;
}

// Turns one stored row into red, green and blue bytes.
void ConvertRow(const TBmpLayout& layout, const std::uint8_t* row, std::uint8_t* rgb) {
  const int bits = layout.bitsPerPixel;
  const TChannel red(layout.masks[0]), green(layout.masks[1]), blue(layout.masks[2]);
  for (int x = 0; x < layout.width; ++x, rgb += 3) {
    if (bits <= 8) {
      const int perByte = 8 / bits;
      const int shift = 8 - bits * (x % perByte + 1);
      const unsigned index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
      rgb[0] = layout.palette[index * 3];
      rgb[1] = layout.palette[index * 3 + 1];
      rgb[2] = layout.palette[index * 3 + 2];
    } else if (bits == 24) {
      const std::uint8_t* pixel = row + 3 * x;
      rgb[0] = pixel[2];
      rgb[1] = pixel[1];
      rgb[2] = pixel[0];
    } else {
      const std::uint32_t pixel = bits == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
      rgb[0] = red.From(pixel);
      rgb[1] = green.From(pixel);
      rgb[2] = blue.From(pixel);
    }
  }
}

}  // namespace

TPixelImage DecodeBmp(const std::uint8_t* data, std::size_t size) {
  const TBmpLayout layout = ReadLayout(data, size);
  TPictureReducer reducer(layout.width, layout.height);
  std::vector<std::uint8_t> rgb(static_cast<size_t>(layout.width) * 3);
  for (int y = 0; y < layout.height; ++y) {
    const int stored = layout.topDown ? y : layout.height - 1 - y;
    ConvertRow(layout, layout.pixels + static_cast<size_t>(stored) * layout.stride, rgb.data());
    reducer.AddRow(y, rgb.data());
  }
  return reducer.Result();
}

}  // namespace tavelo
