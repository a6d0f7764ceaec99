// The program's message box.
#include "ui/message_box_win.h"

#include "ui/text_win.h"

namespace qp::ui {

int ShowMessage(HWND owner, std::string_view text, UINT flags) { return MessageBoxW(owner, Widen(text).c_str(), L"Quillpost", flags); }

}  // namespace qp::ui
