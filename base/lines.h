// Texts as lines: the program's files and multi-line boxes end lines with CR LF, and read
// any line end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qp {

// CR LF, LF and CR each end a line; the text after the last line end is a line when it is
// not empty. The views point into text.
std::vector<std::string_view> SplitLines(std::string_view text);
// The lines with CR LF between them, and with terminate after the last one too.
std::string JoinLines(const std::vector<std::string>& lines, bool terminate = false);
// Without the blanks at both ends: spaces and every control character, as the INI format
// trims names and values.
std::string_view TrimBlanks(std::string_view s);

}  // namespace qp
