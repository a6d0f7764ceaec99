// The hand-over to mail programs.
#include "delivery/hand_over.h"

#include <algorithm>

#include "base/lines.h"
#include "lang/language.h"

namespace qp {
namespace {

bool Unreserved(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

// One value of The Bat!'s parameter: a double quote would end the parameter and a ";"
// would start an option of its own ("TO=", "ATTACH="), so each is written as it is in an
// address.
std::string ParameterValue(std::string_view value) {
  std::string out;
  for (char c : value) {
    if (c == '"') {
      out += "%22";
    } else if (c == ';') {
      out += "%3B";
    } else {
      out += c;
    }
  }
  return out;
}

constexpr std::string_view kBodyFilePrefix = "body-";
constexpr std::string_view kBodyFileSuffix = ".txt";

}  // namespace

std::string TheBatBodyFileName(int letter) { return std::string(kBodyFilePrefix) + std::to_string(letter) + std::string(kBodyFileSuffix); }

bool IsTheBatBodyFileName(std::string_view name) {
  if (!name.starts_with(kBodyFilePrefix) || !name.ends_with(kBodyFileSuffix)) return false;
  const std::string_view number = name.substr(kBodyFilePrefix.size(), name.size() - kBodyFilePrefix.size() - kBodyFileSuffix.size());
  return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string PercentEncode(std::string_view utf8, std::string_view keep) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : utf8) {
    if (Unreserved(c) || keep.find(c) != std::string_view::npos) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string MailtoAddress(std::string_view recipients, std::string_view subject, const std::vector<std::string>& body_lines) {
  std::string body;
  for (const std::string& line : body_lines) body += line + "\r\n";
  // The addresses keep their "@" and the commas between them; anything else that could
  // change the address's meaning ("?", "#", "%", blanks) is encoded.
  std::string to;
  for (const std::string& address : SplitRecipients(recipients)) to += (to.empty() ? "" : ",") + PercentEncode(address, "@!$'()*+;:");
  return "mailto:" + to + "?subject=" + PercentEncode(subject.empty() ? " " : subject) + "&body=" + PercentEncode(body);
}

ProgramCall TheBatCall(std::string_view recipients, std::string_view subject, std::string_view account, std::string_view body_file,
                       int send_mode, std::string_view path) {
  static constexpr std::string_view kModes[] = {";SEND", ";QUEUE", ";EDIT"};
  const std::string_view mode = send_mode >= 0 && send_mode < 3 ? kModes[send_mode] : "";
  const std::string to = ParameterValue(recipients);
  const std::string tail =
      ";SUBJECT=" + ParameterValue(subject.empty() ? " " : subject) + ";TEXT=" + ParameterValue(body_file) + std::string(mode) + "\"";
  ProgramCall call;
  // With an account and no path the usual place applies too: an empty program opens nothing.
  call.program = path.empty() ? std::string(kTheBatDefaultPath) : std::string(path);
  call.parameters = account.empty() ? "\"/MAILTO=" + to + tail : "\"/MAILU=" + ParameterValue(account) + ";TO=" + to + tail;
  return call;
}

HandOverSendMethod::HandOverSendMethod(Kind kind, System system, SendProgress& progress)
    : kind_(kind), system_(std::move(system)), progress_(progress) {}

bool HandOverSendMethod::Send(const ActiveProfile& profile, const MailMessage& letter, std::string_view /*date*/,
                              std::string_view /*message_id*/) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(letter.body)) lines.emplace_back(line);
  ProgramCall call;
  if (kind_ == Kind::Mailto) {
    call.program = MailtoAddress(letter.recipients, letter.subject, lines);
  } else {
    const std::string body_file = system_.write_body(lines);
    if (body_file.empty()) return false;  // the write failure has been told
    call = TheBatCall(letter.recipients, letter.subject, profile.bat_account_name, body_file, system_.send_mode(), system_.path());
  }
  if (system_.open(call.program, call.parameters)) return true;
  progress_.Status(LookupMessage("Не удалось открыть почтовую программу", "textMailProgramFailed") + ": " +
                   (kind_ == Kind::Mailto ? std::string("mailto:") : call.program));
  return false;
}

}  // namespace qp
