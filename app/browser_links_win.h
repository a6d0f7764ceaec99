// Addresses from the browser that reach the main window directly: the context-menu page's
// "link.txt" (taken by the link watcher) and files dropped on the window.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/request_line_win.h"
#include "app/request_list_switches_win.h"
#include "capture/link_watcher_win.h"
#include "ui/window_win.h"

namespace qp {

class BrowserLinks {
 public:
  struct Parts {
    ui::Window& window;
    RequestLine& request_line;
    RequestListSwitches& lists;
    std::function<bool()> auto_decode;     // the "decode captured addresses" switch
    std::function<std::string()> browser;  // the "browser" setting
    std::function<bool()> exit_pending;    // the user asked the program to end: waits give up
  };
  // link_message: the window message the watcher posts when it took an address.
  BrowserLinks(Parts parts, UINT link_message);

  // At the end of the window's creation: the watcher runs and the window takes drops.
  void Start();
  // When the window goes: the watcher's thread has ended when this returns.
  void Stop() { watcher_.reset(); }
  // The watcher's message and WM_DROPFILES; true when the message was one of them.
  bool HandleMessage(UINT msg, WPARAM wparam);
  // "URL с броузера": the running browser's current page into the request line, and the
  // request line onto list 1 (also when no browser answered).
  void lbHookURLClick();
  // The running browser's current page ("" when none answered); nullopt when a grab is
  // already waiting or the program is ending.
  std::optional<std::string> GrabBrowserAddress();
  // "И": the Favorites folder as a menu under the label; the chosen shortcut's address
  // goes into the request line (no list, no automatic mode).
  void lbFavoritesClick(HWND label);
  // A grab waits for the browser: the window's exit waits for it to give up.
  bool Grabbing() const { return grabbing_; }

 private:
  // Into the request line and the window to the front; no list, no automatic mode.
  void TakeLinks();
  // The links of the first file, a line at a time, into both lists; the request line shows
  // list 2's last line.
  void DropFiles(HDROP drop);

  Parts parts_;
  UINT link_message_;
  std::unique_ptr<LinkWatcher> watcher_;
  bool grabbing_ = false;
};

}  // namespace qp
