// The local proxy's reading of a browser request and its one-line answer.
#pragma once

#include <string>
#include <string_view>

namespace qp {

// The address of the request line: the first line without its first 4 characters
// ("GET ") and its last 9 (" HTTP/1.x"); empty without a CR LF or for a shorter line.
std::string ProxyRequestAddress(std::string_view request);

// The answer text: the message with the address in place of "%s".
std::string ProxyReplyText(std::string_view message, std::string_view address);

// What one client may send before the connection is read anyway: a request line fits
// many times over, and a client that sends without end cannot exhaust the program.
inline constexpr std::size_t kProxyReadLimit = 16 * 1024;

}  // namespace qp
