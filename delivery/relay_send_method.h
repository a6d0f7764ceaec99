// Direct delivery ("sendby" 3): the letter goes to the mail exchangers of each recipient
// domain, found by the program's own MX lookup, with no SMTP server of the user's between.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "delivery/dns_resolver.h"
#include "delivery/send_method.h"
#include "delivery/smtp_client.h"

namespace qp {

inline constexpr int kDnsPort = 53;
inline constexpr int kRelaySmtpPort = 25;

// What direct delivery reads from the settings when a letter goes.
struct RelaySettings {
  std::string dns_server;                       // "DNS_IP" as stored
  std::chrono::milliseconds dns_timeout{5000};  // "DNS_To"
};

// The message box text when a setting or the recipient is missing, or "" when delivery may
// go ahead: the fixed texts of the check, each problem after a CR and a "»".
std::string RelayInputProblems(const std::string& dns_server, const std::string& sender, const std::string& recipients);

// The recipients grouped by domain (lower case), in order of first appearance.
struct DomainRecipients {
  std::string domain;
  std::vector<std::string> addresses;
};
std::vector<DomainRecipients> GroupByDomain(const std::string& recipients);

class RelaySendMethod final : public SendMethod, private SmtpEvents {
 public:
  struct Network {
    Connector& smtp;
    std::function<std::unique_ptr<DnsTransport>()> dns;  // a fresh transport per letter
    std::function<std::uint16_t()> random_id;
    int dns_port = kDnsPort;
    int smtp_port = kRelaySmtpPort;
  };
  RelaySendMethod(Network network, SendProgress& progress, std::function<RelaySettings()> settings);

  std::string Refusal(const ActiveProfile&) const override { return {}; }
  bool Prepare(const ActiveProfile&) override { return true; }
  // Every domain is tried; false when any of them did not take the letter (each failed
  // domain is named on the status line and in the error log).
  bool Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) override;
  void Finish(bool) override {}
  bool UsesConnection() const override { return true; }
  void Cancel() override {}  // the exchange and the DNS wait end at their next event
  void Disconnect() override {}

 private:
  // The box listing what is missing; true when delivery may go ahead.
  bool CheckRelayInput(const RelaySettings& settings, const ActiveProfile& profile, const MailMessage& letter);
  // Every domain in turn; false when any of them did not take the letter.
  bool RelaySend(const RelaySettings& settings, const ActiveProfile& profile, const MailMessage& letter, std::string_view date,
                 std::string_view message_id);
  // The relay's status texts, shown on the status line unchanged.
  void IdSMTPRelay1Status(std::string_view text);
  // "" when the domain took the letter, else why not.
  std::string DeliverTo(DnsResolver& resolver, const DomainRecipients& domain, const ActiveProfile& profile, const MailMessage& letter,
                        std::string_view date, std::string_view message_id);

  void Status(std::string_view text) override;
  void Work(bool reading) override;

  Network network_;
  SendProgress& progress_;
  std::function<RelaySettings()> settings_;
  SmtpClient smtp_;
};

}  // namespace qp
