// Integers written as text.
#include "base/integer_text.h"

#include "base/text_codec.h"

namespace qp {

bool ParseInteger(std::string_view text, int32_t& value) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("$") || text.starts_with("x") || text.starts_with("X")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t magnitude = 0;
  for (char c : text) {
    int digit = base == 16 ? HexDigitValue(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
    if (digit < 0) return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 10) {
    const uint64_t limit = negative ? 0x80000000ull : 0x7FFFFFFFull;
    if (magnitude > limit) return false;
    value = negative ? static_cast<int32_t>(-static_cast<int64_t>(magnitude)) : static_cast<int32_t>(magnitude);
  } else {
    // Hexadecimal covers the full 32 bits, so "$FFFFFFFF" is -1 as in the system's own reader.
    uint32_t bits = static_cast<uint32_t>(magnitude);
    if (negative) bits = 0u - bits;
    value = static_cast<int32_t>(bits);
  }
  return true;
}

}  // namespace qp
