// The request list 2 window: import from a file, automatic saving through "list.txt".
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/system_win.h"
#include "base/process.h"
#include "base/working_folder.h"
#include "main_window_fixture_win.h"
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

// A "list.txt" held by a program that lets nobody read it: the user is told once, and the
// list is not written over it at close though the file can be read again by then.
TEST_F(RequestList2Test, AListTxtThatCannotBeLoadedIsToldOnceAndNotSavedOver) {
  settings.WriteBool("Settings", "Autoloadlist", true);
  test::WriteAll(dir / "list.txt", "http://kept.example/\r\n");
  const std::wstring path = static_cast<const std::filesystem::path&>(dir / "list.txt").wstring();
  HANDLE holder = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  std::vector<std::string> said;
  std::function<void(HWND)> tell = [&](HWND box) {
    said.push_back(BoxText(box));
    WhenShown(L"#32770", tell);  // a second box is caught too, not left waiting
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  };
  WhenShown(L"#32770", tell);
  auto list = Make();
  ShowWindow(list->Hwnd(), SW_SHOW);  // activated by it, as by each call below
  SendMessageW(list->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  SendMessageW(list->Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
  CloseHandle(holder);
  list->Append("http://new.example/");
  SendMessageW(list->Hwnd(), WM_CLOSE, 0, 0);
  CancelWhenShown();
  EXPECT_EQ(test::ReadAll(dir / "list.txt"), "http://kept.example/\r\n");
  ASSERT_EQ(said.size(), 1u);
  EXPECT_NE(said[0].find("list.txt"), std::string::npos) << said[0];
}

// A drop of these files as Explorer hands it over: DROPFILES and the wide names, each
// ending in a zero, the list ending in another.
HDROP DropOf(const std::vector<std::filesystem::path>& files) {
  std::wstring names;
  for (const auto& file : files) names += file.wstring() + L'\0';
  names += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  memcpy(drop + 1, names.data(), names.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(RequestList2Test, OnlyTheFirstFileOfADropIsImported) {
  test::WriteAll(dir / "first.txt", "http://first.example/\r\n");
  test::WriteAll(dir / "second.txt", "http://second.example/\r\n");
  auto list = Make();
  SendMessageW(list->Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({dir / "first.txt", dir / "second.txt"})), 0);
  EXPECT_EQ(list->Entries(), std::vector<std::string>{"http://first.example/"});
  EXPECT_EQ(line, "http://first.example/");
}

TEST_F(RequestList2Test, CopyTakesTheSelectionOrElseTheLastLineAndClearEmptiesTheList) {
  auto list = Make();
  list->Append("http://one.example/");
  list->Append("http://два.example/путь");
  HWND memo = list->ControlHwnd("Memo1");
  SendMessageW(list->ControlHwnd("bbCopy"), BM_CLICK, 0, 0);
  EXPECT_EQ(line, "http://два.example/путь");
  // Character positions, not bytes: the selection inside the Cyrillic line.
  const int second = static_cast<int>(SendMessageW(memo, EM_LINEINDEX, 1, 0));
  SendMessageW(memo, EM_SETSEL, second + 7, second + 18);
  SendMessageW(list->ControlHwnd("bbCopy"), BM_CLICK, 0, 0);
  EXPECT_EQ(line, "два.example");
  SendMessageW(list->ControlHwnd("bbClear"), BM_CLICK, 0, 0);
  EXPECT_TRUE(list->Entries().empty());
}

}  // namespace
}  // namespace qp
