// The MX lookup.
#include "delivery/dns_resolver.h"

#include <algorithm>
#include <utility>

namespace qp {

int MillisecondsUntil(DnsTransport::Deadline deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
  return static_cast<int>(std::max<long long>(left, 0));
}

std::string ExchangeDnsOverTcp(Connection& connection, std::string_view message) {
  connection.Write(FrameDnsForTcp(message));
  std::string received;
  auto length = [&] {
    return static_cast<std::size_t>(static_cast<unsigned char>(received[0]) << 8 | static_cast<unsigned char>(received[1]));
  };
  // Read throws at the time-out or when the server closes early.
  while (received.size() < 2 || received.size() < 2 + length()) received += connection.Read();
  return received.substr(2, length());
}

DnsResolver::DnsResolver(DnsTransport& transport, std::string server, int port, std::chrono::milliseconds timeout,
                         std::function<std::uint16_t()> random_id)
    : transport_(transport), server_(std::move(server)), port_(port), timeout_(timeout), random_id_(std::move(random_id)) {}

DnsAnswer DnsResolver::Ask(std::string_view name, std::uint16_t type) {
  const std::uint16_t id = random_id_();
  const std::optional<std::string> query = BuildDnsQuery(id, name, type);
  if (!query) return {.outcome = DnsOutcome::BadName};
  const auto start = std::chrono::steady_clock::now();
  const DnsTransport::Deadline halfway = start + timeout_ / 2, deadline = start + timeout_;
  transport_.Send(server_, port_, *query);
  bool sent_again = false;
  while (true) {
    const bool first_half = !sent_again;
    std::optional<DnsTransport::Datagram> datagram = transport_.Receive(first_half ? halfway : deadline);
    if (!datagram) {
      if (!first_half || transport_.Cancelled()) return {.outcome = DnsOutcome::NoAnswer};
      transport_.Send(server_, port_, *query);
      sent_again = true;
      continue;
    }
    if (datagram->from_address != server_ || datagram->from_port != port_) continue;
    DnsAnswer answer = ParseDnsAnswer(datagram->bytes, id, name, type);
    if (KeepWaiting(answer.outcome)) continue;
    if (answer.outcome != DnsOutcome::Truncated) return answer;
    answer = ParseDnsAnswer(transport_.AskOverTcp(server_, port_, *query, deadline), id, name, type);
    if (KeepWaiting(answer.outcome) || answer.outcome == DnsOutcome::Truncated) return {.outcome = DnsOutcome::NoAnswer};
    return answer;
  }
}

MailRoute DnsResolver::Route(std::string_view domain) {
  MailRoute route;
  const DnsAnswer answer = Ask(domain, kDnsTypeMx);
  route.outcome = answer.outcome;
  const MailExchangers exchangers = OrderMailExchangers(answer.mx);
  route.null_mx = exchangers.null_mx;
  for (const std::string& host : exchangers.hosts) {
    std::vector<std::string> addresses = AddressesOf(answer, host);
    if (addresses.empty()) {
      const DnsAnswer own = Ask(host, kDnsTypeA);
      if (own.outcome == DnsOutcome::Records) addresses = AddressesOf(own, host);
    }
    route.hosts.push_back({host, std::move(addresses)});
  }
  return route;
}

}  // namespace qp
