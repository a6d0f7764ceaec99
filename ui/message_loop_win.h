// The message loops outside the main one: pending messages during long work, and the loop
// of a window shown modally.
#pragma once

#include <windows.h>

namespace qp::ui {

// Lets pending window messages run (status updates, the cancel button). A quit met on the
// way is posted again for the main loop.
void PumpMessages();

// Shows window over owner and runs its messages until it hides or goes; owner is disabled
// meanwhile and comes back to the front after. A quit met on the way ends the loop and is
// posted again.
void RunModal(HWND window, HWND owner);

}  // namespace qp::ui
