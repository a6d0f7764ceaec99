// The history window TfmHistory: every letter of "history.log" as a row, to re-use,
// comment and delete.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "organize/history.h"
#include "ui/window_win.h"

namespace qp {

class TfmHistory final : public ui::Window {
 public:
  // copy_to_request_line: puts a row's request into the main window's request line.
  TfmHistory(HWND owner, std::function<void(const std::string&)> copy_to_request_line);
  void ShowWindow();
  const std::vector<HistoryRecord>& Rows() const;
  // Empties "history.log" and the window with it, so that its close cannot write the rows
  // back. false when the file could not be emptied (the rows then stay).
  bool ClearAll();

 protected:
  void OnShow() override;
  LRESULT OnNotify(ui::Component& component, NMHDR& header) override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  // The popup menu's entries act on the first selected row.
  void ChangeClick(int row);
  void CopyURLClick(int row);
  void DeleteRecordClick(int row);
  void Reload();
  void Fill();
  void Save();
  int FirstSelected() const;
  HWND List() const { return ControlHwnd("jvHistory"); }

  HWND owner_;
  std::function<void(const std::string&)> copy_;
  HistoryRows rows_;
  bool descending_next_ = false;  // the next click on "Время" sorts descending
};

}  // namespace qp
