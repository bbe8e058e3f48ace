#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "PictureFixtures.h"
#include "TestSupport.h"
#include "framework/Picture.h"
#include "framework/PixelBitmap.h"

namespace tavelo {
namespace {

// A 32-bit memory canvas of the given size, filled with one colour.
class Canvas {
 public:
  Canvas(int width, int height, std::uint32_t fill) : width_(width), height_(height) {
    const BITMAPINFO info = TopDownRgbInfo(width, height);
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    std::fill_n(bits_, width * height, fill);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  HDC Dc() const { return dc_; }
  std::uint32_t At(int x, int y) const {
    GdiFlush();
    return bits_[y * width_ + x] & 0xFFFFFF;
  }

 private:
  int width_;
  int height_;
  HBITMAP bitmap_;
  std::uint32_t* bits_ = nullptr;
  HDC dc_;
  HGDIOBJ previous_;
};

int Difference(std::uint32_t a, std::uint32_t b) {
  int largest = 0;
  for (const int shift : {16, 8, 0})
    largest = std::max(largest, std::abs(static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF)));
  return largest;
}

class PictureTest : public ::testing::Test {
 protected:
  void SetUp() override { folder = test::MakeTempFolder(); }
  void TearDown() override { test::DeleteTree(folder); }

  // Writes a fixture, or any bytes, into a file of the prefix.
  std::wstring File(const std::wstring& name, const std::vector<std::uint8_t>& bytes) {
    const std::wstring path = folder + name;
    test::WriteBytes(path, Bytes(bytes.begin(), bytes.end()));
    return path;
  }

  std::wstring folder;
};

TEST_F(PictureTest, LoadsEachFormatAndDrawsItStretched) {
  // Each file holds four squares, red, lime / blue, white, of 8 x 8 pixels;
  // drawn 8 times larger the middle of each square keeps its colour.
  const struct {
    const wchar_t* name;
    const char* fixture;
  } files[] = {
      {L"QUADRANTS.JPG", "quadrants.jpg"},
      {L"quadrants.png", "quadrants.png"},
      {L"quadrants.bmp", "quadrants.bmp"},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(testing::PrintToString(file.name));
    TPicture picture;
    picture.LoadFromFile(File(file.name, test::PictureFixture(file.fixture)));
    ASSERT_FALSE(picture.Empty());
    const int width = picture.Width() * 8, height = picture.Height() * 8;
    Canvas canvas(width + 10, height + 10, 0x123456);
    picture.StretchDraw(canvas.Dc(), RECT{5, 5, 5 + width, 5 + height});
    EXPECT_EQ(canvas.At(2, 2), 0x123456u) << "outside the rectangle nothing changes";
    EXPECT_EQ(canvas.At(width + 7, height + 7), 0x123456u);
    EXPECT_LE(Difference(canvas.At(5 + width / 4, 5 + height / 4), 0xFF0000), 6);
    EXPECT_LE(Difference(canvas.At(5 + width * 3 / 4, 5 + height / 4), 0x00FF00), 6);
    EXPECT_LE(Difference(canvas.At(5 + width / 4, 5 + height * 3 / 4), 0x0000FF), 6);
    EXPECT_LE(Difference(canvas.At(5 + width * 3 / 4, 5 + height * 3 / 4), 0xFFFFFF), 6);
  }
}

TEST_F(PictureTest, AFileThatFailsRaisesAndKeepsThePictureBefore) {
  const std::vector<std::uint8_t>& good = test::PictureFixture("rgb8.png");
  const std::wstring cutOff = File(L"cut.png", std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2));
  const std::wstring empty = File(L"empty.jpg", {});
  const std::wstring text = File(L"notes.txt", {'h', 'i'});
  const std::wstring misnamed = File(L"really-a-png.bmp", good);
  TPicture picture;
  picture.LoadFromFile(File(L"good.png", good));
  for (const std::wstring& path : {cutOff, empty, text, misnamed, folder + L"missing.png"}) {
    EXPECT_THROW(picture.LoadFromFile(path), EInvalidGraphic) << testing::PrintToString(path);
    EXPECT_EQ(picture.Width(), 5);
    EXPECT_EQ(picture.Height(), 3);
  }
  Canvas canvas(5, 3, 0);
  picture.StretchDraw(canvas.Dc(), RECT{0, 0, 5, 3});
  EXPECT_EQ(canvas.At(4, 2), 0x5E82C8u) << "the gradient's last pixel: 20*4+7*2, 250-100-20, 180+20";
}

TEST_F(PictureTest, AssignClearAndEmpty) {
  TPicture picture;
  EXPECT_TRUE(picture.Empty());
  TPixelImage image(3, 2);
  image.Set(0, 0, 0xFF8000);
  picture.Assign(image);  // the rest is transparent, which draws black
  EXPECT_FALSE(picture.Empty());
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Height(), 2);
  Canvas canvas(3, 2, 0x123456);
  picture.StretchDraw(canvas.Dc(), RECT{0, 0, 3, 2});
  EXPECT_EQ(canvas.At(0, 0), 0xFF8000u);
  EXPECT_EQ(canvas.At(2, 1), 0u);

  picture.Clear();
  EXPECT_TRUE(picture.Empty());
  EXPECT_EQ(picture.Width(), 0);
  Canvas untouched(3, 2, 0x123456);
  picture.StretchDraw(untouched.Dc(), RECT{0, 0, 3, 2});
  EXPECT_EQ(untouched.At(1, 1), 0x123456u);
}

}  // namespace
}  // namespace tavelo
