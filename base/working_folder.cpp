// The working folder, fixed once at start.
#include "base/working_folder.h"

#include "base/file_io.h"
#include "base/process.h"

namespace qp {

const std::string& WorkingFolder() { return Process().working_folder; }

std::string ProgramFile(std::string_view name) { return JoinPath(WorkingFolder(), name); }

}  // namespace qp
