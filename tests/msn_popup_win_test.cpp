// The popup reports in this process, with the main window's design values: where a report
// stands beside the taskbar, how it slides, stacks and closes, what it draws, and that the
// window the user types in keeps the focus.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "app/popup_reports_win.h"
#include "main_window_fixture_win.h"
#include "ui/msn_popup_win.h"
#include "ui/placement_win.h"

namespace qp {
namespace {

class PopupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // The window the user is typing in.
    typing = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE, 10, 10, 200, 30, nullptr, nullptr, nullptr, nullptr);
    ui::ForceForegroundWindow(typing);
    SetFocus(typing);
    reports = std::make_unique<PopupReports>(typing);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  }
  void TearDown() override {
    reports.reset();
    DestroyWindow(typing);
  }
  ui::TMSNPopUp& Popup() { return reports->Component(); }
  static RECT Rect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
  }
  // The full place of a report with `offset` pixels of reports below it.
  RECT Expected(int offset) const {
    return {work.right - 16 - 400, work.bottom - 2 - 40 - offset, work.right - 16, work.bottom - 2 - offset};
  }
  bool SlidIn(HWND window) const {
    const RECT r = Rect(window);
    return r.bottom - r.top == 40;
  }
  static void RightClick(HWND window) { SendMessageW(window, WM_RBUTTONUP, 0, MAKELPARAM(5, 5)); }

  HWND typing = nullptr;
  std::unique_ptr<PopupReports> reports;
  RECT work{};
};

TEST_F(PopupTest, AReportSlidesUpBesideTheBottomTaskbarStaysItsTimeAndSlidesDownWithoutTakingTheFocus) {
  ASSERT_EQ(ui::TaskbarPosition(), ui::TaskbarEdge::Bottom);  // Wine's taskbar
  Popup().TimeOut = 1;
  reports->Report("http://example.com/", "Запрос  http://example.com/... успешно отправлен");
  ASSERT_EQ(Popup().OpenWindows().size(), 1u);
  HWND report = Popup().OpenWindows()[0];
  const LONG ex_style = GetWindowLongW(report, GWL_EXSTYLE);
  EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex_style & WS_EX_NOACTIVATE);
  EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongW(report, GWL_STYLE) & WS_CAPTION);
  // Every step of the slide: its height grows by 9 from the edge up (the one-pixel strip it
  // starts from lies just below its place).
  std::vector<int> heights;
  for (MSG msg; !SlidIn(report) && GetMessageW(&msg, nullptr, 0, 0) > 0;) {
    DispatchMessageW(&msg);
    const RECT r = Rect(report);
    if (heights.empty() || heights.back() != r.bottom - r.top) heights.push_back(r.bottom - r.top);
    EXPECT_LE(r.bottom - Expected(0).bottom, 1);
  }
  EXPECT_EQ(heights, (std::vector<int>{1, 10, 19, 28, 37, 40}));
  const RECT full = Rect(report);
  EXPECT_EQ(full.left, Expected(0).left);
  EXPECT_EQ(full.top, Expected(0).top);
  EXPECT_EQ(full.right, Expected(0).right);
  EXPECT_EQ(GetForegroundWindow(), typing);
  EXPECT_EQ(GetFocus(), typing);
  // After its time it slides down again and is gone.
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(report); }, 4000));
  EXPECT_EQ(Popup().OpenCount(), 0);
  EXPECT_EQ(GetForegroundWindow(), typing);
}

// A second report stands 42 pixels higher; a click on any report closes them all, and the
// next one starts at the bottom again.
TEST_F(PopupTest, ReportsStackUpwardsAndAClickOnAnyClosesThemAll) {
  for (const char* text : {"first", "second"}) reports->Report("http://example.com/", text);
  std::vector<HWND> open = Popup().OpenWindows();
  ASSERT_EQ(open.size(), 2u);
  ASSERT_TRUE(PumpUntil([&] { return SlidIn(open[0]) && SlidIn(open[1]); }));
  EXPECT_EQ(Rect(open[0]).top, Expected(0).top);
  EXPECT_EQ(Rect(open[1]).top, Expected(42).top);
  RightClick(open[0]);
  EXPECT_FALSE(IsWindow(open[0]));
  EXPECT_FALSE(IsWindow(open[1]));
  EXPECT_EQ(Popup().OpenCount(), 0);

  // A left click on the text does the same, through the link event.
  for (const char* text : {"third", "fourth"}) reports->Report("http://example.com/", text);
  open = Popup().OpenWindows();
  ASSERT_EQ(open.size(), 2u);
  ASSERT_TRUE(PumpUntil([&] { return SlidIn(open[0]) && SlidIn(open[1]); }));
  EXPECT_EQ(Rect(open[0]).top, Expected(0).top);
  SendMessageW(open[1], WM_LBUTTONUP, 0, MAKELPARAM(200, 20));
  EXPECT_EQ(Popup().OpenCount(), 0);
  EXPECT_TRUE(Popup().OpenWindows().empty());
}

// A report that would pass the work area's top edge is left out.
TEST_F(PopupTest, AReportWithoutRoomIsLeftOut) {
  Popup().Height = (work.bottom - work.top) / 2 + 10;
  EXPECT_TRUE(Popup().ShowPopUp());
  EXPECT_FALSE(Popup().ShowPopUp());
  EXPECT_EQ(Popup().OpenCount(), 1);
  Popup().ClosePopUps();
  EXPECT_EQ(Popup().OpenCount(), 0);
  EXPECT_TRUE(Popup().ShowPopUp());  // the stack starts again
}

// What the screen shows: the gradient's first colour at the top, nearly white above the
// band, the band's yellow and blue along the bottom.
TEST_F(PopupTest, TheReportIsDrawnWithItsGradientAndTheBandAlongTheBottom) {
  reports->Report("http://example.com/", "");
  HWND report = Popup().OpenWindows().at(0);
  ASSERT_TRUE(PumpUntil([&] { return SlidIn(report); }));
  RedrawWindow(report, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const RECT r = Rect(report);
  HDC screen = GetDC(nullptr);
  auto at = [&](int x, int y) { return GetPixel(screen, r.left + x, r.top + y); };
  EXPECT_EQ(at(300, 2), RGB(153, 204, 255));
  const COLORREF above_band = at(300, 40 - 2 - 4);
  EXPECT_GE(GetBValue(above_band), 250);
  EXPECT_GE(GetRValue(above_band), 240);
  EXPECT_EQ(at(10, 40 - 2 - 3), RGB(0xFF, 0xFF, 0x33));  // the band's top row
  EXPECT_EQ(at(340, 40 - 2 - 3), RGB(0x99, 0xCC, 0x99));
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace qp
