// The mini request window TfmMiniQPT: a one-line strip at the bottom-right corner of the
// work area that stands in for the main window: its own request line, the browser's and
// the clipboard's address, and one send button that presses the automatic-mode button.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/window_win.h"

namespace qp {

class TfmMiniQPT final : public ui::Window {
 public:
  struct Parts {
    std::function<void(const std::string&)> set_request_line;  // the main window's
    std::function<void()> press_automatic;                     // the automatic-mode button
    std::function<std::optional<std::string>()> grab_browser;  // the browser's current page
    std::function<std::vector<std::string>()> history;         // the main request line's list
    std::function<bool()> sticky;                              // "Прилипание" is on
    std::function<void()> show_main;                           // the main window from the tray
    std::function<void()> hide_taskbar_entry;
  };
  explicit TfmMiniQPT(Parts parts);

  // In place of the main window: at the work area's bottom-right corner, topmost, the
  // focus in its request line. start_caption: the automatic-mode button's name, if any;
  // opacity: 0..255 while the windows are see-through, none for an opaque window.
  void ShowMini(HWND owner, const std::optional<std::string>& start_caption, std::optional<int> opacity = std::nullopt);
  // Hides it; the main window comes back from the tray.
  void CloseMini();
  bool Showing() const { return Hwnd() && IsWindowVisible(Hwnd()); }
  // A captured address also goes here while the window exists.
  void SetRequestLine(const std::string& text);
  std::string RequestLine() const;
  // Off while a request is being sent, as the request buttons are.
  void SetSendEnabled(bool enabled);
  // The request line into focus, the window to the front.
  void FocusRequestLine();

 protected:
  void OnShow() override;
  bool OnKeyPreview(const MSG& msg) override;
  LRESULT HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) override;

 private:
  void bbStartClick();
  void bbGetURLClick();
  void Activated();
  void Dock(WINDOWPOS& pos);

  Parts parts_;
  bool snapped_ = false;  // once docked to an edge, held on the work area for the rest of the run
};

}  // namespace qp
