#include "app/Placement.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace tavelo {

bool operator==(const TWindowBounds& a, const TWindowBounds& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
std::ostream& operator<<(std::ostream& out, const TWindowBounds& bounds) {
  return out << bounds.left << "," << bounds.top << " " << bounds.width << "x" << bounds.height;
}
bool operator==(const TRectangle& a, const TRectangle& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
std::ostream& operator<<(std::ostream& out, const TRectangle& area) {
  return out << area.left << "," << area.top << "-" << area.right << "," << area.bottom;
}

namespace {

constexpr TWindowBounds kPanel{100, 200, 85, 64};
constexpr int kCaptionHeight = 23;

struct PlacementCase {
  std::uint32_t kind;
  TWindowBounds expected;
};

TEST(PlacementTest, ScreenKindsMeasureTheHalvesAndTheCentreFromTheOrigin) {
  // An area that does not start at the origin shows which kinds use L and T.
  const TRectangle area{5, 40, 1925, 1080};
  const PlacementCase cases[] = {
      {0, {100, 40, 85, 1040}},  {1, {5, 200, 1920, 64}},    {2, {100, 40, 85, 64}},
      {3, {100, 1016, 85, 64}},  {4, {5, 200, 85, 64}},      {5, {1840, 200, 85, 64}},
      {6, {5, 40, 85, 64}},      {7, {1840, 40, 85, 64}},    {8, {5, 1016, 85, 64}},
      {9, {1840, 1016, 85, 64}}, {10, {920, 508, 85, 64}},   {11, {5, 40, 1925, 540}},
      {12, {5, 540, 1925, 540}}, {13, {5, 40, 962, 1040}},   {14, {962, 40, 962, 1040}},
  };
  for (const PlacementCase& test : cases) {
    TWindowBounds placed{};
    ASSERT_TRUE(PlaceInScreenArea(kPanel, test.kind, area, placed)) << "kind " << test.kind;
    EXPECT_EQ(placed, test.expected) << "kind " << test.kind;
  }
}

TEST(PlacementTest, MonitorKindsOnASecondMonitorLeftOfThePrimary) {
  const TRectangle second{-800, 0, 0, 600};
  const PlacementCase cases[] = {
      {0, {100, 0, 85, 600}},     {1, {-800, 200, 800, 64}},  {2, {100, 0, 85, 64}},
      {3, {100, 536, 85, 64}},    {4, {-800, 200, 85, 64}},   {5, {-85, 200, 85, 64}},
      {6, {-800, 0, 85, 64}},     {7, {-85, 0, 85, 64}},      {8, {-800, 536, 85, 64}},
      {9, {-85, 536, 85, 64}},
      {10, {-442, 268, 85, 64}},  // -885 div 2 truncates toward zero
      {11, {-800, 0, 800, 300}},  {12, {-800, 300, 800, 300}}, {13, {-800, 0, 400, 600}},
      {14, {-400, 0, 400, 600}},  {15, {-800, 0, 400, 300}},   {16, {-400, 0, 400, 300}},
      {17, {-800, 300, 400, 300}}, {18, {-400, 300, 400, 300}},
  };
  for (const PlacementCase& test : cases) {
    TWindowBounds placed{};
    ASSERT_TRUE(PlaceInMonitorArea(kPanel, test.kind, second, placed)) << "kind " << test.kind;
    EXPECT_EQ(placed, test.expected) << "kind " << test.kind;
  }
}

TEST(PlacementTest, UnknownKindsLeaveTheWindowAlone) {
  const TRectangle area{0, 0, 1920, 1080};
  TWindowBounds placed = kPanel;
  for (const std::uint32_t kind : {15u, 18u, 19u, 0xFFFFFFFFu})
    EXPECT_FALSE(PlaceInScreenArea(kPanel, kind, area, placed)) << "kind " << kind;
  for (const std::uint32_t kind : {19u, 20u, 0xFFFFFFFFu})
    EXPECT_FALSE(PlaceInMonitorArea(kPanel, kind, area, placed)) << "kind " << kind;
  EXPECT_EQ(placed, kPanel);
}

TEST(PlacementTest, ScreenCentreCountsTheBottomTaskbarAsScreen) {
  const TRectangle workArea{0, 0, 1920, 1040};
  const TRectangle taskbar{0, 1040, 1920, 1080};
  const TRectangle screen = ScreenAreaWithTaskbar(workArea, kTaskbarBottom, taskbar);
  TWindowBounds placed{};
  ASSERT_TRUE(PlaceInScreenArea(kPanel, 10, screen, placed));
  EXPECT_EQ(placed, (TWindowBounds{917, 508, 85, 64}));
}

TEST(PlacementTest, TheTaskbarStripIsAddedBackOnItsOwnEdge) {
  struct EdgeCase {
    int edge;
    TRectangle workArea;
    TRectangle taskbar;
    TRectangle expected;
  };
  const EdgeCase cases[] = {
      {kTaskbarTop, {0, 30, 1920, 1080}, {0, 0, 1920, 30}, {0, 0, 1920, 1080}},
      {kTaskbarBottom, {0, 0, 1920, 1040}, {0, 1040, 1920, 1080}, {0, 0, 1920, 1080}},
      {kTaskbarLeft, {60, 0, 1920, 1080}, {0, 0, 60, 1080}, {0, 0, 1920, 1080}},
      {kTaskbarRight, {0, 0, 1860, 1080}, {1860, 0, 1920, 1080}, {0, 0, 1920, 1080}},
      {kTaskbarNone, {0, 0, 1860, 1080}, {1860, 0, 1920, 1080}, {0, 0, 1860, 1080}},
  };
  for (const EdgeCase& test : cases)
    EXPECT_EQ(ScreenAreaWithTaskbar(test.workArea, test.edge, test.taskbar), test.expected)
        << "edge " << test.edge;
}

TEST(PlacementTest, BottomRightCornerOfTheWorkArea) {
  TWindowBounds placed{};
  ASSERT_TRUE(PlaceInMonitorArea(kPanel, 9, {0, 0, 1920, 1040}, placed));
  EXPECT_EQ(placed, (TWindowBounds{1835, 976, 85, 64}));
}

TEST(PlacementTest, APlacementNoTallerOrWiderThanACaptionIsRefused) {
  TWindowBounds placed{};
  ASSERT_TRUE(PlaceInMonitorArea(kPanel, 11, {0, 0, 1920, 30}, placed));
  EXPECT_EQ(placed.height, 15);
  EXPECT_FALSE(TallerAndWiderThanCaption(placed, kCaptionHeight));

  EXPECT_TRUE(TallerAndWiderThanCaption({0, 0, 24, 24}, kCaptionHeight));
  EXPECT_FALSE(TallerAndWiderThanCaption({0, 0, 23, 500}, kCaptionHeight)) << "caption-wide";
  EXPECT_FALSE(TallerAndWiderThanCaption({0, 0, 500, 23}, kCaptionHeight)) << "caption-high";
}

TEST(PlacementTest, FivePointsInOrderCornersExclusiveThenCentre) {
  const TTestPoints test = OffScreenTestPoints({10, 20, 101, 51});
  const int expected[5][2] = {{10, 20}, {111, 71}, {111, 20}, {10, 71}, {60, 45}};
  for (int index = 0; index < 5; ++index) {
    EXPECT_EQ(test.points[index].x, expected[index][0]) << "point " << index;
    EXPECT_EQ(test.points[index].y, expected[index][1]) << "point " << index;
  }
}

class OffMonitorsTest : public testing::Test {
 protected:
  bool Off(const TWindowBounds& window) const {
    return OffAllMonitors(window, [this](TScreenPoint point) {
      for (const TRectangle& monitor : monitors_)
        if (Contains(monitor, point)) return true;
      return false;
    });
  }
  std::vector<TRectangle> monitors_{{0, 0, 1920, 1080}};
};

TEST_F(OffMonitorsTest, AStripOverlapWithoutATestPointCountsAsOff) {
  EXPECT_TRUE(Off({1900, -500, 100, 2000}));
}

TEST_F(OffMonitorsTest, AnyOneOfTheFivePointsKeepsTheWindowOn) {
  EXPECT_FALSE(Off({100, 100, 85, 64})) << "wholly on";
  EXPECT_FALSE(Off({1900, 1000, 85, 64})) << "only the top-left corner";
  EXPECT_FALSE(Off({-84, -63, 85, 64})) << "only the bottom-right corner";
  EXPECT_FALSE(Off({-500, 500, 1000, 2000})) << "only the centre";
  EXPECT_TRUE(Off({1920, 100, 85, 64})) << "the right edge is exclusive";
  EXPECT_FALSE(Off({-85, -64, 85, 64})) << "the exclusive bottom-right corner is tested";
  EXPECT_TRUE(Off({-86, -65, 85, 64})) << "one pixel further out";
}

TEST_F(OffMonitorsTest, ASecondMonitorCatchesTheWindow) {
  const TWindowBounds left{-500, 100, 85, 64};
  EXPECT_TRUE(Off(left));
  monitors_.push_back({-800, 0, 0, 600});
  EXPECT_FALSE(Off(left));
}

TEST(PlacementTest, OnlyBothCoordinatesAtMinus32000MeanMinimised) {
  EXPECT_TRUE(IsMinimisedRectangle({-32000, -32000, -31840, -31973}));
  EXPECT_FALSE(IsMinimisedRectangle({-32000, 0, -31915, 64}));
  EXPECT_FALSE(IsMinimisedRectangle({0, -32000, 85, -31936}));
}

}  // namespace
}  // namespace tavelo
