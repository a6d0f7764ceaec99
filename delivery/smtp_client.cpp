// The client side of SMTP.
#include "delivery/smtp_client.h"

#include <cctype>
#include <optional>
#include <vector>

#include "base/integer_text.h"
#include "base/lines.h"
#include "base/scope_guard.h"
#include "lang/language.h"

namespace qp {
namespace {

constexpr std::size_t kMaxReplyBytes = 64 * 1024;  // a server cannot make us hold more
constexpr std::size_t kWriteChunk = 4096;          // progress and cancel between chunks

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// Lines beginning with a dot get a second one, and the text ends with CR LF . CR LF.
std::string DotStuffed(const std::string& text) {
  std::string out;
  out.reserve(text.size() + 64);
  bool line_start = true;
  for (char c : text) {
    if (line_start && c == '.') out += '.';
    out += c;
    line_start = c == '\n';
  }
  if (!out.empty() && !out.ends_with("\r\n")) out += "\r\n";
  out += ".\r\n";
  return out;
}

}  // namespace

int SmtpPort(std::string_view text) {
  int32_t port = 0;
  if (!ParseInteger(text, port) || port <= 0 || port > 65535) return 25;
  return port;
}

SmtpClient::SmtpClient(Connector& connector, SmtpEvents* events) : connector_(connector), events_(events ? events : &no_events_) {}

SmtpClient::~SmtpClient() {
  if (connection_) connection_->Close();  // the event handlers may be gone already
}

std::string SmtpClient::ReadLine() {
  for (;;) {
    // A line ends at its first LF, whatever ends the lines around it: a server that mixes
    // bare LF with CR LF must not have two of its lines read as one.
    if (const std::size_t end = buffer_.find('\n'); end != std::string::npos) {
      std::string line = buffer_.substr(0, end > 0 && buffer_[end - 1] == '\r' ? end - 1 : end);
      buffer_.erase(0, end + 1);
      return line;
    }
    if (buffer_.size() > kMaxReplyBytes) throw SmtpReplyError(0, "Reply line too long");
    std::string more = connection_->Read();
    events_->Work(true);
    buffer_ += more;
  }
}

SmtpClient::Reply SmtpClient::ReadReply() {
  Reply reply;
  for (;;) {
    std::string line = ReadLine();
    if (line.size() < 3 || !std::isdigit(static_cast<unsigned char>(line[0])) || !std::isdigit(static_cast<unsigned char>(line[1])) ||
        !std::isdigit(static_cast<unsigned char>(line[2]))) {
      throw SmtpReplyError(0, "Invalid reply: " + line);
    }
    reply.code = std::stoi(line.substr(0, 3));
    if (!reply.text.empty()) reply.text += "\r\n";
    reply.text += line.size() > 4 ? line.substr(4) : "";
    if (reply.text.size() > kMaxReplyBytes) throw SmtpReplyError(0, "Reply too long");
    if (line.size() < 4 || line[3] != '-') return reply;
  }
}

SmtpClient::Reply SmtpClient::Command(std::string_view line, int expected, int also_ok) {
  connection_->Write(std::string(line) + "\r\n");
  events_->Work(false);
  Reply reply = ReadReply();
  if (reply.code != expected && (also_ok == 0 || reply.code != also_ok)) throw SmtpReplyError(reply.code, reply.text);
  return reply;
}

void SmtpClient::Connect(const std::string& host, int port, const std::string& own_name, const TlsOptions& tls) {
  DropConnection();
  events_->Status("Connecting to " + host + ".");
  host_ = host;
  peer_ = TlsPeer{host, tls.trusted_certificate};
  connection_ = connector_.Connect(host, port);
  buffer_.clear();
  auth_mechanisms_.clear();
  authenticated_ = false;
  pipelining_ = starttls_offered_ = encrypted_ = false;
  try {
    if (tls.mode == TlsMode::kImplicit) {
      connection_ = connector_.Secure(std::move(connection_), peer_);
      encrypted_ = true;
    }
    Reply greeting = ReadReply();
    if (greeting.code != 220) throw SmtpReplyError(greeting.code, greeting.text);
    events_->Status("Connected.");
    Hello(own_name, true);
    const bool wanted = tls.mode == TlsMode::kStartTlsWhenOffered || tls.mode == TlsMode::kStartTlsRequired;
    if (!encrypted_ && wanted && starttls_offered_) {
      StartTls();
      Hello(own_name, false);
    } else if (!encrypted_ && tls.mode == TlsMode::kStartTlsRequired) {
      throw SmtpTlsUnavailable(host_ + ": " +
                               LookupMessage("сервер не предлагает STARTTLS, а шифрование для него обязательно", "textNoStartTls"));
    }
  } catch (...) {
    DropConnection();
    throw;
  }
}

void SmtpClient::Hello(const std::string& own_name, bool helo_allowed) {
  auth_mechanisms_.clear();
  pipelining_ = starttls_offered_ = false;
  Reply hello;
  try {
    hello = Command("EHLO " + own_name, 250);
  } catch (const SmtpReplyError& e) {
    if (e.Code() == 0 || !helo_allowed) throw;
    hello = Command("HELO " + own_name, 250);  // an old server without extensions
  }
  // Extension lines after the first: "AUTH LOGIN PLAIN" or the old "AUTH=LOGIN",
  // "PIPELINING" and "STARTTLS".
  for (std::string_view extension : SplitLines(hello.text)) {
    const std::string line = Upper(std::string(extension));
    if (line == "PIPELINING") pipelining_ = true;
    if (line == "STARTTLS") starttls_offered_ = true;
    if (!line.starts_with("AUTH ") && !line.starts_with("AUTH=")) continue;
    std::size_t pos = 5;
    while (pos < line.size()) {
      std::size_t next = line.find_first_of(" =", pos);
      if (next == std::string::npos) next = line.size();
      if (next > pos) auth_mechanisms_.insert(line.substr(pos, next - pos));
      pos = next + 1;
    }
  }
}

void SmtpClient::StartTls() {
  Command("STARTTLS", 220);
  // Anything after the reply came before the channel was secure: someone in between may
  // have put it there, so it must not be read as the server's word (RFC 3207, 4.2).
  if (!buffer_.empty()) throw TlsError(host_);
  connection_ = connector_.Secure(std::move(connection_), peer_);
  encrypted_ = true;
}

void SmtpClient::CheckForGracefulDisconnect() {
  // A letter's acceptance on its way is a word the server was asked for, not an end.
  if (connection_ && !end_pending_ && connection_->EndedWhileIdle()) {
    DropConnection();
    throw GracefulCloseError();
  }
}

void SmtpClient::Authenticate(const std::string& user, const std::string& password) {
  if (authenticated_ || user.empty()) return;
  if (!encrypted_ && starttls_offered_) {
    throw SmtpTlsUnavailable(
        host_ + ": " +
        LookupMessage("сервер предлагает STARTTLS, а шифрование выключено: пароль открытым текстом не посылается", "textPasswordNeedsTls"));
  }
  const bool plain = Offers("PLAIN");
  if (!plain && !Offers("LOGIN")) {
    std::string offered;
    for (const std::string& mechanism : auth_mechanisms_) offered += (offered.empty() ? "" : " ") + mechanism;
    throw SmtpAuthUnavailable(
        host_ + ": " +
        LookupMessage("сервер не предлагает способа входа, известного программе (AUTH PLAIN или LOGIN)", "textNoAuthMechanism") +
        (offered.empty() ? "" : " [" + offered + "]"));
  }
  try {
    if (plain) {
      Command("AUTH PLAIN " + EncodeBase64(std::string(1, '\0') + user + std::string(1, '\0') + password), 235);
    } else {
      Command("AUTH LOGIN", 334);
      Command(EncodeBase64(user), 334);
      Command(EncodeBase64(password), 235);
    }
  } catch (const SmtpReplyError& e) {
    // A refusal leaves the server waiting for the next command; anything else leaves the
    // exchange nobody knows where.
    if (e.Code() == 0) DropConnection();
    throw;
  } catch (...) {
    DropConnection();
    throw;
  }
  authenticated_ = true;
}

void SmtpClient::WriteData(std::string_view bytes) {
  events_->WorkBegin();
  for (std::size_t i = 0; i < bytes.size(); i += kWriteChunk) {
    connection_->Write(bytes.substr(i, kWriteChunk));
    events_->Work(false);
  }
  events_->WorkEnd();
}

void SmtpClient::ReadEarlierEnd() {
  if (!end_pending_ || !connection_) return;
  end_pending_ = false;
  earlier_outcome_ = LetterOutcome::kUnknown;  // unless the reply comes
  FlagScope reading(reading_earlier_end_);
  const Reply reply = ReadReply();
  earlier_outcome_ = reply.code == 250 ? LetterOutcome::kAccepted : LetterOutcome::kRefused;
}

// Ends a connection left in no known state. A letter's acceptance still on its way comes
// before anything the server says of the letter after it, so it is read first: the user
// must hear what the server made of a letter it has whole.
void SmtpClient::GiveUp() {
  try {
    ReadEarlierEnd();
  } catch (...) {
  }
  DropConnection();
}

void SmtpClient::Send(const MailMessage& message, std::string_view date, std::string_view message_id, bool another_follows) {
  text_went_out_ = false;
  if (!connection_) throw GracefulCloseError();
  const std::vector<std::string> recipients = SplitRecipients(message.recipients);
  const std::vector<std::string> senders = SplitRecipients(message.from);
  try {
    if (senders.empty()) throw SmtpReplyError(0, LookupMessage("No sender address", "textNoSender"));
    if (recipients.empty()) throw SmtpReplyError(0, LookupMessage("No recipient address", "textNoRecipient"));
  } catch (...) {
    try {
      ReadEarlierEnd();  // the letter before is told all the same
    } catch (...) {
      DropConnection();
    }
    throw;
  }
  try {
    if (pipelining_) {
      SendEnvelopeAtOnce(senders.front(), recipients);
    } else {
      ReadEarlierEnd();
      Command("MAIL FROM:<" + senders.front() + ">", 250);
      for (const std::string& to : recipients) Command("RCPT TO:<" + to + ">", 250, 251);
      Command("DATA", 354);
    }
    text_went_out_ = true;
    WriteData(DotStuffed(RenderMessage(message, date, message_id).text));
    if (another_follows && pipelining_) {
      end_pending_ = true;
      return;
    }
    Reply done = ReadReply();
    if (done.code != 250) throw SmtpReplyError(done.code, done.text);
  } catch (const SmtpReplyError& e) {
    // After a refusal the server waits for the next command: a reset, answered, leaves the
    // kept connection ready for the next letter. A cancel or a reply that could not be read
    // has no such place to go on from (the server may be inside the letter's body).
    if (e.Code() == 0 || !connection_) {
      GiveUp();
    } else {
      try {
        Command("RSET", 250);
      } catch (...) {
        GiveUp();
      }
    }
    throw;
  } catch (...) {
    // A broken or abandoned transfer leaves the connection in no known state.
    GiveUp();
    throw;
  }
}

// MAIL, every RCPT and DATA in one write (RFC 2920), their replies read one by one: one round
// trip where there were two and more. A refusal fails the letter as it would step by step;
// should the server still wait for the text (it took another recipient), the connection is
// given up rather than a letter sent without the refused recipient.
void SmtpClient::SendEnvelopeAtOnce(const std::string& from, const std::vector<std::string>& recipients) {
  std::string group = "MAIL FROM:<" + from + ">\r\n";
  for (const std::string& to : recipients) group += "RCPT TO:<" + to + ">\r\n";
  group += "DATA\r\n";
  connection_->Write(group);
  events_->Work(false);
  ReadEarlierEnd();  // the letter before's acceptance comes first
  std::optional<SmtpReplyError> refusal;
  const Reply mail = ReadReply();
  if (mail.code != 250) refusal.emplace(mail.code, mail.text);
  for (std::size_t i = 0; i < recipients.size(); ++i) {
    const Reply rcpt = ReadReply();
    if (rcpt.code != 250 && rcpt.code != 251 && !refusal) refusal.emplace(rcpt.code, rcpt.text);
  }
  const Reply data = ReadReply();
  if (data.code == 354 && refusal) {
    DropConnection();
    throw *refusal;
  }
  if (refusal) throw *refusal;
  if (data.code != 354) throw SmtpReplyError(data.code, data.text);
}

void SmtpClient::Disconnect() {
  if (!connection_) return;
  try {
    ReadEarlierEnd();
    Command("QUIT", 221);
  } catch (...) {
    DropConnection();
    throw;
  }
  DropConnection();
}

void SmtpClient::DropConnection() {
  if (!connection_) return;
  connection_->Close();
  connection_.reset();
  buffer_.clear();
  authenticated_ = false;
  if (std::exchange(end_pending_, false)) earlier_outcome_ = LetterOutcome::kUnknown;  // it may have come or not
  events_->Disconnected();
}

}  // namespace qp
