// The dispatch end to end against a real SMTP server on loopback, with the window's
// side played by an in-memory host.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "base/process.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "organize/history.h"
#include "posix_connector.h"
#include "request/dispatch.h"
#include "test_support.h"

namespace qp {
namespace {

using Server = test::SmtpServer;

class FakeHost : public DispatchHost {
 public:
  std::string line;
  std::vector<std::string> list1, list2;
  std::set<std::string> ticks;
  std::vector<std::string> statuses, boxes;
  std::vector<std::pair<std::string, std::string>> popups;  // address, text
  std::vector<int> selected;
  int checked = 1;
  int letters = 0;
  bool buttons_enabled = true;
  ActiveProfile profile;
  test::PosixConnector connector{3000};
  std::function<void(const std::string&)> on_status;

  std::string RequestLine() override { return line; }
  void SetRequestLine(const std::string& text) override { line = text; }
  void AddToInputHistory(const std::string&) override {}
  void SetRequestButtonsEnabled(bool enabled) override { buttons_enabled = enabled; }
  void SetProgress(int) override {}
  void StepProgress() override {}
  void Status(const std::string& text) override {
    statuses.push_back(text);
    if (on_status) on_status(text);
  }
  void ErrorBox(const std::string& text) override { boxes.push_back(text); }
  void OpenOptions() override {}
  void Popup(const std::string& address, const std::string& text) override { popups.emplace_back(address, text); }
  int CheckedMailbox() override { return checked; }
  void SelectMailbox(int n) override {
    selected.push_back(n);
    checked = n;
  }
  const ActiveProfile& Profile() override { return profile; }
  DispatchOptions Options() override {
    auto on = [&](const char* item) { return ticks.count(item) != 0; };
    return {.list1 = on("miRQList1"), .list2 = on("miRQList2"), .delay = on("miRLDelay"), .popups = on("miPopUps")};
  }
  std::vector<std::string> RequestList(int which) override { return which == 1 ? list1 : list2; }
  std::string SearchRequest() override { return "search words"; }
  void LetterCounted() override { ++letters; }
  void Pause50ms() override { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }
  uint64_t Milliseconds() override {
    return static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
  }
  Connector& Network() override { return connector; }
  std::string MailDate() override { return "Wed, 09 Dec 2026 07:10:00 +0000"; }
  std::vector<std::string> started;  // the parameters of each mail program started
  bool ShellOpen(const std::string&, const std::string& parameters) override {
    started.push_back(parameters);
    return true;
  }
};

class DispatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(dir.Path());
    SetCurrentLanguage(1, nullptr);
    SetSystemCodec(CodecByNumber(1251));  // a Russian system's files
    test::WriteAll(dir / "Buttons.ini",
                   "\xEF\xBB\xBF[Button 1]\r\nName=Страница\r\nService=www4mail@example.net\r\nSubject=%request%\r\n"
                   "[body 1]\r\nCount=0\r\n0=send %request%\r\n"
                   "[Button 2]\r\nName=Много\r\nService=multi@example.net\r\nMultiRequest=1\r\n"
                   "[body 2]\r\nCount=0\r\n0=GET %request%\r\n"
                   "[Button 3]\r\nName=Чужой ящик\r\nService=x@example.net\r\nMailbox=5 : five@example.org\r\n");
    host.profile.email = "user@example.org";
    host.profile.smtp_host = "127.0.0.1";
    host.profile.smtp_port = std::to_string(server.Port());
  }
  Dispatcher Make() { return Dispatcher(host, settings, dir / "Buttons.ini", counter); }

  test::TempDir dir;
  Server server;
  FakeHost host;
  IniFile settings;
  RequestCounter counter;
};

TEST_F(DispatchTest, OneRequestReachesTheServerIsLoggedAndReportedDone) {
  host.line = "http://example.com/страница|мой комментарий";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("send http://example.com/"), std::string::npos);
  EXPECT_EQ(host.statuses.back(), "Операция успешно завершена!");
  EXPECT_EQ(host.letters, 1);
  EXPECT_EQ(counter.value, 1);
  EXPECT_TRUE(host.buttons_enabled);
  auto history = LoadHistory();
  ASSERT_TRUE(history && history->size() == 1);
  EXPECT_EQ(history->at(0).comment, "мой комментарий");
  EXPECT_EQ(history->at(0).request, "http://example.com/страница");
  EXPECT_EQ(history->at(0).service, "www4mail@example.net");
  EXPECT_EQ(history->at(0).button, "Страница");
  EXPECT_FALSE(d.SmtpConnected());  // QUIT at the end without DontDisconnect
}

// Today's Notepad saves UTF-8 without a mark: such a "Buttons.ini" is read as UTF-8, not as
// the code page.
TEST_F(DispatchTest, AButtonsFileInUtf8WithoutItsMarkComposesItsCyrillicAsWritten) {
  test::WriteAll(dir / "Buttons.ini",
                 "[Button 1]\r\nName=Страница\r\nService=www4mail@example.net\r\nSubject=%request%\r\n"
                 "[body 1]\r\nCount=1\r\n0=send %request%\r\n1=комментарий\r\n");
  settings.WriteString("Settings", "CharSet", "utf-8");
  settings.WriteString("Settings", "CTEncoding", "8bit");
  host.line = "http://example.com/";
  Make().DispatchRequest(1);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("комментарий"), std::string::npos) << letters[0];
}

TEST_F(DispatchTest, TheCounterStartsAgainFromZeroAfterItsLargestValue) {
  counter.value = INT32_MAX;
  host.line = "http://example.com/";
  Make().DispatchRequest(1);
  EXPECT_EQ(server.Letters().size(), 1u);
  EXPECT_EQ(counter.value, 0);
}

TEST_F(DispatchTest, AnEmptyRequestIsRefusedAndNothingIsSentOrLogged) {
  host.line = "   ";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  EXPECT_TRUE(server.Letters().empty());
  EXPECT_EQ(host.statuses.back(), "Пустой запрос!");
  EXPECT_FALSE(std::filesystem::exists(dir / "history.log"));
  EXPECT_TRUE(host.buttons_enabled);
}

TEST_F(DispatchTest, AnUnconfiguredMailboxOrServerIsRefusedWithAMessage) {
  host.line = "x";
  host.profile.email.clear();
  Make().DispatchRequest(1);
  host.profile.email = "user@example.org";
  host.profile.smtp_host.clear();
  Make().DispatchRequest(1);
  EXPECT_EQ(host.boxes, (std::vector<std::string>{"Почтовый ящик не настроен.", "SMTP сервер не настроен."}));
  EXPECT_TRUE(server.Letters().empty());
}

TEST_F(DispatchTest, RequestListOneSendsOneLetterPerEntryLastFirst) {
  host.ticks = {"miRQList1"};
  host.list1 = {"first", "second", "third"};
  Make().DispatchRequest(1);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 3u);
  EXPECT_NE(letters[0].find("send third"), std::string::npos);
  EXPECT_NE(letters[2].find("send first"), std::string::npos);
}

TEST_F(DispatchTest, AMultiRequestButtonSendsTheWholeListInOneLetter) {
  host.ticks = {"miRQList2"};
  host.list2 = {"A", "B", "C"};
  Make().DispatchRequest(2);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("GET C\r\nGET B\r\nGET A"), std::string::npos);
  auto history = LoadHistory();
  ASSERT_TRUE(history && history->size() == 1);
  EXPECT_EQ(history->at(0).request, "A");
}

TEST_F(DispatchTest, AnEmptyListIsReported) {
  host.ticks = {"miRQList2"};
  Make().DispatchRequest(1);
  EXPECT_EQ(host.statuses.back(), "Лист запросов пустой.");
}

TEST_F(DispatchTest, AButtonsOwnMailboxIsUsedAndTheChoiceRestoredEvenWhenRefused) {
  host.checked = 2;
  host.line = "";
  Make().DispatchRequest(3);
  EXPECT_EQ(host.selected, (std::vector<int>{5, 2}));
}

TEST_F(DispatchTest, FixedRequestsGoToTheirAddressWithTheirSubjectAndClearTheLine) {
  host.line = "something typed";
  Make().DispatchRequest(34);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("Subject: get version"), std::string::npos);
  EXPECT_NE(letters[0].find("support@quillpost.invalid"), std::string::npos);
  EXPECT_EQ(host.line, "");
}

TEST_F(DispatchTest, AHelpRequestAsksTheServiceForHelp) {
  host.line = "http://example.com/";
  Make().DispatchRequest(1, true);
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("Subject: help\r\n"), std::string::npos);
  EXPECT_NE(letters[0].find("send help"), std::string::npos);
}

TEST_F(DispatchTest, CancelDuringThePauseEndsTheRunAtOnce) {
  settings.WriteInteger("Settings", "RLDelay", 30);
  host.ticks = {"miRQList2", "miRLDelay"};
  host.list2 = {"a", "b", "c"};
  Dispatcher d = Make();
  host.on_status = [&](const std::string& text) {
    if (text.starts_with("Waiting")) d.Cancel();
  };
  auto started = std::chrono::steady_clock::now();
  d.DispatchRequest(1);
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(server.Letters().size(), 1u);
  EXPECT_EQ(host.statuses.back(), "Отправка запроса была отменена.");
}

// One report a letter, only while "Всплывающий отчет ;)" is ticked; a long request shows its
// first 30 characters, the address is the request without its comment.
TEST_F(DispatchTest, EachLetterIsReportedByAPopupWhileTheSwitchIsOn) {
  host.line = "http://example.com/одна-очень-длинная-страница|заметка";
  Make().DispatchRequest(1);
  EXPECT_TRUE(host.popups.empty());
  host.ticks = {"miPopUps"};
  host.line = "http://example.com/одна-очень-длинная-страница|заметка";
  Make().DispatchRequest(1);
  ASSERT_EQ(host.popups.size(), 1u);
  EXPECT_EQ(host.popups[0].first, "http://example.com/одна-очень-длинная-страница");
  EXPECT_EQ(host.popups[0].second, "Запрос  http://example.com/одна-очень-... успешно отправлен");
  Server refusing({"--refuse-rcpt", "www4mail"});
  host.profile.smtp_port = std::to_string(refusing.Port());
  host.line = "x";
  Make().DispatchRequest(1);
  ASSERT_EQ(host.popups.size(), 2u);
  EXPECT_EQ(host.popups[1].second, "При отправке запроса произошла ошибка.");
}

TEST_F(DispatchTest, ARefusedRecipientShowsTheReplyAndTheListGoesOn) {
  Server refusing({"--refuse-rcpt", "www4mail"});
  host.profile.smtp_port = std::to_string(refusing.Port());
  test::WriteAll(dir / "Buttons.ini", "[Button 1]\r\nService=www4mail@example.net\r\n[Button 4]\r\nService=ok@example.net\r\n");
  host.line = "x";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  EXPECT_TRUE(std::any_of(host.statuses.begin(), host.statuses.end(),
                          [](const std::string& s) { return s.find("No such user here") != std::string::npos; }));
  EXPECT_EQ(host.statuses.back(), "При отправке запроса произошла ошибка.");
  d.DispatchRequest(4);
  EXPECT_EQ(refusing.Letters().size(), 1u);
}

TEST_F(DispatchTest, AKeptConnectionClosedByTheServerIsReplacedSilently) {
  Server closing({"--close-after", "1"});
  host.profile.smtp_port = std::to_string(closing.Port());
  settings.WriteBool("Settings", "DontDisconnect", true);
  host.line = "one";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  EXPECT_TRUE(d.SmtpConnected());
  ASSERT_TRUE(closing.WaitForClosedConnections(1));
  host.line = "two";
  d.DispatchRequest(1);
  EXPECT_EQ(closing.Letters().size(), 2u);
  EXPECT_EQ(host.statuses.back(), "Операция успешно завершена!");
}

// Over a server that takes commands ahead, each letter's acceptance is read behind the next
// letter's commands: it is still told as its own, and a refusal is never told as a success.
TEST_F(DispatchTest, ALetterRefusedAtItsEndOverPipeliningIsToldAsFailedInItsTurn) {
  Server pipelining({"--pipelining", "--refuse-data", "page3"});
  host.profile.smtp_port = std::to_string(pipelining.Port());
  host.ticks = {"miRQList1", "miPopUps"};
  host.list1 = {"page1", "page2", "page3", "page4", "page5"};
  Make().DispatchRequest(1);
  ASSERT_EQ(host.popups.size(), 5u);
  const std::string success = "... успешно отправлен", failure = "При отправке запроса произошла ошибка.";
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(host.popups[i].first, "page" + std::to_string(5 - i));
  EXPECT_NE(host.popups[0].second.find(success), std::string::npos) << host.popups[0].second;
  EXPECT_NE(host.popups[1].second.find(success), std::string::npos) << host.popups[1].second;
  EXPECT_EQ(host.popups[2].second, failure);
  EXPECT_EQ(host.statuses.back(), failure);
  EXPECT_EQ(pipelining.Letters().size(), 4u);
  EXPECT_EQ(host.letters, 5);
}

// A server that takes so many letters a connection says so at the next MAIL (seen late when
// the letter followed the one before at once): the letter goes on a fresh connection, once.
TEST_F(DispatchTest, ALetterLimitPerConnectionCostsNoLetterAndRepeatsNone) {
  Server limited({"--pipelining", "--limit-per-connection", "2"});
  host.profile.smtp_port = std::to_string(limited.Port());
  host.ticks = {"miRQList1"};
  host.list1 = {"page1", "page2", "page3", "page4", "page5"};
  Make().DispatchRequest(1);
  EXPECT_EQ(host.statuses.back(), "Операция успешно завершена!");
  std::vector<std::string> letters = limited.Letters();
  ASSERT_EQ(letters.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) EXPECT_NE(letters[i].find("send page" + std::to_string(5 - i)), std::string::npos) << letters[i];
}

TEST_F(DispatchTest, ACancelInTheMiddleOfALetterOnAKeptConnectionLeavesTheNextLettersWhole) {
  settings.WriteBool("Settings", "DontDisconnect", true);
  host.line = "http://example.com/" + std::string(60000, 'x');  // a body of several chunks
  Dispatcher d = Make();
  int body_chunks = 0;
  host.on_status = [&](const std::string& text) {
    if (text == "Sending data to the peer" && ++body_chunks == 8) d.Cancel();
  };
  d.DispatchRequest(1);
  EXPECT_EQ(host.statuses.back(), "Отправка запроса была отменена.");
  EXPECT_FALSE(d.SmtpConnected());
  host.on_status = nullptr;
  for (const char* line : {"http://example.com/two", "http://example.com/three"}) {
    host.line = line;
    d.DispatchRequest(1);
    EXPECT_EQ(host.statuses.back(), "Операция успешно завершена!") << line;
  }
  auto letters = server.Letters();
  ASSERT_EQ(letters.size(), 2u);
  EXPECT_NE(letters[0].find("send http://example.com/two"), std::string::npos);
  EXPECT_NE(letters[1].find("send http://example.com/three"), std::string::npos);
}

TEST_F(DispatchTest, ARefusedConnectionEndsWithTheErrorAndTheButtonsBack) {
  int port;
  {
    Server gone;
    port = gone.Port();
  }
  host.profile.smtp_port = std::to_string(port);
  host.line = "x";
  Make().DispatchRequest(1);
  EXPECT_EQ(host.statuses.back(), "При отправке запроса произошла ошибка.");
  EXPECT_TRUE(host.buttons_enabled);
  auto history = LoadHistory();  // logged before the sending failed
  EXPECT_TRUE(history && history->size() == 1);
}

TEST_F(DispatchTest, ASecondStartDuringARunIsIgnored) {
  host.line = "x";
  Dispatcher d = Make();
  int nested = 0;
  host.on_status = [&](const std::string&) {
    if (nested++ == 0) d.DispatchRequest(1);  // Enter pressed while the first run shows progress
  };
  d.DispatchRequest(1);
  EXPECT_EQ(server.Letters().size(), 1u);
}

// A list sent without a pause starts The Bat! for every letter before it has read the first:
// each letter's body stays in a file of its own, and those an earlier start left are gone.
TEST_F(DispatchTest, EachLetterHandedToTheBatKeepsItsBodyInAFileOfItsOwn) {
  test::WriteAll(dir / "body-2.txt", "an earlier start's letter\r\n");
  test::WriteAll(dir / "body-notes.txt", "the user's own");
  settings.WriteInteger("Settings", "sendby", 4);
  host.ticks = {"miRQList1"};
  host.list1 = {"first", "second"};
  Dispatcher d = Make();
  EXPECT_FALSE(std::filesystem::exists(dir / "body-2.txt"));
  d.DispatchRequest(1);
  ASSERT_EQ(host.started.size(), 2u);
  std::vector<std::string> bodies, files;
  for (const std::string& parameters : host.started) {
    const std::size_t at = parameters.find(";TEXT=") + 6;
    files.push_back(parameters.substr(at, parameters.find(";SEND") - at));
    bodies.push_back(test::ReadAll(files.back()));
  }
  EXPECT_NE(files[0], files[1]);
  EXPECT_EQ(bodies, (std::vector<std::string>{"send second\r\n", "send first\r\n"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "body-notes.txt"));
}

}  // namespace
}  // namespace qp
