// The main window's popup reports.
#include "app/popup_reports_win.h"

namespace qp {

PopupReports::PopupReports(HWND owner) : MSNPopUp1_(owner) {
  ui::TMSNPopUp& p = MSNPopUp1_;
  p.TimeOut = 8;
  p.Width = 400;
  p.Height = 40;
  p.Title = " ";
  p.Font = {.height = 13};
  p.HoverFont = {.height = 11, .colour = RGB(0, 0, 255), .underline = true};
  p.TitleFont = {.height = 13, .bold = true};
  // A click never opens the request in a browser: it closes every report.
  p.Options = ui::msnCascadePopups | ui::msnAllowScroll | ui::msnAllowHyperlink;
  p.OnClick = [&p] { p.ClosePopUps(); };
  p.OnURLClick = [&p](const std::string&) { p.ClosePopUps(); };
}

void PopupReports::Report(const std::string& address, const std::string& text) {
  MSNPopUp1_.URL = address;
  MSNPopUp1_.Text = text;
  MSNPopUp1_.ShowPopUp();  // no room: the report is left out
}

}  // namespace qp
