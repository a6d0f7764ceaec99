// The SMTP client against a real SMTP server (aiosmtpd on loopback), the letters read
// back with Python's email package.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "delivery/smtp_client.h"
#include "posix_connector.h"
#include "test_support.h"

namespace qp {
namespace {

using test::ChildProcess;

std::string FromHex(const std::string& hex) {
  std::string out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string Unix(std::string text) {  // the email package hands lines back with LF ends
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i];
  }
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

// The test server, and the letters it saved read back through Python's email package.
class Server : public test::SmtpServer {
 public:
  using SmtpServer::SmtpServer;
  std::vector<std::filesystem::path> Letters() const { return LetterPaths(); }
  std::map<std::string, std::string> Read(size_t index) const {
    std::map<std::string, std::string> fields;
    std::istringstream lines(test::RunAndRead({"/usr/bin/python3", QP_SOURCE_DIR "/tests/read_letter.py", Letters().at(index).string()}));
    std::string name, hex;
    while (lines >> name) {
      std::getline(lines, hex);
      fields[name] = FromHex(hex.empty() ? hex : hex.substr(1));
    }
    return fields;
  }
  std::string Envelope(size_t index) const {
    std::filesystem::path env = Letters().at(index);
    env += ".env";
    return test::ReadAll(env);
  }
};

MailMessage Letter(const std::string& subject, const std::string& body) {
  MailMessage m;
  m.from = "user@example.org";
  m.recipients = "www4mail@example.net";
  m.subject = subject;
  m.body = body;
  m.x_mailer = "Quillpost";
  return m;
}

constexpr const char* kDate = "Wed, 09 Dec 2026 07:10:00 +0000";

TEST(SmtpClient, AsciiAndCyrillicLettersArriveAsComposed) {
  Server server;
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("http://example.com/", "send http://example.com/\r\n.hidden dot\r\n."), kDate, "<1@example.org>");
  client.Send(Letter("поиск слов", "send поиск слов\r\nЁжик в тумане"), kDate, "<2@example.org>");
  client.Send(Letter("", "body"), kDate, "<3@example.org>");
  client.Disconnect();

  ASSERT_EQ(server.Letters().size(), 3u);
  auto ascii = server.Read(0);
  EXPECT_EQ(ascii["subject"], "http://example.com/");
  EXPECT_EQ(ascii["body"], "send http://example.com/\n.hidden dot\n.\n");
  EXPECT_EQ(ascii["x-mailer"], "Quillpost");
  EXPECT_EQ(ascii["encoding"], "7bit");
  auto cyrillic = server.Read(1);
  EXPECT_EQ(cyrillic["subject"], "поиск слов");
  EXPECT_EQ(Unix(cyrillic["body"]), "send поиск слов\nЁжик в тумане");
  EXPECT_EQ(cyrillic["charset"], "koi8-r");
  EXPECT_EQ(cyrillic["encoding"], "quoted-printable");
  // The email package trims header values, so the single space is looked for in the raw letter.
  EXPECT_NE(test::ReadAll(server.Letters().at(2)).find("\r\nSubject:  \r\n"), std::string::npos);
}

TEST(SmtpClient, TextTheCharsetCannotHoldArrivesInUtf8AndLongLinesStayWithinTheLimit) {
  Server server;
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  const std::string ukrainian = "Їжак і єнот €";
  std::string long_line;
  for (int i = 0; i < 300; ++i) long_line += "слово ";
  client.Send(Letter(ukrainian, ukrainian + "\r\n" + long_line), kDate, "<4@example.org>");
  client.Disconnect();
  auto letter = server.Read(0);
  EXPECT_EQ(letter["subject"], ukrainian);
  EXPECT_EQ(Unix(letter["body"]), ukrainian + "\n" + long_line);
  EXPECT_EQ(letter["charset"], "utf-8");
  EXPECT_LE(std::stoi(letter["max-line"]), 998);
}

TEST(SmtpClient, AuthLoginWhenOfferedAndAUserIsGiven) {
  Server server({"--auth", "joe:secret"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_TRUE(client.Offers("LOGIN"));
  EXPECT_FALSE(client.Offers("PLAIN"));
  client.Authenticate("joe", "secret");
  EXPECT_TRUE(client.Authenticated());
  client.Send(Letter("a", "b"), kDate, "<5@example.org>");
  client.Authenticate("joe", "secret");  // once per connection
  client.Send(Letter("c", "d"), kDate, "<6@example.org>");
  client.Disconnect();
  EXPECT_EQ(server.Letters().size(), 2u);
  EXPECT_NE(server.Envelope(0).find("joe"), std::string::npos);

  // A password without a user name sends without authenticating, which this server refuses.
  SmtpClient anonymous(connector, nullptr);
  anonymous.Connect("127.0.0.1", server.Port(), "localhost");
  anonymous.Authenticate("", "secret");
  EXPECT_FALSE(anonymous.Authenticated());
  EXPECT_THROW(anonymous.Send(Letter("e", "f"), kDate, "<7@example.org>"), SmtpReplyError);

  SmtpClient wrong(connector, nullptr);
  wrong.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_THROW(wrong.Authenticate("joe", "bad"), SmtpReplyError);
}

// PLAIN when the server offers it beside LOGIN: one exchange instead of three.
TEST(SmtpClient, AuthPlainWhenOffered) {
  Server server({"--auth", "joe:secret", "--mechanisms", "LOGIN,PLAIN"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Authenticate("joe", "secret");
  ASSERT_TRUE(client.Authenticated());
  client.Send(Letter("a", "b"), kDate, "<10@example.org>");
  EXPECT_NE(server.Envelope(0).find("\njoe\nPLAIN\n\n"), std::string::npos) << server.Envelope(0);  // over plain text

  SmtpClient wrong(connector, nullptr);
  wrong.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_THROW(wrong.Authenticate("joe", "bad"), SmtpReplyError);
}

// With a user name set, a server that offers no log-in the client knows gets no letter: the
// user asked for a log-in. Without one the letter goes as before.
TEST(SmtpClient, AServerWithoutAKnownLogInGetsNoLetterFromAUser) {
  Server server({"--no-auth"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_FALSE(client.Offers("LOGIN"));
  try {
    client.Authenticate("joe", "secret");
    ADD_FAILURE() << "authenticated with a server that offers no log-in";
  } catch (const SmtpAuthUnavailable& e) {
    EXPECT_NE(std::string(e.what()).find("127.0.0.1"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(client.Authenticated());
  client.Authenticate("", "");
  client.Send(Letter("a", "b"), kDate, "<8@example.org>");
  EXPECT_EQ(server.Letters().size(), 1u);
}

// A certificate of the test's own for the server's STARTTLS offer; this side has no TLS, so
// what is checked here is what the client does around it.
class TlsServer : public Server {
 public:
  explicit TlsServer(std::vector<std::string> flags = {}) : Server(WithCertificate(std::move(flags))) {}

 private:
  static std::vector<std::string> WithCertificate(std::vector<std::string> flags) {
    static test::TempDir dir;
    const std::string cert = (dir / "cert.pem").string(), key = (dir / "key.pem").string();
    if (!std::filesystem::exists(cert)) {
      test::RunAndRead({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost",
                        "-keyout", key, "-out", cert});
    }
    flags.insert(flags.begin(), {"--tls", cert + "," + key});
    return flags;
  }
};

// The test's own connections, and a record of every secure channel asked for (which never
// comes about: the channel is the system's, tested under Wine).
class RecordingConnector final : public Connector {
 public:
  std::unique_ptr<Connection> Connect(const std::string& host, int port) override { return network_.Connect(host, port); }
  std::unique_ptr<Connection> Secure(std::unique_ptr<Connection> plain, const TlsPeer& peer) override {
    secured_for.push_back(peer.host + " " + peer.trusted_certificate);
    return Connector::Secure(std::move(plain), peer);
  }
  std::vector<std::string> secured_for;

 private:
  test::PosixConnector network_;
};

TEST(SmtpClient, StartTlsIsAskedForWhenOfferedAndItsFailureNeverFallsBackToPlainText) {
  TlsServer server({"--auth", "joe:secret", "--mechanisms", "PLAIN"});
  RecordingConnector connector;
  SmtpClient client(connector, nullptr);
  EXPECT_THROW(client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kStartTlsWhenOffered, "AB:CD"}), TlsError);
  EXPECT_EQ(connector.secured_for, std::vector<std::string>{"127.0.0.1 AB:CD"});
  EXPECT_FALSE(client.Connected());
  EXPECT_THROW(client.Send(Letter("a", "b"), kDate, "<20@example.org>"), GracefulCloseError);

  // Implicit TLS secures before the greeting: the plain server's greeting is never read.
  Server plain;
  EXPECT_THROW(client.Connect("127.0.0.1", plain.Port(), "localhost", {TlsMode::kImplicit, ""}), TlsError);
  EXPECT_EQ(connector.secured_for.size(), 2u);
  EXPECT_TRUE(server.Letters().empty());
  EXPECT_TRUE(plain.Letters().empty());
}

TEST(SmtpClient, WithoutTlsAPasswordIsNotSentToAServerOfferingStartTlsButALetterIs) {
  TlsServer server;
  RecordingConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kNone, ""});
  EXPECT_TRUE(connector.secured_for.empty());
  EXPECT_FALSE(client.Encrypted());
  try {
    client.Authenticate("joe", "secret");
    ADD_FAILURE() << "a password went out in plain text";
  } catch (const SmtpTlsUnavailable& e) {
    EXPECT_NE(std::string(e.what()).find("127.0.0.1"), std::string::npos) << e.what();
  }
  client.Send(Letter("a", "b"), kDate, "<21@example.org>");
  EXPECT_EQ(server.Letters().size(), 1u);
}

TEST(SmtpClient, StartTlsRequiredOfAServerWithoutItSendsNothing) {
  Server server;
  RecordingConnector connector;
  SmtpClient client(connector, nullptr);
  EXPECT_THROW(client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kStartTlsRequired, ""}), SmtpTlsUnavailable);
  EXPECT_FALSE(client.Connected());
  EXPECT_TRUE(connector.secured_for.empty());
  // The same server when it is only wanted if offered: plain text, as before.
  client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kStartTlsWhenOffered, ""});
  client.Send(Letter("a", "b"), kDate, "<22@example.org>");
  EXPECT_EQ(server.Letters().size(), 1u);
}

// Words after the STARTTLS reply and before the secure channel could be anyone's (RFC 3207):
// the channel is not even tried over them.
TEST(SmtpClient, WordsInjectedAfterTheStartTlsReplyEndTheConnection) {
  Server server({"--inject-after-starttls"});
  RecordingConnector connector;
  SmtpClient client(connector, nullptr);
  EXPECT_THROW(client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kStartTlsWhenOffered, ""}), TlsError);
  EXPECT_TRUE(connector.secured_for.empty());
  EXPECT_FALSE(client.Connected());
}

// A letter followed at once by another leaves its end to be read behind the next letter's
// commands: one round trip a letter. Its outcome is still read, refusal and all.
TEST(SmtpClient, ALetterFollowedAtOnceIsToldBehindTheNextLettersCommands) {
  Server server({"--pipelining", "--refuse-data", "refuse me"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost", {TlsMode::kNone, ""});
  client.Send(Letter("1", "one"), kDate, "<30@example.org>", true);
  EXPECT_TRUE(client.EndPending());
  EXPECT_EQ(client.TakeEarlierOutcome(), std::nullopt);
  client.Send(Letter("2", "refuse me"), kDate, "<31@example.org>", true);
  EXPECT_EQ(client.TakeEarlierOutcome(), std::optional(LetterOutcome::kAccepted));
  client.Send(Letter("3", "three"), kDate, "<32@example.org>", true);
  EXPECT_EQ(client.TakeEarlierOutcome(), std::optional(LetterOutcome::kRefused));  // the server refused the second
  EXPECT_TRUE(client.EndPending());
  client.ReadEarlierEnd();
  EXPECT_EQ(client.TakeEarlierOutcome(), std::optional(LetterOutcome::kAccepted));
  client.Send(Letter("4", "four"), kDate, "<33@example.org>");  // nothing follows: read at once
  EXPECT_FALSE(client.EndPending());
  EXPECT_EQ(client.TakeEarlierOutcome(), std::nullopt);
  client.Disconnect();
  ASSERT_EQ(server.Letters().size(), 3u);
  EXPECT_EQ(server.Read(2)["subject"], "4");

  // A server without PIPELINING: every letter is told by its own reply, as before.
  Server plain;
  client.Connect("127.0.0.1", plain.Port(), "localhost", {TlsMode::kNone, ""});
  client.Send(Letter("5", "five"), kDate, "<34@example.org>", true);
  EXPECT_FALSE(client.EndPending());
  EXPECT_EQ(plain.Letters().size(), 1u);
}

TEST(SmtpClient, HeloWhenTheServerDoesNotKnowEhlo) {
  Server server({"--no-ehlo"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("a", "b"), kDate, "<9@example.org>");
  EXPECT_EQ(server.Letters().size(), 1u);
}

TEST(SmtpClient, ARefusedRecipientFailsThatLetterOnlyAndEveryRecipientIsTried) {
  Server server({"--refuse-rcpt", "nobody"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  MailMessage refused = Letter("a", "b");
  refused.recipients = "nobody@example.net";
  try {
    client.Send(refused, kDate, "<10@example.org>");
    FAIL() << "sent to a refused recipient";
  } catch (const SmtpReplyError& e) {
    EXPECT_EQ(e.Code(), 550);
    EXPECT_NE(std::string(e.what()).find("No such user"), std::string::npos);
  }
  MailMessage two = Letter("c", "d");
  two.recipients = " first@example.net ,second@example.net,";
  client.Send(two, kDate, "<11@example.org>");  // the same connection goes on
  ASSERT_EQ(server.Letters().size(), 1u);
  EXPECT_NE(server.Envelope(0).find("first@example.net,second@example.net"), std::string::npos);
}

TEST(SmtpClient, AConnectionDroppedDuringDataFailsTheLetterAndAFreshOneWorks) {
  Server dropping({"--drop-data"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", dropping.Port(), "localhost");
  std::string big(200000, 'x');
  EXPECT_ANY_THROW(client.Send(Letter("a", big), kDate, "<12@example.org>"));
  EXPECT_FALSE(client.Connected());
  Server fine;
  client.Connect("127.0.0.1", fine.Port(), "localhost");
  client.Send(Letter("a", "b"), kDate, "<13@example.org>");
  EXPECT_EQ(fine.Letters().size(), 1u);
}

TEST(SmtpClient, ASilentServerTimesOutInsteadOfHanging) {
  Server silent({"--silent"});
  test::PosixConnector connector(700);
  SmtpClient client(connector, nullptr);
  auto started = std::chrono::steady_clock::now();
  try {
    client.Connect("127.0.0.1", silent.Port(), "localhost");
    FAIL() << "connected to a silent server";
  } catch (const SocketError& e) {
    EXPECT_EQ(e.Code(), kTimedOutCode);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_FALSE(client.Connected());
}

TEST(SmtpClient, AKeptConnectionTheServerClosedIsNoticedBeforeTheNextLetter) {
  Server server({"--close-after", "1"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("a", "b"), kDate, "<14@example.org>");
  ASSERT_TRUE(server.WaitForClosedConnections(1));
  EXPECT_THROW(client.CheckForGracefulDisconnect(), GracefulCloseError);
  EXPECT_FALSE(client.Connected());
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("c", "d"), kDate, "<15@example.org>");
  EXPECT_EQ(server.Letters().size(), 2u);
}

TEST(SmtpClient, AKeptConnectionTheServerEndedWithA421IsReplacedNotUsed) {
  Server server({"--421-after", "1"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("a", "b"), kDate, "<17@example.org>");
  ASSERT_TRUE(server.WaitForClosedConnections(1));
  // The server's parting words wait unread on the idle connection: it is over all the same.
  EXPECT_THROW(client.CheckForGracefulDisconnect(), GracefulCloseError);
  EXPECT_FALSE(client.Connected());
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("c", "d"), kDate, "<18@example.org>");
  EXPECT_EQ(server.Letters().size(), 2u);
}

TEST(SmtpClient, ARefusedConnectionIsASocketError) {
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  int port;
  {
    Server gone;
    port = gone.Port();
  }
  EXPECT_THROW(client.Connect("127.0.0.1", port, "localhost"), SocketError);
}

// Aborting from the progress event, as the cancel button does, fails the letter.
TEST(SmtpClient, AnEventHandlerCanAbortTheTransfer) {
  struct Abort : SmtpEvents {
    int writes = 0;
    void Work(bool reading) override {
      if (!reading && ++writes > 8) throw SmtpReplyError(0, "cancelled");
    }
  } abort;
  Server server;
  test::PosixConnector connector;
  SmtpClient client(connector, &abort);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_THROW(client.Send(Letter("a", std::string(100000, 'y')), kDate, "<16@example.org>"), SmtpReplyError);
  EXPECT_TRUE(server.Letters().empty());
}

// A cancel in the middle of the letter's body leaves the server inside DATA: nothing may
// be written into the body after it, and the connection cannot be kept.
TEST(SmtpClient, ACancelDuringTheBodyDropsTheConnectionAndTheNextLettersGoOnAFreshOne) {
  struct CancelOnce : SmtpEvents {
    bool in_body = false, cancelled = false;
    void WorkBegin() override { in_body = true; }
    void WorkEnd() override { in_body = false; }
    void Work(bool reading) override {
      if (in_body && !reading && !cancelled) {
        cancelled = true;
        throw SmtpReplyError(0, "cancelled");
      }
    }
  } cancel;
  Server server;
  test::PosixConnector connector(3000);
  SmtpClient client(connector, &cancel);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  EXPECT_THROW(client.Send(Letter("cancelled", std::string(100000, 'y')), kDate, "<19@example.org>"), SmtpReplyError);
  EXPECT_FALSE(client.Connected());
  for (const char* subject : {"two", "three"}) {
    if (!client.Connected()) client.Connect("127.0.0.1", server.Port(), "localhost");
    client.Send(Letter(subject, "body"), kDate, "<20@example.org>");
  }
  ASSERT_EQ(server.Letters().size(), 2u);
  EXPECT_EQ(server.Read(0)["subject"], "two");
  EXPECT_EQ(server.Read(1)["subject"], "three");
}

// After a real refusal the connection is reset and kept: the reply to RSET is read, so the
// next letter reads its own replies.
TEST(SmtpClient, AfterARefusalTheResetIsAnsweredAndTheNextLetterReadsItsOwnReplies) {
  Server server({"--refuse-rcpt", "nobody"});
  test::PosixConnector connector(3000);
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  MailMessage refused = Letter("a", "b");
  refused.recipients = "nobody@example.net";
  for (int i = 0; i < 3; ++i) EXPECT_THROW(client.Send(refused, kDate, "<21@example.org>"), SmtpReplyError);
  EXPECT_TRUE(client.Connected());
  client.Send(Letter("after", "b"), kDate, "<22@example.org>");
  ASSERT_EQ(server.Letters().size(), 1u);
  EXPECT_EQ(server.Read(0)["subject"], "after");
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// With PIPELINING the envelope goes in one write and the letters arrive as before; a refused
// recipient fails its letter as it would step by step, and the next letter goes on.
TEST(SmtpClient, PipelinedEnvelopesDeliverAndRefusalsFailOnlyTheirLetter) {
  Server server({"--pipelining", "--refuse-rcpt", "nobody"});
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  ASSERT_TRUE(client.Pipelining());
  MailMessage two = Letter("a", "b");
  two.recipients = "first@example.net,second@example.net";
  client.Send(two, kDate, "<20@example.org>");

  // The only recipient refused: the server refuses DATA too, the reset keeps the connection.
  MailMessage refused = Letter("c", "d");
  refused.recipients = "nobody@example.net";
  try {
    client.Send(refused, kDate, "<21@example.org>");
    FAIL() << "sent to a refused recipient";
  } catch (const SmtpReplyError& e) {
    EXPECT_EQ(e.Code(), 550);
  }
  EXPECT_TRUE(client.Connected());
  client.Send(Letter("e", "f"), kDate, "<22@example.org>");

  // One of two refused: the server waits for the text, which must not go without him. The
  // connection is given up; the next letter takes a fresh one.
  MailMessage partly = Letter("g", "h");
  partly.recipients = "first@example.net,nobody@example.net";
  EXPECT_THROW(client.Send(partly, kDate, "<23@example.org>"), SmtpReplyError);
  EXPECT_FALSE(client.Connected());
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Send(Letter("i", "j"), kDate, "<24@example.org>");
  client.Disconnect();

  ASSERT_EQ(server.Letters().size(), 3u);
  EXPECT_NE(server.Envelope(0).find("first@example.net,second@example.net"), std::string::npos);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(server.Envelope(i).find("nobody"), std::string::npos);
}

}  // namespace
}  // namespace qp
