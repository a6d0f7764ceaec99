// The error log "log.txt".
#include "app/error_log.h"

#include <ctime>

#include "app/file_io.h"
#include "app/working_folder.h"

namespace qp {
namespace {

}  // namespace

LogTimestamp PortableTimestamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char date[32], time[32];
  std::strftime(date, sizeof date, "%d.%m.%Y", &local);
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return {date, time};
}

namespace {

std::function<LogTimestamp()>& Clock() {
  static std::function<LogTimestamp()> clock = PortableTimestamp;
  return clock;
}

}  // namespace

std::string FormatLogLine(std::string_view date, std::string_view time, std::string_view message) {
  std::string line;
  line.reserve(date.size() + time.size() + message.size() + 6);
  line.append(date).append(" ").append(time).append(" : ").append(message).append("\r\n");
  return line;
}

void SetLogClock(std::function<LogTimestamp()> clock) { Clock() = clock ? std::move(clock) : PortableTimestamp; }

void LogError(std::string_view message) {
  LogTimestamp stamp = Clock()();
  AppendToFile(ProgramFile("log.txt"), SystemCodec().Encode(FormatLogLine(stamp.date, stamp.time, message)));
}

}  // namespace qp
