#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "framework/Exception.h"
#include "framework/ImageList.h"
#include "framework/PixelImage.h"
#include "TestSupport.h"

namespace tavelo {
namespace {

// Both kinds of pixel in every row and column, and a colour per pixel.
TPixelImage Pattern(int width, int height) {
  TPixelImage picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if ((x + 2 * y) % 3 == 0)
        picture.Clear(x, y);
      else
        picture.Set(x, y, Rgb(static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 11),
                              static_cast<std::uint8_t>(0x80 + x + y)));
  return picture;
}

struct Size {
  int width;
  int height;
};

class ImageListIconTest : public ::testing::TestWithParam<Size> {};

TEST_P(ImageListIconTest, IconCarriesThePicturesColoursAndItsTransparencyAsMask) {
  const auto [width, height] = GetParam();
  TImageList list(nullptr, width, height);
  EXPECT_EQ(list.Add(TPixelImage(width, height)), 0);
  EXPECT_EQ(list.Add(Pattern(width, height)), 1);
  EXPECT_EQ(list.Count(), 2);
  test::ExpectIconShows(list.GetIcon(1), Pattern(width, height));
}

INSTANTIATE_TEST_SUITE_P(ImageListSizes, ImageListIconTest,
                         ::testing::Values(Size{16, 16}, Size{32, 32}, Size{20, 12}),
                         [](const auto& info) {
                           return std::to_string(info.param.width) + "x" +
                                  std::to_string(info.param.height);
                         });

TEST(ImageListTest, DrawsAPictureOnlyWhenItsIconIsAskedFor) {
  TImageList list(nullptr, 16, 16);
  list.Add(TPixelImage(16, 16));
  std::vector<int> drawn;
  // Each picture differs from the others: its index in the first pixel.
  const auto face = [](int index) {
    TPixelImage picture = Pattern(16, 16);
    picture.Set(1, 0, Rgb(0, 0, static_cast<std::uint8_t>(index)));
    return picture;
  };
  list.AddDrawn(100, [&](int index) {
    drawn.push_back(index);
    return face(index);
  });
  EXPECT_EQ(list.Count(), 101);
  EXPECT_TRUE(drawn.empty());

  test::ExpectIconShows(list.GetIcon(58), face(57));  // the kept picture comes first
  EXPECT_EQ(drawn, std::vector<int>{57});
  EXPECT_EQ(list.GetIcon(101), nullptr);
  EXPECT_EQ(drawn.size(), 1u);
}

TEST(ImageListTest, NoIconOutsideTheList) {
  TImageList list(nullptr, 16, 16);
  list.Add(Pattern(16, 16));
  HICON inside = list.GetIcon(0);
  EXPECT_NE(inside, nullptr);
  DestroyIcon(inside);
  EXPECT_EQ(list.GetIcon(-1), nullptr);
  EXPECT_EQ(list.GetIcon(1), nullptr);
}

TEST(ImageListTest, RefusesAPictureOfAnotherSize) {
  TImageList list(nullptr, 16, 16);
  EXPECT_THROW(list.Add(TPixelImage(32, 16)), Exception);
  EXPECT_EQ(list.Count(), 0);
  list.AddDrawn(1, [](int) { return TPixelImage(16, 32); });
  EXPECT_THROW(list.GetIcon(0), Exception);
}

}  // namespace
}  // namespace tavelo
