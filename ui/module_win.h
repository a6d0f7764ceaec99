// The running executable's own file and folder.
#pragma once

#include <string>

namespace qp::ui {

// The executable's full path and its folder, UTF-8.
std::string ModulePath();
std::string ModuleFolder();

}  // namespace qp::ui
