// The error log "log.txt": one line per failure, written so that it survives a crash.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qp {

// date, one space, time, " : ", message, CR LF.
std::string FormatLogLine(std::string_view date, std::string_view time, std::string_view message);

// Appends one line to "log.txt" in the working folder. Never reports its own failure.
void LogError(std::string_view message);

// Where the date and time of a log line come from. Windows start-up installs the
// system's short date and long time formats; the default is dd.mm.yyyy hh:mm:ss.
struct LogTimestamp {
  std::string date, time;
};
void SetLogClock(std::function<LogTimestamp()> clock);
// Local time as dd.mm.yyyy and hh:mm:ss, for systems that give no formats of their own.
LogTimestamp PortableTimestamp();

}  // namespace qp
