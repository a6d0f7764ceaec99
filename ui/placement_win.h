// Where windows stand: centred and wholly on the screen, and brought to the front; and how
// much of what lies behind them shows through.
#pragma once

#include <windows.h>

#include <optional>

#include "ui/screen_rect.h"

namespace qp::ui {

// Centres window on over (or, without one, on the work area of window's screen), then
// moves it as little as needed to stand wholly inside that work area. Not activated.
void CenterWindow(HWND window, HWND over);

// Brings a window to the front despite the system's foreground lock; true when it is there.
bool ForceForegroundWindow(HWND window);

// The desktop's work area: the screen without the taskbar.
ScreenRect WorkArea();

// Moves window to a stored top-left corner; one that would leave it off every monitor puts it
// at the top-left of the primary work area instead, where the user can reach it.
void PlaceAtStoredCorner(HWND window, int left, int top);

// A proposed move or resize of window (WM_WINDOWPOSCHANGING) pulled onto the work area's
// edges within distance pixels, and held on it once snapped (ui::SnapToEdges). A change
// of size alone keeps the place, a move alone the size.
void SnapWindowPos(HWND window, WINDOWPOS& pos, int distance, bool& snapped);

// Opacity 0..255 makes the window see-through that much; nothing makes it opaque again.
void SetWindowOpacity(HWND window, std::optional<int> opacity);

}  // namespace qp::ui
