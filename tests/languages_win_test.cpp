// The shipped languages in the running program: in English no window or dialog shows a
// Cyrillic letter (the buttons' names and the mailboxes are the user's own), and the
// translators' template "Custom.lng" holds every text and message, the same at every run.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "lang/language_template.h"
#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

bool HasCyrillic(const std::string& text) {
  for (unsigned char c : text) {
    if (c >= 0xD0 && c <= 0xD3) return true;  // lead bytes of U+0400..U+04FF
  }
  return false;
}

// The user's own data: the buttons and what is named after them, the mailboxes' addresses.
bool UserData(const std::string& key) {
  for (const char* exact :
       {"fmMain.lb1.Hint", "fmMain.lb2.Hint", "fmMain.lb3.Hint", "fmButton.bbExample.Caption", "fmMiniQPT.bbStart.Caption"}) {
    if (key == exact) return true;
  }
  if (key.rfind("fmButton.cbMailBoxSelected.Items[", 0) == 0) return true;
  for (const char* prefix : {"fmMain.bb", "fmMain.mi1", "fmMain.mi2", "fmMain.mi3", "fmMain.mi4", "fmMain.mi5", "fmMain.mi6", "fmMain.mi7",
                             "fmMain.mi8", "fmMain.mi9", "fmMain.miRQ", "fmMain.miEmail", "fmMain.mi2Email"}) {
    const std::string p(prefix);
    if (key.rfind(p, 0) != 0) continue;
    // mi1..mi20 and miRQ1..miRQ20 only, not every entry whose name starts so.
    const char next = key.size() > p.size() ? key[p.size()] : '.';
    if (p == "fmMain.bb" || p.back() == 'Q' || p.back() == 'l' || (next >= '0' && next <= '9') || next == '.') return true;
  }
  return false;
}

std::vector<std::string> CyrillicShown(ui::Form& form) {
  std::vector<std::string> shown;
  for (const auto& [key, text] : WindowTemplate(form)) {
    if (HasCyrillic(text) && !UserData(key)) shown.push_back(key + "=" + text);
  }
  return shown;
}

class LanguagesTest : public MainWindowTest {
 protected:
  void Ship(std::initializer_list<const char*> files) {
    for (const char* file : files) {
      std::filesystem::copy_file(ShippedFolder() / file, dir / file, std::filesystem::copy_options::overwrite_existing);
    }
  }
  // Opens a window by the entry and collects what it shows in Cyrillic; the window is closed
  // after.
  void Walk(const wchar_t* cls, const std::function<void()>& open, std::vector<std::string>& found) {
    bool shown = false;
    WhenShown(cls, [&](HWND hwnd) {
      shown = true;
      for (const std::string& text : CyrillicShown(*ui::Window::FromHwnd(hwnd))) found.push_back(text);
      PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    open();
    EXPECT_TRUE(shown) << "no window of its class showed";
  }
};

TEST_F(LanguagesTest, InEnglishNoWindowOrDialogShowsCyrillic) {
  Ship({"English.lng", "Buttons.ini", "search.qpt", "www2mail.ini", "commands.ini", "attr.ini", "ftp2mail.ini", "welcome.txt",
        "license.txt", "advice.txt"});
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nlang=0\r\nC1=3\r\n[Emails]\r\nEM1=Иван@example.org\r\n");
  test::WriteAll(dir / "recent.cfg", "http://example.com/\r\n");
  Start();
  Activate();
  std::vector<std::string> found = CyrillicShown(*window);
  Walk(
      L"TfmOptions", [&] { Command(fmMain::miProgramSettings); }, found);
  Walk(
      L"TfmWizard", [&] { Command(fmMain::miWizardRun); }, found);
  Walk(
      L"TfmAbout", [&] { Command(fmMain::miAbout); }, found);
  // The button editor, and in it both builders.
  WhenShown(L"TfmButton", [&](HWND hwnd) {
    auto* editor = ui::Window::FromHwnd(hwnd);
    for (const std::string& text : CyrillicShown(*editor)) found.push_back(text);
    for (const char* builder : {"bbWWW2MAIL", "bbFTP2MAIL"}) {
      WhenShown(L"TfmConstructor", [&](HWND constructor) {
        for (const std::string& text : CyrillicShown(*ui::Window::FromHwnd(constructor))) found.push_back(text);
        PostMessageW(constructor, WM_CLOSE, 0, 0);
      });
      SendMessageW(editor->ControlHwnd(builder), BM_CLICK, 0, 0);
    }
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
  });
  Command(fmMain::Numbered(fmMain::miRQ, 1));
  // The windows that stay: history, request list 2, the mini window.
  Command(fmMain::miRequestHistory);
  Command(fmMain::lbList, STN_CLICKED);
  Command(fmMain::miMinimize);
  for (ui::Window* live : ui::Window::LiveWindows()) {
    if (live == window.get()) continue;
    for (const std::string& text : CyrillicShown(*live)) found.push_back(text);
  }
  EXPECT_GE(ui::Window::LiveWindows().size(), 4u) << "history, list 2 and the mini window were walked";
  EXPECT_EQ(found, std::vector<std::string>{});
  // Every message in English.
  const IniFile english(test::ReadAll(dir / "English.lng").substr(3));
  for (const IniFile::Section& section : english.Sections()) {
    if (section.name != "Misc") continue;
    for (const IniFile::Entry& entry : section.entries) EXPECT_FALSE(HasCyrillic(entry.value)) << entry.key << "=" << entry.value;
  }
}

// Run twice, the template is the same; what it held and no window shows now stays; without
// "strings" the windows' texts are written and the box names the missing file.
TEST_F(LanguagesTest, TheTemplateHoldsTheWindowsAndTheMessagesAndIsTheSameAtEveryRun) {
  Ship({"strings"});
  test::WriteAll(dir / "Custom.lng", "[fmGone]\r\nfmGone.lbOld.Caption=Старый\r\n");
  Start();
  Activate();
  Command(fmMain::miFill_Language);
  const std::string first = test::ReadAll(dir / "Custom.lng");
  Command(fmMain::miFill_Language);
  EXPECT_EQ(test::ReadAll(dir / "Custom.lng"), first);
  for (const char* line : {"fmGone.lbOld.Caption=Старый", "fmMain.miExit.Caption=Выход", "fmMain.lbAdd.Caption=Добавить в", "[Misc]",
                           "EmptyEmail=Почтовый ящик не настроен.", "fmMain.gbList.Caption=Лист запросов"}) {
    EXPECT_NE(first.find(line), std::string::npos) << line;
  }
  std::filesystem::remove(dir / "strings");
  std::filesystem::remove(dir / "Custom.lng");
  std::string said;
  WhenShown(L"#32770", [&](HWND box) {
    said = BoxText(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  Command(fmMain::miFill_Language);
  EXPECT_NE(said.find("strings"), std::string::npos) << said;
  EXPECT_NE(test::ReadAll(dir / "Custom.lng").find("fmMain.miExit.Caption="), std::string::npos);
}

}  // namespace
}  // namespace qp
