#include "resources/AppIcon.h"

#include <cstddef>
#include <numeric>
#include <stdexcept>

#include <zlib.h>

#include "resources/TrayFaces.h"

namespace tavelo {
namespace {

constexpr int kLitCells = 7;
constexpr int kPngSize = 256;

// Each target pixel is the average of the source area it covers, weighted
// by coverage; colours are averaged premultiplied, so that transparent
// pixels do not darken the edges.
TIconImage Resampled(const TPixelImage& source, int size) {
  const int fine = std::lcm(source.width, size);
  const int toSource = fine / source.width, toTarget = fine / size;
  std::vector<double> sums(static_cast<std::size_t>(size) * size * 4, 0.0);
  for (int fy = 0; fy < fine; ++fy) {
    for (int fx = 0; fx < fine; ++fx) {
      const int sx = fx / toSource, sy = fy / toSource;
      if (source.IsTransparent(sx, sy)) continue;
      const std::uint32_t rgb = source.At(sx, sy);
      double* sum = &sums[(static_cast<std::size_t>(fy / toTarget) * size + fx / toTarget) * 4];
      sum[0] += 1.0;
      sum[1] += rgb >> 16 & 0xFF;
      sum[2] += rgb >> 8 & 0xFF;
      sum[3] += rgb & 0xFF;
    }
  }
  const double samples = static_cast<double>(toTarget) * toTarget;
  TIconImage image{size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, 0)};
  for (std::size_t i = 0; i < image.argb.size(); ++i) {
    const double* sum = &sums[i * 4];
    if (sum[0] == 0) continue;
    const auto channel = [&](double value) { return static_cast<std::uint32_t>(value / sum[0] + 0.5); };
    const auto alpha = static_cast<std::uint32_t>(sum[0] * 255 / samples + 0.5);
    image.argb[i] = alpha << 24 | channel(sum[1]) << 16 | channel(sum[2]) << 8 | channel(sum[3]);
  }
  return image;
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
void Put32BigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

// BITMAPINFOHEADER of double height, BGRA rows from the bottom, then the
// AND mask, whose rows are padded to 32 bits.
std::vector<std::uint8_t> BitmapEntry(const TIconImage& image) {
  const int size = image.size;
  const int maskStride = (size + 31) / 32 * 4;
  std::vector<std::uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(size));
  Put32(out, static_cast<std::uint32_t>(size * 2));
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);  // BI_RGB
  Put32(out, static_cast<std::uint32_t>(size * size * 4 + maskStride * size));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) Put32(out, image.argb[static_cast<std::size_t>(y) * size + x]);
  for (int y = size - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
    for (int x = 0; x < size; ++x)
      if ((image.argb[static_cast<std::size_t>(y) * size + x] >> 24) == 0) row[x / 8] |= 0x80 >> (x % 8);
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  Put32BigEndian(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  Put32BigEndian(out, static_cast<std::uint32_t>(crc32(0, &out[start], static_cast<uInt>(out.size() - start))));
}

// An 8-bit RGBA PNG without filtering; zlib's compression does the rest.
std::vector<std::uint8_t> PngEntry(const TIconImage& image) {
  std::vector<std::uint8_t> raw;
  for (int y = 0; y < image.size; ++y) {
    raw.push_back(0);  // filter: none
    for (int x = 0; x < image.size; ++x) {
      const std::uint32_t argb = image.argb[static_cast<std::size_t>(y) * image.size + x];
      for (const int shift : {16, 8, 0, 24}) raw.push_back(static_cast<std::uint8_t>(argb >> shift));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("Cannot compress the icon");
  packed.resize(packedSize);

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  Put32BigEndian(header, static_cast<std::uint32_t>(image.size));
  Put32BigEndian(header, static_cast<std::uint32_t>(image.size));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace

std::vector<TIconImage> AppIconImages() {
  const TPixelImage meter = LevelMeterFace(kLitCells);
  std::vector<TIconImage> images;
  for (const int size : kAppIconSizes) images.push_back(Resampled(meter, size));
  return images;
}

std::vector<std::uint8_t> IcoFile(const std::vector<TIconImage>& images) {
  std::vector<std::vector<std::uint8_t>> entries;
  for (const TIconImage& image : images)
    entries.push_back(image.size >= kPngSize ? PngEntry(image) : BitmapEntry(image));
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const auto side = static_cast<std::uint8_t>(images[i].size >= kPngSize ? 0 : images[i].size);  // 0 means 256
    out.insert(out.end(), {side, side, 0, 0});
    Put16(out, 1);   // planes
    Put16(out, 32);  // bits per pixel
    Put32(out, static_cast<std::uint32_t>(entries[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(entries[i].size());
  }
  for (const auto& entry : entries) out.insert(out.end(), entry.begin(), entry.end());
  return out;
}

}  // namespace tavelo
