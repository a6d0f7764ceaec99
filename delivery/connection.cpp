// What every connection shares: the default of a connector without TLS, and fingerprints.
#include "delivery/connection.h"

#include <cctype>

#include "lang/language.h"

namespace qp {
namespace {

std::string HexDigits(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return digits;
}

}  // namespace

TlsError::TlsError(const std::string& host, const std::string& detail)
    : std::runtime_error(host + ": " + LookupMessage("не удалось установить защищённое соединение (TLS)", "textTlsFailed") +
                         (detail.empty() ? "" : " (" + detail + ")")) {}

std::unique_ptr<Connection> Connector::Secure(std::unique_ptr<Connection> plain, const TlsPeer& peer) {
  plain->Close();
  throw TlsError(peer.host);
}

bool SameFingerprint(std::string_view a, std::string_view b) {
  const std::string left = HexDigits(a);
  return !left.empty() && left == HexDigits(b);
}

std::string FingerprintText(std::string_view digest) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned char byte : digest) {
    if (!text.empty()) text += ':';
    text += kHex[byte >> 4];
    text += kHex[byte & 15];
  }
  return text;
}

}  // namespace qp
