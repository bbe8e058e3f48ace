// JPEG through libjpeg-turbo, scaled down in the inverse DCT, so that even a
// very large photo is never held at full size.
#include <algorithm>
#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE and size_t first
#include <memory>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "framework/PictureDecoders.h"
#include "framework/PictureReducer.h"

namespace tavelo {

namespace {

// libjpeg reports errors through this manager. Its default one ends the
// process; ours jumps back to the decoder, which raises EInvalidGraphic.
struct TJpegErrors {
  jpeg_error_mgr manager;
  std::jmp_buf escape;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void EscapeOnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
  errors->manager.format_message(info, errors->message);
  std::longjmp(errors->escape, 1);
}

// Most warnings mean damaged or truncated data, which libjpeg would show
// padded with grey. Only these leave the pixels whole: stray bytes between
// markers (which many cameras write) and header details nobody needs here.
bool Harmless(int warning) {
  return warning == JWRN_EXTRANEOUS_DATA || warning == JWRN_JFIF_MAJOR ||
         warning == JWRN_ADOBE_XFORM || warning == JWRN_BOGUS_ICC;
}

void EscapeOnWarning(j_common_ptr info, int level) {
  if (level == -1 && !Harmless(info->err->msg_code)) EscapeOnError(info);
}

// libjpeg's own buffers stay below this: enough for the whole-picture
// coefficients of a progressive 24-megapixel photo, never a runaway file's.
constexpr long kMaxLibraryMemory = 160L * 1024 * 1024;

// The smallest of libjpeg's scalings (1/8 to 8/8) that keeps the sharp size.
void ChooseScale(jpeg_decompress_struct& info) {
  const JDIMENSION wantedWidth = std::min<JDIMENSION>(info.image_width, TPictureReducer::kSharpWidth);
  const JDIMENSION wantedHeight = std::min<JDIMENSION>(info.image_height, TPictureReducer::kSharpHeight);
  info.scale_denom = 8;
  for (info.scale_num = 1; info.scale_num < 8; ++info.scale_num) {
    jpeg_calc_output_dimensions(&info);
    if (info.output_width >= wantedWidth && info.output_height >= wantedHeight) return;
  }
  jpeg_calc_output_dimensions(&info);
}

// Converts a CMYK row in place to red, green and blue. Adobe's files, the
// usual source, store the inks inverted.
void CmykToRgb(std::uint8_t* row, JDIMENSION width, bool inverted) {
  std::uint8_t* rgb = row;
  for (JDIMENSION x = 0; x < width; ++x, row += 4, rgb += 3) {
    int c = row[0], m = row[1], y = row[2], k = row[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    rgb[0] = static_cast<std::uint8_t>(c * k / 255);
    rgb[1] = static_cast<std::uint8_t>(m * k / 255);
    rgb[2] = static_cast<std::uint8_t>(y * k / 255);
  }
}

// Everything the decoding touches that must outlive a jump out of libjpeg.
struct TJpegDecoding {
  jpeg_decompress_struct info{};
  TJpegErrors errors{};
  std::unique_ptr<TPictureReducer> reducer;
  std::vector<std::uint8_t> row;
};

// Runs libjpeg; false, with the message in the errors, when it failed. No
// object with a destructor may live in this frame: the jump skips them.
bool Decode(TJpegDecoding& job, const std::uint8_t* data, std::size_t size) {
  jpeg_decompress_struct& info = job.info;
  if (setjmp(job.errors.escape)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  CheckPictureSize(info.image_width, info.image_height);
  info.mem->max_memory_to_use = kMaxLibraryMemory;
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  ChooseScale(info);
  jpeg_start_decompress(&info);
  job.reducer = std::make_unique<TPictureReducer>(static_cast<int>(info.output_width),
                                                  static_cast<int>(info.output_height));
  job.row.resize(static_cast<size_t>(info.output_width) * static_cast<size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW rows[] = {job.row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    if (cmyk) CmykToRgb(job.row.data(), info.output_width, info.saw_Adobe_marker);
    job.reducer->AddRow(y, job.row.data());
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

TPixelImage DecodeJpeg(const std::uint8_t* data, std::size_t size) {
  TJpegDecoding job;
  job.info.err = jpeg_std_error(&job.errors.manager);
  job.errors.manager.error_exit = EscapeOnError;
  job.errors.manager.emit_message = EscapeOnWarning;
  bool decoded = false;
  try {
    decoded = Decode(job, data, size);
  } catch (...) {
    jpeg_destroy_decompress(&job.info);
    throw;
  }
  jpeg_destroy_decompress(&job.info);
  if (!decoded) throw EInvalidGraphic(std::string("Invalid JPEG file: ") + job.errors.message);
  return job.reducer->Result();
}

}  // namespace tavelo
