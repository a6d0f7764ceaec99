// The status line as the rest of the program sees it.
#include "app/status_line.h"

namespace qp {
namespace {
std::function<void(std::string_view)> g_sink;
std::string g_last;
}  // namespace

void ShowStatus(std::string_view text) {
  g_last = std::string(text);
  if (g_sink) g_sink(text);
}

void SetStatusSink(std::function<void(std::string_view)> sink) { g_sink = std::move(sink); }
const std::string& LastStatus() { return g_last; }

}  // namespace qp
