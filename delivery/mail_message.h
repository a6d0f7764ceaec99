// The outgoing letter and its rendering as a MIME text message.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

// One request letter. Texts are UTF-8; the rendering turns them into the declared
// character set and a transfer encoding that can carry them.
struct MailMessage {
  std::string from;
  std::string recipients;  // one text, addresses separated by commas
  std::string subject;
  std::string content_type = "text/plain";
  std::string charset = "koi8-r";
  std::string transfer_encoding = "7bit";
  std::string body;  // lines separated by CR LF
  std::string x_mailer;
};

// What became of a letter whose whole text went to the server: its word on it, or none when
// the connection went before that word could be read (it may have the letter or not).
enum class LetterOutcome { kAccepted, kRefused, kUnknown };

// The addresses of a recipients text, trimmed, empty ones dropped.
std::vector<std::string> SplitRecipients(std::string_view recipients);

// What the rendering chose, for the record and the tests.
struct RenderedMessage {
  std::string text;               // headers, empty line, body; CR LF; no final dot
  std::string charset;            // the charset the text is in
  std::string transfer_encoding;  // the one declared
};

// Renders the letter. The body keeps to its declared charset when that can hold every
// character and falls back to UTF-8 otherwise; a transfer encoding that cannot carry the
// bytes (8-bit text in "7bit", lines over 998 octets) is replaced by quoted-printable.
// A non-ASCII subject becomes RFC 2047 encoded words.
RenderedMessage RenderMessage(const MailMessage& message, std::string_view date, std::string_view message_id);

// "Wed, 09 Dec 2026 07:10:00 +0000" for a moment and the local offset from UTC in minutes.
std::string FormatMailDate(std::time_t moment, int utc_offset_minutes);

std::string EncodeBase64(std::string_view bytes);
std::string EncodeQuotedPrintable(std::string_view bytes);  // CR LF lines in, CR LF lines out

}  // namespace qp
