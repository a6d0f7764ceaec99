// The request list 2 window TfmRequestList2: its list Memo1, which a dispatch can send.
#pragma once

#include <string>
#include <vector>

#include "ui/window_win.h"

namespace qp {

class TfmRequestList2 final : public ui::Window {
 public:
  TfmRequestList2();
  // Creates the window hidden; it lives as long as the program.
  bool CreateHidden(HWND owner);
  std::vector<std::string> Entries() { return Find("Memo1")->Lines(); }
};

}  // namespace qp
