// The request lists as the main window holds them: list 1 in the window itself
// (JvmmList), list 2 in its own window, and the two switches that choose which list a run
// sends (they exclude each other; list 2's has a twin in the tray menu).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "request/request_list_window_win.h"
#include "ui/menu_switch.h"
#include "ui/window_win.h"

namespace qp {

class RequestListSwitches {
 public:
  // set_request_line: list 2's window puts an entry into the request line.
  RequestListSwitches(ui::Window& window, IniFile& settings, std::function<void(const std::string&)> set_request_line);

  // List 2's window, made hidden at the main window's first activation (or whenever it is
  // needed before); it lives as long as the program.
  TfmRequestList2& ListWindow();
  // Both lists get the line at their end.
  void AppendToBoth(const std::string& line);
  void AppendToList1(const std::string& line);
  std::vector<std::string> List2() const;
  void ShowList2();
  void ShowList2Modal();

  void List1Click();
  void List2Click();
  // The first activation: list 2's tray twin follows the restored tick.
  void RestoreList2(bool on);
  // Runs one dispatch with list 1, whatever its switch says; the switch gets its tick back.
  void WithList1(const std::function<void()>& run);

 private:
  ui::Window& window_;
  IniFile& settings_;
  std::function<void(const std::string&)> set_request_line_;
  ui::MenuSwitch list1_, list2_;
  std::unique_ptr<TfmRequestList2> list2_window_;
};

}  // namespace qp
