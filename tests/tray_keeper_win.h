// A tray icon of the test run's own. Wine's tray is a window that shows while it holds an
// icon and hides, with a wait of seconds, when the last one goes: while this icon stays,
// each program's icon comes and goes at once.
#pragma once

#include <windows.h>
#include <shellapi.h>

namespace qp::test {

// Adds the icon on a hidden window of its own; it stays until the process ends.
inline HWND HoldTrayIcon(UINT id) {
  HWND window = CreateWindowExW(0, L"STATIC", L"tray keeper", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = id;
  data.uFlags = NIF_TIP;
  Shell_NotifyIconW(NIM_ADD, &data);
  return window;
}

}  // namespace qp::test
