// The dispatch end to end against a real SMTP server on loopback, with the window's
// side played by an in-memory host.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
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

// The login a letter arrived with, as the server recorded it beside the letter.
std::string LoginOf(const std::filesystem::path& letter) {
  std::istringstream envelope(test::ReadAll(letter.string() + ".env"));
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(envelope, line);
  return line;
}

// A mailbox on a server of its own that knows only its own account.
ActiveProfile AccountOn(const Server& server, const std::string& user) {
  ActiveProfile profile;
  profile.email = user + "@example.org";
  profile.smtp_host = "127.0.0.1";
  profile.smtp_port = std::to_string(server.Port());
  profile.smtp_user = user;
  profile.smtp_password = user + "-secret";
  profile.smtp_tls = "0";  // loopback servers without STARTTLS, chosen so
  return profile;
}

// A mailbox chosen while a run is under way (the window's Select rewrites the active profile)
// is for the next run: this run's server never gets the other mailbox's password.
TEST_F(DispatchTest, AMailboxChosenDuringARunIsForTheNextRunAndItsPasswordStaysAwayFromThisServer) {
  Server first({"--auth", "alice:alice-secret"}), second({"--auth", "bob:bob-secret"});
  host.profile = AccountOn(first, "alice");
  host.on_status = [&](const std::string& text) {
    if (text == "Посылаю запрос...") host.profile = AccountOn(second, "bob");
  };
  host.line = "http://example.com/";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  EXPECT_EQ(host.statuses.back(), "Операция успешно завершена!");
  ASSERT_EQ(first.LetterPaths().size(), 1u);
  EXPECT_EQ(LoginOf(first.LetterPaths()[0]), "alice");
  EXPECT_TRUE(second.Letters().empty());
  host.on_status = nullptr;
  d.DispatchRequest(1);
  ASSERT_EQ(second.LetterPaths().size(), 1u);
  EXPECT_EQ(LoginOf(second.LetterPaths()[0]), "bob");
  EXPECT_EQ(first.Letters().size(), 1u);
}

// A login with no encryption chosen for its entry needs STARTTLS: a server that does not
// offer it (as one whose offer was struck out on the way) gets neither password nor letter.
TEST_F(DispatchTest, ALoginWithoutAnEncryptionChoiceIsNotSentToAServerWithoutStartTls) {
  Server stripped({"--auth", "alice:alice-secret"});
  host.profile = AccountOn(stripped, "alice");
  host.profile.smtp_tls.clear();
  host.line = "http://example.com/";
  Make().DispatchRequest(1);
  EXPECT_TRUE(stripped.Letters().empty());
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_NE(host.boxes[0].find("STARTTLS"), std::string::npos) << host.boxes[0];
  EXPECT_EQ(host.statuses.back(), "При отправке запроса произошла ошибка.");
}

// The window runs while QUIT waits for its reply. A cancel, a second exit or a captured
// address from there is carried out once the wait has returned, never by closing the
// connection under it.
class QuitWaitTest : public DispatchTest, public ::testing::WithParamInterface<bool> {};

TEST_P(QuitWaitTest, WhatTheWindowAsksDuringTheWaitForTheQuitReplyComesAfterIt) {
  const bool at_exit = GetParam();  // else at the end of a run
  Server slow({"--quit-delay", "1"});
  host.profile.smtp_port = std::to_string(slow.Port());
  settings.WriteBool("Settings", "DontDisconnect", at_exit);
  host.line = "x";
  Dispatcher d = Make();
  bool asked = false;
  host.connector = test::PosixConnector(3000, [&] {
    if (!asked && slow.Marks("quit.") > 0) {
      asked = true;
      if (at_exit) d.DispatchRequest(1);
      d.Cancel();
      d.Disconnect();
    }
    return !d.CancelRequested();
  });
  d.DispatchRequest(1);
  if (at_exit) d.Disconnect();
  EXPECT_TRUE(asked);
  EXPECT_FALSE(d.SmtpConnected());
  EXPECT_EQ(slow.Letters().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(AtTheEndOfARunAndAtExit, QuitWaitTest, ::testing::Values(false, true));

// A letter whose text went out whole is told as the server answered it, though a cancel
// came before that answer was read; only one whose answer could not be had is "unknown".
struct PendingCase {
  const char* name;
  std::vector<std::string> server;
  int read_timeout_ms;
  bool cancel_inside_next_letter;  // else before it
  std::string told;
};

void PrintTo(const PendingCase& c, std::ostream* out) { *out << c.name; }

class PendingAnswerTest : public DispatchTest, public ::testing::WithParamInterface<PendingCase> {};

TEST_P(PendingAnswerTest, ALetterAnsweredAfterACancelIsToldAsAnswered) {
  const PendingCase& c = GetParam();
  Server pipelining(c.server);
  host.profile.smtp_port = std::to_string(pipelining.Port());
  host.connector = test::PosixConnector(c.read_timeout_ms);
  host.ticks = {"miRQList1", "miPopUps"};
  host.list1 = {"page1", "page2"};
  Dispatcher d = Make();
  int letters_begun = 0;
  host.on_status = [&](const std::string& text) {
    if (text == "Посылаю запрос...") ++letters_begun;
    if (letters_begun == 2 && (!c.cancel_inside_next_letter || text == "Sending data to the peer")) d.Cancel();
  };
  d.DispatchRequest(1);
  ASSERT_FALSE(host.popups.empty());
  EXPECT_EQ(host.popups[0], std::make_pair(std::string("page2"), c.told));
  if (c.cancel_inside_next_letter) {
    EXPECT_EQ(host.popups.at(1), std::make_pair(std::string("page1"), std::string("Отправка запроса была отменена.")));
  }
  if (c.told.starts_with("Неизвестно")) EXPECT_EQ(host.statuses.back(), c.told);
}

const std::string kUnknown = "Неизвестно, принял ли сервер запрос: связь прервалась до его ответа. page2";
INSTANTIATE_TEST_SUITE_P(
    Outcomes, PendingAnswerTest,
    ::testing::Values(
        PendingCase{"AcceptedCancelBefore", {"--pipelining", "--data-delay", "1"}, 3000, false, "Запрос  page2... успешно отправлен"},
        PendingCase{"AcceptedCancelInside", {"--pipelining", "--data-delay", "1"}, 3000, true, "Запрос  page2... успешно отправлен"},
        PendingCase{"Refused", {"--pipelining", "--refuse-data", "page2"}, 3000, true, "При отправке запроса произошла ошибка."},
        PendingCase{"NoAnswerInTime", {"--pipelining", "--data-delay", "3"}, 1000, true, kUnknown}),
    [](const auto& info) { return std::string(info.param.name); });

// A kept connection carries a letter only for the server and the account it was made for:
// for any other it is closed and the letter gets a connection of its own.
struct AccountCase {
  const char* name;
  std::function<void(ActiveProfile&, int other_port)> change;
  std::size_t letters_first, letters_other;
  bool same_connection;
};

void PrintTo(const AccountCase& c, std::ostream* out) { *out << c.name; }

class KeptConnectionTest : public DispatchTest, public ::testing::WithParamInterface<AccountCase> {};

TEST_P(KeptConnectionTest, AKeptConnectionCarriesOnlyLettersOfItsOwnServerAndAccount) {
  const AccountCase& c = GetParam();
  Server first({"--auth", "alice:a-secret", "--mechanisms", "PLAIN"}), other({"--auth", "bob:b-secret", "--mechanisms", "PLAIN"});
  settings.WriteBool("Settings", "DontDisconnect", true);
  host.profile.smtp_port = std::to_string(first.Port());
  host.profile.smtp_user = "alice";
  host.profile.smtp_password = "a-secret";
  host.profile.smtp_tls = "0";
  host.line = "one";
  Dispatcher d = Make();
  d.DispatchRequest(1);
  ASSERT_TRUE(d.SmtpConnected());
  c.change(host.profile, other.Port());
  host.line = "two";
  d.DispatchRequest(1);
  ASSERT_EQ(first.Letters().size(), c.letters_first);
  ASSERT_EQ(other.Letters().size(), c.letters_other);
  auto envelope = [](const Server& server, std::size_t i) {
    std::istringstream lines(test::ReadAll(server.LetterPaths().at(i).string() + ".env"));
    std::vector<std::string> fields;
    for (std::string line; std::getline(lines, line);) fields.push_back(line);
    return fields;  // sender, recipients, login, mechanism, TLS, client port
  };
  for (std::size_t i = 0; i < c.letters_first; ++i) EXPECT_EQ(envelope(first, i).at(2), "alice");
  for (std::size_t i = 0; i < c.letters_other; ++i) EXPECT_EQ(envelope(other, i).at(2), "bob");
  if (c.letters_first == 2) EXPECT_EQ(envelope(first, 0).at(5) == envelope(first, 1).at(5), c.same_connection);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, KeptConnectionTest,
    ::testing::Values(AccountCase{"Unchanged", [](ActiveProfile&, int) {}, 2, 0, true},
                      AccountCase{"AnotherServerAndAccount",
                                  [](ActiveProfile& p, int port) {
                                    p.smtp_port = std::to_string(port);
                                    p.smtp_user = "bob";
                                    p.smtp_password = "b-secret";
                                  },
                                  1, 1, false},
                      AccountCase{"StartTlsNowRequired", [](ActiveProfile& p, int) { p.smtp_tls = "2"; }, 1, 0, false},
                      AccountCase{"AnotherPassword", [](ActiveProfile& p, int) { p.smtp_password = "wrong"; }, 1, 0, false},
                      AccountCase{"TheHostByAnotherName", [](ActiveProfile& p, int) { p.smtp_host = "localhost"; }, 2, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

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
