// The first-run wizard: shown at the very first start and from its menu entry; "&Finish!"
// writes profile 1, server 1, the SMTP method and the language, Cancel writes nothing; a
// language picked on the first page translates the wizard and the main window at once.
#include <windows.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/main_form.h"
#include "dialogs/wizard_win.h"
#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

class WizardTest : public MainWindowTest {
 protected:
  // Runs step inside the wizard once it shows; the step ends it by its buttons.
  void WhenWizardShows(const std::function<void(TfmWizard&)>& step) {
    ran_ = false;
    WhenShown(L"TfmWizard", [this, step](HWND hwnd) {
      auto* wizard = dynamic_cast<TfmWizard*>(ui::Window::FromHwnd(hwnd));
      ASSERT_NE(wizard, nullptr);
      ran_ = true;
      step(*wizard);
      if (IsWindowVisible(hwnd)) wizard->JvWizard1CancelButtonClick();  // a failed step must not hang
    });
  }
  static void Type(TfmWizard& wizard, const char* name, const std::string& text) { ui::SetText(wizard.ControlHwnd(name), text); }
  static void Press(TfmWizard& wizard, const char* name) { SendMessageW(wizard.ControlHwnd(name), BM_CLICK, 0, 0); }
  std::string Settings() { return test::ReadAll(dir / "settings.ini"); }
  void ShipLanguages() {
    for (const char* language : {"English.lng", "Russian.lng", "Ukraine.lng"}) {
      std::filesystem::copy_file(ShippedFolder() / language, dir / language, std::filesystem::copy_options::overwrite_existing);
    }
  }
  bool ran_ = false;
};

TEST_F(WizardTest, AtTheFirstStartItShowsAndCancelWritesNothing) {
  std::filesystem::remove(dir / "settings.ini");
  Start();
  std::string page_one;
  WhenWizardShows([&](TfmWizard& wizard) {
    EXPECT_EQ(wizard.Page(), 0);
    page_one = ui::GetText(wizard.ControlHwnd("cbLanguage"));
    Press(wizard, "btCancel");
  });
  window->RunFirstStartWizard();
  EXPECT_TRUE(ran_);
  EXPECT_EQ(page_one, "English");
  EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini"));
}

TEST_F(WizardTest, NotAtALaterStart) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nC1=1\r\n");
  Start();
  WhenWizardShows([](TfmWizard& wizard) { wizard.JvWizard1CancelButtonClick(); });
  window->RunFirstStartWizard();
  EXPECT_FALSE(ran_);
}

// From the menu on a configured system: the pages by Next and Back, the texts shown, and
// Finish replacing profile 1 and server 1 with what was typed and switching back to SMTP. A
// language typed in the wrong case is no language: English.
TEST_F(WizardTest, FinishReplacesProfileOneAndServerOneAndChoosesSmtp) {
  test::WriteAll(dir / "settings.ini",
                 "[SMTP]\r\nSMTP1=old.example.org\r\nPort1=2525\r\nSM1=3\r\n[Emails]\r\nEM1=old@example.org\r\n"
                 "[Settings]\r\nsendby=3\r\nlang=2\r\n");
  test::WriteAll(dir / "advice.txt",
                 "\xEF\xBB\xBF"
                 "Совет\r\n");
  Start();
  Activate();
  std::string advice, finish_shown;
  WhenWizardShows([&](TfmWizard& wizard) {
    EXPECT_EQ(ui::GetText(wizard.ControlHwnd("edMail")), "") << "the stored values are not shown";
    Press(wizard, "btNext");
    Press(wizard, "btNext");
    EXPECT_EQ(wizard.Page(), 2);
    EXPECT_TRUE(IsWindowVisible(wizard.ControlHwnd("edSMTP")));
    EXPECT_FALSE(IsWindowVisible(wizard.ControlHwnd("mmWelcome")));
    Type(wizard, "edMail", "new@example.org");
    Type(wizard, "edSMTP", "smtp.example.org");
    Press(wizard, "btNext");
    advice = ui::GetText(wizard.ControlHwnd("mmLastAdvice"));
    finish_shown = IsWindowVisible(wizard.ControlHwnd("btFinish")) && !IsWindowVisible(wizard.ControlHwnd("btNext")) ? "yes" : "no";
    Type(wizard, "cbLanguage", "russian");
    Press(wizard, "btFinish");
  });
  Command(fmMain::miWizardRun);
  ASSERT_TRUE(ran_);
  EXPECT_EQ(advice, "Совет\r\n");
  EXPECT_EQ(finish_shown, "yes");
  const std::string file = Settings();
  for (const char* line : {"SMTP1=smtp.example.org", "Port1=25", "SM1=1", "EM1=new@example.org", "sendby=0", "lang=0"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
  }
}

TEST_F(WizardTest, FinishingWithBothEditsEmptyEmptiesThem) {
  test::WriteAll(dir / "settings.ini", "[SMTP]\r\nSMTP1=old.example.org\r\n[Emails]\r\nEM1=old@example.org\r\n");
  Start();
  Activate();
  WhenWizardShows([&](TfmWizard& wizard) {
    wizard.GoTo(3);
    Press(wizard, "btFinish");
  });
  Command(fmMain::miWizardRun);
  const std::string file = Settings();
  for (const char* line : {"SMTP1=\r\n", "EM1=\r\n", "Port1=25", "SM1=1", "sendby=0"})
    EXPECT_NE(file.find(line), std::string::npos) << line;
}

// "Russian" picked on the first page: the wizard and the main window speak Russian at once and
// "RU" is ticked; cancelling keeps that for the running program without writing it.
TEST_F(WizardTest, ALanguagePickedTranslatesAtOnce) {
  ShipLanguages();
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nlang=0\r\nC1=5\r\n");
  Start();
  Activate();
  ASSERT_EQ(Caption(fmMain::miExit), "Exit");
  std::string back;
  WhenWizardShows([&](TfmWizard& wizard) {
    HWND list = wizard.ControlHwnd("cbLanguage");
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    SendMessageW(wizard.Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    back = ui::GetText(wizard.ControlHwnd("btCancel"));
    Press(wizard, "btCancel");
  });
  Command(fmMain::miWizardRun);
  EXPECT_EQ(Caption(fmMain::miExit), "Выход");
  EXPECT_TRUE(window->Get("miLang2").Checked());
  EXPECT_EQ(back, "Cancel");  // the Russian file keeps the wizard's own words
  EXPECT_EQ(Settings().find("lang=1"), std::string::npos) << "cancel writes nothing";
}

}  // namespace
}  // namespace qp
