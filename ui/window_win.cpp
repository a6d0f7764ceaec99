// Windows built from component tables.
#include "ui/window_win.h"

#include <commctrl.h>

#include <algorithm>

#include "base/lines.h"
#include "ui/component_win.h"
#include "ui/message_loop_win.h"
#include "ui/text_win.h"

namespace qp::ui {
namespace {

constexpr UINT kFirstCommandId = 1000;
constexpr UINT kCreateTooltips = WM_APP + 0x3F00;  // above the windows' own WM_APP messages
constexpr int kComboDropHeight = 200;
std::vector<Window*> g_windows;  // live windows, for the message loop's shortcut routing

}  // namespace

Window::Window(FormDef def) : def_(std::move(def)) {
  for (size_t i = 0; i < def_.controls.size(); ++i) {
    components_.push_back(std::make_unique<WinComponent>(hwnd_, def_.controls[i], kFirstCommandId + static_cast<UINT>(i)));
  }
}

Window::~Window() {
  std::erase(g_windows, this);
  if (hwnd_) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
  for (auto& c : components_) {
    if (c->GetKind() == Kind::PopupMenu && c->Submenu()) DestroyMenu(c->Submenu());
  }
  if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
  for (auto& [button, glyph] : glyphs_) ImageList_Destroy(glyph);
  if (font_) DeleteObject(font_);
}

std::string Window::Title() const { return hwnd_ ? GetText(hwnd_) : def_.title; }
void Window::SetTitle(std::string_view text) {
  if (hwnd_) {
    SetText(hwnd_, text);
  } else {
    def_.title = std::string(text);  // before the window is made: it is made with it
  }
}
std::size_t Window::ComponentCount() const { return components_.size(); }
Component& Window::ComponentAt(std::size_t index) { return *components_.at(index); }

WinComponent* Window::ByName(std::string_view name) const {
  for (const auto& c : components_) {
    if (c->Name() == name) return c.get();
  }
  return nullptr;
}

HWND Window::ControlHwnd(std::string_view name) const {
  WinComponent* c = ByName(name);
  return c ? c->Hwnd() : nullptr;
}

HMENU Window::SubmenuOf(std::string_view name) const {
  WinComponent* c = ByName(name);
  return c ? c->Submenu() : nullptr;
}

bool Window::Create(HWND owner, DWORD style, DWORD ex_style, int left, int top) {
  const std::wstring class_name = Widen("T" + def_.name);
  WNDCLASSEXW wc{sizeof wc};
  HINSTANCE instance = GetModuleHandleW(nullptr);
  if (!GetClassInfoExW(instance, class_name.c_str(), &wc)) {
    wc = WNDCLASSEXW{sizeof wc};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = class_name.c_str();
    if (!RegisterClassExW(&wc)) return false;
  }
  OnPrepare();
  CreateMenus();
  RECT frame{0, 0, def_.client_width, def_.client_height};
  AdjustWindowRectEx(&frame, style, menu_bar_ != nullptr, ex_style);
  hwnd_ = CreateWindowExW(ex_style, class_name.c_str(), Widen(def_.title).c_str(), style, left, top, frame.right - frame.left,
                          frame.bottom - frame.top, owner, menu_bar_, instance, this);
  if (!hwnd_) return false;
  g_windows.push_back(this);
  // The menu bar may wrap to two lines in a narrow window; fix the client size afterwards.
  RECT client;
  GetClientRect(hwnd_, &client);
  if (client.bottom != def_.client_height) {
    RECT outer;
    GetWindowRect(hwnd_, &outer);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + def_.client_height - client.bottom,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  font_ = CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Lucida Sans Unicode");
  CreateControls();
  CreateShortcuts();
  commands_.Bind(*this);
  // Hints are wanted only once the pointer rests somewhere: the tooltips come after the
  // window is on the screen.
  PostMessageW(hwnd_, kCreateTooltips, 0, 0);
  OnCreate();
  return true;
}

void Window::CreateMenus() {
  // Submenus first get their handles, so entries can be appended to their parents in
  // table order; hidden entries are simply never inserted.
  for (auto& c : components_) {
    const Kind kind = c->GetKind();
    if (kind == Kind::PopupMenu) {
      c->BindMenu(nullptr, 0, CreatePopupMenu());
    } else if (kind == Kind::Menu) {
      c->BindMenu(nullptr, 0, CreatePopupMenu());
      if (c->Def().parent.empty() && !menu_bar_) menu_bar_ = CreateMenu();
    }
  }
  for (auto& c : components_) {
    const ControlDef& d = c->Def();
    if (!IsMenuKind(d.kind) || d.kind == Kind::PopupMenu) continue;
    HMENU parent = d.parent.empty() ? menu_bar_ : SubmenuOf(d.parent);
    if (!parent || !d.visible) continue;
    std::wstring label = Widen(c->MenuLabel());
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE;
    info.wID = c->Id();
    info.fType = d.kind == Kind::Separator ? MFT_SEPARATOR : (d.radio ? MFT_RADIOCHECK : MFT_STRING);
    info.fState = d.checked ? MFS_CHECKED : 0;
    if (d.kind != Kind::Separator) {
      info.fMask |= MIIM_STRING;
      info.dwTypeData = label.data();
    }
    if (d.kind == Kind::Menu) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = c->Submenu();
    }
    const UINT position = static_cast<UINT>(GetMenuItemCount(parent));
    InsertMenuItemW(parent, position, TRUE, &info);
    c->BindMenu(parent, position, c->Submenu());
  }
}

namespace {

// The window class and styles a kind of component is made of.
struct ControlClass {
  const wchar_t* name = L"STATIC";
  DWORD style = 0, ex_style = 0;
  int extra_height = 0;  // a combo box's height includes its drop-down list
};

ControlClass ClassOf(Kind kind) {
  switch (kind) {
    case Kind::Label: return {L"STATIC", SS_NOTIFY | SS_LEFT};
    case Kind::Panel: return {L"STATIC", SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN};
    case Kind::Button: return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    // Drawn by the window itself, so glyph and caption look the same on every system.
    case Kind::BitButton: return {L"BUTTON", BS_OWNERDRAW | WS_TABSTOP};
    case Kind::CheckBox: return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case Kind::GroupBox:
    case Kind::RadioGroup: return {L"BUTTON", BS_GROUPBOX};
    case Kind::Edit: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    // A line is an entry: no word wrap (a long address would look like several), both
    // scroll bars.
    case Kind::Memo:
      return {L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | ES_WANTRETURN | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    case Kind::ComboBox: return {L"COMBOBOX", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 0, kComboDropHeight};
    // Controls may lie over the status bar (progress, cancel): it must not paint over them.
    case Kind::StatusBar: return {STATUSCLASSNAMEW, WS_CLIPSIBLINGS};
    case Kind::ProgressBar: return {PROGRESS_CLASSW, 0};
    // Its pages' controls are the window's own and lie over it.
    case Kind::PageControl: return {WC_TABCONTROLW, WS_CLIPSIBLINGS | WS_TABSTOP};
    case Kind::TabSheet: return {L"STATIC", 0};
    case Kind::SpinEdit: return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::ListView: return {WC_LISTVIEWW, LVS_REPORT | LVS_SHOWSELALWAYS | LVS_EDITLABELS | WS_TABSTOP, WS_EX_CLIENTEDGE};
    case Kind::TreeView:
      return {WC_TREEVIEWW, TVS_SINGLEEXPAND | TVS_EDITLABELS | TVS_SHOWSELALWAYS | TVS_HASLINES | TVS_LINESATROOT | WS_TABSTOP,
              WS_EX_CLIENTEDGE};
    default: return {};
  }
}

// What a control shows right after it is made: columns, items, tick, status parts.
void FillControl(WinComponent& c, HWND hwnd) {
  const ControlDef& d = c.Def();
  if (d.kind == Kind::ListView) {
    ListView_SetExtendedListViewStyle(hwnd, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (size_t i = 0; i < d.items.size(); ++i) {
      std::wstring caption = Widen(d.items[i]);
      LVCOLUMNW column{LVCF_TEXT | LVCF_WIDTH};
      column.cx = 110;
      column.pszText = caption.data();
      ListView_InsertColumn(hwnd, static_cast<int>(i), &column);
    }
  } else if (d.kind == Kind::ComboBox) {
    for (const std::string& item : d.items) SendMessageW(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    if (!d.caption.empty()) SetText(hwnd, c.InitialCaption());  // a combo box takes no text when made
  } else if (d.kind == Kind::Memo) {
    SendMessageW(hwnd, EM_SETLIMITTEXT, 0, 0);  // as long as the user likes, not 32,767 characters
  } else if (d.kind == Kind::CheckBox && d.checked) {
    SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
  } else if (d.kind == Kind::StatusBar) {
    int widths[] = {d.bounds.w > 0 ? d.bounds.w : -1};
    SendMessageW(hwnd, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(widths));
    c.SetCaption(c.InitialCaption());
  }
  if (d.max_length > 0) SendMessageW(hwnd, d.kind == Kind::ComboBox ? CB_LIMITTEXT : EM_LIMITTEXT, d.max_length, 0);
}

// A number box's arrows, holding it to 0..255 and showing at most three characters.
HWND AddArrows(HWND edit) {
  SendMessageW(edit, EM_LIMITTEXT, 3, 0);
  RECT r{};
  GetWindowRect(edit, &r);
  MapWindowPoints(nullptr, GetParent(edit), reinterpret_cast<POINT*>(&r), 2);
  HWND arrows =
      CreateWindowExW(0, UPDOWN_CLASSW, L"", WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT, 0,
                      0, 0, 0, GetParent(edit), nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
  SendMessageW(arrows, UDM_SETRANGE32, 0, 255);
  return arrows;
}

// A radio group's items: spread over the group below its caption, one chosen at most.
std::vector<HWND> AddRadioItems(const ControlDef& d, HWND group, HFONT font) {
  std::vector<HWND> items;
  if (d.items.empty()) return items;
  RECT r{};
  GetWindowRect(group, &r);
  MapWindowPoints(nullptr, GetParent(group), reinterpret_cast<POINT*>(&r), 2);
  const int step = (r.bottom - r.top - 20) / static_cast<int>(d.items.size());
  for (std::size_t i = 0; i < d.items.size(); ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0);
    HWND item = CreateWindowExW(0, L"BUTTON", Widen(d.items[i]).c_str(), style, r.left + 8, r.top + 16 + static_cast<int>(i) * step,
                                r.right - r.left - 16, std::min(step, 17), GetParent(group), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(item, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    items.push_back(item);
  }
  return items;
}

}  // namespace

Rect Window::PlaceOf(const ControlDef& d) const {
  // Controls inside a group or panel are placed relative to it but owned by the window,
  // so their notifications reach the window's handlers directly.
  Rect r = d.bounds;
  for (std::string parent = d.parent; !parent.empty();) {
    WinComponent* p = ByName(parent);
    if (!p) break;
    r.x += p->Def().bounds.x;
    r.y += p->Def().bounds.y;
    parent = p->Def().parent;
  }
  return r;
}

void Window::AddTooltip(const ControlDef& d, HWND hwnd) {
  // The tooltip asks for the text when it shows, so a changed hint needs no update.
  TTTOOLINFOW tool{sizeof tool};
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = hwnd_;
  tool.uId = reinterpret_cast<UINT_PTR>(hwnd);
  tool.lpszText = LPSTR_TEXTCALLBACKW;
  SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  COMBOBOXINFO combo{sizeof combo};
  if (d.kind == Kind::ComboBox && GetComboBoxInfo(hwnd, &combo) && combo.hwndItem) {
    tool.uId = reinterpret_cast<UINT_PTR>(combo.hwndItem);
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Window::CreateTooltips() {
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0, 0, 0, hwnd_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 400);
  for (auto& c : components_) {
    if (c->Hwnd() && HasHint(c->GetKind())) AddTooltip(c->Def(), c->Hwnd());
  }
}

void Window::CreateControls() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (auto& c : components_) {
    const ControlDef& d = c->Def();
    if (IsMenuKind(d.kind)) continue;
    const Rect r = PlaceOf(d);
    const ControlClass cls = ClassOf(d.kind);
    const bool shown = d.visible && d.kind != Kind::TabSheet;  // a page is its controls
    DWORD style = WS_CHILD | (shown ? WS_VISIBLE : 0) | cls.style;
    // Groups and labels on a page let the page show through: the page paints under them.
    const bool see_through =
        pages_.PageOf(*c) && (d.kind == Kind::GroupBox || d.kind == Kind::RadioGroup || d.kind == Kind::Label || d.kind == Kind::CheckBox);
    const DWORD ex_style = cls.ex_style | (see_through ? WS_EX_TRANSPARENT : 0);
    if (d.password) style |= ES_PASSWORD;
    // A combo box that takes no typing is a list to choose from.
    if (d.read_only) style |= d.kind == Kind::ComboBox ? CBS_DROPDOWNLIST : ES_READONLY;
    const std::wstring text = Widen(d.kind == Kind::Memo ? JoinLines(d.items) : (d.kind == Kind::StatusBar ? "" : c->InitialCaption()));
    HWND hwnd = CreateWindowExW(ex_style, cls.name, text.c_str(), style, r.x, r.y, r.w, r.h + cls.extra_height, hwnd_,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(c->Id())), instance, nullptr);
    if (!hwnd) continue;
    c->BindControl(hwnd);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (d.kind == Kind::Label) FitLabelRow(hwnd);
    FillControl(*c, hwnd);
    if (d.kind == Kind::SpinEdit) c->BindArrows(AddArrows(hwnd));
    if (d.kind == Kind::RadioGroup) c->BindRadioItems(AddRadioItems(d, hwnd, font_));
    pages_.Mark(*c);
  }
  pages_.ShowFirstPages();
}

void Window::SetDefaultButton(std::string_view name) { SendMessageW(hwnd_, DM_SETDEFID, GetDlgCtrlID(ControlHwnd(name)), 0); }

void Window::CreateShortcuts() {
  std::vector<ACCEL> table;
  for (auto& c : components_) {
    const Shortcut& s = c->Def().shortcut;
    if (s.key == 0 || !IsMenuKind(c->GetKind())) continue;
    BYTE flags = FVIRTKEY;
    if (s.modifiers & Shortcut::kCtrl) flags |= FCONTROL;
    if (s.modifiers & Shortcut::kShift) flags |= FSHIFT;
    if (s.modifiers & Shortcut::kAlt) flags |= FALT;
    table.push_back(ACCEL{flags, s.key, static_cast<WORD>(c->Id())});
  }
  if (!table.empty()) shortcuts_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

bool Window::PreTranslate(MSG& msg) {
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  for (Window* w : g_windows) {
    if (w->hwnd_ != root || !root) continue;
    if (msg.message == WM_KEYDOWN && w->OnKeyPreview(msg)) return true;
    if (w->shortcuts_ && TranslateAcceleratorW(root, w->shortcuts_, &msg)) return true;
    // Tab and arrow navigation between controls, but Enter and Escape stay with the
    // control or the key preview, which give them their own meaning.
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) return false;
    return IsDialogMessageW(root, &msg) != FALSE;
  }
  return false;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND: {
      const UINT id = LOWORD(wparam);
      if (id >= kFirstCommandId && id < kFirstCommandId + components_.size()) {
        commands_.Run(id - kFirstCommandId, HIWORD(wparam));
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->idFrom >= kFirstCommandId && header->idFrom < kFirstCommandId + components_.size() &&
          header->hwndFrom == components_[header->idFrom - kFirstCommandId]->Hwnd()) {
        WinComponent& c = *components_[header->idFrom - kFirstCommandId];
        pages_.Notified(c, *header);
        return OnNotify(c, *header);
      }
      if (header->hwndFrom == tooltip_ && header->code == TTN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMTTDISPINFOW*>(lparam);
        HWND tool = reinterpret_cast<HWND>(info->hdr.idFrom);
        if (GetParent(tool) != hwnd_) tool = GetParent(tool);  // the edit inside a combo box
        for (auto& c : components_) {
          if (c->Hwnd() == tool) info->lpszText = const_cast<wchar_t*>(c->WideHint().c_str());
        }
        return 0;
      }
      break;
    }
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_BUTTON) {
        DrawBitButton(*item);
        return TRUE;
      }
      break;
    }
    case WM_SIZE:
      for (auto& c : components_) {
        if (c->GetKind() == Kind::StatusBar) SendMessageW(c->Hwnd(), WM_SIZE, 0, 0);
      }
      break;
    case kCreateTooltips:
      if (!tooltip_) CreateTooltips();
      return 0;
    case WM_SHOWWINDOW:
      if (wparam) OnShow();
      break;
    case WM_ERASEBKGND:
      if (pages_.EraseBackground(hwnd_, reinterpret_cast<HDC>(wparam))) return 1;
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (auto brush = PageControls::BackgroundOf(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam))) return *brush;
      break;
    default: break;
  }
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void Window::RunModalAndDestroy(HWND owner) {
  RunModal(hwnd_, owner);
  if (hwnd_) DestroyWindow(hwnd_);
}

std::vector<Window*> Window::LiveWindows() {
  std::vector<Window*> live;
  for (Window* window : g_windows) {
    if (window->Hwnd()) live.push_back(window);
  }
  return live;
}

Window* Window::FromHwnd(HWND hwnd) {
  Window* window = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  return std::find(g_windows.begin(), g_windows.end(), window) != g_windows.end() ? window : nullptr;
}

LRESULT CALLBACK Window::Proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    std::erase(g_windows, self);
    return DefWindowProcW(hwnd, msg, wparam, lparam);
  }
  return self->HandleMessage(msg, wparam, lparam);
}

}  // namespace qp::ui
