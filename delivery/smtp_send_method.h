// Sending through the active profile's SMTP server ("sendby" 0), the connection kept
// between letters of a run and, on request, between runs.
#pragma once

#include <cstdint>
#include <string>

#include "delivery/send_method.h"
#include "delivery/smtp_client.h"

namespace qp {

class SmtpSendMethod final : public SendMethod, private SmtpEvents {
 public:
  SmtpSendMethod(Connector& network, SendProgress& progress);

  std::string Refusal(const ActiveProfile& profile) const override;
  bool Prepare(const ActiveProfile& profile) override;
  bool Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) override;
  void AnotherFollows(bool follows) override { another_follows_ = follows; }
  bool Pending() const override { return smtp_.EndPending(); }
  std::optional<LetterOutcome> TakeEarlierOutcome() override { return smtp_.TakeEarlierOutcome(); }
  LetterOutcome Settle() override;
  void Finish(bool keep_connection) override;
  bool UsesConnection() const override { return true; }
  void Cancel() override;
  void Disconnect() override;

  bool Connected() const { return smtp_.Connected(); }
  // Whether the wait under way must outlast a cancel: a letter's acceptance is being read.
  bool HoldsCancel() const { return smtp_.ReadingEarlierEnd(); }

 private:
  // What a connection was made for: a kept one carries only letters of the same.
  struct Account {
    std::string host;
    int port = 0;
    std::string tls;  // the entry's choice as stored
    std::string user, password;
    bool operator==(const Account&) const = default;
  };
  static Account AccountOf(const ActiveProfile& profile);

  bool Deliver(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id);
  bool Connect(const ActiveProfile& profile);
  void ConnectSecured(const ActiveProfile& profile);
  // A refusal the user must mend in the settings: logged, on the status line and in a box.
  void Refuse(const std::string& text);
  // QUIT and close; asked for from inside an exchange, once that exchange has returned.
  void Close(bool log_failure);
  void CloseIfAsked();

  void Status(std::string_view text) override;
  void WorkBegin() override;
  void Work(bool reading) override;
  void WorkEnd() override;
  void Disconnected() override;

  SendProgress& progress_;
  SmtpClient smtp_;
  bool busy_ = false;         // the client is in an exchange with the server
  bool close_asked_ = false;  // a cancel or a disconnect came from one of its waits
  bool refused_ = false;      // the last connect met a refusal a second try would meet again
  Account connected_for_;
  bool another_follows_ = false;
};

// The address's domain, as the letter's own name in EHLO and its Message-ID: "localhost"
// when it has none.
std::string DomainOf(const std::string& address);

}  // namespace qp
