// Prints what a 6000 x 4000 JPEG costs: the time to decode it as the panel
// does (scaled in the inverse DCT, then averaged down) and its peak memory,
// against a full-size decode. Each decode runs in a child process of its
// own, so that its peak memory is its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

#include "PictureEncoders.h"
#include "framework/PictureDecoders.h"

namespace {

struct Figures {
  double milliseconds;
  long peakKilobytes;
};

// Runs `work` in a child process; answers its time and its peak resident size.
Figures InChild(const std::function<void()>& work) {
  std::fflush(stdout);  // or the child would print what is buffered again
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) std::exit(1);
  const pid_t child = fork();
  if (child == 0) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const double spent = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (write(pipeEnds[1], &spent, sizeof spent) != sizeof spent) _exit(1);
    _exit(0);
  }
  double spent = 0;
  if (read(pipeEnds[0], &spent, sizeof spent) != sizeof spent) std::exit(1);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  close(pipeEnds[0]);
  close(pipeEnds[1]);
  return {spent, usage.ru_maxrss};
}

// libjpeg at full size into one buffer for the whole picture.
void FullDecode(const std::vector<std::uint8_t>& file) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, file.data(), file.size());
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  std::vector<std::uint8_t> picture(static_cast<size_t>(info.output_width) * info.output_height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row[] = {&picture[static_cast<size_t>(info.output_scanline) * info.output_width * 3]};
    jpeg_read_scanlines(&info, row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
}

}  // namespace

int main() {
  using namespace tavelo;
  const int width = 6000, height = 4000;
  const std::vector<std::uint8_t> file = test::EncodeJpeg(width, height, [](int y, std::uint8_t* rgb) {
    for (int x = 0; x < width; ++x, rgb += 3) {  // gradients with fine detail, like a photo
      rgb[0] = static_cast<std::uint8_t>(x / 24 + (x * y) % 7);
      rgb[1] = static_cast<std::uint8_t>(y / 16 + (x ^ y) % 5);
      rgb[2] = static_cast<std::uint8_t>((x + y) / 40);
    }
  });
  std::printf("6000 x 4000 JPEG of %.1f MB\n", file.size() / 1048576.0);

  const Figures idle = InChild([] {});
  const Figures scaled = InChild([&] {
    const TPixelImage picture = DecodePicture(TPictureFormat::Jpeg, file.data(), file.size());
    std::printf("  decoded as the panel does to %d x %d\n", picture.width, picture.height);
    std::fflush(stdout);
  });
  const Figures full = InChild([&] { FullDecode(file); });
  std::printf("  scaled decode: %7.1f ms, peak memory +%6.1f MB\n", scaled.milliseconds,
              (scaled.peakKilobytes - idle.peakKilobytes) / 1024.0);
  std::printf("  full decode:   %7.1f ms, peak memory +%6.1f MB\n", full.milliseconds,
              (full.peakKilobytes - idle.peakKilobytes) / 1024.0);
  return 0;
}
