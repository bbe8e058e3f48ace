#include "framework/Anchors.h"

#include <gtest/gtest.h>

namespace tavelo {

// Found by argument-dependent lookup, so they live beside TBounds.
bool operator==(const TBounds& a, const TBounds& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

void PrintTo(const TBounds& b, std::ostream* out) {
  *out << b.left << "," << b.top << " " << b.width << "x" << b.height;
}

namespace {

struct AnchorCase {
  TAnchors anchors;
  TBounds expected;
};

// A 40 x 20 box at 10,30 in a 200 x 100 parent that grows to 300 x 160.
class AnchoredBoundsTest : public testing::TestWithParam<AnchorCase> {};

TEST_P(AnchoredBoundsTest, FollowsTheParent) {
  const AnchorCase& c = GetParam();
  EXPECT_EQ(AnchoredBounds({10, 30, 40, 20}, c.anchors, 200, 100, 300, 160), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Anchors, AnchoredBoundsTest,
    testing::Values(AnchorCase{akLeft | akTop, {10, 30, 40, 20}},
                    AnchorCase{akRight | akBottom, {110, 90, 40, 20}},
                    AnchorCase{akLeft | akRight | akTop, {10, 30, 140, 20}},
                    AnchorCase{akLeft | akTop | akBottom, {10, 30, 40, 80}},
                    // The centre (30, 40) stays at 15 % and 40 % of the parent.
                    AnchorCase{0, {25, 54, 40, 20}}));

TEST(AnchoredBoundsTest, ShrinkingNeverGivesANegativeSize) {
  const TBounds shrunk = AnchoredBounds({10, 10, 40, 20}, akLeft | akTop | akRight | akBottom,
                                        200, 100, 20, 10);
  EXPECT_EQ(shrunk.width, 0);
  EXPECT_EQ(shrunk.height, 0);
}

TEST(AnchoredBoundsTest, AnEmptyParentLeavesAFloatingControlWhereItIs) {
  EXPECT_EQ(AnchoredBounds({10, 30, 40, 20}, 0, 0, 0, 300, 160), (TBounds{10, 30, 40, 20}));
}

TEST(SizeConstraintsTest, ClampsEachSideAndZeroMeansUnbounded) {
  const struct {
    TSizeConstraints constraints;
    int width, height, expectedWidth, expectedHeight;
  } cases[] = {
      {{}, 500, 3, 500, 3},
      {{30, 20, 100, 50}, 10, 10, 30, 20},
      {{30, 20, 100, 50}, 500, 500, 100, 50},
      {{0, 0, 0, 50}, 500, 500, 500, 50},
      {{80, 0, 60, 0}, 70, 1, 80, 1},  // a maximum below the minimum gives way
  };
  for (const auto& c : cases) {
    int width = c.width, height = c.height;
    c.constraints.Apply(width, height);
    EXPECT_EQ(width, c.expectedWidth);
    EXPECT_EQ(height, c.expectedHeight);
  }
}

}  // namespace
}  // namespace tavelo
