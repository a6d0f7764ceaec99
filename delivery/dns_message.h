// DNS messages for the MX lookup of direct delivery (RFC 1035): the query the program
// sends, and the checks an answer must pass before anything in it is believed. An answer
// comes over UDP from anyone who can guess a port, so every length, count and name in it
// is checked against the bytes that are really there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

inline constexpr std::uint16_t kDnsTypeA = 1;
inline constexpr std::uint16_t kDnsTypeMx = 15;
inline constexpr std::size_t kDnsMaxLabel = 63;  // bytes of one label
inline constexpr std::size_t kDnsMaxName = 255;  // bytes of a whole name on the wire
inline constexpr std::size_t kDnsMaxUdpSize = 512;

// A query for `name` (labels between dots, a final dot allowed) of `type` in class IN, with
// recursion desired. nullopt for a name DNS cannot carry: empty, an empty or over-long label,
// over 255 bytes on the wire.
std::optional<std::string> BuildDnsQuery(std::uint16_t id, std::string_view name, std::uint16_t type);

// A message as it goes over TCP: after two bytes of its length.
std::string FrameDnsForTcp(std::string_view message);

// What a datagram that arrived while waiting for an answer is.
enum class DnsOutcome {
  NotOurs,        // another ID, not a response, another question: dropped, the wait goes on
  Malformed,      // looks like ours but does not hold together: dropped too (a forger's
                  // garbage must not end the lookup)
  Truncated,      // the server set TC: ask again over TCP
  Records,        // NOERROR, with records of the type asked for
  NoRecords,      // NOERROR, and the name has none of that type
  NameError,      // NXDOMAIN: the name does not exist
  ServerFailure,  // SERVFAIL
  Refused,        // REFUSED
  OtherError,     // any other response code
  NoAnswer,       // the resolver's: no answer of ours came before the time-out
  BadName,        // the resolver's: a name no query can carry
};

// Whether the wait for an answer goes on after this datagram.
inline bool KeepWaiting(DnsOutcome outcome) { return outcome == DnsOutcome::NotOurs || outcome == DnsOutcome::Malformed; }

struct DnsMx {
  std::uint16_t preference = 0;
  std::string host;  // lower case, no final dot; "" is the root (a null MX)
  bool operator==(const DnsMx&) const = default;
};

struct DnsAddress {
  std::string name;     // lower case, no final dot
  std::string address;  // dotted IPv4
  bool operator==(const DnsAddress&) const = default;
};

struct DnsAnswer {
  DnsOutcome outcome = DnsOutcome::NotOurs;
  std::vector<DnsMx> mx;              // MX records of the answer section
  std::vector<DnsAddress> addresses;  // A records of the answer and additional sections
};

// Reads a datagram (or a TCP message without its length bytes) against the query it must
// answer: the ID, the response flag, and the one question (name compared without regard to
// case, type, class IN) must match, or it is not ours. Names are followed through
// compression pointers, which must point backwards; labels are at most 63 bytes and names
// at most 255, and every record must lie whole inside the message.
DnsAnswer ParseDnsAnswer(std::string_view message, std::uint16_t id, std::string_view name, std::uint16_t type);

// The exchangers to try, in order of preference (equal preferences keep the answer's
// order, duplicates once). A domain whose only record is the root (RFC 7505) takes no
// mail: `null_mx`, and no hosts.
struct MailExchangers {
  bool null_mx = false;
  std::vector<std::string> hosts;
};
MailExchangers OrderMailExchangers(const std::vector<DnsMx>& records);

// The addresses the answer gives for `host`, in answer order.
std::vector<std::string> AddressesOf(const DnsAnswer& answer, std::string_view host);

// A name as the answers carry it: lower case, without a final dot.
std::string CanonicalDnsName(std::string_view name);

}  // namespace qp
