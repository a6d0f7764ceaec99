// The working folder: the program's own folder, where every file it keeps lives.
#pragma once

#include <filesystem>
#include <string_view>

namespace qp {

void SetWorkingFolder(const std::filesystem::path& folder);
const std::filesystem::path& WorkingFolder();
// Working folder + file name; the name is UTF-8 and may hold a subfolder ("icons\1.bmp").
std::filesystem::path ProgramFile(std::string_view name);

}  // namespace qp
