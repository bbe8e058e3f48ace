// PNG through libpng, one row at a time; every colour type and bit depth
// comes out as 8-bit red, green and blue, and transparency is laid over the
// panel's black.
#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <png.h>

#include "framework/PictureDecoders.h"
#include "framework/PictureReducer.h"

namespace tavelo {

namespace {

// The file's bytes as libpng reads them.
struct TPngSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t position;
};

// Everything the decoding touches that must outlive a jump out of libpng.
struct TPngDecoding {
  png_structp png = nullptr;
  png_infop info = nullptr;
  TPngSource source{};
  char message[200] = "";
  std::unique_ptr<TPictureReducer> reducer;
  std::vector<std::uint8_t> row;
};

// libpng's default handler prints; ours keeps the message and jumps back.
[[noreturn]] void EscapeOnError(png_structp png, png_const_charp message) {
  char* kept = static_cast<TPngDecoding*>(png_get_error_ptr(png))->message;
  std::strncpy(kept, message, sizeof TPngDecoding::message - 1);
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

void ReadBytes(png_structp png, png_bytep into, png_size_t count) {
  TPngSource& source = static_cast<TPngDecoding*>(png_get_io_ptr(png))->source;
  if (count > source.size - source.position) png_error(png, "the file ends too early");
  std::copy_n(source.data + source.position, count, into);
  source.position += count;
}

// Asks libpng for 8-bit RGB, with an alpha channel where the file has any
// transparency; answers whether it has.
bool RequestRgb(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  png_set_expand(png);  // palettes, small grey depths and transparency chunks
  png_set_scale_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_read_update_info(png, info);
  return png_get_channels(png, info) == 4;
}

// Lays each pixel over black: its colour times its opacity.
void OverBlack(std::uint8_t* row, png_uint_32 width) {
  std::uint8_t* rgb = row;
  for (png_uint_32 x = 0; x < width; ++x, row += 4, rgb += 3) {
    const unsigned alpha = row[3];
    for (int channel = 0; channel < 3; ++channel)
      rgb[channel] = static_cast<std::uint8_t>((row[channel] * alpha + 127) / 255);
  }
}

// Chunks that do not change the pixels as they are shown here. libpng skips
// them unread instead of allocating what their length field claims, which
// in a damaged file can be gigabytes.
constexpr png_byte kIgnoredChunks[] =
    "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0pHYs\0oFFs\0sBIT\0bKGD\0cHRM\0gAMA\0sRGB";

// Runs libpng; false, with the message kept, when it failed. No object with
// a destructor may live in this frame: the jump skips them.
bool Decode(TPngDecoding& job) {
  if (setjmp(png_jmpbuf(job.png))) return false;
  png_set_read_fn(job.png, &job, ReadBytes);
  png_set_user_limits(job.png, kMaxPictureSide, kMaxPictureSide);
  png_set_keep_unknown_chunks(job.png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, sizeof kIgnoredChunks / 5);
  png_read_info(job.png, job.info);
  const png_uint_32 width = png_get_image_width(job.png, job.info);
  const png_uint_32 height = png_get_image_height(job.png, job.info);
  CheckPictureSize(width, height);
  const bool interlaced = png_get_interlace_type(job.png, job.info) != PNG_INTERLACE_NONE;
  const bool alpha = RequestRgb(job.png, job.info);
  job.reducer = std::make_unique<TPictureReducer>(static_cast<int>(width), static_cast<int>(height));
  job.row.resize(png_get_rowbytes(job.png, job.info));

  // Without interlace handling libpng hands over each pass of an interlaced
  // file as rows of its own; the reducer takes the pixels wherever they lie,
  // so no full-size picture is ever needed. Empty passes are skipped.
  const int passes = interlaced ? 7 : 1;
  for (int pass = 0; pass < passes; ++pass) {
    const png_uint_32 rows = interlaced ? PNG_PASS_ROWS(height, pass) : height;
    const png_uint_32 columns = interlaced ? PNG_PASS_COLS(width, pass) : width;
    if (rows == 0 || columns == 0) continue;
    for (png_uint_32 row = 0; row < rows; ++row) {
      png_read_row(job.png, job.row.data(), nullptr);
      if (alpha) OverBlack(job.row.data(), columns);
      const png_uint_32 y = interlaced ? PNG_ROW_FROM_PASS_ROW(row, pass) : row;
      const int first = interlaced ? static_cast<int>(PNG_COL_FROM_PASS_COL(0, pass)) : 0;
      const int step = interlaced ? static_cast<int>(PNG_PASS_COL_OFFSET(pass)) : 1;
      job.reducer->AddPixels(static_cast<int>(y), job.row.data(), static_cast<int>(columns), first, step);
    }
  }
  png_read_end(job.png, nullptr);  // a file cut off after its pixels is damaged, too
  return true;
}

}  // namespace

TPixelImage DecodePng(const std::uint8_t* data, std::size_t size) {
  if (size < 8 || png_sig_cmp(data, 0, 8) != 0) throw EInvalidGraphic("Invalid PNG file: no PNG signature");
  TPngDecoding job;
  job.source = {data, size, 0};
  job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job, EscapeOnError, IgnoreWarning);
  if (job.png) job.info = png_create_info_struct(job.png);
  if (!job.info) {
    png_destroy_read_struct(&job.png, nullptr, nullptr);
    throw EInvalidGraphic("Invalid PNG file: out of memory");
  }
  bool decoded = false;
  try {
    decoded = Decode(job);
  } catch (...) {
    png_destroy_read_struct(&job.png, &job.info, nullptr);
    throw;
  }
  png_destroy_read_struct(&job.png, &job.info, nullptr);
  if (!decoded) throw EInvalidGraphic(std::string("Invalid PNG file: ") + job.message);
  return job.reducer->Result();
}

}  // namespace tavelo
