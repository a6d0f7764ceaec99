// The program's message box: the one way every window asks and tells the user something.
#pragma once

#include <windows.h>

#include <string_view>

namespace qp::ui {

// A modal box over owner (or none) with the program's name as its title; the button
// pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, std::string_view text, UINT flags);

}  // namespace qp::ui
