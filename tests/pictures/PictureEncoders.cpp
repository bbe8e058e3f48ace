#include "PictureEncoders.h"

#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

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

void Append(png_structp png, png_bytep data, png_size_t size) {
  auto* file = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
  file->insert(file->end(), data, data + size);
}

}  // namespace

std::vector<std::uint8_t> EncodePng(int width, int height, const TRowSource& rows, bool interlaced) {
  std::vector<std::uint8_t> file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) throw std::runtime_error("Cannot write a PNG file");
  png_set_write_fn(png, &file, Append, nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_compression_level(png, 1);
  png_write_info(png, info);
  std::vector<std::uint8_t> row(static_cast<size_t>(width) * 3);
  // An interlaced file needs every row once per pass.
  const int passes = png_set_interlace_handling(png);
  for (int pass = 0; pass < passes; ++pass)
    for (int y = 0; y < height; ++y) {
      rows(y, row.data());
      png_write_row(png, row.data());
    }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return file;
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
