// One way of sending a letter (SMTP now; direct delivery, MAPI and the mail programs as
// they arrive), behind the one interface the dispatch runs through.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "delivery/connection.h"
#include "delivery/mail_message.h"
#include "delivery/mailbox_profiles.h"

namespace qp {

// What a send method reports while it works; the dispatch shows it and says whether the
// user has cancelled.
class SendProgress {
 public:
  virtual ~SendProgress() = default;
  virtual void Status(const std::string& text) = 0;
  virtual void StepProgress() = 0;
  virtual bool Cancelled() const = 0;
  // A message box with the information icon and OK.
  virtual void Inform(const std::string& text) = 0;
  // A message box with the error icon and OK: a refusal the user must mend in the settings.
  virtual void Alert(const std::string& text) { Inform(text); }
  // The server's certificate did not pass: whether the user trusts this one certificate
  // for server entry k from now on (then it is kept in the settings).
  virtual bool TrustCertificate(const CertificateError& /*problem*/, int /*server_entry*/) { return false; }
};

class SendMethod {
 public:
  virtual ~SendMethod() = default;
  // What the active profile lacks for this method, as the message to show, or "".
  virtual std::string Refusal(const ActiveProfile& profile) const = 0;
  // Before each letter: the connection it needs. false when there is none to be had; the
  // run then ends (with an error, unless the user cancelled).
  virtual bool Prepare(const ActiveProfile& profile) = 0;
  // One letter. false when it did not go; what went wrong is on the status line or in
  // the error log by then.
  virtual bool Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) = 0;
  // Whether the next letter of the run follows at once: a method may then leave this
  // letter's acceptance to be read behind the next letter (Pending), saving a round trip.
  virtual void AnotherFollows(bool /*follows*/) {}
  // A letter sent whose acceptance is still to be read.
  virtual bool Pending() const { return false; }
  // After a Send: the outcome of the letter left pending before it, when it was read on the
  // way; nullopt when there was none or it is still pending.
  virtual std::optional<LetterOutcome> TakeEarlierOutcome() { return std::nullopt; }
  // Reads the pending letter's outcome now, a cancel or not (kAccepted when none is pending).
  virtual LetterOutcome Settle() { return LetterOutcome::kAccepted; }
  // After the last letter of a run that went through its list.
  virtual void Finish(bool keep_connection) = 0;
  // Whether the method itself talks to the network (so a dial-up is hung up after it).
  virtual bool UsesConnection() const = 0;
  // The cancel button: ends what can be ended at once; an exchange under way ends at its
  // next progress event. Both may come from a wait of the method's own (the window runs
  // there): then they are remembered and done once that wait has returned.
  virtual void Cancel() = 0;
  // At exit.
  virtual void Disconnect() = 0;
};

}  // namespace qp
