// The status line of the main window, reachable from every part of the program.
#pragma once

#include <string>
#include <string_view>

namespace qp {

// Puts the text on the status line and lets pending window messages run, so the text is
// painted at once and a click on the cancel button is seen during long operations.
// An empty text clears the line. Where it goes is installed by SetStatusSink
// (base/process.h); without a sink the text is only kept.
void ShowStatus(std::string_view text);
const std::string& LastStatus();

// The fixed author credit the main window shows when it becomes active.
inline constexpr std::string_view kAuthorCredit = "Author: Quillpost developers";

}  // namespace qp
