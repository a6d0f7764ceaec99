// A small modal box asking for one line of text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace qp::ui {

// Shows the box over the owner with the value pre-filled; true and the new value on OK,
// false (value untouched) on Cancel.
bool InputQuery(HWND owner, std::string_view caption, std::string_view prompt, std::string& value);

}  // namespace qp::ui
