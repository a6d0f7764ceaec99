// DNS queries and the reading of their answers.
#include "delivery/dns_message.h"

#include <algorithm>

namespace qp {
namespace {

constexpr std::size_t kHeaderSize = 12;
constexpr std::uint16_t kClassIn = 1;
constexpr int kMaxPointerHops = 32;  // backward pointers end anyway; this bounds the work

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

void Put16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value >> 8);
  out += static_cast<char>(value & 0xFF);
}

// Reads the message's bytes with every access checked: a read past the end fails the
// reader for good, so the parser checks once per step instead of before every byte.
class Reader {
 public:
  explicit Reader(std::string_view message) : m_(message) {}
  bool Ok() const { return ok_; }
  std::size_t Pos() const { return pos_; }
  void Seek(std::size_t pos) {
    if (pos > m_.size()) ok_ = false;
    pos_ = std::min(pos, m_.size());
  }
  std::uint8_t U8() {
    if (pos_ >= m_.size()) {
      ok_ = false;
      return 0;
    }
    return static_cast<std::uint8_t>(m_[pos_++]);
  }
  std::uint16_t U16() {
    const std::uint16_t high = U8();
    return static_cast<std::uint16_t>(high << 8 | U8());
  }
  void Skip(std::size_t n) { Seek(pos_ + n); }

  // A name at the current position, in text form (lower case, dots between labels, "" for
  // the root); the position moves past the name's bytes where it starts (not where a
  // pointer leads). nullopt, and the reader failed, for anything DNS does not allow.
  std::optional<std::string> Name() {
    std::string text;
    std::size_t wire = 1;  // the root's zero byte
    std::size_t at = pos_, resume = 0;
    bool jumped = false;
    int hops = 0;
    while (true) {
      if (at >= m_.size()) return Fail();
      const auto length = static_cast<std::uint8_t>(m_[at]);
      if (length == 0) {
        ++at;
        break;
      }
      if ((length & 0xC0) == 0xC0) {
        if (at + 1 >= m_.size() || ++hops > kMaxPointerHops) return Fail();
        const std::size_t target = (length & 0x3F) << 8 | static_cast<std::uint8_t>(m_[at + 1]);
        if (target >= at) return Fail();  // only backwards: no loops
        if (!jumped) resume = at + 2;
        jumped = true;
        at = target;
        continue;
      }
      if (length & 0xC0) return Fail();  // the reserved label kinds
      if (length > kDnsMaxLabel || at + 1 + length > m_.size()) return Fail();
      wire += length + 1u;
      if (wire > kDnsMaxName) return Fail();
      const std::string_view label = m_.substr(at + 1, length);
      // A dot inside a label would make the text form say another name.
      if (label.find('.') != std::string_view::npos) return Fail();
      if (!text.empty()) text += '.';
      for (char c : label) text += Lower(c);
      at += 1u + length;
    }
    pos_ = jumped ? resume : at;
    return text;
  }

 private:
  std::nullopt_t Fail() {
    ok_ = false;
    return std::nullopt;
  }

  std::string_view m_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

DnsOutcome OutcomeOf(int rcode, bool any_records) {
  switch (rcode) {
    case 0: return any_records ? DnsOutcome::Records : DnsOutcome::NoRecords;
    case 2: return DnsOutcome::ServerFailure;
    case 3: return DnsOutcome::NameError;
    case 5: return DnsOutcome::Refused;
    default: return DnsOutcome::OtherError;
  }
}

}  // namespace

std::string CanonicalDnsName(std::string_view name) {
  std::string text;
  for (char c : name) text += Lower(c);
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

std::optional<std::string> BuildDnsQuery(std::uint16_t id, std::string_view name, std::uint16_t type) {
  if (name.ends_with('.')) name.remove_suffix(1);
  if (name.empty()) return std::nullopt;
  std::string query;
  Put16(query, id);
  Put16(query, 0x0100);  // a standard query, recursion desired
  Put16(query, 1);       // one question
  Put16(query, 0);
  Put16(query, 0);
  Put16(query, 0);
  std::size_t wire = 1;
  for (std::size_t start = 0; start <= name.size();) {
    const std::size_t dot = std::min(name.find('.', start), name.size());
    const std::size_t length = dot - start;
    if (length == 0 || length > kDnsMaxLabel) return std::nullopt;
    wire += length + 1;
    if (wire > kDnsMaxName) return std::nullopt;
    query += static_cast<char>(length);
    query.append(name.substr(start, length));
    start = dot + 1;
  }
  query += '\0';
  Put16(query, type);
  Put16(query, kClassIn);
  return query;
}

std::string FrameDnsForTcp(std::string_view message) {
  std::string framed;
  Put16(framed, static_cast<std::uint16_t>(message.size()));
  framed.append(message);
  return framed;
}

DnsAnswer ParseDnsAnswer(std::string_view message, std::uint16_t id, std::string_view name, std::uint16_t type) {
  DnsAnswer answer;
  Reader r(message);
  if (message.size() < kHeaderSize || r.U16() != id) return answer;
  const std::uint16_t flags = r.U16();
  const bool response = flags & 0x8000, truncated = flags & 0x0200;
  const int opcode = flags >> 11 & 0xF, rcode = flags & 0xF;
  const std::uint16_t questions = r.U16(), answers = r.U16(), authorities = r.U16(), additionals = r.U16();
  if (!response || opcode != 0 || questions != 1) return answer;
  const std::optional<std::string> asked = r.Name();
  const std::uint16_t asked_type = r.U16(), asked_class = r.U16();
  if (!r.Ok() || *asked != CanonicalDnsName(name) || asked_type != type || asked_class != kClassIn) return answer;

  answer.outcome = DnsOutcome::Malformed;
  if (truncated) {
    answer.outcome = DnsOutcome::Truncated;
    return answer;
  }
  std::vector<DnsMx> mx;
  std::vector<DnsAddress> addresses;
  const std::size_t records = std::size_t{answers} + authorities + additionals;
  for (std::size_t i = 0; i < records; ++i) {
    const std::optional<std::string> owner = r.Name();
    const std::uint16_t record_type = r.U16(), record_class = r.U16();
    r.Skip(4);  // time to live
    const std::uint16_t length = r.U16();
    const std::size_t data = r.Pos(), end = data + length;
    if (!r.Ok() || end > message.size()) return answer;
    const bool in_answer = i < answers, in_authority = !in_answer && i < std::size_t{answers} + authorities;
    if (record_class == kClassIn && record_type == kDnsTypeMx && in_answer) {
      const std::uint16_t preference = r.U16();
      const std::optional<std::string> host = r.Name();
      if (!r.Ok() || r.Pos() != end) return answer;
      if (*owner == CanonicalDnsName(name)) mx.push_back({preference, *host});
    } else if (record_class == kClassIn && record_type == kDnsTypeA && !in_authority) {
      if (length != 4) return answer;
      std::string dotted;
      for (int b = 0; b < 4; ++b) dotted += (b ? "." : "") + std::to_string(r.U8());
      addresses.push_back({*owner, std::move(dotted)});
    }
    r.Seek(end);
  }
  if (!r.Ok()) return answer;
  const bool any = type == kDnsTypeMx ? !mx.empty() : std::any_of(addresses.begin(), addresses.end(), [&](const DnsAddress& a) {
    return a.name == CanonicalDnsName(name);
  });
  answer.outcome = OutcomeOf(rcode, any);
  answer.mx = std::move(mx);
  answer.addresses = std::move(addresses);
  return answer;
}

MailExchangers OrderMailExchangers(const std::vector<DnsMx>& records) {
  MailExchangers exchangers;
  std::vector<DnsMx> sorted = records;
  std::stable_sort(sorted.begin(), sorted.end(), [](const DnsMx& a, const DnsMx& b) { return a.preference < b.preference; });
  for (const DnsMx& record : sorted) {
    if (record.host.empty()) continue;  // the root is no host
    if (std::find(exchangers.hosts.begin(), exchangers.hosts.end(), record.host) == exchangers.hosts.end()) {
      exchangers.hosts.push_back(record.host);
    }
  }
  exchangers.null_mx = !records.empty() && exchangers.hosts.empty();
  return exchangers;
}

std::vector<std::string> AddressesOf(const DnsAnswer& answer, std::string_view host) {
  const std::string wanted = CanonicalDnsName(host);
  std::vector<std::string> found;
  for (const DnsAddress& a : answer.addresses) {
    if (a.name == wanted) found.push_back(a.address);
  }
  return found;
}

}  // namespace qp
