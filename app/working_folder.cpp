// The working folder, fixed once at start.
#include "app/working_folder.h"

#include <string>

#include "app/file_io.h"

namespace qp {
namespace {
std::filesystem::path g_folder = ".";
}

void SetWorkingFolder(const std::filesystem::path& folder) { g_folder = folder; }
const std::filesystem::path& WorkingFolder() { return g_folder; }

std::filesystem::path ProgramFile(std::string_view name) {
  std::string relative(name);
  for (char& ch : relative) {
    if (ch == '\\') ch = '/';  // the generic separator works on both systems
  }
  return g_folder / PathFromUtf8(relative);
}

}  // namespace qp
