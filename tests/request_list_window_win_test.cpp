// The request list 2 window: import from a file, automatic saving through "list.txt".
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "app/system_win.h"
#include "app/working_folder.h"
#include "request/request_list_window_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

class RequestList2Test : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    InstallSystemServices();
    SetWorkingFolder(dir.Path());
  }
  void TearDown() override {
    SetLogClock(nullptr);
    SetSystemCodec(nullptr);
  }
  std::unique_ptr<TfmRequestList2> Make() {
    auto w = std::make_unique<TfmRequestList2>([this](const std::string& text) { line = text; }, settings);
    EXPECT_TRUE(w->CreateHidden(nullptr));
    return w;
  }
  test::TempDir dir;
  IniFile settings;
  std::string line;
};

TEST_F(RequestList2Test, ImportAddsOneAddressPerLineAndPutsTheLastIntoTheRequestLine) {
  test::WriteAll(dir / "bookmarks.htm",
                 "<DT><A HREF=\"http://example.com/a\">A</A>\r\nftp://f.example/x http://h.example/y\r\n<p>nothing</p>\r\n");
  auto list = Make();
  list->Append("http://already.example/");
  list->ImportFile(dir / "bookmarks.htm");
  EXPECT_EQ(list->Entries(), (std::vector<std::string>{"http://already.example/", "http://example.com/a", "http://h.example/y"}));
  EXPECT_EQ(line, "http://h.example/y");
}

TEST_F(RequestList2Test, AutomaticSavingWritesListTxtOnCloseAndLoadsItIntoAnEmptyList) {
  settings.WriteBool("Settings", "Autoloadlist", true);
  {
    auto list = Make();
    ShowWindow(list->Hwnd(), SW_SHOW);  // shown: the check box follows "Autoloadlist"
    list->Append("http://one.example/");
    list->Append("http://two.example/");
    SendMessageW(list->Hwnd(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(list->Hwnd()));
  }
  EXPECT_TRUE(std::filesystem::exists(dir / "list.txt"));
  auto again = Make();
  ShowWindow(again->Hwnd(), SW_SHOW);
  SendMessageW(again->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  EXPECT_EQ(again->Entries(), (std::vector<std::string>{"http://one.example/", "http://two.example/"}));
  EXPECT_TRUE(settings.ReadBool("Settings", "Autoloadlist", false));
}

}  // namespace
}  // namespace qp
