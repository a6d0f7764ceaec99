// The working folder: the program's own folder, where every file it keeps lives.
#pragma once

#include <string>
#include <string_view>

namespace qp {

// As installed by SetWorkingFolder (base/process.h); "." until then.
const std::string& WorkingFolder();
// Working folder + file name; the name is UTF-8 and may hold a subfolder ("icons\1.bmp").
std::string ProgramFile(std::string_view name);

}  // namespace qp
