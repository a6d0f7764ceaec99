// Fuzzes the letter writer as settings and buttons feed it: any subject, body, charset,
// transfer encoding, content type, sender, recipients and mailer name must give a letter,
// in bounded time, whose headers stay headers.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "delivery/mail_message.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The fields, separated by NUL bytes.
  std::vector<std::string> fields(8);
  std::size_t field = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && field + 1 < fields.size()) {
      ++field;
    } else {
      fields[field] += static_cast<char>(data[i]);
    }
  }
  qp::MailMessage m;
  m.subject = fields[0];
  m.body = fields[1];
  m.charset = fields[2];
  m.transfer_encoding = fields[3];
  m.content_type = fields[4];
  m.from = fields[5];
  m.recipients = fields[6];
  m.x_mailer = fields[7];
  const qp::RenderedMessage r = qp::RenderMessage(m, "Wed, 09 Dec 2026 07:10:00 +0000", "<1@example.org>");

  // The headers end at the first empty line; every line of them ends with CR LF, and a
  // line is either a header of the writer's own or the folded rest of one.
  const std::size_t end = r.text.find("\r\n\r\n");
  Check(end != std::string::npos);
  const std::string_view headers(r.text.data(), end + 2);
  static constexpr std::string_view kNames[] = {
      "From: ",    "To: ", "Subject: ", "Date: ", "Message-ID: ", "MIME-Version: ", "Content-Type: ", "Content-Transfer-Encoding: ",
      "X-Mailer: "};
  std::size_t start = 0;
  while (start < headers.size()) {
    const std::size_t line_end = headers.find("\r\n", start);
    Check(line_end != std::string_view::npos);
    const std::string_view line = headers.substr(start, line_end - start);
    Check(line.find('\r') == std::string_view::npos && line.find('\n') == std::string_view::npos);
    bool known = line.starts_with(" ");
    for (std::string_view name : kNames) known = known || line.starts_with(name);
    Check(known);
    if (line.starts_with("Subject: =?") || line.starts_with(" =?")) Check(line.size() <= 998);
    start = line_end + 2;
  }
  // The declared charset is a plain token.
  const std::size_t charset = r.text.find("; charset=");
  Check(charset != std::string::npos && charset < end);
  for (char c : r.charset) Check(c > ' ' && c < 127 && c != ';' && c != '"');
  return 0;
}
