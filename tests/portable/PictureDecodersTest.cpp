#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <zlib.h>

#include "PictureEncoders.h"
#include "PictureFixtures.h"
#include "framework/PictureDecoders.h"
#include "framework/PictureReducer.h"

namespace tavelo {
namespace {

using Bytes = std::vector<std::uint8_t>;
using PixelAt = std::function<std::uint32_t(int x, int y)>;

TEST(PictureFormatOfTest, TakesTheLastExtensionOfTheFileNameIgnoringCase) {
  const struct {
    const wchar_t* path;
    std::optional<TPictureFormat> format;
  } cases[] = {
      {L"C:\\Pictures\\sky.bmp", TPictureFormat::Bmp},
      {L"C:\\Pictures\\SKY.JPG", TPictureFormat::Jpeg},
      {L"sky.Jpeg", TPictureFormat::Jpeg},
      {L"C:\\a.b\\sky.png", TPictureFormat::Png},
      {L"sky.png.txt", std::nullopt},
      {L"sky.jpe", std::nullopt},
      {L"C:\\photos.png\\sky", std::nullopt},
      {L"sky", std::nullopt},
      {L"", std::nullopt},
  };
  for (const auto& row : cases) EXPECT_EQ(PictureFormatOf(row.path), row.format) << testing::PrintToString(row.path);
}

// The colours the fixtures were made from (tests/data/pictures).
std::uint32_t Gradient(int x, int y) {
  return Rgb(static_cast<std::uint8_t>(20 * x + 7 * y), static_cast<std::uint8_t>(250 - 25 * x - 10 * y),
             static_cast<std::uint8_t>(90 * y + 5 * x));
}
std::uint32_t TwoColours(int x, int y) { return (x * 3 + y * 5) % 4 < 2 ? Rgb(0, 0, 128) : Rgb(255, 200, 0); }
std::uint32_t BlackAndWhite(int x, int y) { return TwoColours(x, y) == Rgb(0, 0, 128) ? 0 : 0xFFFFFF; }
std::uint32_t Greys(int x, int y) {
  const auto level = static_cast<std::uint8_t>(40 * x + 15 * y);
  return Rgb(level, level, level);
}
// The gradient with an opacity rising from 0 to 1 across the pixels, laid over black.
std::uint32_t GradientOverBlack(int x, int y) {
  const std::uint32_t colour = Gradient(x, y);
  const long alpha = std::lround(255.0 * (x + 5 * y) / 14);
  const auto over = [&](int shift) { return static_cast<std::uint32_t>(((colour >> shift & 0xFF) * alpha + 127) / 255) << shift; };
  return over(16) | over(8) | over(0);
}
// Four 8 x 8 squares: red, lime / blue, white.
std::uint32_t Quadrants(int x, int y) {
  static const std::uint32_t colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
  return colours[(y / 8) * 2 + x / 8];
}
std::uint32_t QuadrantGreys(int x, int y) {
  static const std::uint8_t luma[] = {54, 182, 18, 255};  // as ImageMagick weighs red, green, blue
  const std::uint8_t level = luma[(y / 8) * 2 + x / 8];
  return Rgb(level, level, level);
}

int Channel(std::uint32_t colour, int shift) { return static_cast<int>(colour >> shift & 0xFF); }

// The largest difference in any channel between the picture and `expected`.
int LargestDifference(const TPixelImage& picture, const PixelAt& expected) {
  int largest = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      for (const int shift : {16, 8, 0})
        largest = std::max(largest, std::abs(Channel(picture.At(x, y), shift) - Channel(expected(x, y), shift)));
  return largest;
}

// The rows of a bottom-up BMP fixture stored top-down instead.
Bytes TopDown(Bytes file) {
  auto field = [&](size_t at) { return file[at] | file[at + 1] << 8 | file[at + 2] << 16 | file[at + 3] << 24; };
  const int width = field(18), height = field(22), bits = file[28];
  const size_t stride = (static_cast<size_t>(width) * bits + 31) / 32 * 4;
  const size_t pixels = static_cast<size_t>(field(10));
  Bytes flipped = file;
  for (int y = 0; y < height; ++y)
    std::copy_n(file.begin() + static_cast<long>(pixels + y * stride), stride,
                flipped.begin() + static_cast<long>(pixels + (height - 1 - y) * stride));
  const std::uint32_t negative = static_cast<std::uint32_t>(-height);
  for (int index = 0; index < 4; ++index) flipped[22 + index] = static_cast<std::uint8_t>(negative >> (8 * index));
  return flipped;
}

struct KnownPicture {
  const char* name;
  TPictureFormat format;
  Bytes file;
  int width;
  int height;
  PixelAt pixel;
  int tolerance;  // JPEG is lossy, and 16-bit BMPs keep 5 or 6 bits a colour, steps of 8
};

std::vector<KnownPicture> KnownPictures() {
  using test::PictureFixture;
  const auto bmp = TPictureFormat::Bmp, png = TPictureFormat::Png, jpeg = TPictureFormat::Jpeg;
  return {
      {"rgb24.bmp", bmp, PictureFixture("rgb24.bmp"), 5, 3, Gradient, 0},
      {"rgb24.bmp top-down", bmp, TopDown(PictureFixture("rgb24.bmp")), 5, 3, Gradient, 0},
      {"palette8.bmp", bmp, PictureFixture("palette8.bmp"), 9, 3, Gradient, 0},
      {"palette4.bmp", bmp, PictureFixture("palette4.bmp"), 5, 3, Gradient, 0},
      {"palette4.bmp top-down", bmp, TopDown(PictureFixture("palette4.bmp")), 5, 3, Gradient, 0},
      {"palette1.bmp", bmp, PictureFixture("palette1.bmp"), 5, 3, TwoColours, 0},
      {"os2-rgb24.bmp", bmp, PictureFixture("os2-rgb24.bmp"), 5, 3, Gradient, 0},
      {"rgb565.bmp", bmp, PictureFixture("rgb565.bmp"), 5, 3, Gradient, 8},
      {"rgb555.bmp", bmp, PictureFixture("rgb555.bmp"), 5, 3, Gradient, 8},
      {"argb32.bmp", bmp, PictureFixture("argb32.bmp"), 5, 3, Gradient, 0},
      {"rgb8.png", png, PictureFixture("rgb8.png"), 5, 3, Gradient, 0},
      {"rgb16.png", png, PictureFixture("rgb16.png"), 5, 3, Gradient, 0},
      {"palette.png", png, PictureFixture("palette.png"), 5, 3, Gradient, 0},
      {"grey8.png", png, PictureFixture("grey8.png"), 5, 3, Greys, 0},
      {"grey1.png", png, PictureFixture("grey1.png"), 5, 3, BlackAndWhite, 0},
      {"rgba.png", png, PictureFixture("rgba.png"), 5, 3, GradientOverBlack, 1},
      {"interlaced.png", png, PictureFixture("interlaced.png"), 5, 3, Gradient, 0},
      {"quadrants.jpg", jpeg, PictureFixture("quadrants.jpg"), 16, 16, Quadrants, 4},
      {"progressive.jpg", jpeg, PictureFixture("progressive.jpg"), 16, 16, Quadrants, 4},
      {"grey.jpg", jpeg, PictureFixture("grey.jpg"), 16, 16, QuadrantGreys, 4},
      {"cmyk.jpg", jpeg, PictureFixture("cmyk.jpg"), 16, 16, Quadrants, 8},
  };
}

TEST(DecodePictureTest, SmallPicturesOfEveryKindDecodeToTheirPixels) {
  for (const KnownPicture& known : KnownPictures()) {
    SCOPED_TRACE(known.name);
    const TPixelImage picture = DecodePicture(known.format, known.file.data(), known.file.size());
    ASSERT_EQ(picture.width, known.width);
    ASSERT_EQ(picture.height, known.height);
    EXPECT_LE(LargestDifference(picture, known.pixel), known.tolerance);
  }
}

TEST(DecodePictureTest, EveryTruncationOfAValidFileRaises) {
  for (const KnownPicture& known : KnownPictures()) {
    for (size_t size = 0; size < known.file.size(); ++size) {
      EXPECT_THROW(DecodePicture(known.format, known.file.data(), size), EInvalidGraphic)
          << known.name << " cut to " << size << " bytes";
    }
  }
}

TEST(DecodePictureTest, GarbageRaisesForEveryFormat) {
  Bytes garbage(4096);
  std::uint32_t state = 12345;
  for (std::uint8_t& byte : garbage) byte = static_cast<std::uint8_t>((state = state * 1103515245 + 12345) >> 16);
  // The right signature followed by garbage, too.
  const struct {
    TPictureFormat format;
    Bytes signature;
  } cases[] = {
      {TPictureFormat::Bmp, {}},
      {TPictureFormat::Bmp, {'B', 'M'}},
      {TPictureFormat::Jpeg, {}},
      {TPictureFormat::Jpeg, {0xFF, 0xD8, 0xFF, 0xE0}},
      {TPictureFormat::Png, {}},
      {TPictureFormat::Png, {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}},
  };
  for (const auto& row : cases) {
    Bytes file = garbage;
    std::copy(row.signature.begin(), row.signature.end(), file.begin());
    EXPECT_THROW(DecodePicture(row.format, file.data(), file.size()), EInvalidGraphic);
  }
}

TEST(DecodePictureTest, RunLengthCompressedBmpIsRefused) {
  const Bytes& file = test::PictureFixture("rle8.bmp");
  EXPECT_THROW(DecodeBmp(file.data(), file.size()), EInvalidGraphic);
}

void SetBigEndian(Bytes& file, size_t at, std::uint32_t value, int bytes) {
  for (int index = 0; index < bytes; ++index)
    file[at + index] = static_cast<std::uint8_t>(value >> (8 * (bytes - 1 - index)));
}

// Declares 40000 x 40000 pixels in an otherwise valid header.
Bytes HugeBmp() {
  Bytes file = test::PictureFixture("rgb24.bmp");
  for (const size_t at : {18, 22}) {
    file[at] = 0x40, file[at + 1] = 0x9C, file[at + 2] = 0, file[at + 3] = 0;
  }
  return file;
}
Bytes HugePng() {
  Bytes file = test::PictureFixture("rgb8.png");
  SetBigEndian(file, 16, 40000, 4);  // the IHDR chunk's width and height,
  SetBigEndian(file, 20, 40000, 4);
  SetBigEndian(file, 29, static_cast<std::uint32_t>(crc32(0, &file[12], 17)), 4);  // and a CRC that fits
  return file;
}
Bytes HugeJpeg() {
  Bytes file = test::PictureFixture("quadrants.jpg");
  for (size_t at = 2; at + 9 < file.size(); ++at)
    if (file[at] == 0xFF && file[at + 1] == 0xC0) {  // the frame header: height, then width
      SetBigEndian(file, at + 5, 40000, 2);
      SetBigEndian(file, at + 7, 40000, 2);
      break;
    }
  return file;
}

TEST(DecodePictureTest, HeadersDeclaringTooManyPixelsRaise) {
  for (const auto& [format, file] : {std::pair{TPictureFormat::Bmp, HugeBmp()}, std::pair{TPictureFormat::Png, HugePng()},
                                    std::pair{TPictureFormat::Jpeg, HugeJpeg()}}) {
    try {
      DecodePicture(format, file.data(), file.size());
      ADD_FAILURE() << "no error for format " << static_cast<int>(format);
    } catch (const EInvalidGraphic& error) {
      EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
    }
  }
}

TEST(PictureReducerTest, KeepsTheSharpSizeAndStaysBounded) {
  const struct {
    int width, height, reducedWidth, reducedHeight;
  } cases[] = {
      {10, 10, 10, 10},         // small pictures stay as they are
      {620, 256, 310, 128},     // halved: both sides keep the sharp size
      {621, 256, 311, 128},     // the last column's box is cut short
      {6000, 4000, 316, 211},   // one factor, 19, for both sides keeps the shape
      {20000, 3, 1177, 3},      // a long strip is squeezed along its length only
      {3, 20000, 3, 500},
  };
  for (const auto& row : cases) {
    const TPictureReducer reducer(row.width, row.height);
    EXPECT_EQ(reducer.Width(), row.reducedWidth) << row.width << " x " << row.height;
    EXPECT_EQ(reducer.Height(), row.reducedHeight) << row.width << " x " << row.height;
  }
}

TEST(PictureReducerTest, AveragesEachBoxIncludingTheCutOffEdge) {
  TPictureReducer reducer(621, 256);  // boxes of 2 x 2, the last column 1 wide
  std::vector<std::uint8_t> row(621 * 3);
  for (int y = 0; y < 256; ++y) {
    for (int x = 0; x < 621; ++x) {
      row[3 * x] = static_cast<std::uint8_t>(x % 2 == 0 ? 100 : 201);  // averages to 151 (rounded)
      row[3 * x + 1] = static_cast<std::uint8_t>(y % 2 == 0 ? 0 : 255);  // averages to 128 (rounded)
      row[3 * x + 2] = static_cast<std::uint8_t>(x / 2);
    }
    reducer.AddRow(y, row.data());
  }
  const TPixelImage picture = reducer.Result();
  EXPECT_EQ(picture.At(0, 0), Rgb(151, 128, 0));
  EXPECT_EQ(picture.At(200, 100), Rgb(151, 128, 200));
  EXPECT_EQ(picture.At(310, 127), Rgb(100, 128, 310 % 256));
}

// Four large squares: red, lime / blue, white, with a fine grey pattern over
// them that is too small to survive the reduction.
void LargeQuadrants(int width, int height, int y, std::uint8_t* rgb) {
  for (int x = 0; x < width; ++x, rgb += 3) {
    const std::uint32_t colour = (y < height / 2 ? (x < width / 2 ? 0xFF0000 : 0x00FF00)
                                                 : (x < width / 2 ? 0x0000FF : 0xFFFFFF));
    const int noise = (x + y) % 2 ? 8 : -8;
    for (int channel = 0; channel < 3; ++channel)
      rgb[channel] = static_cast<std::uint8_t>(std::clamp(Channel(colour, 16 - 8 * channel) + noise, 0, 255));
  }
}

TEST(DecodePictureTest, LargePicturesComeOutBoundedAndStillShowTheirPicture) {
  const int width = 2400, height = 1600;
  const test::TRowSource rows = [&](int y, std::uint8_t* rgb) { LargeQuadrants(width, height, y, rgb); };
  const struct {
    const char* name;
    TPictureFormat format;
    Bytes file;
  } cases[] = {
      {"bmp", TPictureFormat::Bmp, test::EncodeBmp(width, height, rows)},
      {"jpeg", TPictureFormat::Jpeg, test::EncodeJpeg(width, height, rows)},
      {"png", TPictureFormat::Png, test::EncodePng(width, height, rows)},
      {"interlaced png", TPictureFormat::Png, test::EncodePng(width, height, rows, true)},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    const TPixelImage picture = DecodePicture(row.format, row.file.data(), row.file.size());
    EXPECT_GE(picture.width, TPictureReducer::kSharpWidth);
    EXPECT_GE(picture.height, TPictureReducer::kSharpHeight);
    EXPECT_LE(picture.width, TPictureReducer::kSharpWidth * 2);
    EXPECT_NEAR(static_cast<double>(picture.width) / picture.height, 1.5, 0.02);
    // Away from the squares' borders each reduced pixel is its square's colour.
    const int w = picture.width, h = picture.height;
    EXPECT_LE(LargestDifference(picture, [&](int x, int y) {
                if (std::abs(x - w / 2) < 3 || std::abs(y - h / 2) < 3) return picture.At(x, y);
                return y < h / 2 ? (x < w / 2 ? 0xFF0000u : 0x00FF00u) : (x < w / 2 ? 0x0000FFu : 0xFFFFFFu);
              }),
              8);
  }
}

TEST(DecodePictureTest, InterlacedPngGivesTheSameReducedPictureAsPlain) {
  const int width = 1000, height = 700;
  const test::TRowSource rows = [&](int y, std::uint8_t* rgb) {
    for (int x = 0; x < width; ++x) {
      rgb[3 * x] = static_cast<std::uint8_t>(x * 7 + y);
      rgb[3 * x + 1] = static_cast<std::uint8_t>(x ^ y);
      rgb[3 * x + 2] = static_cast<std::uint8_t>(y * 3);
    }
  };
  const Bytes plain = test::EncodePng(width, height, rows);
  const Bytes interlaced = test::EncodePng(width, height, rows, true);
  const TPixelImage expected = DecodePng(plain.data(), plain.size());
  const TPixelImage actual = DecodePng(interlaced.data(), interlaced.size());
  EXPECT_EQ(actual.width, expected.width);
  EXPECT_EQ(actual.pixels, expected.pixels);
}

}  // namespace
}  // namespace tavelo

namespace tavelo {
namespace {

TEST(DecodePictureTest, DataLongerThanTheLargestFileTakenRaisesBeforeAnyDecoding) {
  // Never written: the pages of the buffer are not even touched.
  const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[kMaxPictureFileBytes + 1]);
  for (const TPictureFormat format : {TPictureFormat::Bmp, TPictureFormat::Jpeg, TPictureFormat::Png}) {
    try {
      DecodePicture(format, data.get(), kMaxPictureFileBytes + 1);
      ADD_FAILURE() << "no error for format " << static_cast<int>(format);
    } catch (const EInvalidGraphic& error) {
      EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
    }
  }
}

}  // namespace
}  // namespace tavelo
