// The main window's popup reports MSNPopUp1: after each letter, when "Всплывающий отчет ;)"
// is ticked, a report of how it went slides out beside the taskbar.
#pragma once

#include <windows.h>

#include <string>

#include "ui/msn_popup_win.h"

namespace qp {

class PopupReports {
 public:
  explicit PopupReports(HWND owner);

  // address: the request the report is about.
  void Report(const std::string& address, const std::string& text);
  ui::TMSNPopUp& Component() { return MSNPopUp1_; }

 private:
  ui::TMSNPopUp MSNPopUp1_;
};

}  // namespace qp
