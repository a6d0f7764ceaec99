// The main window and the shell around it, in this process: the tray icon and the ways into
// and out of it, the help entry, and the about box with its counters and texts.
#include <windows.h>
#include <shellapi.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr UINT kTrayEvent = WM_APP + 13;

bool TrayIconThere(HWND window) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_TIP;
  lstrcpyW(data.szTip, L"Quillpost Pro");
  return Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

class ShellTest : public MainWindowTest {
 protected:
  void ShowAndActivate() {
    ShowWindow(window->Hwnd(), SW_SHOWNOACTIVATE);
    Activate();
  }
  bool Visible() { return IsWindowVisible(window->Hwnd()) != FALSE; }
};

TEST_F(ShellTest, TheWindowGoesIntoTheTrayAndComesBackByTheIconAndTheTrayMenu) {
  Start();
  ShowAndActivate();
  // After the first activation the program has no taskbar entry of its own.
  EXPECT_NE(GetWindow(window->Hwnd(), GW_OWNER), nullptr);
  SendMessageW(window->Hwnd(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(Visible());
  SendMessageW(window->Hwnd(), kTrayEvent, 1, WM_LBUTTONUP);
  EXPECT_TRUE(Visible());
  EXPECT_FALSE(IsIconic(window->Hwnd()));
  Command("miHide");
  EXPECT_FALSE(Visible());
  Command("miShow");
  EXPECT_TRUE(Visible());
}

// Explorer that starts again has an empty tray: the icon is put back, or a program without
// a taskbar entry could no longer be reached.
TEST_F(ShellTest, TheTrayIconComesBackWhenExplorerStartsAgain) {
  Start();
  ShowAndActivate();
  ASSERT_TRUE(TrayIconThere(window->Hwnd()));
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window->Hwnd();
  data.uID = 1;
  Shell_NotifyIconW(NIM_DELETE, &data);
  ASSERT_FALSE(TrayIconThere(window->Hwnd()));
  SendMessageW(window->Hwnd(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(TrayIconThere(window->Hwnd()));
}

TEST_F(ShellTest, WithCloseToTrayTheCloseBoxHidesTheWindowAndTheProgramRunsOn) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nClose2Tray=1\r\n");
  Start();
  ShowAndActivate();
  SendMessageW(window->Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window->Hwnd()));
  EXPECT_FALSE(Visible());
}

TEST_F(ShellTest, AMissingHelpFileIsNamedInAMessage) {
  Start();
  Activate();
  std::vector<std::string> said;
  WhenShown(L"#32770", [&](HWND box) {
    said = ChildTexts(box, L"Static");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Command("miHelpContens");
  bool named = false;
  for (const std::string& text : said) named = named || text.find("quillpost.hlp") != std::string::npos;
  EXPECT_TRUE(named);
}

// The counters as they stand (this start counted), "welcome.txt" shown, a missing
// "license.txt" leaving its memo empty; the box is gone once closed.
bool g_about_left_open = false;
void CALLBACK CloseTheAboutBox(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (HWND about = FindWindowW(L"TfmAbout", nullptr); about && IsWindowVisible(about)) {
    g_about_left_open = true;
    PostMessageW(about, WM_CLOSE, 0, 0);
  }
}

TEST_F(ShellTest, TheAboutBoxShowsTheCountersAndTheTextsThereAre) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nC1=4\r\nC2=17\r\n");
  test::WriteAll(dir / "welcome.txt", "\xEF\xBB\xBFДобро пожаловать\r\n");
  Start();
  Activate();
  std::vector<std::string> labels, memos;
  WhenShown(L"TfmAbout", [&](HWND about) {
    labels = ChildTexts(about, L"Static");
    memos = ChildTexts(about, L"Edit");
    PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
    SetTimer(nullptr, 0, 3000, CloseTheAboutBox);  // should Escape leave it open
  });
  Command("miAbout");
  EXPECT_FALSE(g_about_left_open) << "Escape did not close the about box";
  EXPECT_NE(std::find(labels.begin(), labels.end(), "5"), labels.end());
  EXPECT_NE(std::find(labels.begin(), labels.end(), "17"), labels.end());
  EXPECT_EQ(memos, (std::vector<std::string>{"Добро пожаловать\r\n", ""}));
  EXPECT_EQ(FindWindowW(L"TfmAbout", nullptr), nullptr);
}

}  // namespace
}  // namespace qp
