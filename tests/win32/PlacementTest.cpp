#include <gtest/gtest.h>

#include "app/Orvane.h"

namespace tavelo {
namespace {

constexpr int kWidth = 85;
constexpr int kHeight = 64;

// The primary work area's height with the taskbar's strip added back, as
// the screen placements count it.
int ScreenHeightWithTaskbar() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  RECT taskbar{};
  EXPECT_EQ(Func_TaskbarEdge(taskbar), 1) << "the taskbar sits at the bottom";
  return work.bottom - work.top + taskbar.bottom - taskbar.top;
}

// A hidden popup window of the panel's size; placement needs no visible window.
class PlacedWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 100, 100, kWidth, kHeight, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override { DestroyWindow(window_); }

  RECT Rect() const {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return rect;
  }
  MONITORINFO Monitor() const {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTONEAREST), &info);
    return info;
  }
  void ExpectAt(int left, int top, int width, int height) const {
    const RECT rect = Rect();
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
  }

  HWND window_ = nullptr;
};

TEST_F(PlacedWindowTest, CornerPlacementsReachTheWorkAreaCorners) {
  const RECT work = Monitor().rcWork;
  struct CornerCase {
    unsigned kind;
    int left;
    int top;
  };
  const CornerCase cases[] = {{6, work.left, work.top},
                              {7, work.right - kWidth, work.top},
                              {8, work.left, work.bottom - kHeight},
                              {9, work.right - kWidth, work.bottom - kHeight}};
  for (const CornerCase& test : cases) {
    SCOPED_TRACE(test.kind);
    Proc_PlaceOnMonitor(window_, test.kind, Func_MonitorIndex(window_), false);
    ExpectAt(test.left, test.top, kWidth, kHeight);
  }
}

TEST_F(PlacedWindowTest, AQuarterOfTheMonitorBoundsAndAHalfOfTheScreen) {
  const RECT bounds = Monitor().rcMonitor;
  Proc_PlaceOnMonitor(window_, 18, Func_MonitorIndex(window_), true);
  ExpectAt((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2,
           (bounds.right - bounds.left) / 2, (bounds.bottom - bounds.top) / 2);

  Proc_PlaceOnScreen(window_, 13);
  ExpectAt(0, 0, GetSystemMetrics(SM_CXSCREEN) / 2, ScreenHeightWithTaskbar());
}

TEST_F(PlacedWindowTest, UnknownKindsAndMonitorsLeaveTheWindowAlone) {
  Proc_PlaceOnScreen(window_, 15);
  Proc_PlaceOnMonitor(window_, 19, 0, false);
  Proc_PlaceOnMonitor(window_, 9, -1, false);
  Proc_PlaceOnMonitor(window_, 9, GetSystemMetrics(SM_CMONITORS), false);
  ExpectAt(100, 100, kWidth, kHeight);
}

TEST_F(PlacedWindowTest, AWindowLostOffScreenIsCentredOnThePrimaryScreen) {
  MoveWindow(window_, 5000, 4000, kWidth, kHeight, FALSE);
  ASSERT_TRUE(Func_OffAllMonitors(5000, 4000, kWidth, kHeight));
  Proc_EnsureOnScreen(window_);
  ExpectAt((GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, (ScreenHeightWithTaskbar() - kHeight) / 2,
           kWidth, kHeight);
}

TEST_F(PlacedWindowTest, AWindowWithOneCornerOnScreenStaysWhereItIs) {
  MoveWindow(window_, -80, -60, kWidth, kHeight, FALSE);
  Proc_EnsureOnScreen(window_);
  ExpectAt(-80, -60, kWidth, kHeight);
}

TEST_F(PlacedWindowTest, BoundsAreReadOffAnywhereButAtTheMinimisedPosition) {
  int left = 1, top = 2, width = 3, height = 4;
  MoveWindow(window_, -32000, 0, kWidth, kHeight, FALSE);
  ASSERT_TRUE(Func_GetWindowBounds(window_, left, top, width, height));
  EXPECT_EQ(left, -32000);
  EXPECT_EQ(top, 0);
  EXPECT_EQ(width, kWidth);
  EXPECT_EQ(height, kHeight);

  MoveWindow(window_, -32000, -32000, kWidth, kHeight, FALSE);
  left = 1;
  RECT rect{};
  EXPECT_FALSE(Func_GetWindowRect(window_, rect));
  EXPECT_FALSE(Func_GetWindowBounds(window_, left, top, width, height));
  EXPECT_EQ(left, 1) << "nothing is written when the bounds cannot be read";
  Proc_EnsureOnScreen(window_);
  ExpectAt(-32000, -32000, kWidth, kHeight);
  EXPECT_FALSE(Func_GetWindowRect(nullptr, rect));
}

TEST_F(PlacedWindowTest, AMonitorPlacementNoTallerThanACaptionIsSkipped) {
  Proc_PlaceOnMonitor(window_, 11, 0, false);
  const RECT work = Monitor().rcWork;
  ExpectAt(work.left, work.top, work.right - work.left, (work.bottom - work.top) / 2);

  // A corner keeps the window's size, here only as high as a caption bar.
  const int caption = GetSystemMetrics(SM_CYCAPTION);
  MoveWindow(window_, 100, 100, kWidth, caption, FALSE);
  Proc_PlaceOnMonitor(window_, 6, 0, false);
  ExpectAt(100, 100, kWidth, caption);
  MoveWindow(window_, 100, 100, kWidth, caption + 1, FALSE);
  Proc_PlaceOnMonitor(window_, 6, 0, false);
  ExpectAt(work.left, work.top, kWidth, caption + 1);
}

}  // namespace
}  // namespace tavelo
