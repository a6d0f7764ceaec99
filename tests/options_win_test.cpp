// The options dialog in the running main window: opened by F2, loaded from the settings,
// written back by "&Применить", closed without writing; the window on top steps aside.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

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

// Each server's encryption shows in a list to choose from, as the entry is used (a login
// without a choice of its own needs STARTTLS); another choice reaches the file by
// "&Применить", the trusted certificate beside it untouched while its server stays, and gone
// with a server of another name.
TEST_F(OptionsTest, TheEncryptionColumnShowsEachServersChoiceAndApplyingStoresAnother) {
  test::WriteAll(dir / "settings.ini",
                 "[SMTP]\r\nSMTP1=a.example.org\r\nPort1=465\r\nCert1=AA:BB:CC\r\nSMTP2=b.example.org\r\nPort2=587\r\nTLS2=2\r\n"
                 "TLS4=0\r\nSMTP5=e.example.org\r\nUser5=joe\r\nCert5=e.example.org:25:DD:EE\r\n[Emails]\r\nEM1=one@example.org\r\n");
  Start();
  Activate();
  auto choice = [](TfmOptions& options, int k) {
    return SendMessageW(options.ControlHwnd(Numbered(fmOptions::cbTLS, k)), CB_GETCURSEL, 0, 0);
  };
  WithOptions([&](TfmOptions& options) {
    HWND first = options.ControlHwnd(Numbered(fmOptions::cbTLS, 1));
    EXPECT_EQ(GetWindowLongW(first, GWL_STYLE) & 3, CBS_DROPDOWNLIST) << "chosen from the list, never typed";
    EXPECT_EQ(SendMessageW(first, CB_GETCOUNT, 0, 0), kTlsModeCount);
    EXPECT_EQ(choice(options, 1), 3) << "port 465 without a stored choice";
    EXPECT_EQ(Text(options, Numbered(fmOptions::cbTLS, 1)), "SSL/TLS");
    EXPECT_EQ(choice(options, 2), 2);
    EXPECT_EQ(choice(options, 3), 1) << "an empty entry, port 25";
    EXPECT_EQ(choice(options, 4), 0);
    EXPECT_EQ(choice(options, 5), 2) << "a user name, port 25, no stored choice";
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edSMTPName, 5)), L"mail.example.net");
    SendMessageW(first, CB_SETCURSEL, 2, 0);
    SendMessageW(options.ControlHwnd(Numbered(fmOptions::cbTLS, 3)), CB_SETCURSEL, 3, 0);
    Click(options, fmOptions::sbApply);
  });
  const std::string file = Settings();
  for (const char* line : {"TLS1=2", "TLS2=2", "TLS3=3", "TLS4=0", "TLS5=2", "TLS6=1", "Cert1=AA:BB:CC", "Cert5=\r\n"}) {
    EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
  }
  WithOptions([&](TfmOptions& options) {
    EXPECT_EQ(choice(options, 1), 2);
    EXPECT_EQ(choice(options, 3), 3);
  });
}

// Typing 465 where the list shows the old port's default brings implicit TLS, and a user name
// STARTTLS required; a choice the user made stays whatever the port.
TEST_F(OptionsTest, TheEncryptionChoiceFollowsThePortAndUserNameTypedUnlessTheUserChoseIt) {
  test::WriteAll(dir / "settings.ini", "[SMTP]\r\nSMTP1=a.example.org\r\nPort1=25\r\nSMTP2=b.example.org\r\nPort2=25\r\nTLS2=0\r\n");
  Start();
  Activate();
  WithOptions([&](TfmOptions& options) {
    auto choice = [&](int k) { return SendMessageW(options.ControlHwnd(Numbered(fmOptions::cbTLS, k)), CB_GETCURSEL, 0, 0); };
    for (int k : {1, 2}) SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edSMTPPort, k)), L"465");
    EXPECT_EQ(choice(1), 3);
    EXPECT_EQ(choice(2), 0);
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edSMTPPort, 1)), L"587");
    EXPECT_EQ(choice(1), 1);
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edUser, 1)), L"joe");
    EXPECT_EQ(choice(1), 2);
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edUser, 2)), L"joe");
    EXPECT_EQ(choice(2), 0);
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edUser, 1)), L"");
    EXPECT_EQ(choice(1), 1);
    SetWindowTextW(options.ControlHwnd(Numbered(fmOptions::edSMTPPort, 1)), L"465");
    Click(options, fmOptions::sbApply);
  });
  EXPECT_NE(Settings().find("TLS1=3"), std::string::npos) << Settings();
}

constexpr const char* kLanguageFiles[] = {"English.lng", "Russian.lng", "Ukraine.lng"};  // languages 0, 1 and 2

// The servers' page in each shipped language: every column's header starts over its column
// and ends before the next, the columns lie side by side within the page, and the numbers,
// the ports and the encryption list's choices show whole.
class OptionsLayoutTest : public OptionsTest, public ::testing::WithParamInterface<int> {
 protected:
  static RECT PlaceOf(TfmOptions& options, const std::string& name) {
    RECT r{};
    GetWindowRect(options.ControlHwnd(name), &r);
    MapWindowPoints(nullptr, options.Hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static int TextWidth(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring wide = ui::Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size.cx;
  }
};

TEST_P(OptionsLayoutTest, TheServersPageFitsItsColumns) {
  std::filesystem::copy_file(ShippedFolder() / kLanguageFiles[GetParam()], dir / kLanguageFiles[GetParam()]);
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nlang=" + std::to_string(GetParam()) + "\r\n");
  const IniFile language(test::ReadAll(dir / kLanguageFiles[GetParam()]).substr(3));  // after the byte-order mark
  Start();
  Activate();
  WithOptions([&](TfmOptions& options) {
    options.ShowPage(fmOptions::JvPageControl1, 2);
    const int page_right = PlaceOf(options, "tsSMTP").right;
    const char* const headers[] = {"lbSMTPN", "lbSMTPName", "lbSMTPPort", "lbSMTPTLS", "lbSMTPUser", "lbSMTPPass"};
    for (int k = 1; k <= kOptionRows; ++k) {
      const std::string row[] = {Numbered("Edit", 10 + k),      Numbered(fmOptions::edSMTPName, k), Numbered(fmOptions::edSMTPPort, k),
                                 Numbered(fmOptions::cbTLS, k), Numbered(fmOptions::edUser, k),     Numbered(fmOptions::edPass, k)};
      for (int column = 0; column < 6; ++column) {
        const RECT place = PlaceOf(options, row[column]);
        const int next = column < 5 ? PlaceOf(options, row[column + 1]).left : page_right;
        EXPECT_LE(place.right, next) << row[column];
        if (k > 1) continue;
        const RECT header = PlaceOf(options, headers[column]);
        const int header_next = column < 5 ? PlaceOf(options, headers[column + 1]).left : page_right;
        EXPECT_EQ(header.left, place.left) << headers[column] << " is not over its column";
        EXPECT_LT(header.left + TextWidth(options.ControlHwnd(headers[column]), Text(options, headers[column])), header_next)
            << headers[column] << ": " << Text(options, headers[column]);
      }
      // The tenth number and a port of five digits show whole.
      for (const auto& [box, text] : {std::pair{row[0], std::string("10")}, std::pair{row[2], std::string("65535")}}) {
        HWND edit = options.ControlHwnd(box);
        RECT shown{};
        SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_LE(TextWidth(edit, text), shown.right - shown.left) << box << ": " << text;
      }
      HWND list = options.ControlHwnd(row[3]);
      COMBOBOXINFO info{sizeof info};
      ASSERT_TRUE(GetComboBoxInfo(list, &info));
      const std::vector<std::string> items = options.Get(row[3]).Lines();
      ASSERT_EQ(items.size(), static_cast<std::size_t>(kTlsModeCount));
      for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i], language.ReadString("fmOptions", "fmOptions." + row[3] + ".items[" + std::to_string(i) + "]", "?"));
        EXPECT_LE(TextWidth(list, items[i]) + 4, info.rcItem.right - info.rcItem.left) << row[3] << ": " << items[i];
      }
    }
    EXPECT_EQ(Text(options, "lbSMTPTLS"), language.ReadString("fmOptions", "fmOptions.lbSMTPTLS.Caption", "?"));
  });
}

INSTANTIATE_TEST_SUITE_P(OptionsIn, OptionsLayoutTest, ::testing::Values(0, 1, 2), [](const ::testing::TestParamInfo<int>& info) {
  const std::string file = kLanguageFiles[info.param];
  return file.substr(0, file.find('.'));
});

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
