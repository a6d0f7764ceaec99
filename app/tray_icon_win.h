// The tray icon "Quillpost Pro" and the ways between it and the main window: shown from the
// tray, hidden into it, and no taskbar entry once the start is over. The icon is there
// while the program runs, with the tray menu PopupMenu1 on the right button, and comes back
// when Explorer starts again: without it a program without a taskbar entry could no
// longer be reached.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "ui/window_win.h"

namespace qp {

class TrayIcon {
 public:
  // What a press and a click of the left button do (the main window decides, as the mini
  // window may stand in for it).
  struct Handlers {
    std::function<void()> mouse_down, click;
  };
  // message: the one the icon's mouse events arrive with.
  TrayIcon(ui::Window& window, UINT message, Handlers handlers);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Once the window exists; false when the shell has no tray to put it in.
  bool Add();
  // While the window still exists, as it goes.
  void Remove();
  // The icon's mouse events and Explorer's new start; true when the message was one.
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

  // Restores a minimized window, shows it and brings the program to the front.
  void ShowFromTray();
  // Hides the main window; the tray icon remains the only sign of the program.
  void HideToTray();
  // Takes the program's entry off the taskbar: the window gets a hidden owner.
  void HideTaskbarEntry();

 private:
  NOTIFYICONDATAW Data() const;
  void ShowMenu();

  ui::Window& window_;
  UINT message_;
  Handlers handlers_;
  UINT taskbar_created_;
  bool added_ = false;
  HWND hidden_owner_ = nullptr;
};

}  // namespace qp
