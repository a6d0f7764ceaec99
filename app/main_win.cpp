// Program entry: one running copy, the hand-over of a second start's address, the loop.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>

#include "app/main_window_win.h"
#include "app/system_win.h"
#include "ui/message_box_win.h"
#include "ui/module_win.h"
#include "ui/text_win.h"

namespace {

std::wstring FirstArgument() {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::wstring first = args && count > 1 ? args[1] : L"";
  if (args) LocalFree(args);
  return first;
}

// The name under which the program runs: its file name with extension, no folder.
std::wstring ProgramFileName() {
  const std::wstring path = qp::ui::Widen(qp::ui::ModulePath());
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The running copy's clipboard monitor picks the address up from the clipboard.
void HandOverToRunningCopy(const std::wstring& argument) {
  if (argument.find(L"http://") == std::wstring::npos && argument.find(L"ftp://") == std::wstring::npos) return;
  // Another program may hold the clipboard for a moment.
  for (int attempt = 0; attempt < 20 && !OpenClipboard(nullptr); ++attempt) Sleep(50);
  if (!EmptyClipboard()) {
    CloseClipboard();
    return;
  }
  const size_t bytes = (argument.size() + 1) * sizeof(wchar_t);
  if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
    memcpy(GlobalLock(memory), argument.c_str(), bytes);
    GlobalUnlock(memory);
    if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
  }
  CloseClipboard();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  qp::InstallSystemServices();

  const std::wstring argument = FirstArgument();
  // Kept open for the whole run; a second start finds the name taken.
  HANDLE token = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READONLY, 0, 32, ProgramFileName().c_str());
  bool second_copy = GetLastError() == ERROR_ALREADY_EXISTS;
  if (!token) {
    qp::ui::ShowMessage(nullptr, "Not enought memory", MB_ICONERROR | MB_OK);
    second_copy = true;
  }
  if (second_copy) {
    HandOverToRunningCopy(argument);
    return 0;
  }

  qp::TfmMain main_window(qp::ui::ModuleFolder(), qp::ui::Narrow(argument));
  if (!main_window.Create(nullptr, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, CW_USEDEFAULT, CW_USEDEFAULT)) {
    return 1;
  }
  main_window.RunFirstStartWizard();  // before the window shows
  if (!main_window.Hwnd()) return 0;  // ended meanwhile (the session)
  ShowWindow(main_window.Hwnd(), show == SW_HIDE ? SW_SHOWNORMAL : show);
  UpdateWindow(main_window.Hwnd());

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!qp::ui::Window::PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return static_cast<int>(msg.wParam);
}
