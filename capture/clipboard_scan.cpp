// The clipboard monitor's scan.
#include "capture/clipboard_scan.h"

#include <algorithm>

#include "base/url_coding.h"

namespace qp {
namespace {

constexpr std::string_view kPrefixes[] = {"http://", "ftp://", "http%3A%2F%2F", "ftp%3A%2F%2F"};

// Position of the later of two markers that occur, or npos when neither does.
std::size_t Later(std::string_view s, std::string_view a, std::string_view b) {
  std::size_t pa = s.find(a), pb = s.find(b);
  if (pa == std::string_view::npos) return pb;
  if (pb == std::string_view::npos) return pa;
  return std::max(pa, pb);
}

}  // namespace

std::optional<std::string> ScanClipboardText(std::string s, std::string_view last_accepted, std::string_view request_line, bool auto_decode,
                                             const TextCodec& codec) {
  if (s.starts_with("www.")) s.insert(0, "http://");
  if (s.starts_with("ftp.")) s.insert(0, "ftp://");
  const std::size_t h = Later(s, "http:", "http%3A%2F%2F"), f = Later(s, "ftp:", "ftp%3A%2F%2F");
  const std::size_t cut = std::min(h, f);  // npos when neither occurs
  if (cut != std::string::npos) s.erase(0, cut);
  if (std::size_t space = s.find(' '); space != std::string::npos) s.resize(space);
  if (std::size_t feed = s.find('\n'); feed != std::string::npos) {
    // The character before a line feed goes too: the CR of a CR LF pair.
    s = std::string(CutChars(s.substr(0, feed), CountChars(s.substr(0, feed)) - (feed > 0 ? 1 : 0)));
  }
  if (std::none_of(std::begin(kPrefixes), std::end(kPrefixes), [&](std::string_view p) { return s.starts_with(p); })) {
    return std::nullopt;
  }
  if (s == last_accepted || s == request_line) return std::nullopt;
  if (auto_decode) s = UrlDecode(s, codec);
  return s;
}

}  // namespace qp
