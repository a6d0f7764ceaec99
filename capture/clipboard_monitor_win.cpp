// The clipboard monitor.
#include "capture/clipboard_monitor_win.h"

#include <exception>
#include <optional>

#include "base/error_log.h"
#include "base/text_codec.h"
#include "capture/clipboard_scan.h"
#include "ui/text_win.h"

namespace qp {
ClipboardMonitor::ClipboardMonitor(std::function<Context()> context, std::function<void(const std::string&)> found)
    : context_(std::move(context)), found_(std::move(found)) {}

void ClipboardMonitor::Join(HWND window) {
  window_ = window;
  SetLastError(0);
  next_viewer_ = SetClipboardViewer(window);
  if (!next_viewer_ && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  } else {
    joined_ = true;
  }
}

void ClipboardMonitor::Leave() {
  if (!joined_) return;
  joined_ = false;
  if (!ChangeClipboardChain(window_, next_viewer_) && GetLastError() != 0) {
    LogError("Error : " + std::to_string(GetLastError()));
  }
}

bool ClipboardMonitor::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_CHANGECBCHAIN:
      if (reinterpret_cast<HWND>(wparam) == next_viewer_) {
        next_viewer_ = reinterpret_cast<HWND>(lparam);
      } else if (next_viewer_) {
        SendMessageW(next_viewer_, msg, wparam, lparam);
      }
      return true;
    case WM_DRAWCLIPBOARD:
      // The other viewers first, always; then our own look.
      if (next_viewer_) SendMessageW(next_viewer_, msg, wparam, lparam);
      Changed();
      return true;
    default: return false;
  }
}

void ClipboardMonitor::Changed() {
  try {
    if (!ready_) return;
    Context now = context_();
    if (!now.enabled || !IsClipboardFormatAvailable(CF_TEXT)) return;
    std::optional<std::string> address =
        ScanClipboardText(ui::ClipboardText(window_), last_found_, now.request_line, now.auto_decode, SystemCodec());
    if (!address) return;
    found_(*address);
    last_found_ = *address;
  } catch (const std::exception& e) {
    LogError(std::string("Error : ") + e.what());
  }
}

}  // namespace qp
