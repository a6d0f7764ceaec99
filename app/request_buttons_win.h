// The main window's request buttons bb1..bb22: captions, hints and glyphs from
// "Buttons.ini", the right-click menu, and the automatic-mode button chosen in mi1..mi20.
#pragma once

#include <windows.h>

#include "ui/window_win.h"

namespace qp {

class RequestButtons {
 public:
  explicit RequestButtons(ui::Window& window) : window_(window) {}

  // Captions and hints of buttons 1..20 from "Name" and "Comment" (the automatic-mode
  // items mi1..mi20 and the editor's items miRQ1..miRQ20 follow them), and the glyphs
  // "icons\N.bmp" up to the first one missing. Every activation does this afresh.
  void Load();
  void SetEnabled(bool enabled);
  // A right click (or the menu key) on a button: its menu, remembering which button.
  bool ContextMenu(HWND control, LPARAM at);
  int PopupButton() const { return popup_button_; }

  // The automatic-mode button: its choice in mi1..mi20 ticks one and remembers it for
  // "Auto". A stored number outside 1..20 is remembered as it is and ticks nothing new.
  void ChooseAutomatic(int n);
  void RememberAutomatic(int n) { automatic_ = n; }
  int Automatic() const { return automatic_; }
  // The button the automatic mode presses: the ticked one of mi1..mi20, or 0.
  int TickedAutomatic() const;

 private:
  ui::Window& window_;
  int popup_button_ = 0;
  int automatic_ = 1;
};

}  // namespace qp
