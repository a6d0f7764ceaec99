// The bookmark tree in the main window: activation, the menu's commands, the search
// constructor, drag and drop, and an exit while the constructor is open.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

const std::string kTree =
    "\xEF\xBB\xBFЗакладки\r\n\tСтраница\r\n\t\t@http://example.com/page\r\n\t\t@\r\nПоиск\r\n\tЯндекс\r\n"
    "\t\t@https://yandex.ru/search/?text=\r\n\t\t@&lr=213\r\n";

class BookmarkTreeTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    test::WriteAll(dir / "search.qpt", TreeFile());
    Start();
    Activate();
    tree = window->ControlHwnd("JvSearchTreeView");
  }
  // The node at these indices, top level first.
  HTREEITEM Item(std::vector<int> path) {
    HTREEITEM item = nullptr;
    for (std::size_t depth = 0; depth < path.size(); ++depth) {
      item = depth == 0 ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item);
      for (int n = path[depth]; n > 0 && item; --n) item = TreeView_GetNextSibling(tree, item);
    }
    return item;
  }
  // What the view shows, a line a node as in the file, with the picture after a "|".
  std::string Shown(HTREEITEM item = TVI_ROOT, int depth = 0) {
    std::string out;
    for (HTREEITEM child = item == TVI_ROOT ? TreeView_GetRoot(tree) : TreeView_GetChild(tree, item); child;
         child = TreeView_GetNextSibling(tree, child)) {
      wchar_t text[256] = {};
      TVITEMW data{};
      data.mask = TVIF_TEXT | TVIF_IMAGE;
      data.hItem = child;
      data.pszText = text;
      data.cchTextMax = 256;
      TreeView_GetItem(tree, &data);
      out += std::string(depth, '\t') + ui::Narrow(text) + "|" + std::to_string(data.iImage) + "\n";
      out += Shown(child, depth + 1);
    }
    return out;
  }
  // Selected as the program does it before a command, not as a click: nothing activates.
  void Choose(std::vector<int> path) { ASSERT_TRUE(TreeView_Select(tree, Item(path), TVGN_CARET)); }
  void Exit() { Command("miExit"); }
  virtual std::string TreeFile() const { return kTree; }

  HWND tree = nullptr;
};

// Read up to the line that goes three levels down, and no further.
const std::string kDamagedTree = "\xEF\xBB\xBFЗакладки\r\n\tA\r\n\t\t\tB\r\n";
class PartlyReadTreeTest : public BookmarkTreeTest {
 protected:
  std::string TreeFile() const override { return kDamagedTree; }
};

HWND Child(HWND parent, const wchar_t* cls, int nth) {
  HWND child = nullptr;
  for (int i = 0; i <= nth; ++i) child = FindWindowExW(parent, child, cls, nullptr);
  return child;
}
void Press(HWND dialog, const wchar_t* caption) { SendMessageW(FindWindowExW(dialog, nullptr, L"Button", caption), BM_CLICK, 0, 0); }
void Answer(int button) {
  WhenShown(L"#32770", [button](HWND box) { PostMessageW(box, WM_COMMAND, button, 0); });
}

// A bookmark fills the request line and list 1, a search template gives the search buttons
// their captions; a request never opens.
TEST_F(BookmarkTreeTest, SelectingABookmarkOrASearchTemplateActivatesIt) {
  TreeView_SelectItem(tree, Item({0}));
  TreeView_SelectItem(tree, Item({0, 0}));
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://example.com/page");
  EXPECT_EQ(ui::GetText(window->ControlHwnd("JvmmList")), "http://example.com/page\r\n");
  EXPECT_FALSE(TreeView_GetItemState(tree, Item({0, 0}), TVIS_EXPANDED) & TVIS_EXPANDED);

  TreeView_SelectItem(tree, Item({1}));
  TreeView_SelectItem(tree, Item({1, 0}));
  EXPECT_EQ(Caption("bb21"), "Яндекс 1");
  EXPECT_EQ(Caption("bb22"), "Яндекс 2");
}

// Each entry of the menu puts its node where it says, with its picture; a deletion asks
// first; the file at exit holds what the view shows.
TEST_F(BookmarkTreeTest, TheMenuCommandsEditTheTreeAndTheFileKeepsTheEdits) {
  Choose({1});
  Command("miInsertCategory");  // before "Поиск", keeping the root's picture
  Choose({2, 0});
  Command("miAddSubCategory");  // on a request: into its category, first
  Command("miAddCategory");     // on that new category: its first sibling
  EXPECT_EQ(Shown(),
            "Закладки|2\n\tСтраница|4\n\t\t@http://example.com/page|0\n\t\t@|0\nНовая категория|2\nПоиск|1\n\tНовая категория|0\n"
            "\tНовая категория|0\n\tЯндекс|4\n\t\t@https://yandex.ru/search/?text=|0\n\t\t@&lr=213|0\n");
  Choose({1});
  Answer(IDCANCEL);
  Command("miDeleteRequest");
  EXPECT_NE(TreeView_GetRoot(tree), nullptr);
  EXPECT_EQ(TreeView_GetNextSibling(tree, TreeView_GetRoot(tree)), Item({1}));
  Answer(IDOK);
  Command("miDeleteRequest");
  Exit();
  EXPECT_EQ(test::ReadAll(dir / "search.qpt"),
            "\xEF\xBB\xBFЗакладки\r\n\tСтраница\r\n\t\t@http://example.com/page\r\n\t\t@\r\nПоиск\r\n\tНовая категория\r\n"
            "\tНовая категория\r\n\tЯндекс\r\n\t\t@https://yandex.ru/search/?text=\r\n\t\t@&lr=213\r\n");
}

// "+" offers the request line as name and link; "Редактировать запрос" offers the request's
// texts, refuses a name the file could not hold and keeps the dialog open; "Отмена" changes
// nothing.
TEST_F(BookmarkTreeTest, TheConstructorCreatesChangesAndCancels) {
  ui::SetText(window->ControlHwnd("cbComboBox"), "http://new.example/");
  std::vector<std::string> offered;
  WhenShown(L"TfmSearchConstructor", [&](HWND dialog) {
    for (int i = 0; i < 3; ++i) offered.push_back(ui::GetText(Child(dialog, L"Edit", i)));
    Press(dialog, L"Coздать");
  });
  Command("lbAddToFavorites");
  EXPECT_EQ(offered, (std::vector<std::string>{"http://new.example/", "http://new.example/", ""}));

  offered.clear();
  bool refused_kept_open = false;
  WhenShown(L"TfmSearchConstructor", [&](HWND dialog) {
    for (int i = 0; i < 3; ++i) offered.push_back(ui::GetText(Child(dialog, L"Edit", i)));
    ui::SetText(Child(dialog, L"Edit", 0), " с пробелом");
    Answer(IDOK);
    Press(dialog, L"Изменить");
    refused_kept_open = IsWindowVisible(dialog);
    ui::SetText(Child(dialog, L"Edit", 0), "Новая");
    ui::SetText(Child(dialog, L"Edit", 2), "&x=1");
    Press(dialog, L"Изменить");
  });
  Choose({0, 1});
  Command("miEditRequest");
  EXPECT_EQ(offered, (std::vector<std::string>{"http://new.example/", "http://new.example/", ""}));
  EXPECT_TRUE(refused_kept_open);

  Choose({0});
  WhenShown(L"TfmSearchConstructor", [&](HWND dialog) { Press(dialog, L"Отмена"); });
  Command("miAddRequest");
  Exit();
  EXPECT_EQ(test::ReadAll(dir / "search.qpt"),
            "\xEF\xBB\xBFЗакладки\r\n\tСтраница\r\n\t\t@http://example.com/page\r\n\t\t@\r\n\tНовая\r\n\t\t@http://new.example/\r\n"
            "\t\t@&x=1\r\nПоиск\r\n\tЯндекс\r\n\t\t@https://yandex.ru/search/?text=\r\n\t\t@&lr=213\r\n");
}

// A drag the tree view starts, then the pointer released over a node of the main window.
class DragTest : public BookmarkTreeTest {
 protected:
  void Drag(std::vector<int> from, std::vector<int> onto) {
    NMTREEVIEWW begin{};
    begin.hdr = {tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), TVN_BEGINDRAGW};
    begin.itemNew.hItem = Item(from);
    SendMessageW(window->Hwnd(), WM_NOTIFY, begin.hdr.idFrom, reinterpret_cast<LPARAM>(&begin));
    RECT row{};
    ASSERT_TRUE(TreeView_GetItemRect(tree, Item(onto), &row, TRUE));
    POINT at{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    MapWindowPoints(tree, window->Hwnd(), &at, 1);
    SendMessageW(window->Hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageW(window->Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }
};

TEST_F(DragTest, ACategoryGoesBeforeARequestIntoACategoryAndNeverIntoItself) {
  TreeView_Expand(tree, Item({0}), TVE_EXPAND);
  Drag({1}, {0, 0});  // "Поиск" onto the bookmark: just before it
  EXPECT_EQ(Shown(),
            "Закладки|2\n\tПоиск|1\n\t\tЯндекс|4\n\t\t\t@https://yandex.ru/search/?text=|0\n\t\t\t@&lr=213|0\n\tСтраница|4\n"
            "\t\t@http://example.com/page|0\n\t\t@|0\n");
  TreeView_Expand(tree, Item({0}), TVE_EXPAND);
  const std::string before = Shown();
  Drag({0}, {0, 0});  // the root into its own subtree
  EXPECT_EQ(Shown(), before);
  EXPECT_EQ(GetCapture(), nullptr);
}

// The exit waits for the open constructor, closes it as cancelled, and saves the tree.
TEST_F(BookmarkTreeTest, AnExitWhileTheConstructorIsOpenClosesItAndSavesTheTree) {
  std::filesystem::remove(static_cast<const std::filesystem::path&>(dir / "search.qpt"));  // so the save at exit shows
  HWND main = window->Hwnd();
  WhenShown(L"TfmSearchConstructor", [main](HWND) { PostMessageW(main, WM_CLOSE, 0, 0); });
  Command("lbAddToFavorites");
  EXPECT_FALSE(IsWindow(main));
  EXPECT_NE(test::ReadAll(dir / "search.qpt").find("\t\t@http://example.com/page\r\n"), std::string::npos);
}

TEST_F(PartlyReadTreeTest, TheSessionsTreeGoesBesideTheFileAndTheUserIsToldWhere) {
  Choose({0});
  Command("miAddCategory");
  std::string said;
  WhenShown(L"#32770", [&said](HWND box) {
    said = BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Exit();
  EXPECT_EQ(test::ReadAll(dir / "search.qpt"), kDamagedTree);
  EXPECT_NE(test::ReadAll(dir / "search.qpt.new").find("Новая категория"), std::string::npos);
  EXPECT_NE(said.find("search.qpt.new"), std::string::npos) << said;
}

}  // namespace
}  // namespace qp
