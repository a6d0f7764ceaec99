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

SmtpSendMethod::Account SmtpSendMethod::AccountOf(const ActiveProfile& profile) {
  return {profile.smtp_host, SmtpPort(profile.smtp_port), profile.smtp_tls, profile.smtp_user, profile.smtp_password};
}

bool SmtpSendMethod::Prepare(const ActiveProfile& profile) {
  // A run started from a wait of an exchange below on the stack (an address captured while
  // the connection closes at exit) must not take the connection from under it.
  if (busy_ || progress_.Cancelled()) return false;
  // A kept connection the server has closed meanwhile gets one more try, silently; a
  // refusal (TLS, a certificate) would only be met again.
  const bool ready = Connect(profile) || (!refused_ && !progress_.Cancelled() && Connect(profile));
  CloseIfAsked();
  return ready;
}

bool SmtpSendMethod::Connect(const ActiveProfile& profile) {
  if (progress_.Cancelled()) return false;
  FlagScope busy(busy_);
  refused_ = false;
  try {
    if (smtp_.Connected() && !(connected_for_ == AccountOf(profile))) {
      // Kept for another server or account (the mailbox changed between runs): the letter
      // must not go out through it, nor logged in as someone else.
      try {
        smtp_.Disconnect();
      } catch (const std::exception&) {
      }
      if (progress_.Cancelled()) return false;
    }
    if (smtp_.Connected()) {
      smtp_.CheckForGracefulDisconnect();
    } else {
      ConnectSecured(profile);
      connected_for_ = AccountOf(profile);
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
  if (busy_) return false;
  const bool sent = Deliver(profile, letter, date, message_id);
  CloseIfAsked();
  return sent;
}

bool SmtpSendMethod::Deliver(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) {
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

LetterOutcome SmtpSendMethod::Settle() {
  if (busy_) return LetterOutcome::kUnknown;
  {
    FlagScope busy(busy_);
    try {
      smtp_.ReadEarlierEnd();
    } catch (const SmtpReplyError& e) {
      if (!progress_.Cancelled()) progress_.Status(e.what());
      smtp_.DropConnection();
    } catch (const std::exception&) {
      smtp_.DropConnection();
    }
  }
  const LetterOutcome outcome = smtp_.TakeEarlierOutcome().value_or(LetterOutcome::kAccepted);
  CloseIfAsked();
  return outcome;
}

void SmtpSendMethod::Finish(bool keep_connection) {
  if (!keep_connection) Close(false);
}

void SmtpSendMethod::Cancel() {
  // While the client talks to the server, its progress event ends the exchange and drops
  // the connection; closing it from here would pull it from under the client.
  Close(true);
}

void SmtpSendMethod::Disconnect() { Close(true); }

void SmtpSendMethod::Close(bool log_failure) {
  // From a wait of the exchange under way (a cancel, a second exit): that wait still
  // reads from the connection, so the close waits until it has returned.
  if (busy_) {
    close_asked_ = true;
    return;
  }
  close_asked_ = false;
  if (!smtp_.Connected()) return;
  FlagScope busy(busy_);
  try {
    smtp_.Disconnect();
  } catch (const std::exception& e) {
    if (log_failure) LogError(std::string(typeid(e).name()) + " " + e.what());
  }
  close_asked_ = false;  // asked again during the QUIT: it is closed now
}

void SmtpSendMethod::CloseIfAsked() {
  if (close_asked_) Close(true);
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
  if (progress_.Cancelled() && !smtp_.ReadingEarlierEnd()) {
    throw SmtpReplyError(0, LookupMessage("Отправка запроса была отменена.", "RequestCanceled"));
  }
}

void SmtpSendMethod::WorkEnd() { progress_.StepProgress(); }

void SmtpSendMethod::Disconnected() { progress_.Status(LookupMessage("Отключены", "textDisconnected")); }

}  // namespace qp
