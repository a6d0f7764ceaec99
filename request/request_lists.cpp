// Request lists: importing addresses from any file.
#include "request/request_lists.h"

#include "base/lines.h"

namespace qp {

std::vector<std::string> ImportLinks(std::string_view text) {
  std::vector<std::string> links;
  for (std::string_view line : SplitLines(text)) {
    std::size_t at = line.find("http://");
    if (at == std::string_view::npos) at = line.find("ftp://");
    if (at == std::string_view::npos) continue;
    std::string_view link = line.substr(at);
    const std::size_t quote = link.find('"');
    if (quote != std::string_view::npos) {
      link = link.substr(0, quote);
      if (link.find(" target=") != std::string_view::npos && link.size() >= 8) link.remove_suffix(8);
    }
    links.emplace_back(link);
  }
  return links;
}

}  // namespace qp
