// The client side of SMTP (RFC 5321) with AUTH PLAIN and LOGIN (RFC 4954), over a Connection.
#pragma once

#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "delivery/connection.h"
#include "delivery/mail_message.h"

namespace qp {

// The server refused a step; the message is its reply text.
class SmtpReplyError : public std::runtime_error {
 public:
  SmtpReplyError(int code, const std::string& reply) : std::runtime_error(reply), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// The server offers no way to log in that the client knows; the message says which it offers.
class SmtpAuthUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The connection cannot be made as secure as the server entry asks: STARTTLS required and
// not offered, or a password that would go out in plain text to a server offering STARTTLS.
class SmtpTlsUnavailable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// How a connection is to be secured.
struct TlsOptions {
  TlsMode mode = TlsMode::kStartTlsWhenOffered;
  std::string trusted_certificate;  // a fingerprint the user chose to trust, or ""
};

// What the client reports while it works; handlers may throw to abort a transfer.
class SmtpEvents {
 public:
  virtual ~SmtpEvents() = default;
  virtual void Status(std::string_view /*text*/) {}
  virtual void WorkBegin() {}
  virtual void Work(bool /*reading*/) {}
  virtual void WorkEnd() {}
  virtual void Disconnected() {}
};

class SmtpClient {
 public:
  SmtpClient(Connector& connector, SmtpEvents* events);
  ~SmtpClient();

  // Connects, reads the greeting and introduces itself with EHLO, or HELO when the
  // server does not know EHLO. Implicit TLS secures the connection before the greeting;
  // STARTTLS after the first EHLO, which is then repeated (what was offered in plain text
  // is forgotten). A failure to secure it ends the connection, never goes on in plain text.
  void Connect(const std::string& host, int port, const std::string& own_name, const TlsOptions& tls = {});
  bool Encrypted() const { return encrypted_; }
  bool Connected() const { return connection_ != nullptr; }
  // For a kept connection: throws GracefulCloseError (and forgets the connection) when
  // the server has closed it meanwhile.
  void CheckForGracefulDisconnect();
  // Once per connection when a user name is given: AUTH PLAIN when the server offers it (one
  // exchange), else AUTH LOGIN. A server that offers neither throws SmtpAuthUnavailable: the
  // letter must not go out without the log-in the user set up. A password is never sent in
  // plain text to a server that offered STARTTLS (SmtpTlsUnavailable).
  void Authenticate(const std::string& user, const std::string& password);
  bool Authenticated() const { return authenticated_; }
  bool Pipelining() const { return pipelining_; }
  bool Offers(std::string_view mechanism) const { return auth_mechanisms_.count(std::string(mechanism)) != 0; }
  // MAIL FROM, RCPT TO for each recipient, DATA with the rendered letter. With another
  // letter to follow at once and a server that takes commands ahead (PIPELINING), the
  // letter's end is left unread: its reply is read behind the next letter's commands, which
  // go out with no wait between, so a list costs one round trip a letter.
  void Send(const MailMessage& message, std::string_view date, std::string_view message_id, bool another_follows = false);
  // Whether any of the last letter's text went to the server (it may then have it).
  bool LetterTextWentOut() const { return text_went_out_; }
  // Whether a letter's acceptance is still to be read.
  bool EndPending() const { return end_pending_; }
  // Reads it now (nothing when none is pending); throws as the reply of a step does. The
  // letter's text went out whole, so a cancel does not end this wait: the events are told
  // as ever, and ReadingEarlierEnd() says that a cancel is to wait until it is over.
  void ReadEarlierEnd();
  bool ReadingEarlierEnd() const { return reading_earlier_end_; }
  // What became of the letter left pending, once read (kUnknown when the connection went
  // before it could be), and forgets it; nullopt while there is none to tell.
  std::optional<LetterOutcome> TakeEarlierOutcome() { return std::exchange(earlier_outcome_, std::nullopt); }
  // QUIT and close.
  void Disconnect();
  // Close without telling the server (after the connection was reset).
  void DropConnection();

 private:
  struct Reply {
    int code = 0;
    std::string text;  // all lines, joined with CR LF
  };
  Reply ReadReply();
  void Hello(const std::string& own_name, bool helo_allowed);
  void StartTls();
  void SendEnvelopeAtOnce(const std::string& from, const std::vector<std::string>& recipients);
  Reply Command(std::string_view line, int expected, int also_ok = 0);
  void WriteData(std::string_view bytes);
  std::string ReadLine();
  void GiveUp();

  Connector& connector_;
  SmtpEvents* events_;
  SmtpEvents no_events_;
  std::unique_ptr<Connection> connection_;
  std::string host_;  // for the messages
  std::string buffer_;
  std::set<std::string> auth_mechanisms_;
  bool authenticated_ = false;
  bool pipelining_ = false;  // the server takes commands ahead of their replies
  bool starttls_offered_ = false;
  bool encrypted_ = false;
  bool text_went_out_ = false;
  bool end_pending_ = false;                      // a letter's acceptance is on its way
  bool reading_earlier_end_ = false;              // and is being read
  std::optional<LetterOutcome> earlier_outcome_;  // what became of it, until taken
  TlsPeer peer_;
};

// A port text as a number: 25 when it is not a valid one.
int SmtpPort(std::string_view text);

}  // namespace qp
