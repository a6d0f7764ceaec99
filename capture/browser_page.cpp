// The browser's current page.
#include "capture/browser_page.h"

namespace qp {

std::string BrowserDdeService(std::string_view browser) {
  if (browser == "Internet Explorer") return "iexplore";
  if (browser == "Netscape Navigator") return "netscape";
  return std::string(browser);
}

std::string AddressFromWindowInfo(std::string_view reply) {
  const std::size_t open = reply.find('"');
  if (open == std::string_view::npos) return {};
  const std::string_view rest = reply.substr(open + 1, 255);
  const std::size_t close = rest.find('"');
  return close == std::string_view::npos ? std::string() : std::string(rest.substr(0, close));
}

}  // namespace qp
