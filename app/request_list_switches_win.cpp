// The request lists as the main window holds them.
#include "app/request_list_switches_win.h"

#include "app/main_form.h"
#include "ui/text_win.h"

namespace qp {

RequestListSwitches::RequestListSwitches(ui::Window& window, IniFile& settings, std::function<void(const std::string&)> set_request_line)
    : window_(window),
      settings_(settings),
      set_request_line_(std::move(set_request_line)),
      list1_(window, {fmMain::miRQList1}),
      list2_(window, {fmMain::miRQList2, fmMain::miRequestList2}) {}

TfmRequestList2& RequestListSwitches::ListWindow() {
  if (!list2_window_) {
    list2_window_ = std::make_unique<TfmRequestList2>(set_request_line_, settings_);
    list2_window_->CreateHidden(window_.Hwnd());
  }
  return *list2_window_;
}

void RequestListSwitches::AppendToList1(const std::string& line) {
  HWND memo = window_.ControlHwnd(fmMain::JvmmList);
  std::string all = ui::GetText(memo);
  if (!all.empty() && !all.ends_with("\r\n")) all += "\r\n";
  ui::SetText(memo, all + line + "\r\n");
}

void RequestListSwitches::AppendToBoth(const std::string& line) {
  AppendToList1(line);
  ListWindow().Append(line);
}

std::vector<std::string> RequestListSwitches::List2() const {
  return list2_window_ && list2_window_->Hwnd() ? list2_window_->Entries() : std::vector<std::string>{};
}

void RequestListSwitches::ShowList2() { ListWindow().ShowList(); }

void RequestListSwitches::ShowList2Modal() { ListWindow().ShowListModal(); }

void RequestListSwitches::List1Click() {
  if (list1_.Toggle()) list2_.Set(false);
}

void RequestListSwitches::List2Click() {
  if (list2_.Toggle()) list1_.Set(false);
}

void RequestListSwitches::RestoreList2(bool on) {
  if (on) list2_.Set(true);
}

void RequestListSwitches::WithList1(const std::function<void()>& run) {
  const bool was = list1_.On();
  list1_.Set(true);
  run();
  list1_.Set(was);
}

}  // namespace qp
