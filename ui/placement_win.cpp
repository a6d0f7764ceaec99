// Where windows stand.
#include "ui/placement_win.h"

#include <algorithm>
#include <vector>

#include "ui/edge_snap.h"

namespace qp::ui {
namespace {

// Named, as 32-bit callbacks are stdcall.
BOOL CALLBACK AddMonitor(HMONITOR, HDC, RECT* r, LPARAM list) {
  reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back({r->left, r->top, r->right, r->bottom});
  return TRUE;
}

}  // namespace

void CenterWindow(HWND window, HWND over) {
  RECT own{};
  GetWindowRect(window, &own);
  MONITORINFO screen{sizeof screen};
  if (!GetMonitorInfoW(MonitorFromWindow(over ? over : window, MONITOR_DEFAULTTONEAREST), &screen)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen.rcWork, 0);
  }
  RECT around = screen.rcWork;
  if (over) GetWindowRect(over, &around);
  const LONG width = own.right - own.left, height = own.bottom - own.top;
  LONG left = around.left + ((around.right - around.left) - width) / 2;
  LONG top = around.top + ((around.bottom - around.top) - height) / 2;
  // A window wider than the one it stands over, at the screen's edge, stays whole.
  left = std::max(screen.rcWork.left, std::min(left, screen.rcWork.right - width));
  top = std::max(screen.rcWork.top, std::min(top, screen.rcWork.bottom - height));
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ForceForegroundWindow(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  HWND foreground = GetForegroundWindow();
  if (foreground == window) return true;
  // Windows keeps other programs from stealing the foreground; joining the foreground
  // thread's input, or lifting the lock time-out for a moment, lets the window come forward.
  const DWORD theirs = GetWindowThreadProcessId(foreground, nullptr), ours = GetWindowThreadProcessId(window, nullptr);
  bool in_front = false;
  if (theirs && AttachThreadInput(ours, theirs, TRUE)) {
    BringWindowToTop(window);
    SetForegroundWindow(window);
    AttachThreadInput(ours, theirs, FALSE);
    in_front = GetForegroundWindow() == window;
  }
  if (!in_front) {
    DWORD timeout = 0;
    SystemParametersInfoW(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, SPIF_SENDCHANGE);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    SystemParametersInfoW(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, reinterpret_cast<void*>(static_cast<UINT_PTR>(timeout)), SPIF_SENDCHANGE);
  }
  return GetForegroundWindow() == window;
}

ScreenRect WorkArea() {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return {work.left, work.top, work.right, work.bottom};
}

void PlaceAtStoredCorner(HWND window, int left, int top) {
  RECT own{};
  GetWindowRect(window, &own);
  std::vector<ScreenRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  const ScreenRect place = PlaceOnAMonitor(FromPlace(left, top, own.right - own.left, own.bottom - own.top), monitors, WorkArea());
  SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SnapWindowPos(HWND window, WINDOWPOS& pos, int distance, bool& snapped) {
  RECT now{};
  GetWindowRect(window, &now);
  const int x = pos.flags & SWP_NOMOVE ? now.left : pos.x, y = pos.flags & SWP_NOMOVE ? now.top : pos.y;
  const int cx = pos.flags & SWP_NOSIZE ? now.right - now.left : pos.cx, cy = pos.flags & SWP_NOSIZE ? now.bottom - now.top : pos.cy;
  const Snap snap = SnapToEdges(FromPlace(x, y, cx, cy), WorkArea(), distance, snapped);
  snapped = snap.snapped;
  if (snap.window.left == x && snap.window.top == y) return;
  pos.x = snap.window.left;
  pos.y = snap.window.top;
  pos.flags &= ~SWP_NOMOVE;
}

void SetWindowOpacity(HWND window, std::optional<int> opacity) {
  const LONG ex_style = GetWindowLongW(window, GWL_EXSTYLE);
  if (!opacity) {
    SetWindowLongW(window, GWL_EXSTYLE, ex_style & ~WS_EX_LAYERED);
    return;
  }
  SetWindowLongW(window, GWL_EXSTYLE, ex_style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(*opacity), LWA_ALPHA);
}

}  // namespace qp::ui
