// The tray icon.
#include "app/tray_icon_win.h"

#include <shellapi.h>

#include "app/main_form.h"
#include "ui/placement_win.h"

namespace qp {
namespace {

constexpr UINT kIconId = 1;
constexpr wchar_t kHint[] = L"Quillpost Pro";

}  // namespace

TrayIcon::TrayIcon(ui::Window& window, UINT message, Handlers handlers)
    : window_(window), message_(message), handlers_(std::move(handlers)), taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {}

TrayIcon::~TrayIcon() {
  if (hidden_owner_) DestroyWindow(hidden_owner_);
}

void TrayIcon::Remove() {
  if (!added_) return;
  NOTIFYICONDATAW data = Data();
  Shell_NotifyIconW(NIM_DELETE, &data);
  added_ = false;
}

NOTIFYICONDATAW TrayIcon::Data() const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_.Hwnd();
  data.uID = kIconId;
  return data;
}

bool TrayIcon::Add() {
  NOTIFYICONDATAW data = Data();
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = message_;
  data.hIcon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                             GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  lstrcpynW(data.szTip, kHint, ARRAYSIZE(data.szTip));
  added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  if (data.hIcon) DestroyIcon(data.hIcon);
  return added_;
}

bool TrayIcon::HandleMessage(UINT msg, WPARAM, LPARAM lparam) {
  if (msg == taskbar_created_) {  // Explorer started again with an empty tray
    Add();
    return true;
  }
  if (msg != message_) return false;
  switch (LOWORD(lparam)) {
    case WM_LBUTTONDOWN: handlers_.mouse_down(); break;
    case WM_LBUTTONUP: handlers_.click(); break;
    case WM_RBUTTONUP: ShowMenu(); break;
    default: break;
  }
  return true;
}

// The menu closes when the user clicks elsewhere only if the window is in front while it
// is open, and after the message that follows it.
void TrayIcon::ShowMenu() {
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(window_.Hwnd());
  TrackPopupMenu(window_.SubmenuOf(fmMain::PopupMenu1), TPM_RIGHTBUTTON, at.x, at.y, 0, window_.Hwnd(), nullptr);
  PostMessageW(window_.Hwnd(), WM_NULL, 0, 0);
}

void TrayIcon::ShowFromTray() {
  HWND hwnd = window_.Hwnd();
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  ShowWindow(hwnd, SW_SHOW);
  ui::ForceForegroundWindow(hwnd);
}

void TrayIcon::HideToTray() {
  ShowWindow(window_.Hwnd(), SW_HIDE);
  HideTaskbarEntry();
}

void TrayIcon::HideTaskbarEntry() {
  if (!hidden_owner_) {
    hidden_owner_ = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"Quillpost", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  }
  // An owned window has no taskbar entry of its own.
  if (hidden_owner_ && GetWindow(window_.Hwnd(), GW_OWNER) != hidden_owner_) {
    SetWindowLongPtrW(window_.Hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(hidden_owner_));
  }
}

}  // namespace qp
