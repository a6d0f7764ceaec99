// Fuzzes the reading of DNS answers as anyone on the network may send them: any bytes must
// be read in bounded time, and whatever is believed must be what DNS allows.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "delivery/dns_message.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view message(reinterpret_cast<const char*>(data), size);
  // The ID the message carries, so that the fuzzer gets past the first check at once.
  const std::uint16_t id = size >= 2 ? static_cast<std::uint16_t>(data[0] << 8 | data[1]) : 0;
  for (std::uint16_t type : {qp::kDnsTypeMx, qp::kDnsTypeA}) {
    const qp::DnsAnswer answer = qp::ParseDnsAnswer(message, id, "example.org", type);
    if (qp::KeepWaiting(answer.outcome) || answer.outcome == qp::DnsOutcome::Truncated) {
      Check(answer.mx.empty() && answer.addresses.empty());
    }
    for (const qp::DnsMx& mx : answer.mx) Check(mx.host.size() < qp::kDnsMaxName);
    for (const qp::DnsAddress& a : answer.addresses) Check(a.name.size() < qp::kDnsMaxName && a.address.size() <= 15);
    const qp::MailExchangers exchangers = qp::OrderMailExchangers(answer.mx);
    Check(exchangers.hosts.size() <= answer.mx.size());
    Check(!exchangers.null_mx || exchangers.hosts.empty());
  }
  return 0;
}
