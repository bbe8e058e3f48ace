#include "resources/TrayFaces.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace tavelo {
namespace {

constexpr std::uint32_t kBlack = Rgb(0, 0, 0);
constexpr std::uint32_t kGreen = Rgb(0, 255, 0);
constexpr std::uint32_t kYellow = Rgb(255, 255, 0);
constexpr std::uint32_t kRed = Rgb(255, 0, 0);
constexpr std::uint32_t kGrey = Rgb(128, 128, 128);

TPixelImage FilledImage(int size, std::uint32_t rgb) {
  TPixelImage image(size, size);
  std::fill(image.pixels.begin(), image.pixels.end(), rgb);
  return image;
}

TPixelImage TransparentImage(int size) {
  TPixelImage image(size, size);
  std::fill(image.transparent.begin(), image.transparent.end(), true);
  return image;
}

// Columns left..right and rows top..bottom, both ends included.
void FillRect(TPixelImage& image, int left, int top, int right, int bottom, std::uint32_t rgb) {
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) image.Set(x, y, rgb);
  }
}

// ---------------------------------------------------------------------------
// The digital face: seven-segment digits in rows 2..29.

constexpr int kDigitalSize = 32;
constexpr int kDigitTop = 2;
constexpr int kDigitWidth = 15;
constexpr int kTensLeft = 1;
constexpr int kUnitsLeft = 17;

// Centre rows of the three horizontal segments, counted from the digit's top.
// The vertical segments end two rows short of them, so that one background
// pixel parts each pair of tips.
constexpr int kTopBarRow = 1;
constexpr int kMiddleBarRow = 13;
constexpr int kBottomBarRow = 26;

enum TSegment : unsigned {
  kTop = 1u << 0,
  kUpperRight = 1u << 1,
  kLowerRight = 1u << 2,
  kBottom = 1u << 3,
  kLowerLeft = 1u << 4,
  kUpperLeft = 1u << 5,
  kMiddle = 1u << 6,
};
constexpr TSegment kAllSegments[] = {kTop,      kUpperRight, kLowerRight, kBottom,
                                     kLowerLeft, kUpperLeft,  kMiddle};

constexpr unsigned kDigitSegments[10] = {
    kTop | kUpperRight | kLowerRight | kBottom | kLowerLeft | kUpperLeft,            // 0
    kUpperRight | kLowerRight,                                                       // 1
    kTop | kUpperRight | kMiddle | kLowerLeft | kBottom,                             // 2
    kTop | kUpperRight | kMiddle | kLowerRight | kBottom,                            // 3
    kUpperLeft | kUpperRight | kMiddle | kLowerRight,                                // 4
    kTop | kUpperLeft | kMiddle | kLowerRight | kBottom,                             // 5
    kTop | kUpperLeft | kMiddle | kLowerLeft | kLowerRight | kBottom,                // 6
    kTop | kUpperRight | kLowerRight,                                                // 7
    kTop | kUpperRight | kLowerRight | kBottom | kLowerLeft | kUpperLeft | kMiddle,  // 8
    kTop | kUpperRight | kLowerRight | kBottom | kUpperLeft | kMiddle,               // 9
};

// Where a digit stands: its first column and its width.
struct TDigitBox {
  int left;
  int width;
};

// A segment three pixels thick: its centre line runs from tip to tip and its
// two side lines stop one pixel short at each end, which points the ends.
void DrawHorizontalBar(TPixelImage& image, int row, int firstColumn, int lastColumn,
                       std::uint32_t rgb) {
  FillRect(image, firstColumn, row, lastColumn, row, rgb);
  FillRect(image, firstColumn + 1, row - 1, lastColumn - 1, row - 1, rgb);
  FillRect(image, firstColumn + 1, row + 1, lastColumn - 1, row + 1, rgb);
}

void DrawVerticalBar(TPixelImage& image, int column, int firstRow, int lastRow,
                     std::uint32_t rgb) {
  FillRect(image, column, firstRow, column, lastRow, rgb);
  FillRect(image, column - 1, firstRow + 1, column - 1, lastRow - 1, rgb);
  FillRect(image, column + 1, firstRow + 1, column + 1, lastRow - 1, rgb);
}

void DrawSegment(TPixelImage& image, const TDigitBox& box, TSegment segment, std::uint32_t rgb) {
  const int leftColumn = box.left + 1;
  const int rightColumn = box.left + box.width - 2;
  const int topRow = kDigitTop + kTopBarRow;
  const int middleRow = kDigitTop + kMiddleBarRow;
  const int bottomRow = kDigitTop + kBottomBarRow;
  switch (segment) {
    case kTop: return DrawHorizontalBar(image, topRow, leftColumn, rightColumn, rgb);
    case kMiddle: return DrawHorizontalBar(image, middleRow, leftColumn, rightColumn, rgb);
    case kBottom: return DrawHorizontalBar(image, bottomRow, leftColumn, rightColumn, rgb);
    case kUpperLeft: return DrawVerticalBar(image, leftColumn, topRow + 2, middleRow - 2, rgb);
    case kUpperRight: return DrawVerticalBar(image, rightColumn, topRow + 2, middleRow - 2, rgb);
    case kLowerLeft: return DrawVerticalBar(image, leftColumn, middleRow + 2, bottomRow - 2, rgb);
    case kLowerRight: return DrawVerticalBar(image, rightColumn, middleRow + 2, bottomRow - 2, rgb);
  }
}

void DrawSevenSegmentDigit(TPixelImage& image, const TDigitBox& box, int digit,
                           std::uint32_t rgb) {
  for (TSegment segment : kAllSegments) {
    if (kDigitSegments[digit] & segment) DrawSegment(image, box, segment, rgb);
  }
}

std::uint32_t DigitalInk(int n) {
  if (n < 50) return kGreen;
  return n < 80 ? kYellow : kRed;
}

TPixelImage TwoDigitFace(int n) {
  TPixelImage image = FilledImage(kDigitalSize, kBlack);
  DrawSevenSegmentDigit(image, {kTensLeft, kDigitWidth}, n / 10, DigitalInk(n));
  DrawSevenSegmentDigit(image, {kUnitsLeft, kDigitWidth}, n % 10, DigitalInk(n));
  return image;
}

// Three digits do not fit at full width: the 1 shrinks to its bar and the
// zeros to 13 columns.
TPixelImage HundredFace() {
  TPixelImage image = FilledImage(kDigitalSize, kRed);
  DrawSevenSegmentDigit(image, {1, 3}, 1, kBlack);
  DrawSevenSegmentDigit(image, {5, 13}, 0, kBlack);
  DrawSevenSegmentDigit(image, {19, 13}, 0, kBlack);
  return image;
}

// ---------------------------------------------------------------------------
// The number icons: artwork drawn from pattern tables.

constexpr int kIconSize = 16;
constexpr int kStoppedPicture = 101;

// A symbol of a pattern table and its colour; symbols without an ink, such as
// '.', leave the pixel as it is.
struct TInk {
  char symbol;
  std::uint32_t rgb;
};

const TInk* FindInk(std::initializer_list<TInk> inks, char symbol) {
  const auto found = std::find_if(inks.begin(), inks.end(),
                                  [symbol](const TInk& ink) { return ink.symbol == symbol; });
  return found == inks.end() ? nullptr : found;
}

template <std::size_t Rows>
void Paint(TPixelImage& image, int left, int top, const std::string_view (&rows)[Rows],
           std::initializer_list<TInk> inks) {
  for (int y = 0; y < static_cast<int>(Rows); ++y) {
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
      if (const TInk* ink = FindInk(inks, rows[y][x])) image.Set(left + x, top + y, ink->rgb);
    }
  }
}

// Seen from above, pins on all four sides; the label stays in the upper half
// so that the number box leaves it visible.
constexpr std::string_view kChip[kIconSize] = {
    "...o.o.o.o.o....",
    "...g.s.g.s.g....",
    "..KKKKKKKKKKK...",
    "ogKKKKKKKKKKKgo.",
    "..KKsssssssKK...",
    "osKKsssssssKKso.",
    "..KKsssssssKK...",
    "ogKKKKKKKKKKKgo.",
    "..KKKKKKKKKKK...",
    "osKKKKKKKKKKKso.",
    "..KKKKKKKKKKK...",
    "ogKKKKKKKKKKKgo.",
    "..KKKKKKKKKKK...",
    "...g.s.g.s.g....",
    "...o.o.o.o.o....",
    "................",
};
constexpr std::initializer_list<TInk> kChipInks = {
    {'K', kBlack}, {'g', kGrey}, {'s', Rgb(192, 192, 192)}, {'o', Rgb(128, 128, 0)}};

// Lying from the upper left to the lower right, memory chips on its body and
// the contacts along its upper-right edge.
constexpr std::string_view kModule[kIconSize] = {
    "................",
    ".dd.............",
    "dddYy...........",
    "ddddyY..........",
    "dddddYy.........",
    "ddKKddyY........",
    ".dKKdddYy.......",
    "..ddddddyY......",
    "...ddKKddYy.....",
    "....dKKdddyY....",
    ".....ddddddYy...",
    "......ddKKddy...",
    ".......dKKdddd..",
    "........dddddd..",
    ".........dddd...",
    "..........dd....",
};
constexpr std::initializer_list<TInk> kModuleInks = {{'d', Rgb(64, 64, 64)},
                                                     {'K', kBlack},
                                                     {'Y', Rgb(255, 255, 66)},
                                                     {'y', Rgb(206, 206, 49)}};

constexpr int kBadgeSize = 7;
constexpr std::string_view kStopBadge[kBadgeSize] = {
    "..rrr..",
    ".rWlRr.",
    "rWlRRRr",
    "rlRRRRr",
    "rRRRRRr",
    ".rRRRr.",
    "..rrr..",
};
constexpr std::initializer_list<TInk> kBadgeInks = {{'R', Rgb(231, 57, 33)},
                                                    {'r', Rgb(181, 36, 16)},
                                                    {'l', Rgb(247, 140, 115)},
                                                    {'W', Rgb(255, 255, 255)}};

constexpr int kGlyphHeight = 5;
using TGlyph = std::string_view[kGlyphHeight];

constexpr TGlyph kSmallDigits[10] = {
    {"####", "#..#", "#..#", "#..#", "####"},
    {"..#.", ".##.", "..#.", "..#.", ".###"},
    {"####", "...#", "####", "#...", "####"},
    {"####", "...#", ".###", "...#", "####"},
    {"#..#", "#..#", "####", "...#", "...#"},
    {"####", "#...", "####", "...#", "####"},
    {"####", "#...", "####", "#..#", "####"},
    {"####", "...#", "..#.", "..#.", "..#."},
    {"####", "#..#", "####", "#..#", "####"},
    {"####", "#..#", "####", "...#", "####"},
};
// Three full-width digits would fill the whole icon.
constexpr TGlyph kNarrowOne = {".#", "##", ".#", ".#", ".#"};

constexpr int kBoxRows = 7;
constexpr int kBoxMargin = 1;
constexpr int kGlyphGap = 1;

std::vector<const TGlyph*> GlyphsOf(int n) {
  if (n == 100) return {&kNarrowOne, &kSmallDigits[0], &kSmallDigits[0]};
  if (n < 10) return {&kSmallDigits[n]};
  return {&kSmallDigits[n / 10], &kSmallDigits[n % 10]};
}

int WidthOf(const TGlyph& glyph) { return static_cast<int>(glyph[0].size()); }

int WidthOf(const std::vector<const TGlyph*>& glyphs) {
  int width = 0;
  for (const TGlyph* glyph : glyphs) width += WidthOf(*glyph) + kGlyphGap;
  return width - kGlyphGap;
}

std::uint32_t NumberInk(int n) {
  if (n < 50) return kGreen;
  return n < 90 ? kYellow : kRed;
}

void DrawNumber(TPixelImage& image, int n) {
  const std::vector<const TGlyph*> glyphs = GlyphsOf(n);
  const int boxTop = kIconSize - kBoxRows;
  int left = kIconSize - kBoxMargin - WidthOf(glyphs);
  FillRect(image, left - kBoxMargin, boxTop, kIconSize - 1, kIconSize - 1, kBlack);
  for (const TGlyph* glyph : glyphs) {
    Paint(image, left, boxTop + kBoxMargin, *glyph, {{'#', NumberInk(n)}});
    left += WidthOf(*glyph) + kGlyphGap;
  }
}

TPixelImage Artwork(TFaceKind kind) {
  TPixelImage image = TransparentImage(kIconSize);
  if (kind == TFaceKind::Cpu) {
    Paint(image, 0, 0, kChip, kChipInks);
  } else {
    Paint(image, 0, 0, kModule, kModuleInks);
  }
  return image;
}

// ---------------------------------------------------------------------------
// The level meter: ten cells, each with a black rule above it; the rule of
// the top cell is the outline's top, and the lowest cell lies on the frame.

constexpr int kLevelSize = 32;
constexpr int kCellCount = 10;
constexpr int kCellHeight = 2;
constexpr int kCellLeft = 2;
constexpr int kCellRight = 29;
constexpr int kLowestCellTop = 29;

// Cell 0 is the lowest.
int CellTop(int cell) { return kLowestCellTop - cell * (kCellHeight + 1); }
int CellBottom(int cell) { return CellTop(cell) + kCellHeight - 1; }

void DrawFrame(TPixelImage& image) {
  const int last = kLevelSize - 1;
  FillRect(image, 0, 0, last, 0, kGrey);
  FillRect(image, 0, last, last, last, kGrey);
  FillRect(image, 0, 0, 0, last, kGrey);
  FillRect(image, last, 0, last, last, kGrey);
}

void DrawOutlineAndRules(TPixelImage& image) {
  const int left = kCellLeft - 1;
  const int right = kCellRight + 1;
  const int top = CellTop(kCellCount - 1) - 1;
  FillRect(image, left, top, left, CellBottom(0), kBlack);
  FillRect(image, right, top, right, CellBottom(0), kBlack);
  for (int cell = 0; cell < kCellCount; ++cell) {
    FillRect(image, left, CellTop(cell) - 1, right, CellTop(cell) - 1, kBlack);
  }
}

void LightCells(TPixelImage& image, int litCells) {
  for (int cell = 0; cell < litCells; ++cell) {
    FillRect(image, kCellLeft, CellTop(cell), kCellRight, CellBottom(cell), kGreen);
  }
}

}  // namespace

TPixelImage DigitalFace(int n) {
  n = std::clamp(n, 0, 100);
  return n == 100 ? HundredFace() : TwoDigitFace(n);
}

TPixelImage NumberIconFace(TFaceKind kind, int n) {
  n = std::clamp(n, 0, kStoppedPicture);
  TPixelImage image = Artwork(kind);
  if (n == kStoppedPicture) {
    Paint(image, kIconSize - kBadgeSize, kIconSize - kBadgeSize, kStopBadge, kBadgeInks);
  } else {
    DrawNumber(image, n);
  }
  return image;
}

TPixelImage LevelMeterFace(int litCells) {
  TPixelImage image = TransparentImage(kLevelSize);
  DrawFrame(image);
  DrawOutlineAndRules(image);
  LightCells(image, std::clamp(litCells, 0, kCellCount));
  return image;
}

}  // namespace tavelo
