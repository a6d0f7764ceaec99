// Changing an INI text in place, for files the user also edits by hand: every line not
// changed stays as it is, byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp {

using IniEntries = std::vector<std::pair<std::string, std::string>>;  // key, value, in order

// The text with the section's given keys set: a key's first line in the section gets the new
// value, a key not there is added after the section's last entry (after its header when it
// has none), and a section not there is appended. Names are matched without regard to case.
std::string SetIniValues(std::string_view text, std::string_view section, const IniEntries& entries);

// The text with the section's entries replaced by the given ones: its other lines go (its
// header, comments and blank lines stay), the new entries follow the header. A section met
// again later loses its entries there too; one not there is appended.
std::string ReplaceIniSection(std::string_view text, std::string_view section, const IniEntries& entries);

// New lines end as the text's first line does (CR LF when it has none).

}  // namespace qp
