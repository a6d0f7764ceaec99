// The about box TfmAbout: the program's name and credit, how often it was started and how
// many letters it has sent, and the texts "welcome.txt" and "license.txt".
#pragma once

#include <windows.h>

#include <cstdint>

#include "lang/dialog_win.h"

namespace qp {

class TfmAbout final : public Dialog {
 public:
  // starts and letters: the counters C1 and C2 as they stand.
  TfmAbout(int64_t starts, int64_t letters);
  // Shows the box over owner until it is closed.
  void ShowModal(HWND owner);

 protected:
  bool OnKeyPreview(const MSG& msg) override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void FillMemos();
  void ClearMemos();
};

}  // namespace qp
