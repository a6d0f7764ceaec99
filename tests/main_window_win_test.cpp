// The main window in this process: activation reloads the buttons, the mailbox menus
// select profiles, the request line's aids work.
#include <winsock2.h>
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <utility>

#include "app/main_window_win.h"
#include "app/system_win.h"
#include "base/process.h"
#include "main_window_fixture_win.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

bool Underlined(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
  return font.lfUnderline != 0;
}

// A 16x16 24-bit bitmap file of one colour.
std::string Bitmap() {
  std::string pixels(16 * 16 * 3, '\x40');
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
  BITMAPINFOHEADER info{sizeof info, 16, 16, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size()), 0, 0, 0, 0};
  return std::string(reinterpret_cast<const char*>(&file), sizeof file) + std::string(reinterpret_cast<const char*>(&info), sizeof info) +
         pixels;
}

TEST_F(MainWindowTest, ActivationLoadsButtonsAndSelectsTheStoredProfile) {
  Start("http://example.com/");
  Activate();
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://example.com/");
  EXPECT_EQ(Caption("bb3"), "Page");
  EXPECT_EQ(window->Find("bb3")->Hint(), "Get a page");
  EXPECT_EQ(Caption("mi3"), "Page");
  EXPECT_EQ(Caption("miRQ3"), "Page");
  EXPECT_TRUE(window->Find("miEmail2")->Checked());
  EXPECT_TRUE(window->Find("mi2Email2")->Checked());
  EXPECT_TRUE(Underlined(window->ControlHwnd("lb2")));
  EXPECT_EQ(Caption("miEmail1"), "one@example.org");
  EXPECT_FALSE(window->Find("miEmail3")->Enabled());
  EXPECT_EQ(window->Find("lb1")->Hint(), "one@example.org");
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "Author: Quillpost developers");
}

// The window is made in the stored language: nothing is shown in one language and then
// rewritten into another.
TEST_F(MainWindowTest, TheWindowIsMadeInTheStoredLanguageBeforeItShows) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nlang=0\r\n");
  test::WriteAll(dir / "English.lng", "[fmMain]\r\nfmMain.lbAdd.Caption=Add to\r\nfmMain.miExit.Caption=Exit\r\nfmMain.Caption=Q\r\n");
  Start();
  EXPECT_FALSE(IsWindowVisible(window->Hwnd()));
  EXPECT_EQ(ui::GetText(window->ControlHwnd("lbAdd")), "Add to");
  EXPECT_EQ(window->Find("miExit")->Caption(), "Exit");
  EXPECT_EQ(window->Title(), "Q");
  wchar_t entry[64] = {};
  GetMenuStringW(window->SubmenuOf("miMailBox"), GetMenuItemCount(window->SubmenuOf("miMailBox")) - 1, entry, 64, MF_BYPOSITION);
  EXPECT_EQ(ui::Narrow(entry), "Exit");
}

TEST_F(MainWindowTest, EditedButtonsShowAtTheNextActivation) {
  Start();
  Activate();
  test::WriteAll(dir / "Buttons.ini", "\xEF\xBB\xBF[Button 3]\r\nName=Файл\r\n");  // UTF-8 with its mark
  Activate();
  EXPECT_EQ(Caption("bb3"), "Файл");
  EXPECT_EQ(Caption("mi3"), "Файл");
  EXPECT_EQ(Caption("miRQ3"), "Файл");
}

TEST_F(MainWindowTest, ChoosingProfileFiveWritesItAtOnceAndLeavesTheLabelsPlain) {
  Start();
  Activate();
  Command("miEmail5");
  EXPECT_NE(test::ReadAll(dir / "settings.ini").find("Active=5\r\n"), std::string::npos);
  for (const char* label : {"lb1", "lb2", "lb3"}) EXPECT_FALSE(Underlined(window->ControlHwnd(label))) << label;
  EXPECT_TRUE(window->Find("miEmail5")->Checked());
  EXPECT_FALSE(window->Find("miEmail2")->Checked());
  EXPECT_EQ(std::as_const(*window).Profile().email, "five@example.org");
  Command("lb1");
  EXPECT_TRUE(Underlined(window->ControlHwnd("lb1")));
  EXPECT_EQ(std::as_const(*window).Profile().email, "one@example.org");
}

TEST_F(MainWindowTest, AStoredProfileOutsideTheRangeSelectsTheFirst) {
  test::WriteAll(dir / "settings.ini", "[Emails]\r\nEM1=one@example.org\r\nActive=42\r\n");
  Start();
  Activate();
  EXPECT_TRUE(window->Find("miEmail1")->Checked());
  EXPECT_NE(test::ReadAll(dir / "settings.ini").find("Active=1\r\n"), std::string::npos);
}

TEST_F(MainWindowTest, EncodeAndDecodeLabelsRewriteTheRequestLine) {
  Start("поиск слов");
  Activate();
  Command("lbEncode");
  const std::string encoded = ui::GetText(window->ControlHwnd("cbComboBox"));
  EXPECT_EQ(encoded.find(' '), std::string::npos);
  EXPECT_EQ(window->Find("cbComboBox")->Hint(), encoded);
  Command("lbDecode");
  // Words the system code page cannot hold come back as question marks; on a Russian
  // system they come back as they were.
  if (GetACP() == 1251) {
    EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "поиск слов");
  }
}

TEST_F(MainWindowTest, ADoubleClickOnALabelActsOnce) {
  Start("a b");
  Activate();
  Command("lbEncode", STN_CLICKED);
  Command("lbEncode", STN_DBLCLK);  // the second click of a double click
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "a+b");
  Command("lbAdd", STN_CLICKED);
  Command("lbAdd", STN_DBLCLK);
  EXPECT_EQ(ui::GetText(window->ControlHwnd("JvmmList")), "a+b\r\n");
}

TEST_F(MainWindowTest, RequestListOneTakesLongLinesWholeAndItsEntriesCarryNoLineBreaks) {
  Start();
  HWND list = window->ControlHwnd("JvmmList");
  const LONG_PTR style = GetWindowLongPtrW(list, GWL_STYLE);
  EXPECT_TRUE(style & WS_HSCROLL);
  EXPECT_TRUE(style & ES_AUTOHSCROLL);  // no word wrap: a long address stays one line
  const std::string many(40000, 'x');
  ui::SetText(list, many);
  EXPECT_EQ(ui::GetText(list).size(), many.size());
  for (const char* text : {"http://a.example/\r\nhttp://b.example/\r", "http://a.example/\nhttp://b.example/\n"}) {
    ui::SetText(list, text);
    EXPECT_EQ(window->Find("JvmmList")->Lines(), (std::vector<std::string>{"http://a.example/", "http://b.example/"})) << text;
  }
}

TEST_F(MainWindowTest, ANewRequestLineClearsTheStatusAndTheProgressAlsoWhenPickedFromTheList) {
  test::WriteAll(dir / "recent.cfg", "http://old.example/\r\n");
  Start();
  Activate();
  HWND bar = window->ControlHwnd("ProgressBar1");
  SendMessageW(bar, PBM_SETPOS, 30, 0);
  Command("cbComboBox", CBN_EDITCHANGE);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "");
  SendMessageW(bar, PBM_SETPOS, 30, 0);
  SendMessageW(window->ControlHwnd("cbComboBox"), CB_SETCURSEL, 0, 0);
  Command("cbComboBox", CBN_SELCHANGE);
  EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(window->Find("cbComboBox")->Hint(), "http://old.example/");
}

TEST_F(MainWindowTest, TheHShortcutTypesHttpIntoAnEmptyRequestLine) {
  Start();
  Activate();
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(window->ControlHwnd("cbComboBox"), &info);
  SendMessageW(info.hwndItem, WM_CHAR, L'h', 0);
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://");
  SendMessageW(info.hwndItem, WM_CHAR, L'H', 0);
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://H");
}

TEST_F(MainWindowTest, GlyphLoadingStopsAtTheFirstMissingFile) {
  std::filesystem::create_directory(dir / "icons");
  for (int n : {1, 2, 3, 4, 5, 7}) test::WriteAll(dir / ("icons/" + std::to_string(n) + ".bmp"), Bitmap());
  test::WriteAll(dir / "icons/3.bmp", Bitmap());
  Start();
  Activate();
  for (int n = 1; n <= 22; ++n) EXPECT_EQ(window->HasGlyph("bb" + std::to_string(n)), n <= 5) << n;
}

TEST_F(MainWindowTest, OnlyAnEnterPressedInTheRequestLineStartsTheAutomaticButton) {
  Start();
  Activate();
  Command("miEmail1");
  COMBOBOXINFO info{sizeof info};
  GetComboBoxInfo(window->ControlHwnd("cbComboBox"), &info);
  SendMessageW(info.hwndItem, WM_KEYUP, VK_RETURN, 0);  // the release of a menu's Enter
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "Author: Quillpost developers");
  SendMessageW(info.hwndItem, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageW(info.hwndItem, WM_KEYUP, VK_RETURN, 0);
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "Пустой запрос!");
}

TEST_F(MainWindowTest, TheHiddenGoButtonPressesTheAutomaticButton) {
  Start();
  Activate();
  Command("miEmail1");
  EXPECT_FALSE(IsWindowVisible(window->ControlHwnd("sbGO")));
  Command("sbGO");
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "Пустой запрос!");
}

TEST_F(MainWindowTest, AutomaticModeItemsAreOneChoice) {
  Start();
  Activate();
  Command("mi7");
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(window->Find("mi" + std::to_string(n))->Checked(), n == 7) << n;
  Command("miAutoON");
  EXPECT_TRUE(window->Find("miAutoON")->Checked());
}

// The lines of request list 2, read from its window as the user sees them.
std::string List2Text() {
  HWND list = FindWindowW(L"TfmRequestList2", nullptr);
  return list ? ui::GetText(FindWindowExW(list, nullptr, L"Edit", nullptr)) : "(no list window)";
}

TEST_F(MainWindowTest, ACapturedAddressBringsAHiddenWindowBackWithoutSending) {
  Start();
  Activate();
  Command("miEmail1");
  ShowWindow(window->Hwnd(), SW_HIDE);
  window->AcceptCapturedUrl("http://example.com/shown");
  EXPECT_TRUE(IsWindowVisible(window->Hwnd()));
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://example.com/shown");
  // Nothing went out: the status was only cleared by the new text, and no history line.
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "");
  EXPECT_FALSE(std::filesystem::exists(dir / "history.log"));

  ShowWindow(window->Hwnd(), SW_MINIMIZE);
  window->AcceptCapturedUrl("http://example.com/restored");
  EXPECT_FALSE(IsIconic(window->Hwnd()));
}

TEST_F(MainWindowTest, AccumulationAppendsEveryCaptureToBothListsAgainAndAgain) {
  Start();
  Activate();
  Command("miAddCliptoList");
  window->AcceptCapturedUrl("http://example.com/a");
  window->AcceptCapturedUrl("http://example.com/a");
  EXPECT_EQ(ui::GetText(window->ControlHwnd("JvmmList")), "http://example.com/a\r\nhttp://example.com/a\r\n");
  EXPECT_EQ(List2Text(), "http://example.com/a\r\nhttp://example.com/a\r\n");
}

TEST_F(MainWindowTest, InAutomaticModeAnEmptyCaptureEmptiesTheLineAndMeetsTheEmptyRequest) {
  Start("http://example.com/before");
  Activate();
  Command("miEmail1");
  Command("miAutoON");
  window->AcceptCapturedUrl("");
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "");
  EXPECT_EQ(window->Find("StatusBar")->Caption(), "Пустой запрос!");
}

TEST_F(MainWindowTest, AStoredAutomaticButtonOutsideOneToTwentyKeepsTheFirstAndIsWrittenBack) {
  for (const char* stored : {"0", "21"}) {
    test::WriteAll(dir / "settings.ini", std::string("[Settings]\r\nAuto=") + stored + "\r\n");
    Start();
    Activate();
    EXPECT_TRUE(window->Find("mi1")->Checked()) << stored;
    Command("miExit");
    window.reset();
    EXPECT_NE(test::ReadAll(dir / "settings.ini").find(std::string("\r\nAuto=") + stored + "\r\n"), std::string::npos) << stored;
  }
}

TEST_F(MainWindowTest, AStoredAutomaticButtonIsTickedAtTheFirstActivation) {
  test::WriteAll(dir / "settings.ini", "[Settings]\r\nAuto=12\r\n");
  Start();
  Activate();
  for (int n = 1; n <= 20; ++n) EXPECT_EQ(window->Find("mi" + std::to_string(n))->Checked(), n == 12) << n;
}

// The browser's context-menu page writes "link.txt": the first line reaches the request
// line, the file is gone, nothing is sent even in automatic mode.
TEST_F(MainWindowTest, ALinkFileWrittenFromOutsideFillsTheRequestLine) {
  Start();
  Activate();
  Command("miAutoON");
  test::WriteAll(dir / "link.txt", "http://example.com/%D1%84\r\nhttp://example.com/second\r\n");
  ASSERT_TRUE(PumpUntil([&] { return ui::GetText(window->ControlHwnd("cbComboBox")) == "http://example.com/%D1%84"; }))
      << ui::GetText(window->ControlHwnd("cbComboBox"));
  EXPECT_FALSE(std::filesystem::exists(dir / "link.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir / "history.log"));
}

// A file its writer still holds is left alone until it is let go, then taken.
TEST_F(MainWindowTest, ALinkFileStillBeingWrittenIsTakenOnceItIsLetGo) {
  Start();
  Activate();
  const std::wstring path = (dir.Path() / "link.txt").operator const std::filesystem::path&().wstring();
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(writer, "http://example.com/half", 23, &written, nullptr);
  // Two looks of the watcher go by while the writer holds the file.
  EXPECT_FALSE(PumpUntil([&] { return !std::filesystem::exists(dir / "link.txt"); }, 2200));
  EXPECT_TRUE(std::filesystem::exists(dir / "link.txt"));
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "");
  WriteFile(writer, "/whole\r\n", 8, &written, nullptr);
  CloseHandle(writer);
  EXPECT_TRUE(PumpUntil([&] { return ui::GetText(window->ControlHwnd("cbComboBox")) == "http://example.com/half/whole"; }));
}

// Files dropped on the window: only the first is read, its links go into both lists.
TEST_F(MainWindowTest, TheLinksOfTheFirstDroppedFileGoIntoBothListsAndTheRequestLine) {
  Start();
  Activate();
  test::WriteAll(dir / "page.url", "[InternetShortcut]\r\nURL=http://example.com/from-shortcut\r\n");
  test::WriteAll(dir / "other.htm", "<a href=\"http://example.com/never\">x</a>\r\n");
  std::wstring files;
  for (const char* name : {"page.url", "other.htm"}) files += (dir.Path() / name).operator const std::filesystem::path&().wstring() + L'\0';
  files += L'\0';
  HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + files.size() * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), files.data(), files.size() * sizeof(wchar_t));
  GlobalUnlock(drop);
  SendMessageW(window->Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // the window releases it
  EXPECT_EQ(ui::GetText(window->ControlHwnd("JvmmList")), "http://example.com/from-shortcut\r\n");
  EXPECT_EQ(List2Text(), "http://example.com/from-shortcut\r\n");
  EXPECT_EQ(ui::GetText(window->ControlHwnd("cbComboBox")), "http://example.com/from-shortcut");
}

// Every shipped button name shows whole on its 90-pixel button, beside its glyph.
TEST_F(MainWindowTest, TheShippedButtonNamesFitTheirButtons) {
  const std::filesystem::path shipped = ShippedFolder();
  ASSERT_TRUE(std::filesystem::exists(shipped / "Buttons.ini")) << shipped;
  std::filesystem::copy_file(shipped / "Buttons.ini", dir / "Buttons.ini", std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy(shipped / "icons", dir / "icons", std::filesystem::copy_options::recursive);
  Start();
  Activate();
  for (int n = 1; n <= 20; ++n) {
    const std::string name = "bb" + std::to_string(n);
    EXPECT_TRUE(window->HasGlyph(name)) << name;
    EXPECT_TRUE(window->CaptionFits(name)) << name << " \"" << Caption(name) << "\" is cut";
  }
}

// In every shipped language the labels above the request line show their whole texts, apart,
// and the row stays inside the window.
TEST_F(MainWindowTest, TheTopRowLabelsShowTheirWholeTextsApartInEveryShippedLanguage) {
  const char* const kRow[] = {"lbHookURL",   "lbMailBox", "lb1",      "lb2",   "lb3",   "lbAddToFavorites",
                              "lbFavorites", "lbEncode",  "lbDecode", "lbAdd", "lbList"};
  for (const char* language : {"English.lng", "Russian.lng", "Ukraine.lng"}) {
    std::filesystem::copy_file(ShippedFolder() / language, dir / language, std::filesystem::copy_options::overwrite_existing);
  }
  for (int lang : {0, 1, 2}) {
    test::WriteAll(dir / "settings.ini", "[Settings]\r\nlang=" + std::to_string(lang) + "\r\n");
    Start();
    HWND row = window->ControlHwnd(kRow[0]);
    HDC dc = GetDC(row);
    SelectObject(dc, window->Font());
    int text_end = 0, last_end = 0;
    for (const char* name : kRow) {
      HWND label = window->ControlHwnd(name);
      const std::wstring text = ui::Widen(ui::GetText(label));
      SIZE needed{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
      RECT r{};
      GetWindowRect(label, &r);
      MapWindowPoints(nullptr, window->Hwnd(), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_GE(r.right - r.left, needed.cx) << lang << " " << name << " is cut";
      EXPECT_GE(r.left, text_end) << lang << " " << name << " runs into the label before it";
      last_end = r.left + needed.cx;
      text_end = last_end + 1;
    }
    RECT client{};
    GetClientRect(window->Hwnd(), &client);
    EXPECT_LE(last_end, client.right) << lang;
    ReleaseDC(row, dc);
    DestroyWindow(window->Hwnd());
    window.reset();
  }
}

// What a test does while a run waits on the network, from a thread timer of the wait's own
// message loop (a named function, as 32-bit callbacks are stdcall).
std::function<void()>& DuringRun() {
  static std::function<void()> step;
  return step;
}
void CALLBACK DuringRunTimer(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (std::function<void()> step = std::exchange(DuringRun(), nullptr)) step();
}

// While a run sends, its mailbox stays: the labels and both menus' entries are disabled with
// the buttons, a choice that still arrives changes nothing, and after the run every entry is
// as it was before.
TEST_F(MainWindowTest, TheMailboxChoiceIsDisabledWhileARunSendsAndComesBackAsItWas) {
  WSADATA wsa;
  ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
  // A server that takes the connection and never greets: the run waits until it is cancelled.
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  test::WriteAll(dir / "settings.ini",
                 "[Emails]\r\nEM1=one@example.org\r\nEM2=two@example.org\r\nActive=1\r\n[SMTP]\r\nSMTP1=127.0.0.1\r\nPort1=" +
                     std::to_string(ntohs(address.sin_port)) + "\r\nTLS1=0\r\n");
  test::WriteAll(dir / "Buttons.ini", "[Button 3]\r\nName=Page\r\nService=page@example.net\r\n");
  Start("http://example.com/");
  Activate();
  const char* const choices[] = {"lb1", "lb2", "miEmail1", "miEmail2", "mi2Email1", "mi2Email2"};
  bool ran = false;
  DuringRun() = [&] {
    ran = true;
    EXPECT_FALSE(window->Find("bb3")->Enabled());
    for (const char* name : choices) EXPECT_FALSE(window->Find(name)->Enabled()) << name << " during the run";
    Command("miEmail2");  // one that came before the entry was disabled
    Command("lb2", STN_CLICKED);
    Command("btCsend");
  };
  SetTimer(nullptr, 0, 300, DuringRunTimer);
  Command("bb3", BN_CLICKED);
  closesocket(listener);
  WSACleanup();
  ASSERT_TRUE(ran);
  EXPECT_EQ(Caption("StatusBar"), "Отправка запроса была отменена.");
  EXPECT_TRUE(window->Find("miEmail1")->Checked());
  EXPECT_EQ(std::as_const(*window).Profile().email, "one@example.org");
  EXPECT_NE(test::ReadAll(dir / "settings.ini").find("Active=1\r\n"), std::string::npos);
  for (const char* name : choices) EXPECT_TRUE(window->Find(name)->Enabled()) << name << " after the run";
  EXPECT_FALSE(window->Find("miEmail3")->Enabled()) << "a mailbox without an address stays disabled";
  EXPECT_FALSE(window->Find("mi2Email3")->Enabled());
}

}  // namespace
}  // namespace qp
