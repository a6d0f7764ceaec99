// DNS queries and answers: what the program sends, and what it believes of what comes back.
#include <gtest/gtest.h>

#include "delivery/dns_message.h"

namespace qp {
namespace {

std::string U16(int value) { return {static_cast<char>(value >> 8 & 0xFF), static_cast<char>(value & 0xFF)}; }

std::string WireName(std::string_view name) {
  std::string wire;
  while (!name.empty()) {
    const std::size_t dot = std::min(name.find('.'), name.size());
    wire += static_cast<char>(dot);
    wire.append(name.substr(0, dot));
    name.remove_prefix(std::min(dot + 1, name.size()));
  }
  return wire + '\0';
}

// An answer laid out by hand: header, the question of `name`/`type`, then the records as given.
struct Answer {
  int id = 0x1234, flags = 0x8180;  // a response, recursion desired and available, NOERROR
  std::string name = "example.org";
  int type = kDnsTypeMx;
  int questions = 1, answers = 0, authorities = 0, additionals = 0;
  std::string records;

  std::string Bytes() const {
    return U16(id) + U16(flags) + U16(questions) + U16(answers) + U16(authorities) + U16(additionals) + WireName(name) + U16(type) +
           U16(1) + records;
  }
};

// A record: owner (wire form), type, class IN, TTL, its data.
std::string Record(const std::string& owner, int type, const std::string& data) {
  return owner + U16(type) + U16(1) + std::string("\0\0\x0e\x10", 4) + U16(static_cast<int>(data.size())) + data;
}
const std::string kQuestionName = std::string("\xC0\x0C", 2);  // a pointer to the question's name

std::string Mx(int preference, const std::string& host_wire) { return Record(kQuestionName, kDnsTypeMx, U16(preference) + host_wire); }
std::string A(const std::string& owner_wire, std::string_view address4) { return Record(owner_wire, kDnsTypeA, std::string(address4)); }

DnsAnswer Parse(const std::string& bytes, std::string_view name = "example.org", std::uint16_t type = kDnsTypeMx) {
  return ParseDnsAnswer(bytes, 0x1234, name, type);
}

// Two exchangers, the preferred one second, with the address of one of them.
Answer TwoExchangers() {
  Answer a;
  a.answers = 2;
  a.additionals = 1;
  a.records = Mx(20, WireName("mx2.example.org")) + Mx(10, WireName("MX1.example.org")) +
              A(WireName("mx1.example.org"), std::string("\x7f\0\0\x02", 4));
  return a;
}

TEST(DnsQuery, AsksOneQuestionWithRecursionDesired) {
  EXPECT_EQ(BuildDnsQuery(0xBEEF, "Mail.Example.org.", kDnsTypeMx),
            std::string("\xBE\xEF\x01\x00\0\x01\0\0\0\0\0\0", 12) + "\x04Mail\x07" + "Example\x03org" + std::string("\0\0\x0f\0\x01", 5));
  EXPECT_EQ(FrameDnsForTcp("abc"), std::string("\0\x03"
                                               "abc",
                                               5));
}

TEST(DnsQuery, NamesDnsCannotCarryAreRefused) {
  EXPECT_FALSE(BuildDnsQuery(1, "", kDnsTypeMx));
  EXPECT_FALSE(BuildDnsQuery(1, ".", kDnsTypeMx));
  EXPECT_FALSE(BuildDnsQuery(1, "a..b", kDnsTypeMx));
  EXPECT_FALSE(BuildDnsQuery(1, std::string(64, 'a') + ".org", kDnsTypeMx));
  EXPECT_TRUE(BuildDnsQuery(1, std::string(63, 'a') + ".org", kDnsTypeMx));
  // 255 bytes on the wire is the most: four labels of 63 make 4 * 64 + 1 = 257.
  const std::string label(63, 'a');
  EXPECT_FALSE(BuildDnsQuery(1, label + "." + label + "." + label + "." + label, kDnsTypeMx));
  EXPECT_TRUE(BuildDnsQuery(1, label + "." + label + "." + label + "." + std::string(61, 'a'), kDnsTypeMx));
}

TEST(DnsAnswer, ExchangersComeInOrderOfPreferenceWithTheirAddresses) {
  DnsAnswer answer = Parse(TwoExchangers().Bytes());
  ASSERT_EQ(answer.outcome, DnsOutcome::Records);
  EXPECT_EQ(answer.mx, (std::vector<DnsMx>{{20, "mx2.example.org"}, {10, "mx1.example.org"}}));
  EXPECT_EQ(OrderMailExchangers(answer.mx).hosts, (std::vector<std::string>{"mx1.example.org", "mx2.example.org"}));
  EXPECT_EQ(AddressesOf(answer, "MX1.example.org."), std::vector<std::string>{"127.0.0.2"});
  EXPECT_TRUE(AddressesOf(answer, "mx2.example.org").empty());                             // that one gets its own A query
  EXPECT_EQ(Parse(TwoExchangers().Bytes(), "EXAMPLE.ORG.").outcome, DnsOutcome::Records);  // names ignore case
}

TEST(DnsAnswer, TheOrderKeepsEqualPreferencesAsAnsweredAndNamesEachHostOnce) {
  EXPECT_EQ(OrderMailExchangers({{5, "b"}, {5, "a"}, {1, "c"}, {5, "b"}}).hosts, (std::vector<std::string>{"c", "b", "a"}));
  MailExchangers null_mx = OrderMailExchangers({{0, ""}});
  EXPECT_TRUE(null_mx.null_mx);
  EXPECT_TRUE(null_mx.hosts.empty());
  EXPECT_FALSE(OrderMailExchangers({}).null_mx);  // no records is no MX, not a null MX

  Answer a;
  a.answers = 1;
  a.records = Mx(0, std::string(1, '\0'));
  DnsAnswer answer = Parse(a.Bytes());
  EXPECT_EQ(answer.outcome, DnsOutcome::Records);
  EXPECT_TRUE(OrderMailExchangers(answer.mx).null_mx);
}

TEST(DnsAnswer, DatagramsForAnotherQuestionAreNotOurs) {
  Answer a = TwoExchangers();
  auto outcome = [](const Answer& changed) { return Parse(changed.Bytes()).outcome; };
  Answer other = a;
  other.id = 0x1235;
  EXPECT_EQ(outcome(other), DnsOutcome::NotOurs);
  other = a;
  other.flags = 0x0100;  // a query, not a response
  EXPECT_EQ(outcome(other), DnsOutcome::NotOurs);
  other = a;
  other.name = "example.net";
  EXPECT_EQ(outcome(other), DnsOutcome::NotOurs);
  other = a;
  other.type = kDnsTypeA;
  EXPECT_EQ(outcome(other), DnsOutcome::NotOurs);
  other = a;
  other.questions = 2;
  EXPECT_EQ(outcome(other), DnsOutcome::NotOurs);
  EXPECT_EQ(Parse(std::string(11, '\x12')).outcome, DnsOutcome::NotOurs);
  EXPECT_TRUE(KeepWaiting(DnsOutcome::NotOurs));
}

TEST(DnsAnswer, ResponseCodesAreToldApart) {
  Answer a;
  for (auto [code, outcome] : {std::pair{0, DnsOutcome::NoRecords},
                               {2, DnsOutcome::ServerFailure},
                               {3, DnsOutcome::NameError},
                               {5, DnsOutcome::Refused},
                               {4, DnsOutcome::OtherError}}) {
    a.flags = 0x8180 | code;
    EXPECT_EQ(Parse(a.Bytes()).outcome, outcome) << code;
    EXPECT_FALSE(KeepWaiting(outcome));
  }
  a.flags = 0x8380;  // TC: the rest is not worth reading
  a.answers = 7;
  EXPECT_EQ(Parse(a.Bytes()).outcome, DnsOutcome::Truncated);
  // A records of another name do not make an A answer.
  Answer other;
  other.type = kDnsTypeA;
  other.answers = 1;
  other.records = A(WireName("elsewhere.org"), "\x01\x02\x03\x04");
  EXPECT_EQ(Parse(other.Bytes(), "example.org", kDnsTypeA).outcome, DnsOutcome::NoRecords);
  other.records = A(kQuestionName, "\x01\x02\x03\x04");
  EXPECT_EQ(Parse(other.Bytes(), "example.org", kDnsTypeA).outcome, DnsOutcome::Records);
}

// Whatever a forger sends is dropped and the wait goes on: no crash, no records believed.
TEST(DnsAnswer, MessagesThatDoNotHoldTogetherAreDropped) {
  auto malformed = [](std::string records, int answers = 1) {
    Answer a;
    a.answers = answers;
    a.records = std::move(records);
    return Parse(a.Bytes()).outcome;
  };
  EXPECT_EQ(malformed(Mx(10, std::string("\xC0\x2B", 2))), DnsOutcome::Malformed);  // a pointer to itself
  EXPECT_EQ(malformed(Mx(10, std::string("\xC0\x7F", 2))), DnsOutcome::Malformed);  // a pointer forwards
  EXPECT_EQ(malformed(Mx(10, std::string("\x41"
                                         "a",
                                         2))),
            DnsOutcome::Malformed);                                                    // a reserved label kind
  EXPECT_EQ(malformed(Mx(10, WireName("mx.example.org")), 2), DnsOutcome::Malformed);  // counts more than there is
  EXPECT_EQ(malformed(Record(kQuestionName, kDnsTypeA, "\x01\x02\x03\x04\x05")), DnsOutcome::Malformed);
  EXPECT_EQ(malformed(Record(kQuestionName, kDnsTypeMx, U16(1) + "\x02mx")), DnsOutcome::Malformed);  // a name past its record
  EXPECT_EQ(malformed(Record(kQuestionName, kDnsTypeMx, U16(1) + WireName("mx") + "x")), DnsOutcome::Malformed);
  EXPECT_EQ(malformed(Record(kQuestionName, kDnsTypeMx, U16(1) + std::string("\x04mx.a\0", 6))), DnsOutcome::Malformed);
  std::string long_length = Mx(10, WireName("mx"));
  long_length[11] = '\x7F';
  EXPECT_EQ(malformed(long_length), DnsOutcome::Malformed);  // data length beyond the message
  EXPECT_TRUE(KeepWaiting(DnsOutcome::Malformed));

  // A name of 63-byte labels that grows past 255 bytes only through pointers.
  // Each exchanger is a label and a pointer to the one before: the fourth is 4 * 64 + 1
  // bytes long. The records start at 29; a host name 14 bytes into its record.
  Answer a;
  a.answers = 3;
  const std::string label = '\x3F' + std::string(63, 'x');
  a.records = Mx(1, label + std::string(1, '\0')) + Mx(1, label + "\xC0\x2B") + Mx(1, label + "\xC0\x7A");
  EXPECT_EQ(Parse(a.Bytes()).outcome, DnsOutcome::Records);  // 193 bytes: still a name
  a.answers = 4;
  a.records += Mx(1, label + "\xC0\xCA");
  EXPECT_EQ(Parse(a.Bytes()).outcome, DnsOutcome::Malformed);
}

TEST(DnsAnswer, EveryCutOfAGoodAnswerIsDroppedWithoutHarm) {
  const std::string whole = TwoExchangers().Bytes();
  for (std::size_t size = 0; size < whole.size(); ++size) {
    const DnsOutcome outcome = Parse(whole.substr(0, size)).outcome;
    EXPECT_TRUE(KeepWaiting(outcome)) << size;
  }
  EXPECT_EQ(Parse(whole).outcome, DnsOutcome::Records);
}

}  // namespace
}  // namespace qp
