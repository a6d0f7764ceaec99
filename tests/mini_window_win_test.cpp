// The mini request window in this process: Ctrl+M puts it in the main window's place at the
// work area's bottom-right corner and back, a send from it goes through the main request
// line, and it docks to the edges while "Прилипание" is on.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

class MiniWindowTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    test::WriteAll(dir / "settings.ini", "[Settings]\r\nAuto=3\r\n");
    Start();
    ShowWindow(window->Hwnd(), SW_SHOWNOACTIVATE);
    Activate();
  }
  HWND Mini() { return FindWindowW(L"TfmMiniQPT", nullptr); }
  HWND MiniChild(const wchar_t* cls, const wchar_t* text = nullptr) { return FindWindowExW(Mini(), nullptr, cls, text); }
  RECT WorkArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
  }
};

TEST_F(MiniWindowTest, CtrlMPutsItAtTheBottomRightInsteadOfTheMainWindowAndBack) {
  Command("miMinimize");
  ASSERT_NE(Mini(), nullptr);
  EXPECT_TRUE(IsWindowVisible(Mini()));
  EXPECT_FALSE(IsWindowVisible(window->Hwnd()));
  RECT r{};
  GetWindowRect(Mini(), &r);
  EXPECT_EQ(r.right, WorkArea().right);
  EXPECT_EQ(r.bottom, WorkArea().bottom);
  EXPECT_TRUE(GetWindowLongW(Mini(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The send button is named after the automatic-mode button (3: "Page").
  EXPECT_NE(MiniChild(L"Button", L"Page"), nullptr);
  Command("miMinimize");
  EXPECT_FALSE(IsWindowVisible(Mini()));
  EXPECT_TRUE(IsWindowVisible(window->Hwnd()));
}

// The mini line goes into the main request line and the automatic-mode button sends it (the
// profile is not set up, so the dispatch refuses with its message and opens the options); an empty line does
// nothing at all.
TEST_F(MiniWindowTest, ASendGoesThroughTheMainRequestLineAndAnEmptyLineDoesNothing) {
  Command("miMinimize");
  HWND start = MiniChild(L"Button", L"Page");
  ASSERT_NE(start, nullptr);
  bool refused = false;
  WhenShown(L"#32770", [&](HWND box) {
    refused = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(start, BM_CLICK, 0, 0);
  EXPECT_FALSE(refused);  // nothing to send
  CancelWhenShown();

  ui::SetText(MiniChild(L"ComboBox"), "http://example.com/mini");
  WhenShown(L"#32770", [&](HWND box) {
    refused = true;
    // The options dialog follows, to set the mailbox up in.
    WhenShown(L"TfmOptions", [](HWND options) { PostMessageW(options, WM_CLOSE, 0, 0); });
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  SendMessageW(start, BM_CLICK, 0, 0);
  EXPECT_TRUE(refused);
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://example.com/mini");
  EXPECT_FALSE(IsWindowVisible(window->Hwnd()));  // the main window stays hidden
}

TEST_F(MiniWindowTest, WithStickyEdgesItDocksWithinTenPixels) {
  Command("miSugar");
  Command("miMinimize");
  RECT r{};
  GetWindowRect(Mini(), &r);
  const int width = r.right - r.left;
  SetWindowPos(Mini(), nullptr, WorkArea().left + 12, WorkArea().top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(Mini(), &r);
  EXPECT_EQ(r.left, WorkArea().left + 12);  // farther than ten pixels
  SetWindowPos(Mini(), nullptr, WorkArea().left + 8, WorkArea().top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(Mini(), &r);
  EXPECT_EQ(r.left, WorkArea().left);
  SetWindowPos(Mini(), nullptr, WorkArea().right - width + 40, WorkArea().top + 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  GetWindowRect(Mini(), &r);
  EXPECT_EQ(r.right, WorkArea().right);  // held on the work area after the first snap
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// While the windows are see-through, the mini window is so by its own opacity "transp2";
// switched off, it is opaque again at its next showing.
TEST_F(MiniWindowTest, ItIsSeeThroughByItsOwnOpacityWhileTransparencyIsOn) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nTransp=180\r\ntransp2=90\r\n");
  window->Settings().Reload();
  Command("miTransp");
  Command("miMinimize");
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetWindowLongW(Mini(), GWL_EXSTYLE) & WS_EX_LAYERED);
  ASSERT_TRUE(GetLayeredWindowAttributes(Mini(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 90);
  Command("miMinimize");
  Command("miTransp");
  Command("miMinimize");
  EXPECT_FALSE(GetWindowLongW(Mini(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

}  // namespace
}  // namespace qp
