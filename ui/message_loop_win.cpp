// The message loops outside the main one.
#include "ui/message_loop_win.h"

#include "ui/window_win.h"

namespace qp::ui {

void PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // the main loop must still see it
      return;
    }
    if (!Window::PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void RunModal(HWND window, HWND owner) {
  EnableWindow(owner, FALSE);
  MSG msg{};
  while (IsWindow(window) && IsWindowVisible(window) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!Window::PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (msg.message == WM_QUIT) PostQuitMessage(static_cast<int>(msg.wParam));
  EnableWindow(owner, TRUE);
  SetForegroundWindow(owner);
}

}  // namespace qp::ui
