// Request lists: the addresses an imported file yields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qp {

// One address per line that holds one: the first "http://" (or, without one, the first
// "ftp://") up to a double quote or the line end; a quoted-off address loses a trailing
// " target=" of an unquoted HTML anchor.
std::vector<std::string> ImportLinks(std::string_view text);

}  // namespace qp
