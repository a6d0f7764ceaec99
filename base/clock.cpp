// The clock of the log and the history.
#include "base/clock.h"

#include <ctime>

#include "base/process.h"

namespace qp {

Timestamp PortableNow() {
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
  return {date, time, local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0};
}

Timestamp Now() {
  const auto& clock = Process().clock;
  return clock ? clock() : PortableNow();
}

}  // namespace qp
