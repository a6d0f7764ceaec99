// Sticky screen edges of the main and the mini window, and a stored place no screen shows.
#include <gtest/gtest.h>

#include <ostream>

#include "ui/edge_snap.h"

namespace qp::ui {

static void PrintTo(const ScreenRect& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

const ScreenRect kWork{0, 0, 1024, 738};  // taskbar at the bottom

ScreenRect Window(int x, int y) { return FromPlace(x, y, 394, 600); }

TEST(EdgeSnap, EachEdgeSnapsWithinTwentyPixelsAndNotBeyond) {
  struct Case {
    ScreenRect proposed, expected;
    bool snapped;
  } cases[] = {
      {Window(15, 50), Window(0, 50), true},        // left, 15 pixels off
      {Window(20, 50), Window(0, 50), true},        // left, on the threshold
      {Window(21, 50), Window(21, 50), false},      // left, just outside
      {Window(610, 50), Window(630, 50), true},     // right edge at 1004
      {Window(609, 50), Window(609, 50), false},    // right edge at 1003
      {Window(300, 20), Window(300, 0), true},      // top
      {Window(300, 21), Window(300, 21), false},    // top, just outside
      {Window(300, 118), Window(300, 138), true},   // bottom edge at 718
      {Window(300, 117), Window(300, 117), false},  // bottom edge at 717
      {Window(-40, -30), Window(0, 0), true},       // dragged past the corner
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.proposed));
    const Snap snap = SnapToEdges(c.proposed, kWork, kMainWindowSnap, false);
    EXPECT_EQ(snap.window, c.expected);
    EXPECT_EQ(snap.snapped, c.snapped);
  }
}

TEST(EdgeSnap, TheMiniWindowDocksOnlyWithinTenPixels) {
  const ScreenRect strip = FromPlace(15, 300, 621, 57);
  EXPECT_EQ(SnapToEdges(strip, kWork, kMiniWindowSnap, false).window, strip);
  EXPECT_TRUE(SnapToEdges(strip, kWork, kMainWindowSnap, false).snapped);
  const Snap docked = SnapToEdges(FromPlace(395, 675, 621, 57), kWork, kMiniWindowSnap, false);
  EXPECT_EQ(docked.window, FromPlace(403, 681, 621, 57));
  EXPECT_TRUE(docked.snapped);
}

TEST(EdgeSnap, TheWorkAreaBesideALeftTaskbarIsTheEdgeAndTheFlagOutlivesTheSnap) {
  const ScreenRect work{60, 0, 1024, 768};
  const Snap snap = SnapToEdges(Window(75, 100), work, kMainWindowSnap, false);
  EXPECT_EQ(snap.window, Window(60, 100));
  EXPECT_TRUE(snap.snapped);
  // Far from every edge: unchanged, and once snapped the window stays snapped.
  const Snap later = SnapToEdges(Window(300, 100), work, kMainWindowSnap, true);
  EXPECT_EQ(later.window, Window(300, 100));
  EXPECT_TRUE(later.snapped);
}

TEST(EdgeSnap, AWindowNearBothSidesEndsOnTheFarOneAndATooLargeOneKeepsItsCaptionInReach) {
  const ScreenRect small{0, 0, 400, 560};
  // 394 wide in 400: near both sides, the right one wins as it is tested last.
  EXPECT_EQ(SnapToEdges(FromPlace(2, 0, 394, 300), small, kMainWindowSnap, false).window, FromPlace(6, 0, 394, 300));
  // 600 high in 560: the bottom rule would lift the caption above the screen.
  const Snap tall = SnapToEdges(FromPlace(3, 200, 394, 600), small, kMainWindowSnap, true);
  EXPECT_EQ(tall.window.top, 0);
  EXPECT_EQ(tall.window.Height(), 600);
}

TEST(EdgeSnap, AStoredPlaceOffEveryMonitorGoesToThePrimaryWorkArea) {
  const std::vector<ScreenRect> monitors = {{0, 0, 1024, 768}, {-1280, 0, 0, 1024}};
  const ScreenRect primary_work{60, 0, 1024, 768};
  for (const ScreenRect& seen : {Window(100, 100), Window(-1000, 200), Window(1000, 700)}) {
    EXPECT_EQ(PlaceOnAMonitor(seen, monitors, primary_work), seen);
  }
  for (const ScreenRect& lost : {Window(1024, 100), Window(-32000, -32000), Window(-600, 1024), Window(100, 768)}) {
    EXPECT_EQ(PlaceOnAMonitor(lost, monitors, primary_work), Window(60, 0)) << ::testing::PrintToString(lost);
  }
}

}  // namespace
}  // namespace qp::ui
