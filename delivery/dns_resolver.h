// The MX lookup of direct delivery: asks the user's DNS server over UDP (TCP when the
// answer does not fit), believes only answers to the question it asked from the server it
// asked, and turns a domain into the hosts and addresses to try, in order.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/connection.h"
#include "delivery/dns_message.h"

namespace qp {

// The network under the resolver: one UDP socket on a local port nobody can guess,
// and TCP for an answer that came truncated.
class DnsTransport {
 public:
  struct Datagram {
    std::string bytes;
    std::string from_address;  // dotted IPv4
    int from_port = 0;
  };
  using Deadline = std::chrono::steady_clock::time_point;

  virtual ~DnsTransport() = default;
  // Throws SocketError when the datagram cannot go out.
  virtual void Send(const std::string& server, int port, std::string_view message) = 0;
  // The next datagram to arrive, or nullopt at the deadline or when the user cancelled.
  virtual std::optional<Datagram> Receive(Deadline deadline) = 0;
  // Whether the user cancelled: the lookup ends at once.
  virtual bool Cancelled() const { return false; }
  // One message and its answer over TCP, without the length bytes; throws SocketError.
  virtual std::string AskOverTcp(const std::string& server, int port, std::string_view message, Deadline deadline) = 0;
};

// Milliseconds left until the deadline, rounded up (a wait that ends before its deadline
// would look like a cancel), never below 0.
int MillisecondsUntil(DnsTransport::Deadline deadline);

// A message and its answer over an open TCP connection: both after two length bytes.
std::string ExchangeDnsOverTcp(Connection& connection, std::string_view message);

// One exchanger of a domain with the addresses to connect to (none: it has no address).
struct MailHost {
  std::string name;
  std::vector<std::string> addresses;
  bool operator==(const MailHost&) const = default;
};

struct MailRoute {
  DnsOutcome outcome = DnsOutcome::NoAnswer;  // of the MX query
  bool null_mx = false;                       // the domain says it takes no mail
  std::vector<MailHost> hosts;                // in order of preference
};

class DnsResolver {
 public:
  // `server` is the DNS server's dotted IPv4 address; `random_id` gives each query its ID.
  DnsResolver(DnsTransport& transport, std::string server, int port, std::chrono::milliseconds timeout,
              std::function<std::uint16_t()> random_id);

  // One question. The query goes out again halfway through the time-out when nothing of
  // ours has come; datagrams from elsewhere, for another question or that do not hold
  // together are dropped and the wait goes on. The transport's SocketError passes through.
  DnsAnswer Ask(std::string_view name, std::uint16_t type);

  // The MX hosts of a domain with their addresses: from the MX answer where it carries
  // them, otherwise from an A query of their own.
  MailRoute Route(std::string_view domain);

 private:
  DnsTransport& transport_;
  std::string server_;
  int port_;
  std::chrono::milliseconds timeout_;
  std::function<std::uint16_t()> random_id_;
};

}  // namespace qp
