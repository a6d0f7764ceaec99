// The status line as the rest of the program sees it.
#include "base/status_line.h"

#include "base/process.h"

namespace qp {

void ShowStatus(std::string_view text) {
  ProcessState& process = Process();
  process.last_status = std::string(text);
  if (process.status_sink) process.status_sink(text);
}

const std::string& LastStatus() { return Process().last_status; }

}  // namespace qp
