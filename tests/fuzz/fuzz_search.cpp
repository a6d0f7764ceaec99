// Fuzzes the reader of "search.qpt": any text is read in bounded time, and the tree it
// gives is written and read back to the same tree.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "organize/search_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const qp::SearchTreeText read = qp::ParseSearchTree(std::string_view(reinterpret_cast<const char*>(data), size));
  const qp::SearchTreeText again = qp::ParseSearchTree(qp::FormatSearchTree(read.nodes));
  if (!again.error.empty() || again.nodes != read.nodes) std::abort();
  return 0;
}
