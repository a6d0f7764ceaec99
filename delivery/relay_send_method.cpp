// Direct delivery by MX lookup.
#include "delivery/relay_send_method.h"

#include <algorithm>

#include "base/error_log.h"
#include "delivery/smtp_send_method.h"
#include "lang/language.h"

namespace qp {
namespace {

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n"), last = text.find_last_not_of(" \t\r\n");
  return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// Why a domain's lookup gave no host to try, or "" when it gave some.
std::string LookupFailure(const MailRoute& route) {
  if (route.null_mx) return LookupMessage("домен не принимает почту (null MX)", "textRelayNullMx");
  switch (route.outcome) {
    case DnsOutcome::Records: break;
    case DnsOutcome::NoRecords: return LookupMessage("у домена нет почтовых серверов (MX)", "textRelayNoMx");
    case DnsOutcome::NameError: return LookupMessage("такого домена нет", "textRelayNoDomain");
    case DnsOutcome::NoAnswer: return LookupMessage("DNS-сервер не ответил", "textRelayDnsSilent");
    case DnsOutcome::ServerFailure: return LookupMessage("DNS-сервер не смог ответить (SERVFAIL)", "textRelayDnsFailure");
    default: return LookupMessage("DNS-сервер отказал в ответе", "textRelayDnsError");
  }
  const bool any_address = std::any_of(route.hosts.begin(), route.hosts.end(), [](const MailHost& h) { return !h.addresses.empty(); });
  return any_address ? std::string() : LookupMessage("у почтовых серверов домена нет адресов", "textRelayNoAddress");
}

}  // namespace

std::string RelayInputProblems(const std::string& dns_server, const std::string& sender, const std::string& recipients) {
  std::vector<std::string> problems;
  if (Trimmed(dns_server).empty()) problems.emplace_back("DNS server not filled in");
  if (Trimmed(sender).empty()) problems.emplace_back("Sender email not filled in");
  if (Trimmed(recipients).empty()) problems.emplace_back("Recipient not filled in");
  if (problems.empty()) return {};
  std::string text = "Cannot proceed due to the following errors:\r\n";
  for (const std::string& problem : problems) text += "\r\xC2\xBB" + problem;  // "»", UTF-8 inside the program
  return text;
}

std::vector<DomainRecipients> GroupByDomain(const std::string& recipients) {
  std::vector<DomainRecipients> groups;
  for (const std::string& address : SplitRecipients(recipients)) {
    const std::size_t at = address.rfind('@');
    const std::string domain = CanonicalDnsName(at == std::string::npos ? std::string() : address.substr(at + 1));
    auto group = std::find_if(groups.begin(), groups.end(), [&](const DomainRecipients& g) { return g.domain == domain; });
    if (group == groups.end()) group = groups.insert(groups.end(), DomainRecipients{domain, {}});
    group->addresses.push_back(address);
  }
  return groups;
}

RelaySendMethod::RelaySendMethod(Network network, SendProgress& progress, std::function<RelaySettings()> settings)
    : network_(std::move(network)), progress_(progress), settings_(std::move(settings)), smtp_(network_.smtp, this) {}

bool RelaySendMethod::Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) {
  if (progress_.Cancelled()) return true;
  const RelaySettings settings = settings_();
  return CheckRelayInput(settings, profile, letter) && RelaySend(settings, profile, letter, date, message_id);
}

bool RelaySendMethod::CheckRelayInput(const RelaySettings& settings, const ActiveProfile& profile, const MailMessage& letter) {
  const std::string problems = RelayInputProblems(settings.dns_server, profile.email, letter.recipients);
  if (!problems.empty()) progress_.Inform(problems);
  return problems.empty();
}

bool RelaySendMethod::RelaySend(const RelaySettings& settings, const ActiveProfile& profile, const MailMessage& letter,
                                std::string_view date, std::string_view message_id) {
  IdSMTPRelay1Status("Assigning mail message properties");
  MailMessage own = letter;
  own.from = profile.email;
  IdSMTPRelay1Status("Trying to sendmail");
  std::unique_ptr<DnsTransport> transport = network_.dns();
  if (!transport) {  // no socket to be had: no domain can be looked up
    progress_.Status(LookupMessage("Письмо не доставлено в домен", "textRelayFailed") + " " + letter.recipients + ": " +
                     LookupMessage("DNS-сервер не ответил", "textRelayDnsSilent"));
    return false;
  }
  DnsResolver resolver(*transport, Trimmed(settings.dns_server), network_.dns_port, settings.dns_timeout, network_.random_id);
  bool all_delivered = true;
  for (const DomainRecipients& domain : GroupByDomain(letter.recipients)) {
    if (progress_.Cancelled()) return true;
    std::string failure;
    try {
      failure = DeliverTo(resolver, domain, profile, own, date, message_id);
    } catch (const std::exception& e) {
      failure = e.what();
    }
    if (progress_.Cancelled()) return true;
    if (failure.empty()) continue;
    all_delivered = false;
    const std::string text = LookupMessage("Письмо не доставлено в домен", "textRelayFailed") + " " + domain.domain + ": " + failure;
    progress_.Status(text);
    LogError(text);
  }
  return all_delivered;
}

std::string RelaySendMethod::DeliverTo(DnsResolver& resolver, const DomainRecipients& domain, const ActiveProfile& profile,
                                       const MailMessage& letter, std::string_view date, std::string_view message_id) {
  const MailRoute route = resolver.Route(domain.domain);
  if (std::string failure = LookupFailure(route); !failure.empty()) return failure;
  MailMessage own = letter;
  own.recipients.clear();
  for (const std::string& address : domain.addresses) own.recipients += (own.recipients.empty() ? "" : ", ") + address;
  std::string last_refusal;
  for (const MailHost& host : route.hosts) {
    for (const std::string& address : host.addresses) {
      IdSMTPRelay1Status("Attempting connect");
      try {
        // A mail exchanger is met by its address, which no certificate names, and takes letters
        // in plain text from any sender: delivery goes as it always has, unencrypted.
        smtp_.Connect(address, network_.smtp_port, DomainOf(profile.email), {TlsMode::kNone, ""});
      } catch (const std::exception& e) {  // refused, unreachable, or a greeting that says no: the next one
        smtp_.DropConnection();
        last_refusal = host.name + ": " + e.what();
        continue;
      }
      IdSMTPRelay1Status("Successful connect ... sending message");
      try {
        smtp_.Send(own, date, message_id);
      } catch (const std::exception& e) {
        smtp_.DropConnection();
        return host.name + ": " + e.what();
      }
      IdSMTPRelay1Status("Attempting disconnect");
      try {
        smtp_.Disconnect();
      } catch (const std::exception&) {  // the letter is there; a lost QUIT changes nothing
        smtp_.DropConnection();
      }
      IdSMTPRelay1Status("Successful disconnect");
      return {};
    }
  }
  return LookupMessage("ни один почтовый сервер домена не принял соединение", "textRelayUnreachable") +
         (last_refusal.empty() ? "" : " (" + last_refusal + ")");
}

void RelaySendMethod::Status(std::string_view text) { IdSMTPRelay1Status(text); }

void RelaySendMethod::IdSMTPRelay1Status(std::string_view text) { progress_.Status(std::string(text)); }

void RelaySendMethod::Work(bool /*reading*/) {
  progress_.StepProgress();
  if (progress_.Cancelled()) throw SmtpReplyError(0, LookupMessage("Отправка запроса была отменена.", "RequestCanceled"));
}

}  // namespace qp
