// The switches, counters and position the main window saves when it closes.
#pragma once

#include <cstdint>

#include "base/ini_file.h"
#include "ui/form.h"

namespace qp {

struct SavedState {
  bool on_top = false;
  int32_t top = 0, left = 0;
  int32_t starts = 0;   // "C1"
  int32_t letters = 0;  // "C2"
  int32_t auto_button = 1;
  bool auto_mode = false;
  int32_t view_mode = 0;
  bool sticky = false, monitor = false, add_clip_to_list = false, proxy = false, hide = false, transparent = false;
  bool request_list2 = false, request_list1 = false, delay = false, popups = false, auto_decode_url = false, switch_off = false;
  int32_t language = 0;
};

// What the settings hold at start (defaults for missing keys).
SavedState ReadSavedState(const IniFile& settings);

// Takes each switch from the tick of its menu entry on the main window. A switch whose
// entry the window does not carry keeps the value it had, so nothing stored is lost.
void CaptureMenuSwitches(ui::Form& main_window, SavedState& state);

// Sets the ticks of the switches that are restored as plain ticks (automatic mode, list
// and capture switches) from the stored values.
void RestoreMenuTicks(ui::Form& main_window, const SavedState& state);

// Writes the close-time keys of section "Settings" in their fixed order.
void WriteSavedState(IniFile& settings, const SavedState& state);

}  // namespace qp
