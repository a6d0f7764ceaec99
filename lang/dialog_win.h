// What every dialog shares: it shows in the current language, a close asked for (the
// caption's cross, Alt+F4) hides it, and hiding ends the modal run it was shown in.
#pragma once

#include <windows.h>

#include "ui/window_win.h"

namespace qp {

class Dialog : public ui::Window {
 public:
  using ui::Window::Window;

 protected:
  // Shows in the current language; a dialog with more to do when shown adds it around Translate().
  void OnShow() override { Translate(); }
  void Translate();
  // Hides: the modal run ends, the dialog stays to be read.
  void Close() { ShowWindow(Hwnd(), SW_HIDE); }
  // What a close asked for does: Close() unless the dialog answers it as one of its buttons.
  virtual void OnCloseAsked() { Close(); }
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;
};

}  // namespace qp
