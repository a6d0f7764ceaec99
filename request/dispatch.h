// The request dispatch: from a button press to sent letters, with the mailbox choice,
// the refusals, the request lists, the history, the sending, progress and cancel.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "delivery/connection.h"
#include "delivery/dns_resolver.h"
#include "delivery/hand_over.h"
#include "delivery/mail_message.h"
#include "delivery/mailbox_profiles.h"
#include "delivery/mapi_mail.h"
#include "delivery/relay_send_method.h"
#include "delivery/send_method.h"
#include "request/compose.h"

namespace qp {

class SmtpSendMethod;

// The switches a run goes by, read from the window when the run starts.
struct DispatchOptions {
  bool list1 = false;           // send request list 1 instead of the request line
  bool list2 = false;           // send request list 2
  bool delay = false;           // pause between the letters of list 2 ("RLDelay" seconds)
  bool popups = false;          // a popup tells how each letter went
  bool hide_when_done = false;  // minimize the window after the run
};

// What the dispatch needs from the window and the system.
class DispatchHost {
 public:
  virtual ~DispatchHost() = default;
  virtual DispatchOptions Options() = 0;
  virtual std::string RequestLine() = 0;
  virtual void SetRequestLine(const std::string& text) = 0;
  virtual void AddToInputHistory(const std::string& text) = 0;
  virtual void SetRequestButtonsEnabled(bool enabled) = 0;
  virtual void SetProgress(int position) = 0;                        // 0..50
  virtual void StepProgress() = 0;                                   // by 5, from 0 again past 50
  virtual void Status(const std::string& text) = 0;                  // shows it and lets messages run
  virtual void ErrorBox(const std::string& text) = 0;                // modal, error icon, OK
  virtual void InfoBox(const std::string& text) { ErrorBox(text); }  // modal, information icon, OK
  virtual void OpenOptions() = 0;
  // The question whether to trust a certificate that did not pass (warning icon, Yes/No,
  // No the default); on Yes the pin is kept as server entry k's "Certk".
  virtual bool TrustCertificate(const std::string& /*question*/, int /*server_entry*/, const CertificatePin& /*pin*/) { return false; }
  virtual int CheckedMailbox() = 0;  // 0 when none is ticked
  virtual void SelectMailbox(int n) = 0;
  virtual const ActiveProfile& Profile() = 0;
  virtual std::vector<std::string> RequestList(int which) = 0;  // 1 or 2
  virtual std::string SearchRequest() = 0;
  virtual void Popup(const std::string& /*address*/, const std::string& /*text*/) {}
  virtual void Minimize() {}
  virtual bool Dial() { return true; }
  virtual void HangUp() {}
  virtual void LetterCounted() = 0;  // the letter counter goes up
  virtual void Pause50ms() = 0;      // sleeps about 50 ms while window messages run
  virtual uint64_t Milliseconds() = 0;
  virtual Connector& Network() = 0;
  // A UDP socket for the MX lookup of direct delivery; nullptr when there is none to be had.
  virtual std::unique_ptr<DnsTransport> DnsNetwork() { return nullptr; }
  // The shell's "open" of an address or a program with its parameters; false when nothing
  // could be opened.
  virtual bool ShellOpen(const std::string& /*target*/, const std::string& /*parameters*/) { return false; }
  // The system's Simple MAPI, looked for when first asked; nullptr when it is not there,
  // and then what was found wrong.
  virtual SimpleMapi* Mapi() { return nullptr; }
  virtual std::string MapiUnavailableReason() { return {}; }
  virtual std::uint16_t RandomId();    // a DNS query ID nobody can guess
  virtual std::string MailDate() = 0;  // now, as a letter's Date header
};

class Dispatcher : public SendProgress {
 public:
  // settings: the program's in-memory settings; buttons_file: "Buttons.ini" (UTF-8 path).
  Dispatcher(DispatchHost& host, const IniFile& settings, std::string buttons_file, RequestCounter& counter);
  ~Dispatcher() override;

  // Runs the whole dispatch for button N (1..22, 31..36). A start while one runs, or while
  // the connections close at exit, is ignored: the two would share one connection.
  void DispatchRequest(int number, bool help_request = false);
  bool Running() const { return running_; }
  // The cancel button and the Escape key.
  void Cancel();
  // Whether a wait for the server should be abandoned: the user cancelled it.
  // Not while a letter's acceptance is read: its text went out whole, and the user must
  // hear what the server made of it.
  bool CancelRequested() const;
  // At exit: QUIT on a kept connection.
  void Disconnect();
  bool SmtpConnected() const;

  // What the send methods report.
  void Status(const std::string& text) override { host_.Status(text); }
  void StepProgress() override { host_.StepProgress(); }
  void Inform(const std::string& text) override { host_.InfoBox(text); }
  void Alert(const std::string& text) override { host_.ErrorBox(text); }
  bool TrustCertificate(const CertificateError& problem, int server_entry) override;
  bool Cancelled() const override { return abort_; }

 private:
  struct Run;
  struct Letter {
    std::string subject, request, comment, body;
  };
  void RunDispatch(int number, bool help_request);
  RelaySettings ReadRelaySettings() const;
  HandOverSendMethod::System HandOverSystem();
  Run BeginRun(int number, bool help_request);
  void ChooseMailbox(Run& run);
  void ReadRunSettings(Run& run);
  bool Refused(Run& run);
  void CollectEntries(Run& run);
  Letter ComposeLetter(Run& run);
  bool SendLetter(Run& run, const Letter& letter);
  void ReportLetter(Run& run, const Letter& letter);
  // answered: the server's word on a letter read behind the next one; without it the letter
  // just sent is told by how the run stands.
  void ReportOutcome(Run& run, const Letter& letter, std::optional<LetterOutcome> answered = std::nullopt);
  void ReportPending(Run& run, LetterOutcome outcome);
  void WaitBetweenLetters(int seconds);
  void EndRun(Run& run, bool ran_out);
  SendMethod& MethodFor(int send_by);

  DispatchHost& host_;
  const IniFile& settings_;
  std::string buttons_file_;
  RequestCounter& counter_;
  std::unique_ptr<SmtpSendMethod> smtp_;
  std::unique_ptr<RelaySendMethod> relay_;
  std::unique_ptr<HandOverSendMethod> mailto_, the_bat_;
  std::unique_ptr<TEmail> mapimail_;  // made when MAPI is first used
  std::unique_ptr<MapiSendMethod> mapi_;
  WorkingBody body_;
  Run* run_ = nullptr;  // the run under way
  bool running_ = false;
  bool disconnecting_ = false;
  bool abort_ = false;
  bool error_ = false;
  uint64_t message_ids_ = 0;
  int body_files_ = 0;  // The Bat!'s body files written since the start
};

}  // namespace qp
