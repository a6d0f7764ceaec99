// The clipboard monitor: the window in the clipboard viewer chain. Every change goes on to
// the next viewer first; then an address cut out of a copied text goes to the intake.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace qp {

class ClipboardMonitor {
 public:
  // What the monitor needs to know at each change, asked then.
  struct Context {
    bool enabled = false;      // the monitor's switch
    std::string request_line;  // an address already there is not taken again
    bool auto_decode = false;  // "%xx" escapes decoded
  };
  ClipboardMonitor(std::function<Context()> context, std::function<void(const std::string&)> found);

  // Joins the chain for window; a failure goes to the error log.
  void Join(HWND window);
  void Leave();
  // Until the window's first activation has run, changes are passed on and not looked at.
  void SetReady(bool ready) { ready_ = ready; }
  // WM_CHANGECBCHAIN and WM_DRAWCLIPBOARD; true when the message was one of them.
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  void Changed();

  std::function<Context()> context_;
  std::function<void(const std::string&)> found_;
  HWND window_ = nullptr;
  HWND next_viewer_ = nullptr;
  bool joined_ = false;
  bool ready_ = false;
  std::string last_found_;  // an address copied again is not taken twice
};

}  // namespace qp
