// The letter as it is written: headers that stay headers whatever the settings hold, and a
// writer that always finishes.
#include <gtest/gtest.h>

#include "base/lines.h"
#include "delivery/mail_message.h"

namespace qp {
namespace {

MailMessage Letter(std::string subject, std::string charset) {
  MailMessage m;
  m.from = "user@example.org";
  m.recipients = "www4mail@example.net";
  m.subject = std::move(subject);
  m.charset = std::move(charset);
  m.body = "send http://example.com/";
  return m;
}

std::string Header(const std::string& text, std::string_view name) {
  const std::size_t at = text.find("\r\n" + std::string(name) + ": ");
  if (at == std::string::npos) return {};
  const std::size_t start = at + name.size() + 4;
  return text.substr(start, text.find("\r\n", start) - start);
}

TEST(MailMessage, AnUnusableCharsetNameGivesWayToUtf8AndTheLetterIsWritten) {
  // Names long enough to leave an encoded word no room, or less than none, for a long
  // ASCII subject.
  RenderedMessage r;
  for (std::size_t length : {66u, 70u, 200u}) {
    r = RenderMessage(Letter(std::string(1200, 's'), std::string(length, 'k')), "date", "<1@x>");
    EXPECT_EQ(r.charset, "utf-8") << length;
    EXPECT_NE(r.text.find("Subject: =?utf-8?B?"), std::string::npos) << length;
    for (std::string_view line : SplitLines(r.text)) EXPECT_LE(line.size(), 998u) << length;
  }
  // A line break in the setting must not start a header of its own.
  r = RenderMessage(Letter("ок", "koi8-r\r\nBcc: someone@example.com"), "date", "<2@x>");
  EXPECT_EQ(r.text.find("\r\nBcc:"), std::string::npos);
  EXPECT_EQ(Header(r.text, "Content-Type"), "text/plain; charset=utf-8");
}

TEST(MailMessage, AKnownOrMerelyUnfamiliarCharsetNameIsKept) {
  EXPECT_EQ(RenderMessage(Letter("ок", "KOI8-R"), "date", "<3@x>").charset, "koi8-r");
  // Plain ASCII text is declared in any well-formed name, known here or not.
  EXPECT_EQ(Header(RenderMessage(Letter("ok", "iso-8859-5"), "date", "<4@x>").text, "Content-Type"), "text/plain; charset=iso-8859-5");
}

}  // namespace
}  // namespace qp
