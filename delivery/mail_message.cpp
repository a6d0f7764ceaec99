// MIME rendering of request letters.
#include "delivery/mail_message.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "base/text_codec.h"

namespace qp {
namespace {

constexpr std::size_t kMaxLineOctets = 998;
constexpr std::size_t kEncodedWordLimit = 75;

std::string Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return std::string(s);
}

// Header values come from settings and buttons: a line break in one must not start a
// header of its own.
std::string HeaderValue(std::string_view s) {
  std::string out(s);
  std::replace_if(
      out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return out;
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Every line of the body with CR LF ends, whatever ends it had.
std::string NormalizeLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

bool HasLongLine(std::string_view text) {
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end - start > kMaxLineOctets) return true;
    start = end + 2;
  }
  return false;
}

struct Encoded {
  std::string bytes;
  std::string charset;
};

// The text in the wanted charset when it holds every character, otherwise in UTF-8.
Encoded ToCharset(std::string_view utf8, const std::string& charset) {
  const std::string clean = SanitizeUtf8(utf8);
  if (IsAscii(clean)) return {clean, charset};
  if (const TextCodec* codec = CodecByName(charset)) {
    std::string bytes = codec->Encode(clean);
    if (codec->Decode(bytes) == clean) return {std::move(bytes), charset};
  }
  return {clean, "utf-8"};
}

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

// A charset name that can stand in a header as it is: a MIME token short enough to leave
// an encoded word room for text. Anything else (a mistyped setting, a line break) is
// replaced by UTF-8, which every mail program reads.
constexpr std::size_t kMaxCharsetName = 40;
std::string UsableCharset(std::string_view name) {
  const bool token = !name.empty() && name.size() <= kMaxCharsetName && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || std::string_view("!#$%&'*+-^_`{|}~.").find(c) != std::string_view::npos;
  });
  return token ? std::string(name) : "utf-8";
}

// RFC 2047 "B" words, each within the length limit, never splitting a UTF-8 character.
std::string EncodeHeaderWords(std::string_view utf8, const std::string& charset) {
  Encoded e = ToCharset(utf8, charset);
  const std::string prefix = "=?" + e.charset + "?B?", suffix = "?=";
  // Whole groups of three bytes fit; never less than one, so the loop always moves on.
  const std::size_t free = kEncodedWordLimit > prefix.size() + suffix.size() + 4 ? kEncodedWordLimit - prefix.size() - suffix.size() : 4;
  const std::size_t room = free / 4 * 3;
  const bool utf8_bytes = e.charset == "utf-8";
  std::string out;
  std::string_view rest = e.bytes;
  while (!rest.empty()) {
    std::size_t take = std::min(room, rest.size());
    if (utf8_bytes) {
      while (take < rest.size() && take > 0 && (static_cast<unsigned char>(rest[take]) & 0xC0) == 0x80) --take;
    }
    if (!out.empty()) out += "\r\n ";
    out += prefix + EncodeBase64(rest.substr(0, take)) + suffix;
    rest.remove_prefix(take);
  }
  return out;
}

}  // namespace

std::vector<std::string> SplitRecipients(std::string_view recipients) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (start <= recipients.size()) {
    std::size_t comma = recipients.find(',', start);
    if (comma == std::string_view::npos) comma = recipients.size();
    std::string address = Trim(recipients.substr(start, comma - start));
    if (!address.empty()) out.push_back(HeaderValue(address));
    start = comma + 1;
  }
  return out;
}

std::string EncodeBase64(std::string_view bytes) {
  static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[(n >> 18) & 63];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
  }
  return out;
}

std::string EncodeQuotedPrintable(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    const bool last = end == std::string_view::npos;
    if (last) end = text.size();
    std::string_view line = text.substr(start, end - start);
    std::size_t column = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(line[i]);
      const bool at_end = i + 1 == line.size();
      const bool plain = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !at_end);
      std::string piece = plain ? std::string(1, static_cast<char>(c)) : std::string{'=', kHex[c >> 4], kHex[c & 15]};
      if (column + piece.size() > 75) {  // a soft break keeps every line within 76
        out += "=\r\n";
        column = 0;
      }
      out += piece;
      column += piece.size();
    }
    if (last) break;
    out += "\r\n";
    start = end + 2;
  }
  return out;
}

std::string FormatMailDate(std::time_t moment, int utc_offset_minutes) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::time_t local = moment + static_cast<std::time_t>(utc_offset_minutes) * 60;
  std::tm t{};
#ifdef _WIN32
  gmtime_s(&t, &local);
#else
  gmtime_r(&local, &t);
#endif
  const int offset = utc_offset_minutes < 0 ? -utc_offset_minutes : utc_offset_minutes;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", kDays[t.tm_wday], t.tm_mday, kMonths[t.tm_mon],
                t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec, utc_offset_minutes < 0 ? '-' : '+', offset / 60, offset % 60);
  return buffer;
}

RenderedMessage RenderMessage(const MailMessage& message, std::string_view date, std::string_view message_id) {
  const std::string charset = UsableCharset(LowerAscii(Trim(message.charset.empty() ? "koi8-r" : message.charset)));
  Encoded body = ToCharset(NormalizeLines(message.body), charset);
  std::string encoding = LowerAscii(Trim(message.transfer_encoding));
  const bool eight_bit = !IsAscii(body.bytes);
  const bool long_lines = HasLongLine(body.bytes);
  if (encoding == "7bit" && (eight_bit || long_lines)) encoding = "quoted-printable";
  if (encoding == "8bit" && long_lines) encoding = "quoted-printable";
  if (encoding != "7bit" && encoding != "8bit" && encoding != "base64") encoding = "quoted-printable";

  std::string encoded_body;
  if (encoding == "quoted-printable") {
    encoded_body = EncodeQuotedPrintable(body.bytes);
  } else if (encoding == "base64") {
    const std::string all = EncodeBase64(body.bytes);
    for (std::size_t i = 0; i < all.size(); i += 76) encoded_body += all.substr(i, 76) + "\r\n";
  } else {
    encoded_body = body.bytes;
  }

  const std::string subject = message.subject.empty() ? " " : HeaderValue(message.subject);
  RenderedMessage out;
  out.charset = body.charset;
  out.transfer_encoding = encoding;
  std::string& t = out.text;
  t += "From: " + HeaderValue(message.from) + "\r\n";
  std::string to;
  for (const std::string& address : SplitRecipients(message.recipients)) to += (to.empty() ? "" : ", ") + address;
  t += "To: " + to + "\r\n";
  // Non-ASCII or overlong subjects become encoded words, which fold within the line limit.
  const bool plain_subject = IsAscii(subject) && subject.size() < 900;
  t += "Subject: " + (plain_subject ? subject : EncodeHeaderWords(subject, charset)) + "\r\n";
  t += "Date: " + std::string(date) + "\r\n";
  t += "Message-ID: " + std::string(message_id) + "\r\n";
  t += "MIME-Version: 1.0\r\n";
  t += "Content-Type: " + HeaderValue(message.content_type.empty() ? "text/plain" : message.content_type) + "; charset=" + body.charset +
       "\r\n";
  t += "Content-Transfer-Encoding: " + encoding + "\r\n";
  if (!message.x_mailer.empty()) t += "X-Mailer: " + HeaderValue(message.x_mailer) + "\r\n";
  t += "\r\n";
  t += encoded_body;
  return out;
}

}  // namespace qp
