// The error log "log.txt": one line per failure, written so that it survives a crash.
#pragma once

#include <string>
#include <string_view>

namespace qp {

// date, one space, time, " : ", message, CR LF.
std::string FormatLogLine(std::string_view date, std::string_view time, std::string_view message);

// Appends one line to "log.txt" in the working folder, stamped by the installed clock.
// Never reports its own failure.
void LogError(std::string_view message);

}  // namespace qp
