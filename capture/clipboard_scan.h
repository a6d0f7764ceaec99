// The clipboard monitor's scan: cuts a web or FTP address out of a copied text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/text_codec.h"

namespace qp {

// The address to hand over, or nothing when the text holds none, or holds the one last
// handed over or already in the request line. Decoded when auto_decode is on.
std::optional<std::string> ScanClipboardText(std::string text, std::string_view last_accepted, std::string_view request_line,
                                             bool auto_decode, const TextCodec& codec);

}  // namespace qp
