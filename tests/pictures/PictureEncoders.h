#pragma once
// Writes pictures of any size for tests and benchmarks, one row at a time
// from a function, so that even a huge picture never exists in full.
#include <cstdint>
#include <functional>
#include <vector>

namespace tavelo::test {

// Fills row y with red, green and blue bytes.
using TRowSource = std::function<void(int y, std::uint8_t* rgb)>;

std::vector<std::uint8_t> EncodeJpeg(int width, int height, const TRowSource& rows, int quality = 90);
std::vector<std::uint8_t> EncodePng(int width, int height, const TRowSource& rows, bool interlaced = false);
// An uncompressed 24-bit bottom-up BMP.
std::vector<std::uint8_t> EncodeBmp(int width, int height, const TRowSource& rows);

}  // namespace tavelo::test
