// The local proxy's reading of a browser request.
#include "capture/proxy_request.h"

#include "base/text_codec.h"

namespace qp {

std::string ProxyRequestAddress(std::string_view request) {
  const std::size_t end = request.find("\r\n");
  if (end == std::string_view::npos) return {};
  std::string_view line = request.substr(0, end);
  constexpr std::string_view kMethod = "GET ", kVersion = " HTTP/1.";
  if (!line.starts_with(kMethod) || line.size() < kMethod.size() + kVersion.size() + 2) return {};
  const char minor = line.back();
  line.remove_suffix(1);
  if (minor < '0' || minor > '9' || !line.ends_with(kVersion)) return {};
  const std::string_view address = line.substr(kMethod.size(), line.size() - kMethod.size() - kVersion.size());
  for (unsigned char c : address) {
    if (c <= ' ' || c == 0x7F) return {};
  }
  if (SanitizeUtf8(address) != address) return {};  // invalid UTF-8
  return std::string(address);
}

std::string ProxyReplyText(std::string_view message, std::string_view address) {
  std::string text(message);
  if (std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, address);
  return text;
}

std::string ProxyReply(std::string_view utf8_text, bool refused, const TextCodec& codec) {
  std::string charset = CharsetName(codec.Number());
  const std::string body = charset.empty() ? std::string(utf8_text) : codec.Encode(utf8_text);
  if (charset.empty()) charset = "utf-8";
  return std::string(refused ? "HTTP/1.0 403 Forbidden" : "HTTP/1.0 200 OK") + "\r\nContent-Type: text/plain; charset=" + charset +
         "\r\nX-Content-Type-Options: nosniff\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

}  // namespace qp
