// The system's own services for the portable code: its code page and date formats.
#pragma once

#include "base/clock.h"

namespace qp {

// The current time in the system's short date and long time formats.
Timestamp SystemTimestamp();

// Makes the portable code use the system's ANSI code page and date formats.
void InstallSystemServices();

}  // namespace qp
