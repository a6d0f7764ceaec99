// Integers written as text, as the settings file and the user's input boxes hold them.
#pragma once

#include <cstdint>
#include <string_view>

namespace qp {

// Optional sign, then decimal digits or hexadecimal digits after "$", "x", "X", "0x" or
// "0X". false when the text is not one, or does not fit 32 bits.
bool ParseInteger(std::string_view text, int32_t& value);

}  // namespace qp
