// The local proxy's reading of a browser request and its one-line answer.
#pragma once

#include <string>
#include <string_view>

namespace qp {

class TextCodec;

// The address of a request line "GET <address> HTTP/1.x" (the first line, ended by CR LF).
// Empty for anything else: another method, a space or control character in the address, a
// bare line feed, invalid UTF-8, no line end. Only a browser's page request may fill the
// request line; nothing another program sends may smuggle a command into a letter.
std::string ProxyRequestAddress(std::string_view request);

// The answer text: the message with the address in place of "%s".
std::string ProxyReplyText(std::string_view message, std::string_view address);

// The whole answer to the browser: the text as an HTTP/1.0 reply of plain text in the
// codec's character set (UTF-8 when that set has no name a browser knows). Declared plain
// text that must not be sniffed, so that markup in a crafted address stays text and never
// runs as a page. A refused request gets a refusal status with its text.
std::string ProxyReply(std::string_view utf8_text, bool refused, const TextCodec& codec);

// What one client may send before the connection is read anyway: a request line fits
// many times over, and a client that sends without end cannot exhaust the program.
inline constexpr std::size_t kProxyReadLimit = 16 * 1024;

}  // namespace qp
