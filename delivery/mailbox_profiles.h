// Mailbox profiles: the ten sender identities, their SMTP server entries, and which one
// is active.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "delivery/connection.h"

namespace qp {

inline constexpr int kProfileCount = 10;
inline constexpr std::size_t kProfileValueChars = 255;

// The active profile's values, each cut to 255 characters when loaded.
struct ActiveProfile {
  std::string email;
  std::string template_password;
  std::string file_size = "500";
  std::string smtp_host;
  std::string smtp_port = "25";
  std::string smtp_user;
  std::string smtp_password;
  std::string smtp_tls;          // the entry's stored "TLSk", "" when it has none
  std::string smtp_certificate;  // the fingerprint "Certk" pins for this host and port, or ""
  int smtp_entry = 1;            // k, where a trust choice is kept
  std::string bat_account_name;
};

// The entry's choice: a stored "0".."3" as it says; with none (files written before the key
// existed) implicit TLS on the submission port 465, and elsewhere STARTTLS required when the
// entry logs in with a user name (a reply stripped of STARTTLS must not get the password),
// STARTTLS when offered when it does not.
TlsMode TlsModeOf(std::string_view stored, std::string_view port, std::string_view user);

// "Certk": the one certificate the user chose to trust, with the host and port it was met at,
// kept as "host:port:fingerprint" (a host with colons in brackets).
struct CertificatePin {
  std::string host, port, fingerprint;
};
std::string PinText(const CertificatePin& pin);
// A stored "Certk" as the entry naming this host and port reads it. A bare fingerprint, as
// kept before the host and port were, is taken as trusted for the entry's host and port.
CertificatePin ReadCertificatePin(std::string_view stored, std::string_view host, std::string_view port);
// Whether a pin was made for this host and port: the host without case, both without blanks.
bool PinFits(const CertificatePin& pin, std::string_view host, std::string_view port);

// A profile's "SMn" that is not a whole number.
class ProfileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

bool IsProfileNumber(int n);

// Loads profile n (1..10) into the record: its own values, then the SMTP server entry it
// names. A server entry number outside 1..10 leaves the SMTP fields as they were; one
// that is not a number throws ProfileError after the profile's own values are loaded.
void LoadProfile(const IniFile& settings, int n, ActiveProfile& profile);

// The profile a request button's "Mailbox" value names: none for "Selected" and
// "Выбор в меню", the leading decimal number otherwise. Numbers outside 1..10 and values
// without a leading number name no profile, so the chosen one is used.
std::optional<int> MailboxOverride(std::string_view value);

// What the mailbox menus show for one profile after a refresh.
struct MailboxEntry {
  std::string caption;     // empty: leave the caption as it is
  bool disable = false;    // the refresh only ever disables
  std::string label_hint;  // for profiles 1..3; empty: leave the hint
};
// The refreshed state of profile n's entries, by the current send method.
MailboxEntry RefreshMailboxEntry(const IniFile& settings, int n);

// What the first activation fills in before the stored profile is selected: profile 1's
// values and server entry 1, read directly.
void LoadStartupProfile(const IniFile& settings, ActiveProfile& profile);

}  // namespace qp
