// Writes the application's icon file; run on the build machine while
// building, since the cross-built programs cannot run there.
// Usage: WriteAppIcon <file.ico>
#include <cstdio>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <vector>

#include "resources/AppIcon.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: WriteAppIcon <file.ico>\n");
    return 2;
  }
  try {
    const std::vector<std::uint8_t> ico = tavelo::IcoFile(tavelo::AppIconImages());
    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) throw std::runtime_error("cannot create the file");
    const bool written = std::fwrite(ico.data(), 1, ico.size(), file) == ico.size();
    if (std::fclose(file) != 0 || !written) throw std::runtime_error("cannot write the file");
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "WriteAppIcon: %s\n", error.what());
    std::remove(argv[1]);
    return 1;
  }
}
