// The scaffolding every dialog shares.
#include "lang/dialog_win.h"

#include "lang/language.h"

namespace qp {

void Dialog::Translate() { TranslateToCurrentLanguage(*this); }

LRESULT Dialog::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_CLOSE) {
    OnCloseAsked();
    return 0;
  }
  return Window::HandleMessage(msg, wparam, lparam);
}

}  // namespace qp
