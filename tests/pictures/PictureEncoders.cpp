#include "PictureEncoders.h"

#include <cstdlib>
#include <cstdio>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>
#include <zlib.h>

namespace tavelo::test {

std::vector<std::uint8_t> EncodeJpeg(int width, int height, const TRowSource& rows, int quality) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);  // a failure here ends the test program, as it should
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<std::uint8_t> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    rows(y, row.data());
    JSAMPROW pointers[] = {row.data()};
    jpeg_write_scanlines(&info, pointers, 1);
  }
  jpeg_finish_compress(&info);
  std::vector<std::uint8_t> file(buffer, buffer + size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return file;
}

namespace {

// A PNG file built by hand rather than with libpng's writer, so that the
// program's libpng can be built for reading only.
class TPngWriter {
 public:
  TPngWriter() {
    if (deflateInit(&stream_, 1) != Z_OK) throw std::runtime_error("Cannot start a PNG file");
    static const std::uint8_t kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    file_.assign(std::begin(kSignature), std::end(kSignature));
  }
  ~TPngWriter() { deflateEnd(&stream_); }

  void Header(int width, int height, bool interlaced) {
    std::vector<std::uint8_t> data;
    PutBigEndian(data, static_cast<std::uint32_t>(width));
    PutBigEndian(data, static_cast<std::uint32_t>(height));
    // 8 bits per sample, RGB, deflate, adaptive filters, and the interlace method.
    data.insert(data.end(), {8, 2, 0, 0, static_cast<std::uint8_t>(interlaced ? 1 : 0)});
    Chunk("IHDR", data);
  }

  // One scanline: its filter type (none), then its bytes.
  void Row(const std::uint8_t* bytes, size_t size) {
    const std::uint8_t filter = 0;
    Compress(&filter, 1, Z_NO_FLUSH);
    Compress(bytes, size, Z_NO_FLUSH);
  }

  std::vector<std::uint8_t> Finish() {
    Compress(nullptr, 0, Z_FINISH);
    Chunk("IEND", {});
    return std::move(file_);
  }

 private:
  static void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
  }

  void Chunk(const char* type, const std::vector<std::uint8_t>& data) {
    PutBigEndian(file_, static_cast<std::uint32_t>(data.size()));
    const size_t typeAt = file_.size();
    file_.insert(file_.end(), type, type + 4);
    file_.insert(file_.end(), data.begin(), data.end());
    PutBigEndian(file_, static_cast<std::uint32_t>(
                            crc32(0, &file_[typeAt], static_cast<uInt>(file_.size() - typeAt))));
  }

  void Compress(const std::uint8_t* bytes, size_t size, int flush) {
    stream_.next_in = const_cast<Bytef*>(bytes);
    stream_.avail_in = static_cast<uInt>(size);
    int result;
    do {
      std::uint8_t out[16384];
      stream_.next_out = out;
      stream_.avail_out = sizeof out;
      result = deflate(&stream_, flush);
      if (result == Z_STREAM_ERROR) throw std::runtime_error("Cannot compress a PNG file");
      const size_t produced = sizeof out - stream_.avail_out;
      if (produced > 0) Chunk("IDAT", std::vector<std::uint8_t>(out, out + produced));
    } while (stream_.avail_out == 0 || (flush == Z_FINISH && result != Z_STREAM_END));
  }

  z_stream stream_{};
  std::vector<std::uint8_t> file_;
};

// Adam7: each pass takes every step-th pixel from first, on every step-th row.
struct TPass {
  int firstX, firstY, stepX, stepY;
};
constexpr TPass kAdam7[] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                            {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, const TRowSource& rows, bool interlaced) {
  TPngWriter png;
  png.Header(width, height, interlaced);
  std::vector<std::uint8_t> row(static_cast<size_t>(width) * 3);
  if (!interlaced) {
    for (int y = 0; y < height; ++y) {
      rows(y, row.data());
      png.Row(row.data(), row.size());
    }
    return png.Finish();
  }
  // An interlaced file needs every row once per pass; a pass with no pixels
  // has no scanlines at all.
  std::vector<std::uint8_t> reduced;
  for (const TPass& pass : kAdam7) {
    if (pass.firstX >= width) continue;
    for (int y = pass.firstY; y < height; y += pass.stepY) {
      rows(y, row.data());
      reduced.clear();
      for (int x = pass.firstX; x < width; x += pass.stepX)
        reduced.insert(reduced.end(), &row[3 * static_cast<size_t>(x)], &row[3 * static_cast<size_t>(x) + 3]);
      png.Row(reduced.data(), reduced.size());
    }
  }
  return png.Finish();
}

namespace {

void Put(std::vector<std::uint8_t>& file, std::uint32_t value, int bytes) {
  for (int index = 0; index < bytes; ++index) file.push_back(static_cast<std::uint8_t>(value >> (8 * index)));
}

}  // namespace

std::vector<std::uint8_t> EncodeBmp(int width, int height, const TRowSource& rows) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) / 4 * 4;
  const std::uint32_t pixelBytes = stride * static_cast<std::uint32_t>(height);
  std::vector<std::uint8_t> file;
  file.reserve(54 + pixelBytes);
  file.push_back('B');
  file.push_back('M');
  Put(file, 54 + pixelBytes, 4);
  Put(file, 0, 4);
  Put(file, 54, 4);
  Put(file, 40, 4);
  Put(file, static_cast<std::uint32_t>(width), 4);
  Put(file, static_cast<std::uint32_t>(height), 4);
  Put(file, 1, 2);
  Put(file, 24, 2);
  for (int field = 0; field < 6; ++field) Put(file, 0, 4);
  file.resize(54 + pixelBytes, 0);
  std::vector<std::uint8_t> rgb(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    rows(y, rgb.data());
    std::uint8_t* stored = &file[54 + static_cast<size_t>(height - 1 - y) * stride];
    for (int x = 0; x < width; ++x) {
      stored[3 * x] = rgb[3 * x + 2];
      stored[3 * x + 1] = rgb[3 * x + 1];
      stored[3 * x + 2] = rgb[3 * x];
    }
  }
  return file;
}

}  // namespace tavelo::test
