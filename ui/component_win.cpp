// A table-built window's component bound to its control or menu entry.
#include "ui/component_win.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>
#include <vector>

#include "base/lines.h"
#include "ui/text_win.h"

namespace qp::ui {

const std::wstring& WinComponent::WideHint() {
  wide_hint_ = Widen(hint_);
  return wide_hint_;
}

std::string WinComponent::Caption() const {
  if (IsMenuKind(def_.kind)) return caption_;
  if (def_.kind == Kind::StatusBar) return StatusText();
  return hwnd_ ? GetText(hwnd_) : caption_;
}

void WinComponent::SetCaption(std::string_view text) {
  caption_ = std::string(text);
  if (InMenu()) {
    std::wstring label = Widen(MenuLabel());
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_STRING;
    info.dwTypeData = label.data();
    SetMenuItemInfoW(parent_menu_, position_, TRUE, &info);
    if (parent_menu_ == GetMenu(owner_)) DrawMenuBar(owner_);
  } else if (def_.kind == Kind::StatusBar) {
    SendMessageW(hwnd_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
  } else if (hwnd_) {
    SetText(hwnd_, text);
    if (def_.kind == Kind::Label) FitLabelRow(hwnd_);
  }
}

namespace {

bool IsLabel(HWND control) {
  wchar_t cls[16] = {};
  GetClassNameW(control, cls, 16);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  return lstrcmpiW(cls, L"STATIC") == 0 && (style & SS_NOTIFY) && (style & SS_TYPEMASK) == SS_LEFT;
}

RECT PlaceInParent(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// A label's place in the table, kept with it the first time it is fitted.
struct DesignPlace {
  int left, width;
};
DesignPlace DesignOf(HWND label) {
  auto kept = static_cast<uint32_t>(GetWindowLongPtrW(label, GWLP_USERDATA));
  if (kept == 0) {
    const RECT r = PlaceInParent(label);
    kept = static_cast<uint32_t>(r.left + 1) << 16 | static_cast<uint16_t>(r.right - r.left);
    SetWindowLongPtrW(label, GWLP_USERDATA, kept);
  }
  return {static_cast<int>(kept >> 16) - 1, static_cast<int>(kept & 0xFFFF)};
}

// A label as tall as two lines of its font is a note that wraps: it keeps its place.
bool Wraps(HWND label) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  const RECT r = PlaceInParent(label);
  return r.bottom - r.top >= 2 * metrics.tmHeight;
}

// Labels on different pages of a page control share neither a row nor the screen.
bool OnOnePage(HWND a, HWND b) { return GetPropW(a, kPageProperty) == GetPropW(b, kPageProperty); }

// The width of the label's text and of a blank, in its font.
std::pair<int, int> TextAndBlank(HWND label) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring text = Widen(GetText(label));
  SIZE needed{}, blank{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
  GetTextExtentPoint32W(dc, L" ", 1, &blank);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  return {needed.cx, blank.cx};
}

}  // namespace

void FitLabelRow(HWND label) {
  if (!IsLabel(label) || Wraps(label)) return;
  HWND parent = GetParent(label);
  const int top = PlaceInParent(label).top;
  struct Entry {
    DesignPlace design;
    HWND control;
    int text, blank, left;
  };
  std::vector<Entry> row;
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    if (!IsLabel(c) || PlaceInParent(c).top != top || !OnOnePage(c, label) || Wraps(c)) continue;
    const auto [text, blank] = TextAndBlank(c);
    row.push_back({DesignOf(c), c, text, blank, 0});
  }
  std::sort(row.begin(), row.end(), [](const Entry& a, const Entry& b) { return a.design.left < b.design.left; });
  // Left to right: at design, or a blank after the text before.
  int text_end = INT_MIN;
  for (Entry& e : row) {
    e.left = std::max(e.design.left, text_end);
    text_end = e.left + e.text + e.blank;
  }
  // Right to left, where the row would pass the window's edge: closer together, a pixel apart
  // at the least.
  RECT client{};
  GetClientRect(parent, &client);
  int limit = client.right;
  for (auto e = row.rbegin(); e != row.rend() && e->left + e->text > limit; ++e) {
    e->left = limit - e->text;
    limit = e->left - 1;
  }
  for (const Entry& e : row) {
    const RECT r = PlaceInParent(e.control);
    SetWindowPos(e.control, nullptr, e.left, r.top, std::max(e.design.width, e.text), r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

std::vector<std::string> WinComponent::Lines() const {
  if (!hwnd_) return def_.items;
  if (def_.kind == Kind::Memo) {
    const std::string text = GetText(hwnd_);
    const std::vector<std::string_view> lines = SplitLines(text);
    return std::vector<std::string>(lines.begin(), lines.end());
  }
  if (def_.kind != Kind::ComboBox) return def_.items;
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring item(static_cast<size_t>(SendMessageW(hwnd_, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    item.resize(static_cast<size_t>(SendMessageW(hwnd_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
    items.push_back(Narrow(item));
  }
  return items;
}

void WinComponent::SetLine(std::size_t index, std::string_view text) {
  if (def_.kind == Kind::Memo && hwnd_) {
    std::vector<std::string> lines = Lines();
    if (index < lines.size()) {
      lines[index] = std::string(text);
      SetText(hwnd_, JoinLines(lines));
    }
  } else if (def_.kind == Kind::ComboBox && hwnd_) {
    // Replacing an item must not disturb the text the user has typed.
    std::string edit = GetText(hwnd_);
    SendMessageW(hwnd_, CB_DELETESTRING, index, 0);
    SendMessageW(hwnd_, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(Widen(text).c_str()));
    SetText(hwnd_, edit);
  } else if (index < def_.items.size()) {
    def_.items[index] = std::string(text);
    if (index < radio_items_.size()) SetText(radio_items_[index], text);
  }
}

int WinComponent::ItemIndex() const {
  if (def_.kind == Kind::ComboBox) return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, CB_GETCURSEL, 0, 0)) : -1;
  for (std::size_t i = 0; i < radio_items_.size(); ++i) {
    if (SendMessageW(radio_items_[i], BM_GETCHECK, 0, 0) == BST_CHECKED) return static_cast<int>(i);
  }
  return -1;
}

void WinComponent::SetItemIndex(int index) {
  if (def_.kind == Kind::ComboBox && hwnd_) SendMessageW(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  for (std::size_t i = 0; i < radio_items_.size(); ++i) {
    SendMessageW(radio_items_[i], BM_SETCHECK, static_cast<int>(i) == index ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

void WinComponent::SetItems(const std::vector<std::string>& items) {
  if (def_.kind == Kind::ComboBox && hwnd_) SetComboItems(hwnd_, items);
}

void WinComponent::SetMaxLength(int count) {
  if (hwnd_) SendMessageW(hwnd_, def_.kind == Kind::ComboBox ? CB_LIMITTEXT : EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
}

Component::Selection WinComponent::GetSelection() const {
  DWORD start = 0, end = 0;
  if (hwnd_) {
    SendMessageW(hwnd_, def_.kind == Kind::ComboBox ? CB_GETEDITSEL : EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  }
  return {static_cast<int>(start), static_cast<int>(end)};
}

void WinComponent::SetSelection(Selection selection) {
  if (!hwnd_) return;
  if (def_.kind == Kind::ComboBox) {
    SendMessageW(hwnd_, CB_SETEDITSEL, 0, MAKELPARAM(selection.start, selection.end));
  } else {
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(selection.start), selection.end);
  }
}

void WinComponent::ReplaceSelection(std::string_view text) {
  if (hwnd_) SendMessageW(hwnd_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

bool WinComponent::DroppedDown() const { return hwnd_ && SendMessageW(hwnd_, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void WinComponent::SetDroppedDown(bool open) {
  if (hwnd_) SendMessageW(hwnd_, CB_SHOWDROPDOWN, open, 0);
}

void WinComponent::SetRange(int high, int step) {
  if (!hwnd_) return;
  SendMessageW(hwnd_, PBM_SETRANGE32, 0, high);
  SendMessageW(hwnd_, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

int WinComponent::Position() const { return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, PBM_GETPOS, 0, 0)) : 0; }

void WinComponent::SetPosition(int position) {
  if (hwnd_) SendMessageW(hwnd_, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void WinComponent::Step() {
  if (hwnd_) SendMessageW(hwnd_, PBM_STEPIT, 0, 0);
}

FrozenDrawing::FrozenDrawing(HWND control) : control_(control) { SendMessageW(control_, WM_SETREDRAW, FALSE, 0); }

FrozenDrawing::~FrozenDrawing() {
  SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(control_, nullptr, TRUE);
}

void SetControlFont(HWND control, HFONT font, bool redraw) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }

bool WinComponent::Checked() const {
  if (InMenu()) return (GetMenuState(parent_menu_, position_, MF_BYPOSITION) & MF_CHECKED) != 0;
  if (hwnd_ && def_.kind == Kind::CheckBox) return SendMessageW(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED;
  return def_.checked;
}

void WinComponent::SetChecked(bool checked) {
  def_.checked = checked;
  if (InMenu()) {
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(parent_menu_, position_, TRUE, &info);
    info.fState = checked ? (info.fState | MFS_CHECKED) : (info.fState & ~MFS_CHECKED);
    SetMenuItemInfoW(parent_menu_, position_, TRUE, &info);
  } else if (hwnd_ && def_.kind == Kind::CheckBox) {
    SendMessageW(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
}

bool WinComponent::Enabled() const {
  if (InMenu()) return (GetMenuState(parent_menu_, position_, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) == 0;
  return hwnd_ ? IsWindowEnabled(hwnd_) != FALSE : true;
}

void WinComponent::SetEnabled(bool enabled) {
  if (InMenu()) {
    EnableMenuItem(parent_menu_, position_, MF_BYPOSITION | (enabled ? MF_ENABLED : MF_GRAYED));
  } else if (hwnd_) {
    EnableWindow(hwnd_, enabled);
  }
}

std::string WinComponent::MenuLabel() const {
  std::string shortcut = def_.shortcut.Text();
  return shortcut.empty() ? caption_ : caption_ + "\t" + shortcut;
}

std::string WinComponent::StatusText() const {
  std::wstring text(LOWORD(SendMessageW(hwnd_, SB_GETTEXTLENGTHW, 0, 0)) + 1, L'\0');
  text.resize(LOWORD(SendMessageW(hwnd_, SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(text.data()))));
  return Narrow(text);
}

}  // namespace qp::ui
