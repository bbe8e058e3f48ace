#include "panel/PanelRules.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "resources/PanelPicture.h"

namespace tavelo {
namespace {

TEST(PanelRulesTest, BarsGrowByOneMarkPerTenPercent) {
  const struct {
    int percent;
    const wchar_t* green;
    const wchar_t* yellow;
    const wchar_t* red;
  } cases[] = {
      {0, L"", L"", L""},         {9, L"", L"", L""},
      {10, L"I", L"", L""},       {49, L"IIII", L"", L""},
      {50, L"IIIII", L"I", L""},  {79, L"IIIII", L"III", L""},
      {80, L"IIIII", L"III", L"I"}, {100, L"IIIII", L"III", L"III"},
      {-5, L"", L"", L""},        {110, L"", L"", L""},
  };
  for (const auto& test : cases) {
    const auto bars = BarTexts(test.percent);
    EXPECT_EQ(bars[0], test.green) << test.percent;
    EXPECT_EQ(bars[1], test.yellow) << test.percent;
    EXPECT_EQ(bars[2], test.red) << test.percent;
  }
}

TEST(PanelRulesTest, ValueTextTurnsYellowAtFiftyAndRedAtEighty) {
  constexpr std::uint32_t lime = 0x00FF00, yellow = 0xFFFF00, red = 0xFF0000;
  const struct {
    int percent;
    std::uint32_t colour;
  } cases[] = {{0, lime}, {49, lime}, {50, yellow}, {79, yellow}, {80, red}, {100, red}};
  for (const auto& test : cases) EXPECT_EQ(ValueColour(test.percent), test.colour) << test.percent;
}

TEST(PanelRulesTest, OpacityStepsAreTruncatedTenthsAndStrayStepsAreOpaque) {
  const int expected[] = {25, 51, 76, 102, 127, 153, 178, 204, 229, 255};
  for (int step = 1; step <= 10; ++step) EXPECT_EQ(OpacityOf(step), expected[step - 1]) << step;
  for (int step : {0, -3, 11, 255}) EXPECT_EQ(ValidOpacityStep(step), 10) << step;
  for (int step : {1, 5, 10}) EXPECT_EQ(ValidOpacityStep(step), step);
}

TEST(PanelRulesTest, PicturesAreKnownByTheirLowerCasedExtension) {
  const struct {
    const wchar_t* path;
    bool picture;
  } cases[] = {
      {L"C:\\a\\b.bmp", true},   {L"C:\\a\\B.JPG", true},  {L"x.jpeg", true},
      {L"C:\\a\\b.PnG", true},   {L"C:\\a\\b.txt", false}, {L"C:\\a\\b.jpe", false},
      {L"C:\\a.png\\b", false},  {L"C:\\a\\png", false},   {L"C:\\a\\b.png.txt", false},
      {L"", false},
  };
  for (const auto& test : cases)
    EXPECT_EQ(IsPictureFileName(test.path), test.picture) << testing::PrintToString(std::wstring(test.path));
}

TEST(PanelRulesTest, EdgesCloserThanTenPixelsSnapToTheWorkArea) {
  const TScreenRect area{0, 0, 1024, 738};
  const struct {
    TScreenRect moved;
    int left;
    int top;
  } cases[] = {
      {{9, 100, 94, 164}, 0, 100},       // near the left edge
      {{10, 100, 95, 164}, 10, 100},     // ten pixels away: stays
      {{-9, 100, 76, 164}, 0, 100},      // a little beyond it
      {{935, 675, 1020, 739}, 939, 674}, // near the right and the bottom edges
      {{500, 5, 585, 69}, 500, 0},       // near the top
  };
  for (const auto& test : cases) {
    const TScreenRect snapped = SnapToArea(test.moved, area);
    EXPECT_EQ(snapped.left, test.left) << test.moved.left << "," << test.moved.top;
    EXPECT_EQ(snapped.top, test.top) << test.moved.left << "," << test.moved.top;
    EXPECT_EQ(snapped.right - snapped.left, test.moved.right - test.moved.left) << "the size stays";
    EXPECT_EQ(snapped.bottom - snapped.top, test.moved.bottom - test.moved.top);
  }
}

TEST(PanelRulesTest, AWindowNearBothEdgesOfANarrowAreaSnapsLeftAndTop) {
  const TScreenRect snapped = SnapToArea({3, 4, 88, 68}, {0, 0, 90, 70});
  EXPECT_EQ(snapped.left, 0);
  EXPECT_EQ(snapped.top, 0);
}

TEST(PanelPictureTest, DefaultPictureIsALightGreyGradientWithADiagonalHighlight) {
  const TPixelImage picture = DefaultPanelPicture();
  ASSERT_EQ(picture.width, 85);
  ASSERT_EQ(picture.height, 64);
  const auto red = [&](int x, int y) { return (picture.At(x, y) >> 16) & 0xFF; };
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 85; ++x) {
      ASSERT_FALSE(picture.IsTransparent(x, y));
      ASSERT_GE(red(x, y), 150u) << "light: " << x << "," << y;
      const std::uint32_t rgb = picture.At(x, y);
      ASSERT_LE(static_cast<int>(rgb & 0xFF) - static_cast<int>(red(x, y)), 8) << "grey, not blue";
    }
  EXPECT_GT(red(80, 2), red(5, 60)) << "lighter at the top, both far from the diagonal";
  EXPECT_GT(red(42, 32), red(10, 32)) << "the diagonal is highlighted";
  EXPECT_GT(red(42, 32), red(74, 32));
}

}  // namespace
}  // namespace tavelo
