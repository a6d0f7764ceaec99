// The main window's presentation in this process: the view modes give back the design
// exactly, sticky edges snap and hold, transparency reaches the window's style, and the
// first activation restores what the settings hold.
#include <windows.h>
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "main_window_fixture_win.h"
#include "test_support.h"

namespace qp {
namespace {

const char* const kModes[] = {"miSimple", "miOriginal", "miSpecial", "miMin", "miList", "miSuperView"};

class PresentationTest : public MainWindowTest {
 protected:
  struct Place {
    RECT rect;
    bool visible;
    bool operator==(const Place& o) const { return EqualRect(&rect, &o.rect) && visible == o.visible; }
  };
  // Every control's place and visibility, and the window's own rectangle.
  std::map<std::string, Place> Snapshot() {
    std::map<std::string, Place> places;
    for (std::size_t i = 0; i < window->ComponentCount(); ++i) {
      const std::string& name = window->ComponentAt(i).Name();
      if (HWND control = window->ControlHwnd(name)) {
        RECT r{};
        GetWindowRect(control, &r);
        places[name] = {r, (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0};
      }
    }
    RECT frame{};
    GetWindowRect(window->Hwnd(), &frame);
    places["(window)"] = {frame, true};
    return places;
  }
  int ClientHeight() {
    RECT r{};
    GetClientRect(window->Hwnd(), &r);
    return r.bottom;
  }
  bool Shown(const char* name) { return (GetWindowLongW(window->ControlHwnd(name), GWL_STYLE) & WS_VISIBLE) != 0; }
  LONG ExStyle() { return GetWindowLongW(window->Hwnd(), GWL_EXSTYLE); }
};

TEST_F(PresentationTest, EachViewModeShrinksTheWindowAndLeavingItGivesBackTheDesignExactly) {
  Start();
  Activate();
  const auto design = Snapshot();
  const int height = ClientHeight();
  // S 196 and L 141 are the panels' design heights; 125 the lower four rows of buttons.
  const std::map<std::string, int> shrink = {
      {"miSimple", 196 + 125 + 141},   {"miOriginal", 196 + 141}, {"miSpecial", 196 + 125}, {"miMin", 196 + 8}, {"miList", 141},
      {"miSuperView", 196 + 141 + 180}};
  for (const char* mode : kModes) {
    Command(mode);
    EXPECT_EQ(ClientHeight(), height - shrink.at(mode)) << mode;
    EXPECT_TRUE(window->Find(mode)->Checked()) << mode;
    for (const char* other : kModes) EXPECT_EQ(window->Find(other)->Enabled(), other == std::string(mode)) << mode << " " << other;
    Command(mode);
    EXPECT_TRUE(Snapshot() == design) << mode;
    for (const char* other : kModes) EXPECT_TRUE(window->Find(other)->Enabled()) << other;
  }
  // The panels' members follow them: the simple view keeps the first row of buttons only,
  // and the bookmark tree and the list go with their panels.
  Command("miSimple");
  EXPECT_TRUE(Shown("bb1"));
  EXPECT_TRUE(Shown("bb4"));
  EXPECT_FALSE(Shown("bb5"));
  EXPECT_FALSE(Shown("JvSearchTreeView"));
  EXPECT_FALSE(Shown("JvmmList"));
  Command("miOriginal");  // disabled while another mode is active: nothing happens
  EXPECT_FALSE(window->Find("miOriginal")->Checked());
  EXPECT_EQ(ClientHeight(), height - shrink.at("miSimple"));
}

TEST_F(PresentationTest, StickyEdgesSnapWithinTwentyPixelsAndThenHoldTheWindowOnTheWorkArea) {
  Start();
  Activate();
  RECT work{}, r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(window->Hwnd(), nullptr, work.left + 15, work.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(window->Hwnd(), &r);
  EXPECT_EQ(r.left, work.left + 15);  // the switch is off
  Command("miSugar");
  SetWindowPos(window->Hwnd(), nullptr, work.left + 21, work.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(window->Hwnd(), &r);
  EXPECT_EQ(r.left, work.left + 21);  // not near enough
  SetWindowPos(window->Hwnd(), nullptr, work.left + 15, work.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(window->Hwnd(), &r);
  EXPECT_EQ(r.left, work.left);
  SetWindowPos(window->Hwnd(), nullptr, work.left - 50, work.top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  GetWindowRect(window->Hwnd(), &r);
  EXPECT_EQ(r.left, work.left);  // once snapped, no longer partly off the work area
}

TEST_F(PresentationTest, TransparencyReachesTheWindowAndAnOpacityOutOfRangeIsRefused) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nTransp=128\r\n");
  Start();
  ShowWindow(window->Hwnd(), SW_SHOWNOACTIVATE);  // a hidden window keeps its layer
  Activate();
  Command("miStayOnTop");
  EXPECT_TRUE(window->Find("miStayOnTop")->Checked());
  EXPECT_TRUE(ExStyle() & WS_EX_TOPMOST);
  // This Wine does not take the main window out of the topmost layer again (a plain window
  // it does; the main window owns windows and has an owner), so only the tick is checked.
  Command("miStayOnTop");
  EXPECT_FALSE(window->Find("miStayOnTop")->Checked());

  Command("miTransp");
  ASSERT_TRUE(ExStyle() & WS_EX_LAYERED);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window->Hwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  Command("miTransp");
  EXPECT_FALSE(ExStyle() & WS_EX_LAYERED);
  EXPECT_FALSE(window->Find("miTransp")->Checked());

  test::WriteAll(dir / "settings.ini", "[Settings]\r\nTransp=300\r\n");
  window->Settings().Reload();
  std::string shown;
  WhenShown(L"#32770", [&](HWND box) {
    shown = "box";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Command("miTransp");
  EXPECT_EQ(shown, "box");
  EXPECT_TRUE(window->Find("miTransp")->Checked());
  EXPECT_FALSE(ExStyle() & WS_EX_LAYERED);
}

TEST_F(PresentationTest, TheFirstActivationRestoresTheViewAndTheSwitchesAndTheExitSavesThem) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nViewMode=3\r\nSticy=1\r\nHide=1\r\nOn_top=1\r\nPopUps=1\r\nRLDelay=abc\r\n");
  test::WriteAll(dir / "search.qpt", "Закладки\r\n\tСтраница\r\n\t\t@http://example.com/\r\n\t\t@\r\n");
  Start();
  const int height = ClientHeight();
  ShowWindow(window->Hwnd(), SW_SHOWNOACTIVATE);  // the first activation comes while the window shows
  Activate();
  EXPECT_TRUE(window->Find("miSpecial")->Checked());
  EXPECT_EQ(ClientHeight(), height - 196 - 125);
  EXPECT_TRUE(window->Find("miSugar")->Checked());
  EXPECT_TRUE(window->Find("miHideWhenDone1")->Checked());
  EXPECT_TRUE(window->Find("miHideWhenDone2")->Checked());
  EXPECT_TRUE(window->Find("miStayOnTop")->Checked());
  EXPECT_TRUE(window->Find("miPopUps")->Checked());
  // A delay that is no number is logged, and the restore still reaches the bookmark tree.
  EXPECT_NE(test::ReadAll(dir / "log.txt").find("Error : 'abc' is not a valid integer value"), std::string::npos);
  EXPECT_GT(TreeView_GetCount(window->ControlHwnd("JvSearchTreeView")), 0u);
  Command("miHideWhenDone2");  // the tray twin switches both
  EXPECT_FALSE(window->Find("miHideWhenDone1")->Checked());
  Command("miExit");
  const std::string saved = test::ReadAll(dir / "settings.ini");
  for (const char* line : {"ViewMode=3\r\n", "Sticy=1\r\n", "Hide=0\r\n", "On_top=1\r\n", "Tran=0\r\n", "PopUps=1\r\n"}) {
    EXPECT_NE(saved.find(line), std::string::npos) << line << saved;
  }
}

// A stored place the window would stand off every monitor at (a monitor unplugged) gives way
// to the work area's top-left corner; a place on the screen is kept.
TEST_F(PresentationTest, AStoredPlaceOffEveryMonitorComesBackOnTheWorkArea) {
  for (const auto& [stored, expected] : {std::pair{POINT{-5000, -5000}, POINT{0, 0}}, std::pair{POINT{120, 100}, POINT{120, 100}}}) {
    test::WriteAll(dir / "settings.ini", "[Settings]\r\nLeft=" + std::to_string(stored.x) + "\r\nTop=" + std::to_string(stored.y) + "\r\n");
    Start();
    RECT frame{}, work{};
    GetWindowRect(window->Hwnd(), &frame);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frame.left, expected.x + (stored.x < 0 ? work.left : 0));
    EXPECT_EQ(frame.top, expected.y + (stored.y < 0 ? work.top : 0));
    DestroyWindow(window->Hwnd());
    window.reset();
  }
}

}  // namespace
}  // namespace qp
