// What the options dialog edits: every value it shows, read from the settings with the
// dialog's own defaults, and written back in the order the file keeps them.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "base/ini_file.h"
#include "delivery/connection.h"

namespace qp {

inline constexpr int kOptionRows = 10;  // mailboxes, SMTP servers, The Bat! accounts

struct OptionsValues {
  struct Server {
    std::string host, port = "25", user, password;  // SMTPk, Portk, Userk, Passk
    TlsMode tls = TlsMode::kStartTlsWhenOffered;    // TLSk, as the entry is used: a file without it has its port's and user's default
  };
  struct Mailbox {
    std::string email, password, server = "1", size = "500K";  // EMn, DSPn, SMn, Sizen
  };
  std::array<Server, kOptionRows> servers;
  std::array<Mailbox, kOptionRows> mailboxes;
  std::string browser;
  std::string proxy_port = "8088";
  int opacity = 200, mini_opacity = 200;  // Transp, transp2
  bool close_to_tray = false;
  std::string dns_ip, dns_timeout = "10000", list_delay = "60";
  std::string content_type = "text/plain", charset = "koi8-r", transfer_encoding = "7bit", x_mailer = "Quillpost";
  bool dialup = false, dont_disconnect = false, dont_check = false, error_popup = false;
  int send_by = 0;
  int bat_send = 0;
  std::string bat_path = "C:\\Program Files\\The Bat!\\thebat.exe";
  std::array<std::string, kOptionRows> bat_accounts;
};

// The values as the dialog shows them from these settings.
OptionsValues LoadOptions(const IniFile& settings);

// Writes every value into the settings, section by section in the file's order; the caller
// reloads the file before and writes it after.
void ApplyOptions(const OptionsValues& values, IniFile& settings);

// A server's encryption choice when its port or user name is edited: one that shows the old
// entry's default becomes the new one's (typing 465 brings implicit TLS, a user name STARTTLS
// required); a choice of the user's own stays.
struct ServerKey {
  std::string_view port, user;
};
TlsMode TlsFollowingEntry(TlsMode shown, ServerKey before, ServerKey after);

// A number box's value: its text as a whole number (0 when it is none), held to 0..255.
int OpacityOf(std::string_view text);

}  // namespace qp
