// What the options dialog edits.
#include "dialogs/options.h"

#include <algorithm>

#include "base/integer_text.h"
#include "delivery/mailbox_profiles.h"

namespace qp {
namespace {

std::string Numbered(std::string_view key, int n) { return std::string(key) + std::to_string(n); }

// A header's text is taken only when its key is there; otherwise the design text stays.
void ReadIfThere(const IniFile& s, std::string_view key, std::string& value) {
  if (s.ValueExists("Settings", key)) value = s.ReadString("Settings", key, value);
}

// A trusted certificate is trusted for its server only: another host or port typed drops it.
void DropMovedPin(const OptionsValues::Server& server, int k, IniFile& s) {
  const std::string key = Numbered("Cert", k);
  const std::string stored = s.ReadString("SMTP", key, "");
  if (stored.empty()) return;
  const CertificatePin pin =
      ReadCertificatePin(stored, s.ReadString("SMTP", Numbered("SMTP", k), ""), s.ReadString("SMTP", Numbered("Port", k), "25"));
  if (!PinFits(pin, server.host, server.port)) s.WriteString("SMTP", key, "");
}

}  // namespace

OptionsValues LoadOptions(const IniFile& s) {
  OptionsValues v;
  for (int k = 1; k <= kOptionRows; ++k) {
    OptionsValues::Server& server = v.servers[k - 1];
    server.host = s.ReadString("SMTP", Numbered("SMTP", k), "");
    server.port = s.ReadString("SMTP", Numbered("Port", k), "25");
    server.user = s.ReadString("SMTP", Numbered("User", k), "");
    server.password = s.ReadString("SMTP", Numbered("Pass", k), "");
    server.tls = TlsModeOf(s.ReadString("SMTP", Numbered("TLS", k), ""), server.port, server.user);
  }
  for (int n = 1; n <= kOptionRows; ++n) {
    OptionsValues::Mailbox& mailbox = v.mailboxes[n - 1];
    mailbox.server = s.ReadString("SMTP", Numbered("SM", n), "1");
    mailbox.password = s.ReadString("Emails", Numbered("DSP", n), "");
    mailbox.email = s.ReadString("Emails", Numbered("EM", n), "");
    mailbox.size = s.ReadString("Emails", Numbered("Size", n), "500K");
  }
  v.browser = s.ReadString("Settings", "browser", "");
  v.proxy_port = s.ReadString("Settings", "pport", "");
  if (v.proxy_port.empty()) v.proxy_port = "8088";
  v.opacity = s.ReadInteger("Settings", "Transp", 200);
  v.mini_opacity = s.ReadInteger("Settings", "transp2", 200);
  v.close_to_tray = s.ReadBool("Settings", "Close2Tray", false);
  v.dns_ip = s.ReadString("Settings", "DNS_IP", "");
  v.dns_timeout = s.ReadString("Settings", "DNS_To", "10000");
  v.list_delay = s.ReadString("Settings", "RLDelay", "60");
  ReadIfThere(s, "ContentType", v.content_type);
  ReadIfThere(s, "CharSet", v.charset);
  ReadIfThere(s, "CTEncoding", v.transfer_encoding);
  ReadIfThere(s, "XMailer", v.x_mailer);
  v.dialup = s.ReadBool("Settings", "dialup", false);
  v.dont_disconnect = s.ReadBool("Settings", "DontDisconnect", false);
  v.dont_check = s.ReadBool("Settings", "dntchk", false);
  v.error_popup = s.ReadBool("Settings", "erpopup", false);
  v.send_by = s.ReadInteger("Settings", "sendby", 0);
  v.bat_send = s.ReadInteger("TheBat", "send", 0);
  for (int n = 1; n <= kOptionRows; ++n) v.bat_accounts[n - 1] = s.ReadString("TheBat", Numbered("BatAcName", n), "");
  v.bat_path = s.ReadString("TheBat", "path", v.bat_path);
  return v;
}

void ApplyOptions(const OptionsValues& v, IniFile& s) {
  for (int k = 1; k <= kOptionRows; ++k) {
    const OptionsValues::Server& server = v.servers[k - 1];
    DropMovedPin(server, k, s);
    s.WriteString("SMTP", Numbered("SMTP", k), server.host);
    s.WriteString("SMTP", Numbered("Port", k), server.port);
    s.WriteString("SMTP", Numbered("User", k), server.user);
    s.WriteString("SMTP", Numbered("Pass", k), server.password);
    // The choice shown is the one kept, even where it was only the port's default.
    s.WriteInteger("SMTP", Numbered("TLS", k), static_cast<int>(server.tls));
  }
  for (int n = 1; n <= kOptionRows; ++n) s.WriteString("SMTP", Numbered("SM", n), v.mailboxes[n - 1].server);
  for (int n = 1; n <= kOptionRows; ++n) s.WriteString("Emails", Numbered("EM", n), v.mailboxes[n - 1].email);
  for (int n = 1; n <= kOptionRows; ++n) s.WriteString("Emails", Numbered("DSP", n), v.mailboxes[n - 1].password);
  for (int n = 1; n <= kOptionRows; ++n) s.WriteString("Emails", Numbered("Size", n), v.mailboxes[n - 1].size);
  s.WriteString("Settings", "browser", v.browser);
  s.WriteString("Settings", "pport", v.proxy_port);
  s.WriteInteger("Settings", "Transp", v.opacity);
  s.WriteInteger("Settings", "transp2", v.mini_opacity);
  s.WriteBool("Settings", "Close2Tray", v.close_to_tray);
  s.WriteString("Settings", "DNS_IP", v.dns_ip);
  s.WriteString("Settings", "DNS_To", v.dns_timeout);
  s.WriteString("Settings", "RLDelay", v.list_delay);
  s.WriteString("Settings", "ContentType", v.content_type);
  s.WriteString("Settings", "CharSet", v.charset);
  s.WriteString("Settings", "CTEncoding", v.transfer_encoding);
  s.WriteString("Settings", "XMailer", v.x_mailer);
  s.WriteBool("Settings", "dialup", v.dialup);
  s.WriteBool("Settings", "DontDisconnect", v.dont_disconnect);
  s.WriteBool("Settings", "dntchk", v.dont_check);
  s.WriteBool("Settings", "erpopup", v.error_popup);
  s.WriteInteger("Settings", "sendby", v.send_by);
  s.WriteInteger("TheBat", "send", v.bat_send);
  s.WriteString("TheBat", "path", v.bat_path);
  for (int n = 1; n <= kOptionRows; ++n) s.WriteString("TheBat", Numbered("BatAcName", n), v.bat_accounts[n - 1]);
}

TlsMode TlsFollowingEntry(TlsMode shown, ServerKey before, ServerKey after) {
  return shown == TlsModeOf("", before.port, before.user) ? TlsModeOf("", after.port, after.user) : shown;
}

int OpacityOf(std::string_view text) {
  int32_t value = 0;
  if (!ParseInteger(text, value)) return 0;
  return std::clamp<int32_t>(value, 0, 255);
}

}  // namespace qp
