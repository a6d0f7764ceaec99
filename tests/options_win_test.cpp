// The options dialog in the running main window: opened by F2, loaded from the settings,
// written back by "&Применить", closed without writing; the window on top steps aside.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "dialogs/options_form.h"
#include "dialogs/options_win.h"
#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

using fmOptions::Numbered;

class OptionsTest : public MainWindowTest {
 protected:
  // Opens the dialog by its menu entry and runs step inside it; the dialog is closed by its
  // close box afterwards, as the user closes it.
  void WithOptions(const std::function<void(TfmOptions&)>& step) {
    bool ran = false;
    WhenShown(L"TfmOptions", [&](HWND dialog) {
      auto* options = dynamic_cast<TfmOptions*>(ui::Window::FromHwnd(dialog));
      ASSERT_NE(options, nullptr);
      step(*options);
      ran = true;
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    Command(fmMain::miProgramSettings);
    EXPECT_TRUE(ran) << "the options dialog did not show";
    EXPECT_EQ(FindWindowW(L"TfmOptions", nullptr), nullptr) << "the dialog is gone once closed";
  }
  static std::string Text(TfmOptions& options, const std::string& name) { return ui::GetText(options.ControlHwnd(name)); }
  static void Type(TfmOptions& options, const std::string& name, const std::string& text) { ui::SetText(options.ControlHwnd(name), text); }
  static void Click(TfmOptions& options, const std::string& name) { SendMessageW(options.ControlHwnd(name), BM_CLICK, 0, 0); }
  std::string Settings() { return test::ReadAll(dir / "settings.ini"); }
};

TEST_F(OptionsTest, AFreshFileShowsTheDefaultsAndApplyingWritesThemAndCaptionsTheMailboxMenus) {
  test::WriteAll(dir / "settings.ini", "");
  Start();
  Activate();
  EXPECT_FALSE(window->Get(Numbered(fmMain::miEmail, 4)).Enabled());
  WithOptions([&](TfmOptions& options) {
    EXPECT_EQ(Text(options, Numbered(fmOptions::edSMTPPort, 7)), "25");
    EXPECT_EQ(Text(options, Numbered(fmOptions::cbSMTP, 10)), "1");
    EXPECT_EQ(Text(options, Numbered(fmOptions::edSize, 3)), "500K");
    EXPECT_EQ(Text(options, fmOptions::seTrans), "200");
    EXPECT_EQ(Text(options, fmOptions::edProxy), "8088");
    EXPECT_EQ(Text(options, fmOptions::edtTimeOut), "10000");
    EXPECT_EQ(Text(options, fmOptions::edRLDelay), "60");
    EXPECT_EQ(Text(options, fmOptions::leCharSet), "koi8-r");
    EXPECT_EQ(Text(options, fmOptions::edBatPath), "C:\\Program Files\\The Bat!\\thebat.exe");
    EXPECT_EQ(options.Get(fmOptions::rgSendBy).ItemIndex(), 0);
    Type(options, Numbered(fmOptions::edMail, 4), "four@example.org");
    Type(options, Numbered(fmOptions::edSMTPPort, 1), "2525");
    Click(options, fmOptions::sbApply);
  });
  const std::string file = Settings();
  for (const char* line : {"Port1=2525", "Size1=500K", "Size10=500K", "pport=8088", "EM4=four@example.org", "Transp=200", "sendby=0"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line;
  }
  for (const char* entry : {fmMain::miEmail, fmMain::mi2Email}) {
    ui::Component& mailbox = window->Get(Numbered(entry, 4));
    EXPECT_TRUE(mailbox.Enabled()) << entry;
    EXPECT_EQ(mailbox.Caption(), "four@example.org") << entry;
  }
}

// What was typed stays when the dialog is activated again (a message box of its own closed);
// closing by the close box writes nothing.
TEST_F(OptionsTest, TypedValuesOutliveAnotherActivationAndClosingWritesNothing) {
  Start();
  Activate();
  const std::string before = Settings();
  WithOptions([&](TfmOptions& options) {
    Type(options, Numbered(fmOptions::edSMTPName, 1), "typed.example.org");
    SendMessageW(options.Hwnd(), WM_ACTIVATE, WA_INACTIVE, 0);
    SendMessageW(options.Hwnd(), WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_EQ(Text(options, Numbered(fmOptions::edSMTPName, 1)), "typed.example.org");
    EXPECT_EQ(Text(options, Numbered(fmOptions::edMail, 5)), "five@example.org");
  });
  EXPECT_EQ(Settings(), before);
}

// The number boxes hold 0..255 when they lose the focus, and a value outside that range never
// reaches the file.
TEST_F(OptionsTest, OpacityIsHeldToAByte) {
  Start();
  Activate();
  WithOptions([&](TfmOptions& options) {
    Type(options, fmOptions::seTrans, "300");
    SendMessageW(options.Hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(options.ControlHwnd(fmOptions::seTrans)), EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(options.ControlHwnd(fmOptions::seTrans)));
    EXPECT_EQ(Text(options, fmOptions::seTrans), "255");
    Type(options, fmOptions::seTrans2, "-4");
    Click(options, fmOptions::sbApply);
  });
  EXPECT_NE(Settings().find("Transp=255"), std::string::npos);
  EXPECT_NE(Settings().find("transp2=0"), std::string::npos);
}

// Unticking close-to-tray acts at once, before any apply: closing the window ends the program.
TEST_F(OptionsTest, CloseToTrayChangesAtOnceWithoutApplying) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nClose2Tray=1\r\n");
  Start();
  Activate();
  WithOptions([&](TfmOptions& options) {
    EXPECT_TRUE(options.Get(fmOptions::cbClose2Tray).Checked());
    Click(options, fmOptions::cbClose2Tray);
  });
  EXPECT_NE(Settings().find("Close2Tray=1"), std::string::npos) << "nothing applied";
  SendMessageW(window->Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window->Hwnd())) << "the window went into the tray instead of closing";
}

// A window kept on top would cover the dialog: it leaves the top while the dialog is open.
TEST_F(OptionsTest, AWindowOnTopStepsAsideWhileTheDialogIsOpen) {
  Start();
  Activate();
  Command(fmMain::miStayOnTop);
  ASSERT_TRUE(window->Get(fmMain::miStayOnTop).Checked());
  bool on_top_meanwhile = true;
  WithOptions([&](TfmOptions&) { on_top_meanwhile = window->Get(fmMain::miStayOnTop).Checked(); });
  EXPECT_FALSE(on_top_meanwhile);
  EXPECT_TRUE(window->Get(fmMain::miStayOnTop).Checked());
  EXPECT_TRUE(GetWindowLongW(window->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

// The pages show their own controls only (a number box's arrows with it, a radio group's
// items with it); the controls below the pages always show.
TEST_F(OptionsTest, EachPageShowsItsOwnControls) {
  Start();
  Activate();
  WithOptions([&](TfmOptions& options) {
    auto shown = [&](const std::string& name) { return IsWindowVisible(options.ControlHwnd(name)) != FALSE; };
    HWND arrows = FindWindowExW(options.Hwnd(), nullptr, UPDOWN_CLASSW, nullptr);
    HWND first_way = FindWindowExW(options.Hwnd(), options.ControlHwnd(fmOptions::rgSendBy), L"Button", nullptr);
    EXPECT_TRUE(shown(fmOptions::rgSendBy));
    EXPECT_TRUE(IsWindowVisible(first_way));
    EXPECT_EQ(ui::GetText(first_way), "Используя Quillpost (Отправка через SMTP сервер) *");
    EXPECT_FALSE(shown(Numbered(fmOptions::edMail, 1)));
    EXPECT_FALSE(IsWindowVisible(arrows));
    EXPECT_FALSE(shown(fmOptions::cbDontCheck)) << "hidden for good";
    options.ShowPage(fmOptions::JvPageControl1, 3);
    EXPECT_TRUE(shown(fmOptions::seTrans));
    EXPECT_TRUE(IsWindowVisible(arrows));
    EXPECT_FALSE(shown(fmOptions::rgSendBy));
    EXPECT_FALSE(IsWindowVisible(first_way));
    EXPECT_FALSE(shown(fmOptions::cbDontCheck));
    EXPECT_TRUE(shown(fmOptions::sbApply));
  });
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// A request from a mailbox that is not set up: the refusal, then the dialog to set it up in.
TEST_F(OptionsTest, ARequestFromAnEmptyMailboxLeadsIntoTheDialog) {
  Start();
  Activate();
  std::string refusal;
  bool opened = false;
  WhenShown(L"#32770", [&](HWND box) {
    refusal = BoxText(box);
    WhenShown(L"TfmOptions", [&](HWND dialog) {
      opened = true;
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    });
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  });
  window->Find("cbComboBox")->SetCaption("http://example.com/");
  Command(fmMain::Numbered(fmMain::bb, 3), BN_CLICKED);
  EXPECT_NE(refusal.find("Почтовый ящик не настроен."), std::string::npos) << refusal;
  EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace qp
