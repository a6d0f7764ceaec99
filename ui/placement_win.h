// Where windows stand: centred and wholly on the screen, and brought to the front.
#pragma once

#include <windows.h>

namespace qp::ui {

// Centres window on over (or, without one, on the work area of window's screen), then
// moves it as little as needed to stand wholly inside that work area. Not activated.
void CenterWindow(HWND window, HWND over);

// Brings a window to the front despite the system's foreground lock; true when it is there.
bool ForceForegroundWindow(HWND window);

}  // namespace qp::ui
