// The tab pages of a table-built window: the page each control lies on, the page shown with
// its controls, and the page painted under the controls that let it show through.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "ui/component_win.h"

namespace qp::ui {

class PageControls {
 public:
  explicit PageControls(const std::vector<std::unique_ptr<WinComponent>>& components) : components_(components) {}

  // The page a control lies on, through its groups; nullptr off the pages.
  const WinComponent* PageOf(const WinComponent& control) const;
  // A control just made (and its radio items) learns its page.
  void Mark(const WinComponent& control) const;
  // Once every control is made: each page control behind its pages' controls, on its first page.
  void ShowFirstPages() const;
  // Brings page index to the front, its tabs named after their pages.
  void Show(std::string_view page_control, int index) const;
  int Current(std::string_view page_control) const;
  int Count(std::string_view page_control) const;
  // A tab clicked shows its page.
  void Notified(const WinComponent& control, const NMHDR& header) const;
  // Buttons drawn by the theme paint what lies behind them by asking the window to erase:
  // over a page, that is the page. false when no page control is shown.
  bool EraseBackground(HWND window, HDC dc);
  // Controls on a page are drawn over it: their background brush, or nullopt off the pages.
  static std::optional<LRESULT> BackgroundOf(HWND control, HDC dc);

 private:
  const WinComponent* ByName(std::string_view name) const;
  std::vector<const WinComponent*> PagesOf(std::string_view page_control) const;

  const std::vector<std::unique_ptr<WinComponent>>& components_;
  bool painting_ = false;  // a page control paints into an erase
};

}  // namespace qp::ui
