// The history window under the real Win32 list view: reload, copy, delete, sort, rewrite.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include "app/system_win.h"
#include "base/process.h"
#include "base/working_folder.h"
#include "organize/history_window_win.h"
#include "test_support.h"

namespace qp {
namespace {

class HistoryWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    InstallSystemServices();
    SetWorkingFolder(dir.Path());
    rows = {
        HistoryRecord{"with a \"quote\"", "http://b.example/", "02.01.2026 10:00:00", "s@x", "Page", "me@x", {}},
        HistoryRecord{"No comment", "http://a.example/", "01.01.2026 09:00:00", "s@x", "Links", "me@x", {}},
    };
    ASSERT_TRUE(SaveHistory(rows));
    window = std::make_unique<TfmHistory>(nullptr, [this](const std::string& text) { copied = text; });
    window->ShowWindow();
    SendMessageW(window->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  }
  void TearDown() override { window.reset(); }
  void Select(int row) {
    HWND list = window->ControlHwnd("jvHistory");
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(list, row, LVIS_SELECTED, LVIS_SELECTED);
  }
  void Notify(NMHDR& header) {
    HWND list = window->ControlHwnd("jvHistory");
    header.hwndFrom = list;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
    SendMessageW(window->Hwnd(), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
  }
  void Activate() { SendMessageW(window->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0); }
  void Close() { SendMessageW(window->Hwnd(), WM_CLOSE, 0, 0); }
  void Command(const std::string& name) {
    for (UINT i = 0; i < window->ComponentCount(); ++i) {
      if (window->ComponentAt(i).Name() == name) SendMessageW(window->Hwnd(), WM_COMMAND, MAKEWPARAM(1000 + i, 0), 0);
    }
  }

  test::TempDir dir;
  std::vector<HistoryRecord> rows;
  std::unique_ptr<TfmHistory> window;
  std::string copied;
};

TEST_F(HistoryWindowTest, RowsComeFromTheFileAndGoBackWhenTheWindowCloses) {
  EXPECT_EQ(window->Rows(), rows);
  Select(1);
  Command("CopyURL");
  EXPECT_EQ(copied, "http://a.example/");
  Select(0);
  Command("DeleteRecord");
  ASSERT_EQ(window->Rows().size(), 1u);
  SendMessageW(window->Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(window->Hwnd()));
  EXPECT_EQ(LoadHistory(), std::vector<HistoryRecord>{rows[1]});
}

TEST_F(HistoryWindowTest, TheTimeHeaderSortsAscendingThenDescending) {
  HWND list = window->ControlHwnd("jvHistory");
  NMLISTVIEW click{};
  click.hdr.hwndFrom = list;
  click.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(list));
  click.hdr.code = LVN_COLUMNCLICK;
  click.iSubItem = 2;
  SendMessageW(window->Hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(window->Rows().front().request, "http://a.example/");
  SendMessageW(window->Hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(window->Rows().front().request, "http://b.example/");
  click.iSubItem = 1;  // other headers do not sort
  SendMessageW(window->Hwnd(), WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
  EXPECT_EQ(window->Rows().front().request, "http://b.example/");
}

// A letter goes out while the window is open: its line must survive the window's close.
TEST_F(HistoryWindowTest, ACommentEditAndALetterLoggedMeanwhileBothReachTheFile) {
  NMLVDISPINFOW edit{};
  edit.hdr.code = LVN_ENDLABELEDITW;
  edit.item.iItem = 1;
  std::wstring comment = L"typed by the user";
  edit.item.pszText = comment.data();
  Notify(edit.hdr);
  const HistoryRecord sent{"No comment", "http://c.example/", "03.01.2026 11:00:00", "s@x", "Page", "me@x", {}};
  ASSERT_TRUE(AppendHistoryLine(sent));
  Close();
  std::vector<HistoryRecord> expected = rows;
  expected[1].comment = "typed by the user";
  expected.push_back(sent);
  EXPECT_EQ(LoadHistory(), expected);
  EXPECT_EQ(window->Rows(), expected);
}

TEST_F(HistoryWindowTest, AWindowClosedWithoutChangesLeavesTheFileByteForByte) {
  // What the window must not mangle: a seventh field, a cell far beyond what a list view
  // cell shows, a line another program wrote without quotes.
  const std::string long_request = "http://long.example/?q=" + std::string(5000, 'x');
  const std::string bytes =
      "\"c\";\"" + long_request + "\";\"01.01.2026\";\"s@x\";\"Page\";\"me@x\";\"seventh\"\r\n" + "plain;http://p.example/\r\n";
  test::WriteAll(dir / "history.log", bytes);
  Activate();
  ASSERT_EQ(window->Rows().size(), 2u);
  Select(0);
  Command("CopyURL");
  EXPECT_EQ(copied, long_request);
  ASSERT_TRUE(AppendHistoryLine(rows[0]));
  Close();
  EXPECT_EQ(test::ReadAll(dir / "history.log"), bytes + FormatHistoryLine(rows[0]));
}

TEST_F(HistoryWindowTest, ADeleteRewritesTheOtherRecordsWhole) {
  HistoryRecord long_one = rows[0];
  long_one.request = "http://long.example/?q=" + std::string(16000, 'y');
  long_one.extra = {"seventh", "eighth"};
  ASSERT_TRUE(SaveHistory({long_one, rows[1]}));
  Activate();
  Select(1);
  Command("DeleteRecord");
  Close();
  EXPECT_EQ(LoadHistory(), std::vector<HistoryRecord>{long_one});
}

// Clearing while the window holds a change (here a delete) must not be undone by its close;
// a letter logged after the clearing is the one line left.
TEST_F(HistoryWindowTest, ClearingEmptiesTheOpenWindowAndItsCloseWritesNothingBack) {
  Select(0);
  Command("DeleteRecord");
  ASSERT_TRUE(window->ClearAll());
  EXPECT_TRUE(window->Rows().empty());
  EXPECT_EQ(ListView_GetItemCount(window->ControlHwnd("jvHistory")), 0);
  ASSERT_TRUE(AppendHistoryLine(rows[1]));
  Close();
  EXPECT_EQ(LoadHistory(), std::vector<HistoryRecord>{rows[1]});
}

}  // namespace
}  // namespace qp
