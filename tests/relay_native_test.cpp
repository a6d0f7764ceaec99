// Direct delivery against real peers: dnsmasq or the test DNS server names the exchangers,
// aiosmtpd servers on loopback addresses take the letters.
#include <gtest/gtest.h>

#include <random>

#include "delivery/relay_send_method.h"
#include "posix_connector.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

class Progress final : public SendProgress {
 public:
  void Status(const std::string& text) override { statuses.push_back(text); }
  void StepProgress() override {}
  bool Cancelled() const override { return false; }
  void Inform(const std::string& text) override { boxes.push_back(text); }

  std::vector<std::string> statuses, boxes;
};

std::uint16_t RandomId() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint16_t>(generator());
}

class Relay : public ::testing::Test {
 protected:
  // Two exchangers on two loopback addresses, one port: the relay always talks port 25's
  // way, to whatever port the test gives it.
  Relay() : first_({"--host", "127.0.0.21"}), second_({"--host", "127.0.0.22", "--port", std::to_string(first_.Port())}) {}

  bool Send(int dns_port, const std::string& recipients, const std::string& dns_server = "127.0.0.1") {
    test::PosixConnector smtp;
    RelaySendMethod relay({smtp, [] { return std::make_unique<test::PosixDnsTransport>(); }, RandomId, dns_port, first_.Port()}, progress_,
                          [&] {
                            return RelaySettings{dns_server, 2s};
                          });
    ActiveProfile profile;
    profile.email = "me@home.test";
    MailMessage letter;
    letter.recipients = recipients;
    letter.subject = "http://example.com/";
    letter.body = "send http://example.com/";
    return relay.Send(profile, letter, "Thu, 10 Dec 2026 10:00:00 +0000", "<1@home.test>");
  }

  test::SmtpServer first_, second_;
  Progress progress_;
};

TEST_F(Relay, EachDomainsLetterReachesItsExchanger) {
  test::Dnsmasq dnsmasq({"--mx-host=one.test,mx.one.test,10", "--mx-host=two.test,mx.two.test,10", "--host-record=mx.one.test,127.0.0.21",
                         "--host-record=mx.two.test,127.0.0.22"});
  ASSERT_TRUE(Send(dnsmasq.Port(), "www4mail@one.test, getweb@Two.test"));
  ASSERT_EQ(first_.Letters().size(), 1u);
  ASSERT_EQ(second_.Letters().size(), 1u);
  EXPECT_NE(first_.Letters()[0].find("To: www4mail@one.test\r\n"), std::string::npos);
  EXPECT_NE(first_.Letters()[0].find("From: me@home.test\r\n"), std::string::npos);
  EXPECT_NE(second_.Letters()[0].find("To: getweb@Two.test\r\n"), std::string::npos);
  // The status texts come in their order.
  std::vector<std::string> relay_texts;
  for (const std::string& s : progress_.statuses) {
    if (s.starts_with("Assigning") || s.starts_with("Trying") || s.starts_with("Attempting") || s.starts_with("Successful"))
      relay_texts.push_back(s);
  }
  EXPECT_EQ(relay_texts, (std::vector<std::string>{"Assigning mail message properties", "Trying to sendmail", "Attempting connect",
                                                   "Successful connect ... sending message", "Attempting disconnect",
                                                   "Successful disconnect", "Attempting connect", "Successful connect ... sending message",
                                                   "Attempting disconnect", "Successful disconnect"}));
}

// An exchanger is met by its address, which its certificate cannot name: its STARTTLS offer
// does not stop the letter, which goes as direct delivery always has.
TEST_F(Relay, AnExchangerOfferingStartTlsGetsTheLetterAsBefore) {
  test::TempDir certificates;
  const std::string cert = (certificates / "cert.pem").string(), key = (certificates / "key.pem").string();
  test::RunAndRead({"/usr/bin/openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=mx.three.test",
                    "-keyout", key, "-out", cert});
  test::SmtpServer offering({"--host", "127.0.0.23", "--port", std::to_string(first_.Port()), "--tls", cert + "," + key});
  test::Dnsmasq dnsmasq({"--mx-host=three.test,mx.three.test,10", "--host-record=mx.three.test,127.0.0.23"});
  ASSERT_TRUE(Send(dnsmasq.Port(), "www4mail@three.test"));
  EXPECT_EQ(offering.Letters().size(), 1u);
}

// The failed domains are named and the letter counts as failed; the others still get it.
TEST_F(Relay, DomainsThatTakeNoMailAreNamedAndTheOthersStillDelivered) {
  test::ChildProcess dns({"/usr/bin/python3", QP_SOURCE_DIR "/tests/dns_server.py", "--mx", "one.test=10:mx.one.test", "--a",
                          "mx.one.test=127.0.0.21", "--mx", "nullmx.test=0:.", "--mx", "down.test=10:mx.down.test,20:mx2.down.test", "--a",
                          "mx.down.test=127.0.0.23", "--a", "mx2.down.test=127.0.0.24", "--a", "web.test=127.0.0.30"});
  const int port = std::stoi(dns.FirstLine());
  EXPECT_FALSE(Send(port, "a@nullmx.test, b@absent.test, c@web.test, d@down.test, e@one.test"));
  EXPECT_EQ(first_.Letters().size(), 1u);
  std::string failed;
  for (const std::string& s : progress_.statuses) {
    if (s.starts_with("Письмо не доставлено в домен")) failed += s + "\n";
  }
  EXPECT_NE(failed.find("nullmx.test: домен не принимает почту (null MX)"), std::string::npos) << failed;
  EXPECT_NE(failed.find("absent.test: такого домена нет"), std::string::npos) << failed;
  EXPECT_NE(failed.find("web.test: у домена нет почтовых серверов (MX)"), std::string::npos) << failed;
  EXPECT_NE(failed.find("down.test: ни один почтовый сервер домена не принял соединение"), std::string::npos) << failed;
  EXPECT_EQ(failed.find("one.test"), std::string::npos) << failed;
}

TEST_F(Relay, MissingSettingsAreListedInOneBoxAndNothingGoes) {
  EXPECT_FALSE(Send(1, " ", "  "));
  ASSERT_EQ(progress_.boxes.size(), 1u);
  EXPECT_EQ(progress_.boxes[0],
            "Cannot proceed due to the following errors:\r\n\r\xC2\xBB"
            "DNS server not filled in\r\xC2\xBBRecipient not filled in");
  EXPECT_TRUE(first_.Letters().empty());
  EXPECT_EQ(RelayInputProblems("", "", ""),
            "Cannot proceed due to the following errors:\r\n\r\xC2\xBB"
            "DNS server not filled in\r\xC2\xBBSender email not filled in"
            "\r\xC2\xBBRecipient not filled in");
}

}  // namespace
}  // namespace qp
