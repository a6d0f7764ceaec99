// The error log "log.txt".
#include "base/error_log.h"

#include "base/clock.h"
#include "base/file_io.h"
#include "base/working_folder.h"

namespace qp {

std::string FormatLogLine(std::string_view date, std::string_view time, std::string_view message) {
  std::string line;
  line.reserve(date.size() + time.size() + message.size() + 6);
  line.append(date).append(" ").append(time).append(" : ").append(message).append("\r\n");
  return line;
}

void LogError(std::string_view message) {
  const Timestamp stamp = Now();
  AppendToFile(ProgramFile("log.txt"), SystemCodec().Encode(FormatLogLine(stamp.date, stamp.time, message)));
}

}  // namespace qp
