// The clock of the log and the history: the moment as the system's own formats show it.
#pragma once

#include <string>

namespace qp {

// The system's short date, its long time, and whether the time of day is 00:00:00.
struct Timestamp {
  std::string date, time;
  bool midnight = false;
};

// Now, through the clock the start-up installed (SetClock in base/process.h).
Timestamp Now();
// Local time as dd.mm.yyyy and hh:mm:ss, for systems that give no formats of their own.
Timestamp PortableNow();

}  // namespace qp
