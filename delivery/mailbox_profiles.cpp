// Mailbox profiles and their SMTP server entries.
#include "delivery/mailbox_profiles.h"

#include <algorithm>
#include <cctype>

#include "base/integer_text.h"
#include "base/lines.h"
#include "base/text_codec.h"
#include "lang/language.h"

namespace qp {
namespace {

constexpr int kSendByTheBat = 4;

std::string Value(const IniFile& settings, std::string_view section, const std::string& key, std::string_view def) {
  return std::string(CutChars(settings.ReadString(section, key, def), kProfileValueChars));
}

// A fingerprint as the program has always written one: 32 bytes in hex, colons between.
bool IsBareFingerprint(std::string_view text) {
  std::size_t digits = 0;
  for (char c : text) {
    if (std::isxdigit(static_cast<unsigned char>(c))) {
      ++digits;
    } else if (c != ':') {
      return false;
    }
  }
  return digits == 64;
}

// "host:port:fingerprint", or nothing when the text is not one.
std::optional<CertificatePin> ParsePin(std::string_view text) {
  CertificatePin pin;
  std::size_t port_at = 0;
  if (text.starts_with('[')) {
    const std::size_t end = text.find("]:");
    if (end == std::string_view::npos) return std::nullopt;
    pin.host = text.substr(1, end - 1);
    port_at = end + 2;
  } else {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    pin.host = text.substr(0, colon);
    port_at = colon + 1;
  }
  const std::size_t colon = text.find(':', port_at);
  if (colon == std::string_view::npos) return std::nullopt;
  pin.port = text.substr(port_at, colon - port_at);
  pin.fingerprint = text.substr(colon + 1);
  const bool port_is_number =
      !pin.port.empty() && std::all_of(pin.port.begin(), pin.port.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
  if (pin.host.empty() || !port_is_number || pin.fingerprint.empty()) return std::nullopt;
  return pin;
}

// SMTP server entry k's values into the profile.
void LoadServerEntry(const IniFile& settings, int k, ActiveProfile& profile) {
  const std::string num = std::to_string(k);
  profile.smtp_host = Value(settings, "SMTP", "SMTP" + num, "");
  profile.smtp_port = Value(settings, "SMTP", "Port" + num, "25");
  profile.smtp_user = Value(settings, "SMTP", "User" + num, "");
  profile.smtp_password = Value(settings, "SMTP", "Pass" + num, "");
  profile.smtp_tls = Value(settings, "SMTP", "TLS" + num, "");
  const CertificatePin pin = ReadCertificatePin(settings.ReadString("SMTP", "Cert" + num, ""), profile.smtp_host, profile.smtp_port);
  // A pin made for the server the entry named before trusts nothing here.
  profile.smtp_certificate = PinFits(pin, profile.smtp_host, profile.smtp_port) ? pin.fingerprint : "";
  profile.smtp_entry = k;
}

}  // namespace

bool IsProfileNumber(int n) { return n >= 1 && n <= kProfileCount; }

std::string PinText(const CertificatePin& pin) {
  const bool bracketed = pin.host.find(':') != std::string::npos;
  return (bracketed ? "[" + pin.host + "]" : pin.host) + ":" + pin.port + ":" + pin.fingerprint;
}

CertificatePin ReadCertificatePin(std::string_view stored, std::string_view host, std::string_view port) {
  const std::string_view text = TrimBlanks(stored);
  if (!IsBareFingerprint(text)) {
    if (std::optional<CertificatePin> pin = ParsePin(text)) return *pin;
  }
  return CertificatePin{std::string(host), std::string(port), std::string(text)};
}

bool PinFits(const CertificatePin& pin, std::string_view host, std::string_view port) {
  return EqualsIgnoreCase(TrimBlanks(pin.host), TrimBlanks(host)) && TrimBlanks(pin.port) == TrimBlanks(port);
}

void LoadProfile(const IniFile& settings, int n, ActiveProfile& profile) {
  const std::string num = std::to_string(n);
  profile.email = Value(settings, "Emails", "EM" + num, "");
  profile.bat_account_name = Value(settings, "TheBat", "BatAcName" + num, "");
  profile.template_password = Value(settings, "Emails", "DSP" + num, "");
  profile.file_size = Value(settings, "Emails", "Size" + num, "500");

  const std::string server_text = settings.ReadString("SMTP", "SM" + num, "1");
  int32_t server = 0;
  if (!ParseInteger(server_text, server)) {
    throw ProfileError(NotAnIntegerMessage(server_text));
  }
  if (!IsProfileNumber(server)) return;
  LoadServerEntry(settings, server, profile);
}

TlsMode TlsModeOf(std::string_view stored, std::string_view port, std::string_view user) {
  const std::string_view value = TrimBlanks(stored);
  if (value.size() == 1 && value[0] >= '0' && value[0] < '0' + kTlsModeCount) return static_cast<TlsMode>(value[0] - '0');
  if (TrimBlanks(port) == "465") return TlsMode::kImplicit;
  return user.empty() ? TlsMode::kStartTlsWhenOffered : TlsMode::kStartTlsRequired;
}

std::optional<int> MailboxOverride(std::string_view value) {
  if (value == "Selected" || value == "Выбор в меню") return std::nullopt;
  int number = 0;
  std::size_t digits = 0;
  while (digits < value.size() && digits < 3 && std::isdigit(static_cast<unsigned char>(value[digits]))) {
    number = number * 10 + (value[digits++] - '0');
  }
  if (digits == 0 || (digits < value.size() && std::isdigit(static_cast<unsigned char>(value[digits])))) return std::nullopt;
  return IsProfileNumber(number) ? std::optional<int>(number) : std::nullopt;
}

MailboxEntry RefreshMailboxEntry(const IniFile& settings, int n) {
  const std::string num = std::to_string(n);
  MailboxEntry entry;
  if (settings.ReadInteger("Settings", "sendby", 0) == kSendByTheBat) {
    std::string account = settings.ReadString("TheBat", "BatAcName" + num, "");
    if (account.empty()) {
      entry.disable = true;
    } else {
      entry.caption = entry.label_hint = account;
    }
    return entry;
  }
  std::string email = settings.ReadString("Emails", "EM" + num, "");
  if (email.empty()) {
    entry.caption = LookupMessage("Почтовый ящик", "textMailBox") + " " + num;
    entry.disable = true;
  } else {
    entry.caption = entry.label_hint = email;
  }
  return entry;
}

void LoadStartupProfile(const IniFile& settings, ActiveProfile& profile) {
  profile.email = Value(settings, "Emails", "EM1", "");
  profile.template_password = Value(settings, "Emails", "DSP1", "");
  profile.file_size = Value(settings, "Emails", "Size1", "500");
  LoadServerEntry(settings, 1, profile);
  profile.bat_account_name = Value(settings, "TheBat", "BatAcName1", "");
}

}  // namespace qp
