// A table-built window's component bound to its control or menu entry.
#include "ui/component_win.h"

#include <commctrl.h>

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
    if (def_.kind == Kind::Label) FitLabelToText(hwnd_);
  }
}

void FitLabelToText(HWND label) {
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
  const std::wstring text = Widen(GetText(label));
  SIZE needed{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  RECT r{};
  GetClientRect(label, &r);
  if (r.bottom >= 2 * metrics.tmHeight || needed.cx <= r.right) return;  // several lines, or it fits
  SetWindowPos(label, nullptr, 0, 0, needed.cx, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
  }
}

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
