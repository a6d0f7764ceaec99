// The local proxy's reading of a browser request.
#include "capture/proxy_request.h"

#include "base/text_codec.h"

namespace qp {

std::string ProxyRequestAddress(std::string_view request) {
  const std::size_t end = request.find("\r\n");
  if (end == std::string_view::npos) return {};
  // Characters, not bytes: a request line may carry a non-ASCII address.
  std::string_view line = request.substr(0, end);
  const std::size_t chars = CountChars(line);
  if (chars < 14) return {};
  std::string_view without_version = CutChars(line, chars - 9);
  std::string_view after_method = without_version.substr(CutChars(without_version, 4).size());
  return std::string(after_method);
}

std::string ProxyReplyText(std::string_view message, std::string_view address) {
  std::string text(message);
  if (std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, address);
  return text;
}

}  // namespace qp
