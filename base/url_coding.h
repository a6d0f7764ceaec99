// URL coding of request texts, over the bytes of a code page (the system's, as a rule).
#pragma once

#include <string>
#include <string_view>

#include "base/text_codec.h"

namespace qp {

// Letters and digits stay, a space becomes "+", every other byte "%xx".
std::string UrlEncode(std::string_view text, const TextCodec& codec);
// A "%" without two hexadecimal digits after it gives back the input unchanged.
std::string UrlDecode(std::string_view text, const TextCodec& codec);

}  // namespace qp
