// Table-built windows under the real Win32 API: creation, lookup by name, texts,
// menus and translation.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

#include "base/ini_file.h"
#include "base/process.h"
#include "lang/dialog_win.h"
#include "lang/language.h"
#include "ui/text_win.h"
#include "ui/window_win.h"

namespace qp {
namespace {

using ui::Kind;

ui::FormDef TestForm() {
  return ui::FormDef{.name = "fmProbe",
                     .title = "Проба",
                     .client_width = 300,
                     .client_height = 200,
                     .controls = {
                         {.name = "gbGroup", .kind = Kind::GroupBox, .caption = "Группа", .bounds = {10, 10, 200, 100}},
                         {.name = "lbInside",
                          .kind = Kind::Label,
                          .parent = "gbGroup",
                          .caption = "Метка",
                          .hint = "Подсказка",
                          .bounds = {5, 15, 80, 15}},
                         {.name = "mmNotes", .kind = Kind::Memo, .bounds = {10, 120, 100, 50}, .items = {"один", "два", "три"}},
                         {.name = "cbLine", .kind = Kind::ComboBox, .bounds = {120, 120, 100, 23}, .items = {"а", "б"}},
                         {.name = "cbTick", .kind = Kind::CheckBox, .caption = "Флажок", .bounds = {230, 120, 60, 20}, .checked = true},
                         {.name = "StatusBar", .kind = Kind::StatusBar, .bounds = {0, 180, 150, 20}},
                         {.name = "pbWork", .kind = Kind::ProgressBar, .bounds = {150, 180, 150, 20}},
                         {.name = "miFile", .kind = Kind::Menu, .caption = "&Файл"},
                         {.name = "miOne",
                          .kind = Kind::MenuItem,
                          .parent = "miFile",
                          .caption = "Один",
                          .shortcut = ui::Ctrl(ui::kKeyF1),
                          .radio = true,
                          .checked = true},
                         {.name = "miHidden", .kind = Kind::MenuItem, .parent = "miFile", .caption = "Скрыт", .visible = false},
                         {.name = "miSep", .kind = Kind::Separator, .parent = "miFile"},
                         {.name = "miTwo", .kind = Kind::MenuItem, .parent = "miFile", .caption = "Два"},
                         {.name = "PopupMenu1", .kind = Kind::PopupMenu},
                         {.name = "miTray", .kind = Kind::MenuItem, .parent = "PopupMenu1", .caption = "Лоток"},
                     }};
}

class ProbeWindow : public ui::Window {
 public:
  ProbeWindow() : Window(TestForm()) {
    for (const char* entry : {"miOne", "miTwo", "miTray"}) Commands().On(entry, [this, entry] { last_command = entry; });
  }
  std::string last_command;
  int creates = 0;

 protected:
  void OnCreate() override { ++creates; }
};

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    ASSERT_TRUE(window.Create(nullptr, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0, 10, 10));
  }
  ProbeWindow window;
};

TEST_F(WindowTest, ComponentsAreFoundByNameInDeclarationOrder) {
  EXPECT_EQ(window.creates, 1);
  EXPECT_EQ(window.ComponentCount(), TestForm().controls.size());
  EXPECT_EQ(window.ComponentAt(0).Name(), "gbGroup");
  EXPECT_EQ(window.ComponentAt(2).Name(), "mmNotes");
  EXPECT_EQ(window.Find("nothing"), nullptr);
  EXPECT_EQ(window.Title(), "Проба");
  RECT client;
  GetClientRect(window.Hwnd(), &client);
  EXPECT_EQ(client.right, 300);
  EXPECT_EQ(client.bottom, 200);
}

TEST_F(WindowTest, ControlsInsideAGroupAreplacedRelativeToItButOwnedByTheWindow) {
  HWND label = window.ControlHwnd("lbInside");
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(GetParent(label), window.Hwnd());
  RECT r;
  GetWindowRect(label, &r);
  MapWindowPoints(nullptr, window.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 15);
  EXPECT_EQ(r.top, 25);
}

TEST_F(WindowTest, CaptionsHintsAndLinesGoToTheRealControls) {
  ui::Component& label = *window.Find("lbInside");
  label.SetCaption("Label");
  EXPECT_EQ(ui::GetText(window.ControlHwnd("lbInside")), "Label");
  EXPECT_EQ(label.Hint(), "Подсказка");
  EXPECT_EQ(window.Find("mmNotes")->Lines(), (std::vector<std::string>{"один", "два", "три"}));
  EXPECT_EQ(window.Find("cbLine")->Lines(), (std::vector<std::string>{"а", "б"}));
  EXPECT_TRUE(window.Find("cbTick")->Checked());
  window.Find("StatusBar")->SetCaption("Готово");
  EXPECT_EQ(window.Find("StatusBar")->Caption(), "Готово");
}

TEST_F(WindowTest, AComboBoxsListChoiceAndLimitGoThroughItsComponent) {
  ui::Component& combo = window.Get("cbLine");
  HWND hwnd = window.ControlHwnd("cbLine");
  EXPECT_EQ(combo.ItemIndex(), -1);
  ui::SetText(hwnd, "набрано");
  combo.SetItems({"x", "y", "z"});
  EXPECT_EQ(combo.Lines(), (std::vector<std::string>{"x", "y", "z"}));
  EXPECT_EQ(ui::GetText(hwnd), "набрано");
  combo.SetItemIndex(2);
  EXPECT_EQ(combo.ItemIndex(), 2);
  EXPECT_EQ(ui::GetText(hwnd), "z");
  EXPECT_FALSE(combo.DroppedDown());

  combo.SetMaxLength(3);
  ui::SetText(hwnd, "");
  COMBOBOXINFO info{sizeof info};
  ASSERT_TRUE(GetComboBoxInfo(hwnd, &info));
  for (wchar_t key : std::wstring(L"abcdef")) SendMessageW(info.hwndItem, WM_CHAR, key, 0);
  EXPECT_EQ(ui::GetText(hwnd), "abc");
}

// Positions count UTF-16 units, as the controls do: Cyrillic letters are one each.
TEST_F(WindowTest, SelectionsAreReadSetAndTypedOverInMemosAndComboBoxes) {
  ui::Component& memo = window.Get("mmNotes");
  memo.SetSelection({2, 4});
  EXPECT_EQ(memo.GetSelection().start, 2);
  EXPECT_EQ(memo.GetSelection().end, 4);
  memo.ReplaceSelection("ЖЖЖ");
  EXPECT_EQ(memo.Lines().front(), "одЖЖЖ");
  EXPECT_EQ(memo.GetSelection().start, 5);
  EXPECT_EQ(memo.GetSelection().end, 5);

  ui::Component& combo = window.Get("cbLine");
  ui::SetText(window.ControlHwnd("cbLine"), "строка");
  combo.SetSelection({1, 3});
  EXPECT_EQ(combo.GetSelection().start, 1);
  EXPECT_EQ(combo.GetSelection().end, 3);
}

TEST_F(WindowTest, AProgressBarStepsWithinItsRange) {
  ui::Component& bar = window.Get("pbWork");
  bar.SetRange(50, 5);
  bar.SetPosition(30);
  bar.Step();
  EXPECT_EQ(bar.Position(), 35);
  bar.SetPosition(80);
  EXPECT_EQ(bar.Position(), 50);
}

TEST_F(WindowTest, MenuEntriesCarryShortcutsChecksAndHiddenEntriesAreLeftOut) {
  HMENU file = window.SubmenuOf("miFile");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(GetMenuItemCount(file), 3);  // Один, separator, Два
  wchar_t text[64] = {};
  GetMenuStringW(file, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(ui::Narrow(text), "Один\tCtrl+F1");
  ui::Component& one = *window.Find("miOne");
  EXPECT_EQ(one.Caption(), "Один");
  EXPECT_TRUE(one.Checked());
  one.SetChecked(false);
  EXPECT_FALSE(one.Checked());
  one.SetCaption("One");
  GetMenuStringW(file, 0, text, 64, MF_BYPOSITION);
  EXPECT_EQ(ui::Narrow(text), "One\tCtrl+F1");
  ui::Component& two = *window.Find("miTwo");
  two.SetEnabled(false);
  EXPECT_FALSE(two.Enabled());
  EXPECT_EQ(GetMenuState(file, 2, MF_BYPOSITION) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
  EXPECT_NE(window.SubmenuOf("PopupMenu1"), nullptr);
}

TEST_F(WindowTest, MenuCommandsReachTheHandlerByName) {
  HMENU file = window.SubmenuOf("miFile");
  SendMessageW(window.Hwnd(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(file, 2), 0), 0);
  EXPECT_EQ(window.last_command, "miTwo");
}

TEST_F(WindowTest, TranslationAppliesToTheLiveWindowAndKeepsTypedText) {
  HWND combo = window.ControlHwnd("cbLine");
  ui::SetText(combo, "typed");
  IniFile file(
      "[fmProbe]\r\nfmProbe.Caption=Probe\r\nfmProbe.miFile.Caption=&File\r\nfmProbe.mmNotes.lines[0]=one\r\n"
      "fmProbe.mmNotes.lines[1]=\r\nfmProbe.cbLine.items[1]=b\r\nfmProbe.gbGroup.Caption=Group\r\n");
  TranslateWindow(window, file);
  EXPECT_EQ(window.Title(), "Probe");
  EXPECT_EQ(window.Find("miFile")->Caption(), "&File");
  EXPECT_EQ(ui::GetText(window.ControlHwnd("gbGroup")), "Group");
  EXPECT_EQ(window.Find("mmNotes")->Lines(), (std::vector<std::string>{"one", "", "три"}));
  EXPECT_EQ(window.Find("cbLine")->Lines(), (std::vector<std::string>{"а", "b"}));
  EXPECT_EQ(ui::GetText(combo), "typed");
}

TEST(DialogTest, ShowsInTheCurrentLanguageAndAskedToCloseHides) {
  SetCurrentLanguage(0, std::make_unique<IniFile>("[fmProbe]\r\nfmProbe.Caption=Probe\r\n"));
  struct ProbeDialog : Dialog {
    ProbeDialog() : Dialog(TestForm()) {}
  } dialog;
  ASSERT_TRUE(dialog.Create(nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 10, 10));
  EXPECT_EQ(dialog.Title(), "Проба");
  ShowWindow(dialog.Hwnd(), SW_SHOW);
  EXPECT_EQ(dialog.Title(), "Probe");
  SendMessageW(dialog.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(dialog.Hwnd()));
  EXPECT_NE(dialog.Hwnd(), nullptr);  // hidden, still there to be read
}

}  // namespace
}  // namespace qp
