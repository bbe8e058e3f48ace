#include "resources/TrayFaces.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tavelo {
namespace {

constexpr std::uint32_t kBlack = Rgb(0, 0, 0);
constexpr std::uint32_t kGreen = Rgb(0, 255, 0);
constexpr std::uint32_t kYellow = Rgb(255, 255, 0);
constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kGrey = Rgb(128, 128, 128);

constexpr TFaceKind kKinds[] = {TFaceKind::Cpu, TFaceKind::Ram};

std::string Hex(std::uint32_t rgb) {
  char text[16];
  std::snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb));
  return text;
}

testing::AssertionResult HasColour(const TPixelImage& image, int x, int y, std::uint32_t rgb) {
  if (image.IsTransparent(x, y)) {
    return testing::AssertionFailure() << "(" << x << "," << y << ") is transparent";
  }
  if (image.At(x, y) != rgb) {
    return testing::AssertionFailure()
           << "(" << x << "," << y << ") is " << Hex(image.At(x, y)) << ", not " << Hex(rgb);
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult IsClear(const TPixelImage& image, int x, int y) {
  if (image.IsTransparent(x, y)) return testing::AssertionSuccess();
  return testing::AssertionFailure() << "(" << x << "," << y << ") is " << Hex(image.At(x, y));
}

bool IsOpaque(const TPixelImage& image, int x, int y, std::uint32_t rgb) {
  return !image.IsTransparent(x, y) && image.At(x, y) == rgb;
}

std::uint8_t Red(std::uint32_t rgb) { return static_cast<std::uint8_t>(rgb >> 16); }
std::uint8_t Green(std::uint32_t rgb) { return static_cast<std::uint8_t>(rgb >> 8); }
std::uint8_t Blue(std::uint32_t rgb) { return static_cast<std::uint8_t>(rgb); }

int CountColour(const TPixelImage& image, std::uint32_t rgb) {
  int count = 0;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) count += IsOpaque(image, x, y, rgb);
  }
  return count;
}

bool SamePicture(const TPixelImage& a, const TPixelImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels &&
         a.transparent == b.transparent;
}

// ---------------------------------------------------------------------------
// Digital face

// Seven-segment digits by their lit segments: a top, b upper right, c lower
// right, d bottom, e lower left, f upper left, g middle.
const char* const kLitSegments[10] = {
    "abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"};

constexpr int kTensLeft = 1;
constexpr int kUnitsLeft = 17;

// A pixel in the middle of each segment of a 15-pixel digit in rows 2..29:
// the top and bottom bars are three rows thick round rows 3 and 28, the
// middle bar covers row 15, the vertical bars fill the digit's three outer
// columns on each side.
struct SegmentProbe {
  char segment;
  int dx;
  int y;
};
constexpr SegmentProbe kSegmentProbes[] = {{'a', 7, 3},  {'b', 13, 9}, {'c', 13, 22}, {'d', 7, 28},
                                           {'e', 1, 22}, {'f', 1, 9},  {'g', 7, 15}};

bool IsLit(int digit, char segment) {
  return std::string(kLitSegments[digit]).find(segment) != std::string::npos;
}

void ExpectDigit(const TPixelImage& face, int left, int digit, std::uint32_t ink) {
  for (const SegmentProbe& probe : kSegmentProbes) {
    const std::uint32_t expected = IsLit(digit, probe.segment) ? ink : kBlack;
    EXPECT_TRUE(HasColour(face, left + probe.dx, probe.y, expected))
        << "digit " << digit << " segment " << probe.segment;
  }
}

TEST(TrayFacesDigitalTest, ShowsBothDigitsInTheColourOfTheirBand) {
  struct Case {
    int n;
    std::uint32_t ink;
  };
  const Case cases[] = {{7, kGreen},   {13, kGreen},  {24, kGreen}, {35, kGreen},
                        {49, kGreen},  {50, kYellow}, {61, kYellow}, {79, kYellow},
                        {80, kRed},    {88, kRed},    {92, kRed},   {96, kRed}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    const TPixelImage face = DigitalFace(c.n);
    ExpectDigit(face, kTensLeft, c.n / 10, c.ink);
    ExpectDigit(face, kUnitsLeft, c.n % 10, c.ink);
  }
}

TEST(TrayFacesDigitalTest, IsAnOpaqueSquareWithBlackBorderAndGap) {
  for (int n : {0, 7, 50, 80, 88, 99}) {
    SCOPED_TRACE(n);
    const TPixelImage face = DigitalFace(n);
    ASSERT_EQ(face.width, 32);
    ASSERT_EQ(face.height, 32);
    for (int i = 0; i < 32; ++i) {
      for (int column : {0, 16}) EXPECT_TRUE(HasColour(face, column, i, kBlack));
      for (int row : {0, 1, 30, 31}) EXPECT_TRUE(HasColour(face, i, row, kBlack));
    }
    EXPECT_EQ(std::count(face.transparent.begin(), face.transparent.end(), true), 0);
  }
}

// 88 lights every segment, so every edge of every bar can be seen.
TEST(TrayFacesDigitalTest, SegmentsAreThreeThickWithPointedEndsApart) {
  const TPixelImage face = DigitalFace(88);
  for (int left : {kTensLeft, kUnitsLeft}) {
    SCOPED_TRACE(left);
    // The top bar: 13 pixels in its centre row, one shorter at each end above and below.
    for (int x = left; x < left + 15; ++x) {
      const bool inCentreRow = x >= left + 1 && x <= left + 13;
      const bool inSideRows = x >= left + 2 && x <= left + 12;
      EXPECT_TRUE(HasColour(face, x, 3, inCentreRow ? kRed : kBlack));
      EXPECT_TRUE(HasColour(face, x, 2, inSideRows ? kRed : kBlack));
      EXPECT_TRUE(HasColour(face, x, 4, inSideRows ? kRed : kBlack));
    }
    // Horizontal bars are three rows thick, with background between them.
    const int middle = left + 7;
    for (int y : {2, 3, 4, 14, 15, 16, 27, 28, 29}) EXPECT_TRUE(HasColour(face, middle, y, kRed));
    for (int y : {5, 13, 17, 26}) EXPECT_TRUE(HasColour(face, middle, y, kBlack));
    // Vertical bars are three columns thick at the digit's edges.
    for (int y : {9, 22}) {
      for (int dx : {0, 1, 2, 12, 13, 14}) EXPECT_TRUE(HasColour(face, left + dx, y, kRed));
      for (int dx : {3, 11}) EXPECT_TRUE(HasColour(face, left + dx, y, kBlack));
    }
    // Along each vertical bar's centre line, one background pixel parts its
    // tips from the tips of the horizontal bars.
    for (int dx : {1, 13}) {
      for (int y : {3, 5, 13, 15, 17, 26, 28}) EXPECT_TRUE(HasColour(face, left + dx, y, kRed));
      for (int y : {4, 14, 16, 27}) EXPECT_TRUE(HasColour(face, left + dx, y, kBlack));
    }
  }
}

TEST(TrayFacesDigitalTest, HundredIsBlackSegmentsOnRed) {
  const TPixelImage face = DigitalFace(100);
  EXPECT_EQ(CountColour(face, kRed) + CountColour(face, kBlack), 32 * 32);
  for (int i = 0; i < 32; ++i) {
    for (int column : {0, 4, 18}) EXPECT_TRUE(HasColour(face, column, i, kRed));
    for (int row : {0, 1, 30, 31}) EXPECT_TRUE(HasColour(face, i, row, kRed));
  }
  // The 1: a bar three columns wide.
  for (int y : {9, 22}) {
    for (int x : {1, 2, 3}) EXPECT_TRUE(HasColour(face, x, y, kBlack));
  }
  // The zeros: 13 columns wide, no middle bar.
  for (int left : {5, 19}) {
    SCOPED_TRACE(left);
    for (int x = left; x <= left + 12; ++x) {
      const bool inBar = x >= left + 1 && x <= left + 11;
      EXPECT_TRUE(HasColour(face, x, 3, inBar ? kBlack : kRed));
      EXPECT_TRUE(HasColour(face, x, 28, inBar ? kBlack : kRed));
      EXPECT_TRUE(HasColour(face, x, 15, kRed));
      for (int y : {9, 22}) {
        const bool inSide = x <= left + 2 || x >= left + 10;
        EXPECT_TRUE(HasColour(face, x, y, inSide ? kBlack : kRed));
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Number icons

constexpr std::uint32_t kDigitInks[] = {kGreen, kYellow, kRed};

// The columns, or rows, that hold a pixel of the number's colour.
std::vector<bool> InkedColumns(const TPixelImage& icon, std::uint32_t ink) {
  std::vector<bool> inked(icon.width, false);
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width; ++x) {
      if (IsOpaque(icon, x, y, ink)) inked[x] = true;
    }
  }
  return inked;
}

std::vector<bool> InkedRows(const TPixelImage& icon, std::uint32_t ink) {
  std::vector<bool> inked(icon.height, false);
  for (int y = 0; y < icon.height; ++y) {
    for (int x = 0; x < icon.width; ++x) {
      if (IsOpaque(icon, x, y, ink)) inked[y] = true;
    }
  }
  return inked;
}

int FirstInked(const std::vector<bool>& inked) {
  for (int x = 0; x < static_cast<int>(inked.size()); ++x) {
    if (inked[x]) return x;
  }
  return -1;
}

int LastInked(const std::vector<bool>& inked) {
  for (int x = static_cast<int>(inked.size()) - 1; x >= 0; --x) {
    if (inked[x]) return x;
  }
  return -1;
}

// Digits are parted by columns without ink, so each run of inked columns is
// one digit; the widths of the runs, from the left.
std::vector<int> RunWidths(const std::vector<bool>& inked) {
  std::vector<int> widths;
  for (size_t x = 0; x < inked.size(); ++x) {
    if (!inked[x]) continue;
    if (x == 0 || !inked[x - 1]) widths.push_back(0);
    ++widths.back();
  }
  return widths;
}

std::uint32_t NumberInk(int n) {
  if (n < 50) return kGreen;
  return n < 90 ? kYellow : kRed;
}

TEST(TrayFacesNumberIconTest, DigitsTakeTheColourOfTheirBand) {
  struct Case {
    int n;
    std::uint32_t ink;
  };
  const Case cases[] = {{0, kGreen},   {7, kGreen},   {49, kGreen}, {50, kYellow},
                        {80, kYellow}, {89, kYellow}, {90, kRed},   {100, kRed}};
  for (TFaceKind kind : kKinds) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.n);
      const TPixelImage icon = NumberIconFace(kind, c.n);
      ASSERT_EQ(icon.width, 16);
      ASSERT_EQ(icon.height, 16);
      for (std::uint32_t ink : kDigitInks) {
        if (ink == c.ink) {
          EXPECT_GT(CountColour(icon, ink), 0);
        } else {
          EXPECT_EQ(CountColour(icon, ink), 0) << Hex(ink);
        }
      }
    }
  }
}

TEST(TrayFacesNumberIconTest, NumberStandsInABlackBoxAtTheLowerRight) {
  for (TFaceKind kind : kKinds) {
    for (int n : {0, 7, 10, 42, 50, 89, 100}) {
      SCOPED_TRACE(n);
      const TPixelImage icon = NumberIconFace(kind, n);
      const std::uint32_t ink = NumberInk(n);
      // Digits five rows high, one black pixel inside the box's top, bottom
      // and right edges.
      const std::vector<bool> rows = InkedRows(icon, ink);
      EXPECT_EQ(FirstInked(rows), 10);
      EXPECT_EQ(LastInked(rows), 14);
      EXPECT_EQ(std::count(rows.begin(), rows.end(), true), 5);
      const std::vector<bool> columns = InkedColumns(icon, ink);
      EXPECT_EQ(LastInked(columns), 14);
      // The box: the lowest seven rows, from one column left of the digits
      // to the right edge; black wherever the digits leave it.
      const int boxLeft = FirstInked(columns) - 1;
      ASSERT_GE(boxLeft, 0);
      for (int y = 9; y < 16; ++y) {
        for (int x = boxLeft; x < 16; ++x) {
          if (!IsOpaque(icon, x, y, ink)) {
            EXPECT_TRUE(HasColour(icon, x, y, kBlack));
          }
        }
      }
    }
  }
}

TEST(TrayFacesNumberIconTest, DigitsAreFourWideWithoutLeadingZeros) {
  struct Case {
    int n;
    int digits;
  };
  const Case cases[] = {{0, 1}, {7, 1}, {42, 2}, {50, 2}, {89, 2}, {96, 2}};
  for (TFaceKind kind : kKinds) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.n);
      const std::vector<bool> inked = InkedColumns(NumberIconFace(kind, c.n), NumberInk(c.n));
      EXPECT_EQ(RunWidths(inked), std::vector<int>(c.digits, 4));
      // One column between digits.
      EXPECT_EQ(LastInked(inked) - FirstInked(inked) + 1, 5 * c.digits - 1);
    }
  }
}

TEST(TrayFacesNumberIconTest, TheOneOfHundredIsNarrower) {
  for (TFaceKind kind : kKinds) {
    const std::vector<int> ten = RunWidths(InkedColumns(NumberIconFace(kind, 10), kGreen));
    const std::vector<int> hundred = RunWidths(InkedColumns(NumberIconFace(kind, 100), kRed));
    ASSERT_EQ(ten.size(), 2u);
    ASSERT_EQ(hundred.size(), 3u);
    EXPECT_LT(hundred[0], ten[0]);
    EXPECT_EQ(hundred[1], 4);
    EXPECT_EQ(hundred[2], 4);
  }
}

// Reds of the stop badge, as opposed to the pure red of the digits.
bool IsBadgeRed(const TPixelImage& icon, int x, int y) {
  const std::uint32_t rgb = icon.At(x, y);
  return !icon.IsTransparent(x, y) && rgb != kRed && Red(rgb) >= 160 && Green(rgb) <= 80 &&
         Blue(rgb) <= 60;
}

TEST(TrayFacesNumberIconTest, StoppedFaceShowsARoundRedBadgeInsteadOfTheNumber) {
  for (TFaceKind kind : kKinds) {
    const TPixelImage icon = NumberIconFace(kind, 101);
    for (std::uint32_t ink : kDigitInks) EXPECT_EQ(CountColour(icon, ink), 0) << Hex(ink);
    // About 7 x 7 in the lowest seven rows and columns: its centre and the
    // middles of its four sides are red, its corner is not.
    for (auto [x, y] : {std::pair{12, 12}, {9, 12}, {15, 12}, {12, 9}, {12, 15}}) {
      EXPECT_TRUE(IsBadgeRed(icon, x, y)) << x << "," << y << " " << Hex(icon.At(x, y));
    }
    EXPECT_FALSE(IsBadgeRed(icon, 15, 15));
    EXPECT_FALSE(IsBadgeRed(icon, 8, 12));
    int white = 0;
    for (int y = 9; y < 16; ++y) {
      for (int x = 9; x < 16; ++x) white += IsOpaque(icon, x, y, Rgb(255, 255, 255));
    }
    EXPECT_GT(white, 0);
  }
}

// The number's box and the badge cover the lower right only; elsewhere
// every face of a kind shows the same picture.
TEST(TrayFacesNumberIconTest, EveryFaceOfAKindShowsTheSamePicture) {
  constexpr int kBadgeLeft = 9;
  for (TFaceKind kind : kKinds) {
    const TPixelImage stopped = NumberIconFace(kind, 101);
    for (int n : {0, 7, 50, 100}) {
      SCOPED_TRACE(n);
      const TPixelImage icon = NumberIconFace(kind, n);
      const int boxLeft = FirstInked(InkedColumns(icon, NumberInk(n))) - 1;
      for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
          if (y >= 9 && x >= std::min(boxLeft, kBadgeLeft)) continue;
          EXPECT_EQ(icon.IsTransparent(x, y), stopped.IsTransparent(x, y)) << x << "," << y;
          EXPECT_EQ(icon.At(x, y), stopped.At(x, y)) << x << "," << y;
        }
      }
    }
  }
  EXPECT_FALSE(
      SamePicture(NumberIconFace(TFaceKind::Cpu, 101), NumberIconFace(TFaceKind::Ram, 101)));
}

// Where the opaque pixels of the rows above the number box begin and end.
struct UpperPart {
  int firstRow = 16;
  int firstColumn = 16;
  int lastColumn = -1;
};

UpperPart UpperPartOf(const TPixelImage& icon) {
  UpperPart part;
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (icon.IsTransparent(x, y)) continue;
      part.firstRow = std::min(part.firstRow, y);
      part.firstColumn = std::min(part.firstColumn, x);
      part.lastColumn = std::max(part.lastColumn, x);
    }
  }
  return part;
}

TEST(TrayFacesNumberIconTest, ChipHasPinsWithOliveTipsAndASilverLabel) {
  const std::uint32_t silver = Rgb(192, 192, 192);
  const std::uint32_t olive = Rgb(128, 128, 0);
  const TPixelImage chip = NumberIconFace(TFaceKind::Cpu, 101);
  const UpperPart part = UpperPartOf(chip);
  // The topmost row holds only pin tips, each at the end of a grey or
  // silver pin; the outermost columns on the left and right hold only tips too.
  int tips = 0;
  for (int x = 0; x < 16; ++x) {
    if (chip.IsTransparent(x, part.firstRow)) continue;
    ++tips;
    EXPECT_TRUE(HasColour(chip, x, part.firstRow, olive));
    const std::uint32_t pin = chip.At(x, part.firstRow + 1);
    EXPECT_TRUE(pin == kGrey || pin == silver) << x << " " << Hex(pin);
  }
  EXPECT_GE(tips, 3);
  for (int y = 0; y < 9; ++y) {
    for (int x : {part.firstColumn, part.lastColumn}) {
      if (!chip.IsTransparent(x, y)) {
        EXPECT_TRUE(HasColour(chip, x, y, olive));
      }
    }
  }
  EXPECT_GT(CountColour(chip, kGrey), 0);
  EXPECT_GT(CountColour(chip, silver), 0);
  // The label: a silver run of at least five pixels between black body pixels.
  bool label = false;
  for (int y = 0; y < 8; ++y) {
    for (int x = 1; x < 10; ++x) {
      bool run = IsOpaque(chip, x - 1, y, kBlack);
      for (int i = 0; i < 5; ++i) run = run && IsOpaque(chip, x + i, y, silver);
      label = label || run;
    }
  }
  EXPECT_TRUE(label);
}

bool IsContactYellow(const TPixelImage& icon, int x, int y) {
  const std::uint32_t rgb = icon.At(x, y);
  return !icon.IsTransparent(x, y) && Red(rgb) >= 180 && Green(rgb) >= 180 && Blue(rgb) <= 100;
}

TEST(TrayFacesNumberIconTest, ModuleLiesDiagonallyWithContactsOnItsUpperRight) {
  const TPixelImage module = NumberIconFace(TFaceKind::Ram, 101);
  EXPECT_TRUE(IsClear(module, 15, 0));
  EXPECT_TRUE(IsClear(module, 0, 15));
  EXPECT_TRUE(IsClear(module, 0, 0));
  // From the upper left down to the right: the middle of each row above the
  // badge lies further right than the middle of the row above it.
  int previousDoubleMiddle = -1;  // first + last, twice the middle column
  int contacts = 0;
  for (int y = 1; y < 9; ++y) {
    int first = -1;
    int last = -1;
    for (int x = 0; x < 16; ++x) {
      if (module.IsTransparent(x, y)) continue;
      if (first < 0) first = x;
      last = x;
    }
    ASSERT_GE(first, 0) << "row " << y;
    EXPECT_GT(first + last, previousDoubleMiddle) << "row " << y;
    previousDoubleMiddle = first + last;
    // Where a row has contacts they are its right end.
    for (int x = 0; x < 16; ++x) {
      if (!IsContactYellow(module, x, y)) continue;
      ++contacts;
      for (int right = x + 1; right <= last; ++right) {
        EXPECT_TRUE(IsContactYellow(module, right, y)) << right << "," << y;
      }
    }
    const std::uint32_t body = module.At(first, y);
    EXPECT_TRUE(Red(body) == Green(body) && Green(body) == Blue(body) && Red(body) < 100)
        << "row " << y << " " << Hex(body);
  }
  EXPECT_GE(contacts, 6);
}

// ---------------------------------------------------------------------------
// Level meter

// Rows of the ten cells, lowest first.
struct CellRows {
  int top;
  int bottom;
};
constexpr CellRows kCells[10] = {{29, 30}, {26, 27}, {23, 24}, {20, 21}, {17, 18},
                                 {14, 15}, {11, 12}, {8, 9},   {5, 6},   {2, 3}};
constexpr int kLitCellCounts[] = {0, 1, 5, 9, 10};

TEST(TrayFacesLevelMeterTest, GreyFrameRoundTheSquare) {
  for (int k : kLitCellCounts) {
    SCOPED_TRACE(k);
    const TPixelImage meter = LevelMeterFace(k);
    ASSERT_EQ(meter.width, 32);
    ASSERT_EQ(meter.height, 32);
    for (int i = 0; i < 32; ++i) {
      for (auto [x, y] : {std::pair{i, 0}, {i, 31}, {0, i}, {31, i}}) {
        EXPECT_TRUE(HasColour(meter, x, y, kGrey));
      }
    }
  }
}

TEST(TrayFacesLevelMeterTest, BlackOutlineAndRulesPartTheCells) {
  for (int k : kLitCellCounts) {
    SCOPED_TRACE(k);
    const TPixelImage meter = LevelMeterFace(k);
    for (int y = 1; y <= 30; ++y) {
      EXPECT_TRUE(HasColour(meter, 1, y, kBlack));
      EXPECT_TRUE(HasColour(meter, 30, y, kBlack));
    }
    // A rule above each cell; the top one is the outline.
    for (const CellRows& cell : kCells) {
      for (int x = 1; x <= 30; ++x) EXPECT_TRUE(HasColour(meter, x, cell.top - 1, kBlack));
    }
  }
}

TEST(TrayFacesLevelMeterTest, LowestCellsAreGreenTheOthersClear) {
  for (int k : kLitCellCounts) {
    SCOPED_TRACE(k);
    const TPixelImage meter = LevelMeterFace(k);
    for (int cell = 0; cell < 10; ++cell) {
      for (int y = kCells[cell].top; y <= kCells[cell].bottom; ++y) {
        for (int x = 2; x <= 29; ++x) {
          if (cell < k) {
            EXPECT_TRUE(HasColour(meter, x, y, kGreen)) << "cell " << cell;
          } else {
            EXPECT_TRUE(IsClear(meter, x, y)) << "cell " << cell;
          }
        }
      }
    }
    // Nothing but the unlit cells is clear.
    EXPECT_EQ(std::count(meter.transparent.begin(), meter.transparent.end(), true),
              (10 - k) * 28 * 2);
  }
}

// ---------------------------------------------------------------------------
// Arguments out of range

TEST(TrayFacesRangeTest, ArgumentsAreHeldWithinTheirRange) {
  struct Case {
    const char* name;
    TPixelImage asked;
    TPixelImage shown;
  };
  const Case cases[] = {
      {"digital -1", DigitalFace(-1), DigitalFace(0)},
      {"digital 250", DigitalFace(250), DigitalFace(100)},
      {"CPU -5", NumberIconFace(TFaceKind::Cpu, -5), NumberIconFace(TFaceKind::Cpu, 0)},
      {"CPU 102", NumberIconFace(TFaceKind::Cpu, 102), NumberIconFace(TFaceKind::Cpu, 101)},
      {"RAM 1000", NumberIconFace(TFaceKind::Ram, 1000), NumberIconFace(TFaceKind::Ram, 101)},
      {"level -1", LevelMeterFace(-1), LevelMeterFace(0)},
      {"level 11", LevelMeterFace(11), LevelMeterFace(10)},
  };
  for (const Case& c : cases) EXPECT_TRUE(SamePicture(c.asked, c.shown)) << c.name;
}

}  // namespace
}  // namespace tavelo
