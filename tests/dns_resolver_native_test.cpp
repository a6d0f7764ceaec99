// The MX lookup against DNS servers on loopback: the test server of tests/dns_server.py,
// honest and hostile, and dnsmasq.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "delivery/dns_resolver.h"
#include "posix_connector.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

// The two test domains: mail.test with two exchangers (one address in the answer, one
// only through its own A query), and an exchanger-less name.
const std::vector<std::string> kZone = {"--mx", "mail.test=20:mx2.mail.test,10:mx1.mail.test",
                                        "--a",  "mx1.mail.test=127.0.0.21",
                                        "--a",  "mx2.mail.test=127.0.0.22",
                                        "--mx", "nomail.test=0:.",
                                        "--a",  "web.test=127.0.0.30"};

class TestDnsServer {
 public:
  explicit TestDnsServer(std::vector<std::string> flags = {}) {
    std::vector<std::string> argv = {"/usr/bin/python3", QP_SOURCE_DIR "/tests/dns_server.py"};
    argv.insert(argv.end(), kZone.begin(), kZone.end());
    argv.insert(argv.end(), flags.begin(), flags.end());
    process_ = std::make_unique<test::ChildProcess>(argv);
    port_ = std::stoi(process_->FirstLine());
  }
  int Port() const { return port_; }

 private:
  std::unique_ptr<test::ChildProcess> process_;
  int port_ = 0;
};

std::uint16_t RandomId() {
  static std::mt19937 generator{std::random_device{}()};
  return static_cast<std::uint16_t>(generator());
}

MailRoute Route(int port, std::string_view domain, std::chrono::milliseconds timeout = 3s) {
  test::PosixDnsTransport transport;
  DnsResolver resolver(transport, "127.0.0.1", port, timeout, RandomId);
  return resolver.Route(domain);
}

const std::vector<MailHost> kMailTestHosts = {{"mx1.mail.test", {"127.0.0.21"}}, {"mx2.mail.test", {"127.0.0.22"}}};

TEST(DnsLookup, ExchangersComeInOrderOfPreferenceEachWithItsAddress) {
  TestDnsServer server;
  const MailRoute route = Route(server.Port(), "Mail.Test");
  EXPECT_EQ(route.outcome, DnsOutcome::Records);
  EXPECT_EQ(route.hosts, kMailTestHosts);  // mx2's address came from its own A query
}

TEST(DnsLookup, ANullMxAndAMissingDomainAndAnEmptyAnswerAreToldApart) {
  TestDnsServer server;
  const MailRoute null_mx = Route(server.Port(), "nomail.test");
  EXPECT_TRUE(null_mx.null_mx);
  EXPECT_TRUE(null_mx.hosts.empty());
  EXPECT_EQ(Route(server.Port(), "absent.test").outcome, DnsOutcome::NameError);
  EXPECT_EQ(Route(server.Port(), "web.test").outcome, DnsOutcome::NoRecords);
}

TEST(DnsLookup, ServerRefusalsAreToldApart) {
  for (auto [code, outcome] : {std::pair{"2", DnsOutcome::ServerFailure}, {"5", DnsOutcome::Refused}, {"3", DnsOutcome::NameError}}) {
    TestDnsServer server({"--rcode", code});
    EXPECT_EQ(Route(server.Port(), "mail.test").outcome, outcome) << code;
  }
}

// Wrong ID, another question, no response, cut short, a pointer loop, counts past the
// records, and a good-looking answer from another port all come first: the honest answer
// still wins.
TEST(DnsLookup, ForgedDatagramsAreDroppedAndTheGenuineAnswerWins) {
  TestDnsServer server({"--mode", "forged"});
  const MailRoute route = Route(server.Port(), "mail.test");
  EXPECT_EQ(route.outcome, DnsOutcome::Records);
  EXPECT_EQ(route.hosts, kMailTestHosts);
}

TEST(DnsLookup, ATruncatedAnswerIsAskedAgainOverTcp) {
  TestDnsServer server({"--mode", "truncate"});
  const MailRoute route = Route(server.Port(), "mail.test");
  EXPECT_EQ(route.outcome, DnsOutcome::Records);
  EXPECT_EQ(route.hosts, kMailTestHosts);
}

TEST(DnsLookup, ALostQueryIsSentAgainAndSilenceEndsAtTheTimeOut) {
  TestDnsServer deaf_once({"--mode", "deaf-once"});
  EXPECT_EQ(Route(deaf_once.Port(), "mail.test", 1s).hosts, kMailTestHosts);

  TestDnsServer silent({"--mode", "silent"});
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Route(silent.Port(), "mail.test", 600ms).outcome, DnsOutcome::NoAnswer);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 550ms);
  EXPECT_LT(waited, 3s);
}

// A real DNS server: the records as dnsmasq serves them, compressed its own way.
TEST(DnsLookup, DnsmasqServesTheExchangersOfBothTestDomains) {
  test::Dnsmasq dnsmasq({"--mx-host=mail.test,mx2.mail.test,20", "--mx-host=mail.test,mx1.mail.test,10",
                         "--mx-host=other.test,mx.other.test,5", "--host-record=mx1.mail.test,127.0.0.21",
                         "--host-record=mx2.mail.test,127.0.0.22", "--host-record=mx.other.test,127.0.0.23"});
  EXPECT_EQ(Route(dnsmasq.Port(), "mail.test").hosts, kMailTestHosts);
  EXPECT_EQ(Route(dnsmasq.Port(), "other.test").hosts, (std::vector<MailHost>{{"mx.other.test", {"127.0.0.23"}}}));
}

}  // namespace
}  // namespace qp
