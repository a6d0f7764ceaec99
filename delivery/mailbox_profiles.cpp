// Mailbox profiles and their SMTP server entries.
#include "delivery/mailbox_profiles.h"

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

// SMTP server entry k's values into the profile.
void LoadServerEntry(const IniFile& settings, int k, ActiveProfile& profile) {
  const std::string num = std::to_string(k);
  profile.smtp_host = Value(settings, "SMTP", "SMTP" + num, "");
  profile.smtp_port = Value(settings, "SMTP", "Port" + num, "25");
  profile.smtp_user = Value(settings, "SMTP", "User" + num, "");
  profile.smtp_password = Value(settings, "SMTP", "Pass" + num, "");
  profile.smtp_tls = Value(settings, "SMTP", "TLS" + num, "");
  profile.smtp_certificate = Value(settings, "SMTP", "Cert" + num, "");
  profile.smtp_entry = k;
}

}  // namespace

bool IsProfileNumber(int n) { return n >= 1 && n <= kProfileCount; }

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

TlsMode TlsModeOf(std::string_view stored, std::string_view port) {
  const std::string_view value = TrimBlanks(stored);
  if (value.size() == 1 && value[0] >= '0' && value[0] < '0' + kTlsModeCount) return static_cast<TlsMode>(value[0] - '0');
  return TrimBlanks(port) == "465" ? TlsMode::kImplicit : TlsMode::kStartTlsWhenOffered;
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
