// The SMTP client against Debian's exim on loopback: a real mail server that refuses a client
// speaking out of turn, so what the client pipelines is judged by the strict side.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "delivery/smtp_client.h"
#include "exim_server.h"
#include "posix_connector.h"

namespace qp {
namespace {

constexpr const char* kDate = "Wed, 09 Dec 2026 07:10:00 +0000";

MailMessage Letter(const std::string& recipients, const std::string& subject, const std::string& body) {
  MailMessage m;
  m.from = "user@example.org";
  m.recipients = recipients;
  m.subject = subject;
  m.body = body;
  m.x_mailer = "Quillpost";
  return m;
}

// The value of a header in exim's part of a stored letter ("Envelope-to": the one recipient
// this copy went to).
std::string HeaderOf(std::string_view letter, std::string_view name) {
  const std::string start = std::string(name) + ": ";
  for (std::size_t at = 0; at < letter.size();) {
    const std::size_t end = letter.find("\r\n", at);
    if (end == std::string_view::npos || end == at) break;  // the empty line ends the headers
    const std::string_view line = letter.substr(at, end - at);
    if (line.starts_with(start)) return std::string(line.substr(start.size()));
    at = end + 2;
  }
  return {};
}

// What exim puts before the letter as it came: its trace headers and nothing else.
bool OnlyEximsHeaders(std::string_view prefix) {
  for (std::size_t at = 0; at < prefix.size();) {
    const std::size_t end = prefix.find("\r\n", at);
    if (end == std::string_view::npos) return false;
    const std::string_view line = prefix.substr(at, end - at);
    if (!line.starts_with("Return-path: ") && !line.starts_with("Envelope-to: ") && !line.starts_with("Received: ") &&
        !line.starts_with("\t")) {
      return false;
    }
    at = end + 2;
  }
  return true;
}

std::size_t Count(std::string_view text, std::string_view what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

std::vector<std::string> LinesWith(std::string_view text, std::string_view what) {
  std::vector<std::string> found;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    if (line.find(what) != std::string_view::npos) found.emplace_back(line);
    at = end + 1;
  }
  return found;
}

// Twenty letters over one kept connection, the envelopes pipelined: exim takes every one,
// each recipient gets the letter byte for byte as composed (dot-stuffing undone, a line
// starting "From " untouched, a body far beyond one write), and exim saw no command early.
TEST(EximSmtp, TwentyPipelinedLettersOverOneConnectionArriveIntactWithoutASynchronizationError) {
  test::EximServer server;
  test::PosixConnector connector;
  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  ASSERT_TRUE(client.Pipelining());

  struct Copy {
    std::string recipient, text;
  };
  std::vector<Copy> expected;
  for (int i = 0; i < 20; ++i) {
    const std::string n = std::to_string(i);
    std::string recipients = "www4mail" + n + "@example.net";
    if (i % 4 == 1) recipients += ",getweb" + n + "@example.com";
    if (i % 4 == 3) recipients += ", ftpmail" + n + "@example.com,agora" + n + "@mail.example.org";
    std::string body = "send http://example.com/" + n + "\r\n.hidden dot\r\n.\r\nFrom the top\r\nпоиск " + n;
    if (i == 7) body += "\r\n" + std::string(200000, 'x');
    const MailMessage letter = Letter(recipients, i % 2 ? "поиск " + n : "http://example.com/" + n, body);
    const std::string id = "<" + n + "@example.org>";
    // As the dispatch sends a list: each letter's end goes out with the next one's commands.
    client.Send(letter, kDate, id, i < 19);
    EXPECT_EQ(client.EndPending(), i < 19);
    if (i > 0) EXPECT_EQ(client.TakeEarlierOutcome(), std::optional(LetterOutcome::kAccepted)) << i;
    std::string text = RenderMessage(letter, kDate, id).text;
    if (!text.ends_with("\r\n")) text += "\r\n";
    for (const std::string& to : SplitRecipients(recipients)) expected.push_back({to, text});
  }
  client.Disconnect();

  ASSERT_EQ(expected.size(), 20u + 5u + 10u);
  ASSERT_TRUE(server.WaitForLetters(expected.size())) << server.MainLog();
  const std::vector<std::string> letters = server.Letters();
  ASSERT_EQ(letters.size(), expected.size());
  for (const std::string& letter : letters) {
    const std::string to = HeaderOf(letter, "Envelope-to");
    bool found = false;
    for (auto it = expected.begin(); it != expected.end(); ++it) {
      if (it->recipient != to || !letter.ends_with(it->text)) continue;
      EXPECT_TRUE(OnlyEximsHeaders(std::string_view(letter).substr(0, letter.size() - it->text.size()))) << letter.substr(0, 600);
      expected.erase(it);
      found = true;
      break;
    }
    EXPECT_TRUE(found) << "delivered to <" << to << "> but not sent so:\n" << letter.substr(0, 1500);
  }
  EXPECT_TRUE(expected.empty());

  const std::string log = server.MainLog();
  EXPECT_EQ(server.RejectLog(), "");
  EXPECT_EQ(log.find("synchronization error"), std::string::npos) << log;
  // exim marks a letter whose commands came pipelined with "L", one offered but not used with "L-".
  const std::vector<std::string> taken = LinesWith(log, " <= ");
  EXPECT_EQ(taken.size(), 20u) << log;
  for (const std::string& line : taken) EXPECT_NE(line.find(" L "), std::string::npos) << line;
}

// AUTH PLAIN before a letter; a wrong password gets exim's refusal and its letter goes nowhere.
TEST(EximSmtp, AuthPlainThenALetterAndAWrongPasswordRefusedWithEximsReply) {
  test::EximServer server({"--auth", "joe:s3cret{$x}"});
  test::PosixConnector connector;

  SmtpClient wrong(connector, nullptr);
  wrong.Connect("127.0.0.1", server.Port(), "localhost");
  ASSERT_TRUE(wrong.Offers("PLAIN"));
  try {
    wrong.Authenticate("joe", "s3cret");
    FAIL() << "logged in with a wrong password";
  } catch (const SmtpReplyError& e) {
    EXPECT_EQ(e.Code(), 535);
    EXPECT_NE(std::string(e.what()).find("Incorrect authentication data"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(wrong.Authenticated());
  // The connection stays usable, and exim takes no letter without the log-in.
  ASSERT_TRUE(wrong.Connected());
  EXPECT_THROW(wrong.Send(Letter("www4mail@example.net", "refused", "b"), kDate, "<1@example.org>"), SmtpReplyError);
  wrong.Disconnect();

  SmtpClient client(connector, nullptr);
  client.Connect("127.0.0.1", server.Port(), "localhost");
  client.Authenticate("joe", "s3cret{$x}");
  ASSERT_TRUE(client.Authenticated());
  client.Send(Letter("www4mail@example.net", "taken", "send help"), kDate, "<2@example.org>");
  client.Disconnect();

  ASSERT_TRUE(server.WaitForLetters(1));
  const std::vector<std::string> letters = server.Letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_NE(letters[0].find("\r\nSubject: taken\r\n"), std::string::npos);
  const std::string log = server.MainLog();
  EXPECT_EQ(Count(log, " <= "), 1u) << log;
  EXPECT_NE(log.find("A=plain:joe"), std::string::npos) << log;  // exim's name for the authenticator used
  EXPECT_NE(log.find("535 Incorrect authentication data"), std::string::npos) << log;
}

// The clean log of the pipelined run means something only if exim does catch a client that
// sends ahead: here the letter's text goes out with DATA instead of after exim's 354.
TEST(EximSmtp, AClientThatSendsTheTextBeforeTheGoAheadIsRefusedForSynchronization) {
  test::EximServer server;
  auto connection = test::PosixConnector().Connect("127.0.0.1", server.Port());
  std::string heard;
  auto reply = [&] {  // reads up to the last line of the next reply
    for (;;) {
      for (std::size_t at = 0; at < heard.size();) {
        const std::size_t end = heard.find("\r\n", at);
        if (end == std::string::npos) break;
        if (end - at >= 4 && heard[at + 3] == ' ') {
          std::string text = heard.substr(0, end);
          heard.erase(0, end + 2);
          return text;
        }
        at = end + 2;
      }
      heard += connection->Read();
    }
  };
  EXPECT_TRUE(reply().starts_with("220 "));
  connection->Write("EHLO localhost\r\n");
  EXPECT_NE(reply().find("PIPELINING"), std::string::npos);
  connection->Write("MAIL FROM:<user@example.org>\r\nRCPT TO:<www4mail@example.net>\r\nDATA\r\nSubject: early\r\n\r\nsend help\r\n.\r\n");
  EXPECT_TRUE(reply().starts_with("250 "));
  EXPECT_TRUE(reply().starts_with("250 "));
  EXPECT_EQ(reply(), "554 SMTP synchronization error");
  EXPECT_THROW(connection->Read(), GracefulCloseError);  // and it hangs up

  // exim logs the refusal before it answers.
  EXPECT_NE(server.MainLog().find("SMTP protocol synchronization error"), std::string::npos) << server.MainLog();
  EXPECT_NE(server.RejectLog().find("synchronization error"), std::string::npos);
  EXPECT_EQ(Count(server.MainLog(), " <= "), 0u);
}

// With a certificate the server offers STARTTLS and implicit TLS on a second port, and a log-in
// only once the channel is secure, as providers do. This side has no TLS of its own natively:
// Python's ssl and smtplib speak it.
TEST(EximSmtp, WithACertificateStartTlsAndImplicitTlsAreOfferedAndTheLogInOnlyAfterThem) {
  test::TempDir keys;
  const std::string cert = (keys / "cert.pem").string(), key = (keys / "key.pem").string();
  test::RunAndRead({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=localhost", "-keyout",
                    key, "-out", cert});
  test::EximServer server({"--auth", "joe:secret", "--tls-cert", cert, "--tls-key", key, "--implicit-port"});
  ASSERT_NE(server.ImplicitTlsPort(), 0);
  const char* kClient = R"(
import base64, smtplib, ssl, sys
port, implicit, cert = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
context = ssl.create_default_context(cafile=cert)
context.check_hostname = False
def offers(smtp):
    return " ".join(sorted(smtp.esmtp_features))
plain = smtplib.SMTP("127.0.0.1", port, local_hostname="localhost")
plain.ehlo()
print("plain:", offers(plain))
print("auth in plain text:", plain.docmd("AUTH", "PLAIN " + base64.b64encode(b"\0joe\0secret").decode())[0])
plain.starttls(context=context)
plain.ehlo()
print("after starttls:", offers(plain))
plain.login("joe", "secret")
plain.sendmail("user@example.org", ["starttls@example.net"], "Subject: starttls\r\n\r\nsend help\r\n")
plain.quit()
secure = smtplib.SMTP_SSL("127.0.0.1", implicit, local_hostname="localhost", context=context)
secure.ehlo()
print("implicit:", offers(secure))
secure.login("joe", "secret")
secure.sendmail("user@example.org", ["implicit@example.net"], "Subject: implicit\r\n\r\nsend help\r\n")
secure.quit()
)";
  const std::string said =
      test::RunAndRead({"/usr/bin/python3", "-c", kClient, std::to_string(server.Port()), std::to_string(server.ImplicitTlsPort()), cert});
  const std::vector<std::string> plain = LinesWith(said, "plain:"), after = LinesWith(said, "after starttls:"),
                                 implicit = LinesWith(said, "implicit:");
  ASSERT_EQ(plain.size(), 1u) << said;
  EXPECT_NE(plain[0].find("starttls"), std::string::npos) << said;
  EXPECT_EQ(plain[0].find("auth"), std::string::npos) << said;
  EXPECT_NE(said.find("auth in plain text: 503"), std::string::npos) << said;
  ASSERT_EQ(after.size(), 1u) << said;
  EXPECT_NE(after[0].find("auth"), std::string::npos) << said;
  ASSERT_EQ(implicit.size(), 1u) << said;
  EXPECT_NE(implicit[0].find("auth"), std::string::npos) << said;
  EXPECT_NE(implicit[0].find("pipelining"), std::string::npos) << said;

  ASSERT_TRUE(server.WaitForLetters(2)) << said << server.MainLog();
  const std::vector<std::string> taken = LinesWith(server.MainLog(), " <= ");
  ASSERT_EQ(taken.size(), 2u);
  for (const std::string& line : taken) {
    EXPECT_NE(line.find(" X=TLS"), std::string::npos) << line;
    EXPECT_NE(line.find(" A=plain:joe"), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace qp
