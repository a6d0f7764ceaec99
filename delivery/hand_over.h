// Handing a letter to a mail program the user has ("sendby" 2: the mailto address; 4:
// The Bat!'s command line), which then sends it. What is fixed here is what the mail
// program receives: it must get back exactly the subject and body that were composed.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/send_method.h"

namespace qp {

inline constexpr std::string_view kTheBatDefaultPath = "C:\\Program Files\\The Bat!\\thebat.exe";

// Percent-encodes every byte of the UTF-8 text outside RFC 3986's unreserved set (and
// outside `keep`), so that a decoding mail program gets the text back exactly.
std::string PercentEncode(std::string_view utf8, std::string_view keep = "");

// "mailto:" + recipients + "?subject=" + subject + "&body=" + the body lines, each ended
// by CR LF (RFC 6068). An empty subject is one space.
std::string MailtoAddress(std::string_view recipients, std::string_view subject, const std::vector<std::string>& body_lines);

// Each letter handed to The Bat! has a body file of its own ("body-1.txt", "body-2.txt",
// ... counted from each start): The Bat! reads it some time after it was started, and the
// next letter of a list must not have changed it by then.
std::string TheBatBodyFileName(int letter);
// Such a name: the files an earlier start left are removed at the next one.
bool IsTheBatBodyFileName(std::string_view name);

struct ProgramCall {
  std::string program;
  std::string parameters;
  bool operator==(const ProgramCall&) const = default;
};

// The Bat!'s program and its one quoted parameter. send_mode: 0 ";SEND", 1 ";QUEUE",
// 2 ";EDIT", anything else none. A double quote in a value would end the parameter and a
// ";" would start another option, so they become "%22" and "%3B" (what they are in an
// address): a captured address cannot add recipients or attachments.
ProgramCall TheBatCall(std::string_view recipients, std::string_view subject, std::string_view account, std::string_view body_file,
                       int send_mode, std::string_view path);

// The send method of both: opens the address or starts the program through the shell.
class HandOverSendMethod final : public SendMethod {
 public:
  enum class Kind { Mailto, TheBat };
  struct System {
    // The shell's "open": false when nothing could be opened.
    std::function<bool(const std::string& target, const std::string& parameters)> open;
    // The letter's body file for The Bat!: its full path, or "" when it could not be written.
    std::function<std::string(const std::vector<std::string>& lines)> write_body;
    // Section "TheBat" of the settings: "send" and "path".
    std::function<int()> send_mode;
    std::function<std::string()> path;
  };
  HandOverSendMethod(Kind kind, System system, SendProgress& progress);

  std::string Refusal(const ActiveProfile&) const override { return {}; }
  bool Prepare(const ActiveProfile&) override { return true; }
  bool Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view date, std::string_view message_id) override;
  void Finish(bool) override {}
  bool UsesConnection() const override { return false; }
  void Cancel() override {}
  void Disconnect() override {}

 private:
  Kind kind_;
  System system_;
  SendProgress& progress_;
};

}  // namespace qp
