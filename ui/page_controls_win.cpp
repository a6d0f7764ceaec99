// The tab pages of a table-built window.
#include "ui/page_controls_win.h"

#include <commctrl.h>

#include <string>

#include "ui/text_win.h"

namespace qp::ui {

const WinComponent* PageControls::ByName(std::string_view name) const {
  for (const auto& c : components_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

const WinComponent* PageControls::PageOf(const WinComponent& control) const {
  for (const WinComponent* p = &control; p; p = ByName(p->Def().parent)) {
    if (p->GetKind() == Kind::TabSheet) return p;
  }
  return nullptr;
}

std::vector<const WinComponent*> PageControls::PagesOf(std::string_view page_control) const {
  std::vector<const WinComponent*> pages;
  for (const auto& c : components_) {
    if (c->GetKind() == Kind::TabSheet && c->Def().parent == page_control) pages.push_back(c.get());
  }
  return pages;
}

void PageControls::Mark(const WinComponent& control) const {
  const WinComponent* page = PageOf(control);
  if (!page) return;
  const auto id = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(page->Id()));
  SetPropW(control.Hwnd(), kPageProperty, id);
  for (HWND item : control.RadioItems()) SetPropW(item, kPageProperty, id);
}

void PageControls::ShowFirstPages() const {
  for (const auto& c : components_) {
    if (c->GetKind() != Kind::PageControl) continue;
    SetWindowPos(c->Hwnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Show(c->Name(), 0);
  }
}

void PageControls::Show(std::string_view page_control, int index) const {
  const WinComponent* tabs = ByName(page_control);
  if (!tabs) return;
  const std::vector<const WinComponent*> pages = PagesOf(page_control);
  // The tabs' texts follow their pages' captions, translated or not.
  for (std::size_t i = 0; i < pages.size(); ++i) {
    std::wstring text = Widen(pages[i]->Caption());
    TCITEMW item{TCIF_TEXT};
    item.pszText = text.data();
    if (SendMessageW(tabs->Hwnd(), TCM_SETITEMW, i, reinterpret_cast<LPARAM>(&item)) == FALSE) {
      SendMessageW(tabs->Hwnd(), TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
  }
  SendMessageW(tabs->Hwnd(), TCM_SETCURSEL, index, 0);
  for (const auto& c : components_) {
    if (!c->Hwnd() || c->GetKind() == Kind::TabSheet) continue;
    const WinComponent* page = PageOf(*c);
    if (!page || page->Def().parent != page_control) continue;
    const bool shown = c->Def().visible && page == pages[static_cast<std::size_t>(index)];
    ShowWindow(c->Hwnd(), shown ? SW_SHOWNA : SW_HIDE);
    for (HWND item : c->RadioItems()) ShowWindow(item, shown ? SW_SHOWNA : SW_HIDE);
    if (c->Arrows()) ShowWindow(c->Arrows(), shown ? SW_SHOWNA : SW_HIDE);
  }
}

int PageControls::Current(std::string_view page_control) const {
  const WinComponent* tabs = ByName(page_control);
  return tabs ? static_cast<int>(SendMessageW(tabs->Hwnd(), TCM_GETCURSEL, 0, 0)) : -1;
}

int PageControls::Count(std::string_view page_control) const { return static_cast<int>(PagesOf(page_control).size()); }

void PageControls::Notified(const WinComponent& control, const NMHDR& header) const {
  if (control.GetKind() == Kind::PageControl && header.code == TCN_SELCHANGE) Show(control.Name(), Current(control.Name()));
}

bool PageControls::EraseBackground(HWND window, HDC dc) {
  for (const auto& c : components_) {
    // The page control may ask the same while it paints itself.
    if (c->GetKind() != Kind::PageControl || painting_ || !IsWindowVisible(c->Hwnd())) continue;
    painting_ = true;
    RECT client{};
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    RECT place{};
    GetWindowRect(c->Hwnd(), &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    POINT origin{};
    OffsetViewportOrgEx(dc, place.left, place.top, &origin);
    SendMessageW(c->Hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    painting_ = false;
    return true;
  }
  return false;
}

std::optional<LRESULT> PageControls::BackgroundOf(HWND control, HDC dc) {
  if (!GetPropW(control, kPageProperty)) return std::nullopt;
  SetBkMode(dc, TRANSPARENT);
  return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

}  // namespace qp::ui
