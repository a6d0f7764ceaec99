// Popup reports: the taskbar's edge, placement and stacking beside it, the room test, the
// slide in and out, the text's place and the gradient.
#include <gtest/gtest.h>

#include <ostream>

#include "ui/popup_layout.h"

namespace qp::ui {

static void PrintTo(const ScreenRect& r, std::ostream* out) {
  *out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

const ScreenRect kScreen{0, 0, 1024, 768};
// The main window's reports.
const PopupGeometry kReport{.width = 400, .height = 40, .start_x = 16, .start_y = 2, .marge = 2, .cascade = true};

struct Edge {
  TaskbarEdge edge;
  ScreenRect taskbar, work_area;
};
const Edge kEdges[] = {
    {TaskbarEdge::Left, {-2, -2, 62, 770}, {60, 0, 1024, 768}},
    {TaskbarEdge::Top, {-2, -2, 1026, 32}, {0, 30, 1024, 768}},
    {TaskbarEdge::Right, {962, -2, 1026, 770}, {0, 0, 964, 768}},
    {TaskbarEdge::Bottom, {-2, 736, 1026, 770}, {0, 0, 1024, 738}},
};

TEST(PopupLayout, TheTaskbarsEdgeOnTheScreenItLiesOn) {
  for (const Edge& e : kEdges) EXPECT_EQ(TaskbarEdgeOf(e.taskbar, kScreen), e.edge) << static_cast<int>(e.edge);
  // The same taskbars on a monitor left of the primary one.
  const ScreenRect second{-1280, 0, 0, 1024};
  EXPECT_EQ(TaskbarEdgeOf({-1280, 0, -1220, 1024}, second), TaskbarEdge::Left);
  EXPECT_EQ(TaskbarEdgeOf({-1280, 994, 0, 1024}, second), TaskbarEdge::Bottom);
  EXPECT_EQ(TaskbarEdgeOf({-60, 0, 0, 1024}, second), TaskbarEdge::Right);
  EXPECT_EQ(TaskbarEdgeOf({0, 0, 0, 0}, kScreen), TaskbarEdge::Unknown);
}

TEST(PopupLayout, TheFirstReportStandsBesideTheTaskbarOnEachEdge) {
  const ScreenRect expected[] = {
      {76, 726, 476, 766},    // left: the work area's bottom-left corner
      {608, 32, 1008, 72},    // top: top-right, two pixels below the taskbar
      {548, 726, 948, 766},   // right
      {608, 696, 1008, 736},  // bottom: 16 from the right, 2 above the bottom
  };
  for (int i = 0; i < 4; ++i) {
    PopupStack stack;
    const auto placed = stack.Open(kEdges[i].edge, kEdges[i].work_area, kReport);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->window, expected[i]) << i;
    EXPECT_EQ(placed->start_offset, 0);
  }
}

TEST(PopupLayout, ReportsStackByHeightAndMargeUnlessCascadingIsOffAndStartOverOnceAllHaveClosed) {
  PopupStack stack;
  const ScreenRect work = kEdges[3].work_area;
  const auto first = stack.Open(TaskbarEdge::Bottom, work, kReport);
  const auto second = stack.Open(TaskbarEdge::Bottom, work, kReport);
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->window.top - second->window.top, 42);
  EXPECT_EQ(second->start_offset, 42);
  stack.Closed();
  stack.Closed();
  stack.Closed();  // one too many is not counted
  EXPECT_EQ(stack.OpenCount(), 0);
  EXPECT_EQ(stack.Open(TaskbarEdge::Bottom, work, kReport)->window, first->window);

  PopupStack top;
  const auto a = top.Open(TaskbarEdge::Top, kEdges[1].work_area, kReport);
  const auto b = top.Open(TaskbarEdge::Top, kEdges[1].work_area, kReport);
  EXPECT_EQ(b->window.top - a->window.top, 42);  // downwards from the top

  PopupGeometry single = kReport;
  single.cascade = false;
  PopupStack alone;
  EXPECT_EQ(alone.Open(TaskbarEdge::Bottom, work, single)->window, alone.Open(TaskbarEdge::Bottom, work, single)->window);
}

TEST(PopupLayout, MovingTheTaskbarStartsTheStackAgainOnTheNewEdge) {
  PopupStack stack;
  stack.Open(TaskbarEdge::Bottom, kEdges[3].work_area, kReport);
  stack.Open(TaskbarEdge::Bottom, kEdges[3].work_area, kReport);
  const auto moved = stack.Open(TaskbarEdge::Top, kEdges[1].work_area, kReport);
  EXPECT_EQ(moved->start_offset, 0);
  EXPECT_EQ(moved->window.top, 32);
  EXPECT_EQ(stack.OpenCount(), 1);
}

// How many reports one stack takes before the room test refuses one.
int Capacity(TaskbarEdge edge, const ScreenRect& work) {
  PopupStack stack;
  int shown = 0;
  while (shown < 100 && stack.Open(edge, work, kReport)) {
    ++shown;
  }
  EXPECT_EQ(stack.OpenCount(), shown);  // a refused report is not counted
  return shown;
}

TEST(PopupLayout, TheRoomTestRefusesAReportThatWouldLeaveTheWorkArea) {
  // 738 high: tops 696, 654, ... 24 fit, the eighteenth would start above the screen.
  EXPECT_EQ(Capacity(TaskbarEdge::Bottom, kEdges[3].work_area), 17);
  EXPECT_EQ(Capacity(TaskbarEdge::Left, kEdges[0].work_area), 18);
  EXPECT_EQ(Capacity(TaskbarEdge::Right, kEdges[2].work_area), 18);
  // From the top at 32: the seventeenth ends at 32 + 16 * 42 + 40 = 744, the eighteenth
  // would end at 786, past the work area's bottom of 768.
  EXPECT_EQ(Capacity(TaskbarEdge::Top, kEdges[1].work_area), 17);
  EXPECT_FALSE(PopupHasRoom(TaskbarEdge::Top, kEdges[1].work_area, kReport, 17 * 42));
  EXPECT_TRUE(PopupHasRoom(TaskbarEdge::Top, kEdges[1].work_area, kReport, 16 * 42));
  // The first report of a stack is shown even where none fits.
  EXPECT_EQ(Capacity(TaskbarEdge::Bottom, {0, 0, 1024, 30}), 1);
}

TEST(PopupLayout, AnUnknownTaskbarPutsReportsBottomRightWithoutSlidingAndItsTimeOutClosesThem) {
  PopupStack stack;
  const ScreenRect work{0, 0, 1024, 738};
  const auto placed = stack.Open(TaskbarEdge::Unknown, work, kReport);
  EXPECT_EQ(placed->window, (ScreenRect{608, 696, 1008, 736}));
  EXPECT_EQ(stack.Open(TaskbarEdge::Unknown, work, kReport)->window.top, 654);
  EXPECT_FALSE(PopupSlidesIn(TaskbarEdge::Unknown, true));
  EXPECT_EQ(CollapsedPopup(TaskbarEdge::Unknown, placed->window), placed->window);
  EXPECT_TRUE(SlideOut(TaskbarEdge::Unknown, placed->window, 9).done);
  EXPECT_EQ(Capacity(TaskbarEdge::Unknown, work), 17);
}

TEST(PopupLayout, AtTheBottomAReportSlidesUpNinePixelsAStepAndDownAgain) {
  const ScreenRect full{608, 696, 1008, 736};
  ScreenRect w = CollapsedPopup(TaskbarEdge::Bottom, full);
  EXPECT_EQ(w, (ScreenRect{608, 736, 1008, 737}));
  std::vector<int> heights;
  SlideStep step{w, false};
  while (!step.done) {
    step = SlideIn(TaskbarEdge::Bottom, step.window, full, 9);
    heights.push_back(step.window.Height());
  }
  EXPECT_EQ(heights, (std::vector<int>{10, 19, 28, 37, 40}));
  EXPECT_EQ(step.window, full);
  heights.clear();
  for (step = {full, false}; !step.done;) {
    step = SlideOut(TaskbarEdge::Bottom, step.window, 9);
    EXPECT_EQ(step.window.bottom, 736);
    if (!step.done) heights.push_back(step.window.Height());
  }
  EXPECT_EQ(heights, (std::vector<int>{31, 22, 13, 4}));
}

TEST(PopupLayout, OnEveryEdgeTheSlideStartsAtTheTaskbarAndEndsFullSize) {
  for (const Edge& e : kEdges) {
    SCOPED_TRACE(static_cast<int>(e.edge));
    const ScreenRect full = PlacePopup(e.edge, e.work_area, kReport, 0);
    ASSERT_TRUE(PopupSlidesIn(e.edge, true));
    EXPECT_FALSE(PopupSlidesIn(e.edge, false));
    SlideStep step{CollapsedPopup(e.edge, full), false};
    EXPECT_EQ(step.window.Width() * step.window.Height(), e.edge == TaskbarEdge::Left || e.edge == TaskbarEdge::Right ? 40 : 400);
    int steps = 0;
    while (!step.done && ++steps < 100) step = SlideIn(e.edge, step.window, full, 9);
    EXPECT_EQ(step.window, full);
    for (steps = 0;; ++steps) {
      step = SlideOut(e.edge, step.window, 9);
      if (step.done) break;
      // Shrinking towards the taskbar: the edge on the taskbar's side stays.
      const int kept_edge[] = {step.window.left - full.left, step.window.top - full.top, step.window.right - full.right,
                               step.window.bottom - full.bottom};
      EXPECT_EQ(kept_edge[static_cast<int>(e.edge)], 0);
    }
    EXPECT_EQ(steps, e.edge == TaskbarEdge::Left || e.edge == TaskbarEdge::Right ? 44 : 4);
  }
}

TEST(PopupLayout, ASpeedOutsideOneToFiftyIsHeldInsideSoTheSlideAlwaysEnds) {
  const ScreenRect full{608, 696, 1008, 736};
  EXPECT_EQ(SlideIn(TaskbarEdge::Bottom, CollapsedPopup(TaskbarEdge::Bottom, full), full, 0).window.Height(), 2);
  EXPECT_EQ(SlideIn(TaskbarEdge::Right, CollapsedPopup(TaskbarEdge::Right, full), full, 500).window.Width(), 51);
  EXPECT_EQ(SlideOut(TaskbarEdge::Left, full, -3).window.Width(), 399);
}

TEST(PopupLayout, TheTextIsCentredWithHalvesGoingToTheEvenNeighbour) {
  EXPECT_EQ(PopupTextBounds(396, 36, 13), FromPlace(8, 12, 381, 13));  // 7.5 and 11.5 go up
  EXPECT_EQ(PopupTextBounds(396, 35, 14), FromPlace(8, 10, 381, 14));  // 10.5 goes down
  EXPECT_EQ(PopupTextBounds(396, 36, 50).top, -7);                     // -7 exactly
  EXPECT_EQ(PopupTextBounds(396, 36, 51).top, -8);                     // -7.5 to -8
}

TEST(PopupLayout, TheGradientRunsFromTheFirstColourToTheSecondRoundingHalvesAway) {
  const Rgb blue = kPopupGradientColour1, white = kPopupGradientColour2;
  EXPECT_EQ(GradientColour(blue, white, 0, 40), blue);
  EXPECT_EQ(GradientColour(blue, white, 40, 40), white);
  EXPECT_EQ(GradientColour(blue, white, 20, 40), (Rgb{204, 230, 255}));    // 25.5 up to 26
  EXPECT_EQ(GradientColour(white, blue, 20, 40), (Rgb{204, 229, 255}));    // -25.5 down to -26
  EXPECT_EQ(GradientColour(blue, white, 200, 400), (Rgb{204, 230, 255}));  // a horizontal one, by columns
  EXPECT_EQ(GradientColour(blue, white, 0, 0), blue);
}

}  // namespace
}  // namespace qp::ui
