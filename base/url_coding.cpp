// URL coding of request texts.
#include "base/url_coding.h"

namespace qp {

std::string UrlEncode(std::string_view text, const TextCodec& codec) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char b : codec.Encode(text)) {
    if (b == ' ') {
      out += '+';
    } else if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
      out += static_cast<char>(b);
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::string UrlDecode(std::string_view text, const TextCodec& codec) {
  // Escaped bytes are in the code page; runs of them are turned into text together, so
  // a character written as several escapes comes back whole.
  std::string out, bytes;
  auto flush = [&] {
    out += codec.Decode(bytes);
    bytes.clear();
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%') {
      if (i + 2 >= text.size() || HexDigitValue(text[i + 1]) < 0 || HexDigitValue(text[i + 2]) < 0) return std::string(text);
      bytes += static_cast<char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2]));
      i += 2;
      continue;
    }
    flush();
    out += text[i] == '+' ? ' ' : text[i];
  }
  flush();
  return out;
}

}  // namespace qp
