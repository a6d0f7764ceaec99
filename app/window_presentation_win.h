// How the main window stands on the screen: its six view modes, sticky edges, staying on
// top, transparency and the hide-when-done switch, and their restore at the first
// activation. The arithmetic is portable (app/view_modes, ui/edge_snap); this applies it
// to the window and its controls.
#pragma once

#include <windows.h>

#include "app/program_state.h"
#include "app/view_modes.h"
#include "base/ini_file.h"
#include "ui/menu_switch.h"
#include "ui/window_win.h"

namespace qp {

class WindowPresentation {
 public:
  WindowPresentation(ui::Window& window, IniFile& settings);

  // The entries of "Панели": enter the mode, or leave it when it is the active one.
  void ViewModeClick(ViewMode mode);
  void miStayOnTopClick();
  void miSugarClick();
  void miTranspClick();
  void miHideWhenDone1Click() { hide_when_done_.Toggle(); }

  // The first activation: stay on top, sticky edges, the view mode, hide-when-done and
  // transparency, each as its entry's click.
  void Restore(const SavedState& state);
  ViewMode Mode() const { return mode_; }
  bool HideWhenDone() const { return hide_when_done_.On(); }

  // WM_WINDOWPOSCHANGING: the sticky edges.
  bool HandleMessage(UINT msg, LPARAM lparam);

 private:
  ViewLayout ReadLayout() const;
  void ApplyLayout(const ViewLayout& before, const ViewLayout& after);
  void MoveControl(HWND control, int dy, int height, bool visible);
  void FilterPosition(WINDOWPOS& pos);

  ui::Window& window_;
  IniFile& settings_;
  ui::MenuSwitch hide_when_done_;
  ViewMode mode_ = ViewMode::Full;
  bool snapped_ = false;  // once snapped to an edge, the window stays on the work area
};

}  // namespace qp
