// The SMTP client's reading of replies, over a connection that answers from a script.
#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>

#include "delivery/smtp_client.h"

namespace qp {
namespace {

// Says the greeting, then the next reply of the script for each write.
class ScriptedConnector final : public Connector {
 public:
  explicit ScriptedConnector(std::deque<std::string> replies) : replies_(std::move(replies)) {}
  std::unique_ptr<Connection> Connect(const std::string&, int) override { return std::make_unique<Scripted>(replies_); }

 private:
  class Scripted final : public Connection {
   public:
    explicit Scripted(std::deque<std::string>& replies) : replies_(replies) { Next(); }
    void Write(std::string_view) override { Next(); }
    std::string Read() override {
      if (readable_.empty()) throw SocketError(kTimedOutCode, "Read timed out.");
      return std::exchange(readable_, {});
    }
    bool EndedWhileIdle() override { return false; }
    void Close() override {}

   private:
    void Next() {
      if (replies_.empty()) return;
      readable_ += replies_.front();
      replies_.pop_front();
    }
    std::deque<std::string>& replies_;
    std::string readable_;
  };
  std::deque<std::string> replies_;
};

// Each line ends at its first LF whatever the lines around it end with, so no reply takes
// in the next one's lines and every reply is read in its turn.
TEST(SmtpClientReplies, MixedLineEndsKeepTheRepliesInStep) {
  for (const std::string ehlo :
       {"250-localhost\n250 PIPELINING\r\n", "250-localhost\r\n250 PIPELINING\n", "250-localhost\n250 PIPELINING\n"}) {
    ScriptedConnector connector({"220 hello\r\n", ehlo, "250 sender\n250 recipient\r\n354 go on\n", "250 queued\r\n", "221 bye\n"});
    SmtpClient client(connector, nullptr);
    client.Connect("mail.example.org", 25, "localhost", {TlsMode::kNone, ""});
    EXPECT_TRUE(client.Pipelining()) << ehlo;
    MailMessage letter;
    letter.from = "user@example.org";
    letter.recipients = "www4mail@example.net";
    letter.body = "send http://example.com/";
    EXPECT_NO_THROW(client.Send(letter, "Wed, 09 Dec 2026 07:10:00 +0000", "<1@example.org>")) << ehlo;
    EXPECT_NO_THROW(client.Disconnect()) << ehlo;
  }
}

}  // namespace
}  // namespace qp
