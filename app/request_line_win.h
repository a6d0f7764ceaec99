// The request line cbComboBox of the main window: its typing aid, the Enter that sends,
// the URL coding labels, its input history "recent.cfg" and the hint that shows the whole
// text.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/window_win.h"

namespace qp {

class RequestLine {
 public:
  // enter: an Enter pressed in the line (the automatic-mode button). changed: the text
  // changed (the main window clears its status line).
  RequestLine(ui::Window& window, std::function<void()> enter, std::function<void()> changed);

  // When the window's controls exist: the length limit and the keyboard hook.
  void Attach();
  std::string Text() const;
  void SetText(const std::string& text);
  // The combo box's notifications.
  void Notify(int code);
  void Encode();
  void Decode();

  // The drop-down list: "recent.cfg" at start, the newest text on top, written at exit.
  void LoadHistory();
  void AddToHistory(const std::string& text);
  void ClearHistory();
  // false when "recent.cfg" could not be written; the old one is whole then.
  bool SaveHistory() const;

 private:
  static LRESULT CALLBACK EditProc(HWND edit, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR id, DWORD_PTR self);
  bool TypedChar(wchar_t key);
  void Changed();
  void ChangedTo(const std::string& text);
  HWND Combo() const;
  ui::Component& Line() const;
  void SetItems(const std::vector<std::string>& items);

  ui::Window& window_;
  std::function<void()> enter_;
  std::function<void()> changed_;
  bool enter_down_ = false;  // Enter went down in the request line
};

}  // namespace qp
