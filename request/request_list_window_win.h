// The request list 2 window TfmRequestList2: the list a dispatch can send, its import,
// saving and automatic saving through "list.txt".
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/ini_file.h"
#include "ui/window_win.h"

namespace qp {

class TfmRequestList2 final : public ui::Window {
 public:
  // set_request_line puts a text into the main window's request line; settings is the
  // program's in-memory settings file.
  TfmRequestList2(std::function<void(const std::string&)> set_request_line, IniFile& settings);
  // Created hidden at start; it lives as long as the program.
  bool CreateHidden(HWND owner);
  void ShowList();       // not modal
  void ShowListModal();  // until the window is closed
  std::vector<std::string> Entries() { return Find("Memo1")->Lines(); }
  void Append(const std::string& line);
  // Adds the addresses of a file (UTF-8 path) to the list and puts the last entry into
  // the request line.
  void ImportFile(const std::string& file);

 protected:
  void OnShow() override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void bbImportClick();
  void bbCopyClick();
  void bbSaveClick();
  void bbClearClick();
  void SetLines(const std::vector<std::string>& lines);
  // as_it_is: the file keeps its encoding (and is left alone when it cannot be read whole).
  void SaveTo(const std::string& file, bool as_it_is);
  // The automatic load of "list.txt" into the empty list.
  void LoadListFile();

  HWND owner_ = nullptr;
  std::function<void(const std::string&)> set_request_line_;
  IniFile& settings_;
  // "list.txt" is there but could not be loaded: it is not saved over at close.
  bool list_file_unread_ = false;
};

}  // namespace qp
