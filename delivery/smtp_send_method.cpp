// Sending through the active profile's SMTP server.
#include "delivery/smtp_send_method.h"

#include <exception>
#include <typeinfo>

#include "base/error_log.h"
#include "base/scope_guard.h"
#include "lang/language.h"

namespace qp {

std::string DomainOf(const std::string& address) {
  std::size_t at = address.rfind('@');
  std::string domain = at == std::string::npos ? "localhost" : address.substr(at + 1);
  return domain.empty() ? "localhost" : domain;
}

SmtpSendMethod::SmtpSendMethod(Connector& network, SendProgress& progress) : progress_(progress), smtp_(network, this) {}

std::string SmtpSendMethod::Refusal(const ActiveProfile& profile) const {
  if (profile.smtp_host.empty() || profile.smtp_port.empty()) return LookupMessage("SMTP сервер не настроен.", "EmptySMTP");
  return {};
}

bool SmtpSendMethod::Prepare(const ActiveProfile& profile) {
  // A kept connection the server has closed meanwhile gets one more try, silently; a
  // refusal (TLS, a certificate) would only be met again.
  if (progress_.Cancelled()) return false;
  if (Connect(profile)) return true;
  return !refused_ && !progress_.Cancelled() && Connect(profile);
}

bool SmtpSendMethod::Connect(const ActiveProfile& profile) {
  if (progress_.Cancelled()) return false;
  FlagScope busy(busy_);
  refused_ = false;
  try {
    if (smtp_.Connected()) {
      smtp_.CheckForGracefulDisconnect();
    } else {
      ConnectSecured(profile);
    }
    return true;
  } catch (const CertificateError& e) {
    // Declined: the question named the host and the reason; the status line keeps it.
    refused_ = true;
    LogError(e.what());
    if (!progress_.Cancelled()) progress_.Status(e.what());
  } catch (const TlsError& e) {
    if (!progress_.Cancelled()) Refuse(e.what());
  } catch (const SmtpTlsUnavailable& e) {
    Refuse(e.what());
  } catch (const SocketError& e) {
    if (e.Code() == kConnectionResetCode) smtp_.DropConnection();
  } catch (const GracefulCloseError&) {
  } catch (const SmtpReplyError& e) {
    if (!progress_.Cancelled()) LogError(std::string("SmtpReplyError --- ") + e.what());
  } catch (const std::exception& e) {
    LogError(std::string(typeid(e).name()) + " --- " + e.what());
  }
  return false;
}

void SmtpSendMethod::ConnectSecured(const ActiveProfile& profile) {
  TlsOptions tls{TlsModeOf(profile.smtp_tls, profile.smtp_port, profile.smtp_user), profile.smtp_certificate};
  try {
    smtp_.Connect(profile.smtp_host, SmtpPort(profile.smtp_port), DomainOf(profile.email), tls);
  } catch (const CertificateError& e) {
    // Asked once: a certificate trusted now is what the next try must meet.
    if (progress_.Cancelled() || e.Fingerprint().empty() || !progress_.TrustCertificate(e, profile.smtp_entry)) throw;
    tls.trusted_certificate = e.Fingerprint();
    smtp_.Connect(profile.smtp_host, SmtpPort(profile.smtp_port), DomainOf(profile.email), tls);
  }
}

void SmtpSendMethod::Refuse(const std::string& text) {
  refused_ = true;
  LogError(text);
  progress_.Status(text);
  progress_.Alert(text);
}

bool SmtpSendMethod::Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) {
  if (progress_.Cancelled()) return true;
  for (bool again = false;; again = true) {
    {
      FlagScope busy(busy_);
      try {
        // Authentication is on when the entry has a password, once per connection.
        if (!profile.smtp_password.empty()) smtp_.Authenticate(profile.smtp_user, profile.smtp_password);
        smtp_.Send(letter, date, message_id, another_follows_);
        return true;
      } catch (const SmtpTlsUnavailable& e) {
        Refuse(e.what());
        return false;
      } catch (const SocketError& e) {
        if (e.Code() != kConnectionResetCode) return false;
      } catch (const GracefulCloseError&) {
      } catch (const std::exception& e) {
        progress_.Status(e.what());
        return false;
      }
    }
    // The server ended the connection before the letter's text went out (as servers do after
    // so many letters on one connection, seen late when the letter followed the one before
    // at once): the letter cannot have arrived, so it goes once more on a fresh connection.
    if (again || smtp_.LetterTextWentOut() || progress_.Cancelled() || !Connect(profile)) return false;
  }
}

bool SmtpSendMethod::Settle() {
  FlagScope busy(busy_);
  try {
    smtp_.ReadEarlierEnd();
  } catch (const SmtpReplyError& e) {
    if (!progress_.Cancelled()) progress_.Status(e.what());
    smtp_.DropConnection();
  } catch (const std::exception&) {
    smtp_.DropConnection();
  }
  return smtp_.TakeEarlierOutcome().value_or(true);
}

void SmtpSendMethod::Finish(bool keep_connection) {
  if (keep_connection || !smtp_.Connected()) return;
  try {
    smtp_.Disconnect();
  } catch (const std::exception&) {
  }
}

void SmtpSendMethod::Cancel() {
  // While the client talks to the server, its progress event ends the exchange and drops
  // the connection; closing it from here would pull it from under the client.
  if (busy_) return;
  Disconnect();
}

void SmtpSendMethod::Disconnect() {
  if (!smtp_.Connected()) return;
  try {
    smtp_.Disconnect();
  } catch (const std::exception& e) {
    LogError(std::string(typeid(e).name()) + " " + e.what());
  }
}

void SmtpSendMethod::Status(std::string_view text) { progress_.Status(std::string(text)); }

void SmtpSendMethod::WorkBegin() {
  progress_.Status(LookupMessage("Посылаю...", "SendStart"));
  progress_.StepProgress();
}

void SmtpSendMethod::Work(bool reading) {
  progress_.Status(reading ? LookupMessage("Reading data from the peer", "textReadingData")
                           : LookupMessage("Sending data to the peer", "textSendingData"));
  progress_.StepProgress();
  if (progress_.Cancelled()) throw SmtpReplyError(0, LookupMessage("Отправка запроса была отменена.", "RequestCanceled"));
}

void SmtpSendMethod::WorkEnd() { progress_.StepProgress(); }

void SmtpSendMethod::Disconnected() { progress_.Status(LookupMessage("Отключены", "textDisconnected")); }

}  // namespace qp
