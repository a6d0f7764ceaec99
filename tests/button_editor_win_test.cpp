// The button editor in the running main window: opened for a button from its menu or the
// main menu, saved into "Buttons.ini" without touching anything else, the builders' results,
// and the captions the main window shows afterwards.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/main_form.h"
#include "base/file_io.h"
#include "dialogs/button_editor_win.h"
#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

const char kButtonsFile[] =
    "\xEF\xBB\xBF; hand-kept\r\n"
    "[Button 3]\r\nName=Page\r\nComment=Get a page\r\nService=www4mail@example.net\r\n\r\n"
    "[body 3]\r\nCount=0\r\n0=send %request%\r\n\r\n"
    "[Button 4]\r\nName=Другая\r\n";

class ButtonEditorTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    test::WriteAll(dir / "Buttons.ini", kButtonsFile);
  }
  // Opens the editor by the entry and runs step in it; the step ends it by its buttons.
  void InEditor(const std::string& entry, const std::function<void(TfmButton&)>& step) {
    bool ran = false;
    WhenShown(L"TfmButton", [&](HWND hwnd) {
      auto* editor = dynamic_cast<TfmButton*>(ui::Window::FromHwnd(hwnd));
      ASSERT_NE(editor, nullptr);
      ran = true;
      step(*editor);
      if (IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    Command(entry);
    EXPECT_TRUE(ran) << "the editor did not show";
  }
  // Runs step in the builder the editor's button opens.
  static void InBuilder(TfmButton& editor, const char* button, const std::function<void(HWND)>& step) {
    WhenShown(L"TfmConstructor", [step](HWND hwnd) {
      step(hwnd);
      if (IsWindowVisible(hwnd)) PostMessageW(hwnd, WM_CLOSE, 0, 0);
    });
    SendMessageW(editor.ControlHwnd(button), BM_CLICK, 0, 0);
  }
  static HWND Child(HWND builder, const char* name) { return ui::Window::FromHwnd(builder)->ControlHwnd(name); }
  static void Type(TfmButton& editor, const char* name, const std::string& text) { ui::SetText(editor.ControlHwnd(name), text); }
  static std::string Text(TfmButton& editor, const char* name) { return ui::GetText(editor.ControlHwnd(name)); }
  static void Press(TfmButton& editor, const char* name) { SendMessageW(editor.ControlHwnd(name), BM_CLICK, 0, 0); }
  std::string Buttons() { return test::ReadAll(dir / "Buttons.ini"); }
};

TEST_F(ButtonEditorTest, SavingWritesThatButtonOnlyAndTheWindowShowsTheNewCaption) {
  test::WriteAll(dir / "www4mail.ini", "a@example.org\r\nb@example.org\r\n");
  Start();
  Activate();
  std::vector<std::string> mailboxes, services;
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    EXPECT_EQ(Text(editor, "edName"), "Page");
    EXPECT_EQ(Text(editor, "bbExample"), "Page");
    EXPECT_EQ(Text(editor, "cbService"), "www4mail@example.net") << "the list does not replace the stored address";
    EXPECT_EQ(Text(editor, "mmBody"), "send %request%");
    EXPECT_EQ(Text(editor, "cbMailBoxSelected"), "Выбор в меню");
    mailboxes = editor.Get("cbMailBoxSelected").Lines();
    services = editor.Get("cbService").Lines();
    Type(editor, "edName", "Text");
    EXPECT_EQ(Text(editor, "bbExample"), "Text");
    Type(editor, "mmBody", "send text %request%\r\nquit");
    Press(editor, "bbSave");
  });
  EXPECT_EQ(mailboxes, (std::vector<std::string>{"Selected", "1 : one@example.org", "5 : five@example.org"}));
  EXPECT_EQ(services, (std::vector<std::string>{"a@example.org", "b@example.org"}));
  EXPECT_EQ(Buttons(),
            "\xEF\xBB\xBF; hand-kept\r\n"
            "[Button 3]\r\nName=Text\r\nComment=Get a page\r\nService=www4mail@example.net\r\n"
            "Subject=\r\nMailbox=Выбор в меню\r\nMultiRequest=0\r\n\r\n"
            "[body 3]\r\nCount=1\r\n0=send text %request%\r\n1=quit\r\n\r\n"
            "[Button 4]\r\nName=Другая\r\n");
  EXPECT_EQ(Caption("bb3"), "Text");
  EXPECT_EQ(Caption(fmMain::Numbered(fmMain::miRQ, 3)), "Text");
}

TEST_F(ButtonEditorTest, LeavingWritesNothingAndTheSearchButtonHasNumber22) {
  Start();
  Activate();
  InEditor(fmMain::Numbered(fmMain::miRQ, 22), [&](TfmButton& editor) {
    Type(editor, "edName", "Changed");
    Press(editor, "bbCancel");
  });
  EXPECT_EQ(Buttons(), kButtonsFile);
  InEditor(fmMain::Numbered(fmMain::miRQ, 22), [&](TfmButton& editor) {
    EXPECT_EQ(Text(editor, "edName"), "") << "nothing of the left edit stays";
    Type(editor, "edName", "Поиск");
    Press(editor, "bbSave");
  });
  EXPECT_NE(Buttons().find("[Button 22]\r\nName=Поиск\r\n"), std::string::npos);
  EXPECT_EQ(Buttons().find(kButtonsFile), 0u);
}

// A template element goes in at the caret, inside the line that holds it.
TEST_F(ButtonEditorTest, TemplateElementsGoInAtTheCaret) {
  Start();
  Activate();
  std::string body;
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    HWND memo = editor.ControlHwnd("mmBody");
    SendMessageW(memo, EM_SETSEL, 5, 5);  // "send |%request%"
    Press(editor, "bbPass");
    body = Text(editor, "mmBody");
    Press(editor, "bbCancel");
  });
  EXPECT_EQ(body, "send %password%%request%");
}

TEST_F(ButtonEditorTest, TheBuildersFillTheEditorsFieldsUntilItIsSaved) {
  test::WriteAll(dir / "www2mail.ini", "w2m@example.org\r\n");
  test::WriteAll(dir / "commands.ini", "GET\r\nSEND\r\n");
  test::WriteAll(dir / "attr.ini", "\r\nNOIMAGES\r\n");
  test::WriteAll(dir / "recent.cfg", "http://example.com/fixed\r\n");
  test::WriteAll(dir / "ftp2mail.ini", "ftp@example.org\r\n");
  Start();
  Activate();
  std::string subject, body, service, ftp_body, ftp_service;
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    InBuilder(editor, "bbWWW2MAIL", [](HWND builder) {
      SendMessageW(Child(builder, "cbReqConst"), BM_CLICK, 0, 0);
      SendMessageW(Child(builder, "bbW2Msave"), BM_CLICK, 0, 0);
    });
    subject = Text(editor, "cbSubject");
    body = Text(editor, "mmBody");
    service = Text(editor, "cbService");
    InBuilder(editor, "bbFTP2MAIL", [](HWND builder) { SendMessageW(Child(builder, "bbSave2"), BM_CLICK, 0, 0); });
    ftp_body = Text(editor, "mmBody");
    ftp_service = Text(editor, "cbService");
    Press(editor, "bbCancel");
  });
  EXPECT_EQ(subject, "GET http://example.com/fixed ");
  EXPECT_EQ(body, "");
  EXPECT_EQ(service, "w2m@example.org");
  EXPECT_EQ(ftp_body, "open %host%\r\ncd %dir%\r\nmode binary\r\ncompress\r\nmime\r\nsize 500K\r\nget %filename%\r\nquit");
  EXPECT_EQ(ftp_service, "ftp@example.org");
  EXPECT_EQ(Buttons(), kButtonsFile) << "a builder writes nothing itself";
}

// A file read only in part (here: beyond the read limit), saved over, would lose the rest.
TEST_F(ButtonEditorTest, AButtonsFileThatCannotBeReadWholeIsNotSavedOverAndTheUserIsTold) {
  const std::string whole = std::string(kButtonsFile) + "\r\n; " + std::string(kMaxReadBytes, 'x') + "\r\n[Button 5]\r\nName=Last\r\n";
  test::WriteAll(dir / "Buttons.ini", whole);
  Start();
  Activate();
  std::string said;
  bool closed = false;
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    Type(editor, "edName", "Text");
    WhenShown(L"#32770", [&](HWND box) {
      said = BoxText(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Press(editor, "bbSave");
    closed = !IsWindowVisible(editor.Hwnd());
    Press(editor, "bbCancel");
  });
  EXPECT_TRUE(Buttons() == whole) << "the file was saved over";
  EXPECT_NE(said.find("Buttons.ini"), std::string::npos) << said;
  EXPECT_FALSE(closed) << "the edit stays open to be saved later";
}

// Without its list files a builder does not open: it names the missing file.
TEST_F(ButtonEditorTest, ABuilderWithoutItsListSaysWhichFileIsMissing) {
  Start();
  Activate();
  std::string said;
  bool opened = false;
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    WhenShown(L"#32770", [&](HWND box) {
      said = BoxText(box);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    SendMessageW(editor.ControlHwnd("bbFTP2MAIL"), BM_CLICK, 0, 0);
    opened = FindWindowW(L"TfmConstructor", nullptr) != nullptr;
    Press(editor, "bbCancel");
  });
  EXPECT_NE(said.find("ftp2mail.ini"), std::string::npos) << said;
  EXPECT_FALSE(opened);
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// A file kept in the code page stays in it, every other byte as it was.
TEST_F(ButtonEditorTest, AFileInTheCodePageStaysInIt) {
  const std::string cp1251 = "[Button 4]\r\nName=\xC4\xF0\xF3\xE3\xE0\xFF\r\n[Button 3]\r\nName=Page\r\n";  // "Другая"
  test::WriteAll(dir / "Buttons.ini", cp1251);
  Start();
  Activate();
  InEditor(fmMain::Numbered(fmMain::miRQ, 3), [&](TfmButton& editor) {
    Type(editor, "edName", "Text page");
    Press(editor, "bbSave");
  });
  const std::string saved = Buttons();
  EXPECT_EQ(saved.rfind("[Button 4]\r\nName=\xC4\xF0\xF3\xE3\xE0\xFF\r\n[Button 3]\r\nName=Text page\r\n", 0), 0u) << saved;
  EXPECT_EQ(saved.find("\xEF\xBB\xBF"), std::string::npos) << "no byte-order mark put in front";
}

}  // namespace
}  // namespace qp
