// The request dispatch: from a button press to sent letters, with the mailbox choice,
// the refusals, the request lists, the history, the SMTP sending, progress and cancel.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/settings_file.h"
#include "delivery/mail_message.h"
#include "delivery/mailbox_profiles.h"
#include "delivery/smtp_client.h"
#include "request/compose.h"

namespace qp {

// What the dispatch needs from the window and the system.
class DispatchHost {
 public:
  virtual ~DispatchHost() = default;
  virtual std::string RequestLine() = 0;
  virtual void SetRequestLine(const std::string& text) = 0;
  virtual void AddToInputHistory(const std::string& text) = 0;
  virtual void SetRequestButtonsEnabled(bool enabled) = 0;
  virtual void SetProgress(int position) = 0;  // 0..50
  virtual void StepProgress() = 0;             // by 5, from 0 again past 50
  virtual void Status(const std::string& text) = 0;     // shows it and lets messages run
  virtual void ErrorBox(const std::string& text) = 0;   // modal, error icon, OK
  virtual void OpenOptions() = 0;
  virtual int CheckedMailbox() = 0;                     // 0 when none is ticked
  virtual void SelectMailbox(int n) = 0;
  virtual const ActiveProfile& Profile() = 0;
  virtual bool Switch(const std::string& menu_item) = 0;  // the tick of a menu switch
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
  virtual std::string MailDate() = 0;  // now, as a letter's Date header
};

class Dispatcher : private SmtpEvents {
 public:
  // settings: the program's in-memory settings; buttons_file: "Buttons.ini".
  Dispatcher(DispatchHost& host, const IniFile& settings, std::filesystem::path buttons_file, RequestCounter& counter);

  // Runs the whole dispatch for button N (1..22, 31..36). A start while one runs is
  // ignored: the two would share one letter and one connection.
  void DispatchRequest(int number, bool help_request = false);
  bool Running() const { return running_; }
  // The cancel button and the Escape key.
  void Cancel();
  // Whether a wait for the server should be abandoned: the user cancelled it.
  bool CancelRequested() const { return running_ && abort_; }
  // At exit: QUIT on a kept connection.
  void Disconnect();
  bool SmtpConnected() const { return smtp_.Connected(); }

 private:
  void Run(int number, bool help_request);
  bool SmtpConnect();
  void SmtpSend();
  void WaitBetweenLetters(int seconds);
  std::string Message(const char* def, const char* key) const;

  void Status(std::string_view text) override;
  void WorkBegin() override;
  void Work(bool reading) override;
  void WorkEnd() override;
  void Disconnected() override;

  DispatchHost& host_;
  const IniFile& settings_;
  std::filesystem::path buttons_file_;
  RequestCounter& counter_;
  SmtpClient smtp_;
  MailMessage letter_;  // the outgoing letter, cleared after each one
  WorkingBody body_;
  bool running_ = false;
  bool abort_ = false;
  bool error_ = false;
  bool busy_ = false;  // the SMTP client is in an exchange with the server
  uint64_t message_ids_ = 0;
};

}  // namespace qp
