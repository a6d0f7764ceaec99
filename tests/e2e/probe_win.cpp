// Test probe: reads and pokes the running program's windows from another process.
//   probe texts CLASS   one line per child control: class, tab, text (UTF-8)
//   probe close CLASS   posts WM_CLOSE to the top-level window of that class
//   probe fonts CLASS   one line per child control: class, tab, 1 if its font is underlined
//   probe away          takes the focus away from every window for a moment
//   probe click CLASS TEXT  clicks the child button or label showing TEXT (UTF-8)
//   probe contextmenu CLASS TEXT  asks for the menu of the child button showing TEXT, as the
//                       menu key does
//   probe treeselect CLASS I [J ...]  selects the tree view item at those indices (top
//                       level first), as a click would
//   probe settext CLASS CHILDCLASS N TEXT  sets the text of the Nth child of that class;
//                       "\n" in TEXT stands for a line break
//   probe latency CLASS MS  for MS milliseconds asks the window's combo box for its text
//                       every 10 ms; prints each answer time in milliseconds
//   probe state CLASS   "visible" or "hidden", then " iconic" when minimized
//   probe focus CLASS   the class of the control that has the keyboard focus in that
//                       window's thread, or nothing
//   probe endsession CLASS  tells the window the session is ending (a logoff or shutdown):
//                       WM_QUERYENDSESSION, then WM_ENDSESSION; prints the first answer
//   probe trustroot FILE    adds the certificate in FILE (DER) to this Wine prefix's trusted
//                       roots of the current user (a test's own certificate authority)
//   probe untrustroot FILE  takes it out again
#include <windows.h>
#include <commctrl.h>
#include <wincrypt.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "../tray_keeper_win.h"

namespace {

std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

BOOL CALLBACK PrintFont(HWND child, LPARAM) {
  wchar_t cls[128] = {};
  GetClassNameW(child, cls, 128);
  DWORD_PTR font = 0;
  SendMessageTimeoutW(child, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &font);
  LOGFONTW info{};
  const bool known = font && GetObjectW(reinterpret_cast<HFONT>(font), sizeof info, &info) != 0;
  Print(Utf8(cls) + "\t" + (known ? (info.lfUnderline ? "1" : "0") : "?") + "\n");
  return TRUE;
}

BOOL CALLBACK PrintChild(HWND child, LPARAM) {
  wchar_t cls[128] = {};
  GetClassNameW(child, cls, 128);
  std::wstring text(4096, L'\0');
  // WM_GETTEXT crosses process boundaries; GetWindowText would not read another
  // process's controls.
  LRESULT n = SendMessageTimeoutW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, nullptr);
  text.resize(n > 0 ? wcsnlen(text.c_str(), text.size()) : 0);
  for (wchar_t& ch : text) {
    if (ch == L'\r' || ch == L'\n') ch = L' ';
  }
  Print(Utf8(cls) + "\t" + Utf8(text) + "\n");
  return TRUE;
}

struct ButtonSearch {
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK FindButton(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ButtonSearch*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(child, cls, 64);
  std::wstring text(1024, L'\0');
  LRESULT n = SendMessageTimeoutW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG, 2000, nullptr);
  text.resize(n > 0 ? wcsnlen(text.c_str(), text.size()) : 0);
  if ((_wcsicmp(cls, L"Button") == 0 || _wcsicmp(cls, L"Static") == 0) && text == search->text) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

struct ChildSearch {
  std::wstring cls;
  int index;
  HWND found = nullptr;
};

BOOL CALLBACK FindChild(HWND child, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(child, cls, 64);
  if (_wcsicmp(cls, search->cls.c_str()) == 0 && search->index-- == 0) {
    search->found = child;
    return FALSE;
  }
  return TRUE;
}

// How quickly the window answers while it is busy with other work: one line per question
// with the answer time in milliseconds ("-1" when none came within 5 s).
int MeasureLatency(HWND window, DWORD duration) {
  ChildSearch search{L"ComboBox", 0};
  EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return 5;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  wchar_t text[1100];
  for (DWORD begin = GetTickCount(); GetTickCount() - begin < duration;) {
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    const bool answered =
        SendMessageTimeoutW(search.found, WM_GETTEXT, 1100, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result) != 0;
    QueryPerformanceCounter(&end);
    char line[64];
    snprintf(line, sizeof line, "%.2f\n",
             answered ? static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart) : -1.0);
    Print(line);
    Sleep(10);
  }
  return 0;
}

}  // namespace

// The user's own trusted roots, which the program's certificate checks consult.
int ChangeTrustedRoot(const wchar_t* file, bool trust) {
  std::ifstream in(file, std::ios::binary);
  const std::string der((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (der.empty()) return 6;
  HCERTSTORE store = CertOpenSystemStoreW(0, L"ROOT");
  if (!store) return 7;
  const BYTE* bytes = reinterpret_cast<const BYTE*>(der.data());
  bool done = false;
  if (trust) {
    done = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, bytes, static_cast<DWORD>(der.size()),
                                            CERT_STORE_ADD_REPLACE_EXISTING, nullptr);
  } else if (PCCERT_CONTEXT wanted = CertCreateCertificateContext(X509_ASN_ENCODING, bytes, static_cast<DWORD>(der.size()))) {
    PCCERT_CONTEXT found = CertFindCertificateInStore(store, X509_ASN_ENCODING, 0, CERT_FIND_EXISTING, wanted, nullptr);
    done = found && CertDeleteCertificateFromStore(found);  // frees found
    CertFreeCertificateContext(wanted);
  }
  CertCloseStore(store, 0);
  return done ? 0 : 8;
}

// A window of our own takes the focus, so the program's window deactivates.
int TakeFocusAway() {
  HWND w = CreateWindowExW(0, L"STATIC", L"probe", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(w);
  SetFocus(w);
  for (DWORD start = GetTickCount(); GetTickCount() - start < 700;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(20);
  }
  DestroyWindow(w);
  return 0;
}

// Holds a tray icon until it is ended (tray_keeper_win.h).
int KeepTrayShown() {
  qp::test::HoldTrayIcon(98);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

int wmain(int argc, wchar_t** argv) {
  if (argc >= 2 && std::wstring(argv[1]) == L"away") return TakeFocusAway();
  if (argc >= 2 && std::wstring(argv[1]) == L"keeptray") return KeepTrayShown();
  if (argc >= 3 && std::wstring(argv[1]) == L"trustroot") return ChangeTrustedRoot(argv[2], true);
  if (argc >= 3 && std::wstring(argv[1]) == L"untrustroot") return ChangeTrustedRoot(argv[2], false);
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  HWND window = FindWindowW(argv[2], nullptr);
  if (!window) return 3;
  if (command == L"texts") {
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"fonts") {
    EnumChildWindows(window, PrintFont, 0);
    return 0;
  }
  if (command == L"click" && argc >= 4) {
    ButtonSearch search{argv[3]};
    EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 5;
    // Posted, so the probe does not wait for the whole dispatch the click starts. A label
    // tells its parent it was clicked.
    wchar_t cls[64] = {};
    GetClassNameW(search.found, cls, 64);
    if (_wcsicmp(cls, L"Static") == 0) {
      const WPARAM clicked = MAKEWPARAM(GetDlgCtrlID(search.found), STN_CLICKED);
      return PostMessageW(GetParent(search.found), WM_COMMAND, clicked, reinterpret_cast<LPARAM>(search.found)) ? 0 : 4;
    }
    return PostMessageW(search.found, BM_CLICK, 0, 0) ? 0 : 4;
  }
  if (command == L"contextmenu" && argc >= 4) {
    ButtonSearch search{argv[3]};
    EnumChildWindows(window, FindButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 5;
    return PostMessageW(GetParent(search.found), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(search.found), MAKELPARAM(-1, -1)) ? 0 : 4;
  }
  if ((command == L"treeselect" || command == L"itempoint") && argc >= 4) {
    // The item at the given indices (top level first) of the window's tree view: item
    // handles work across processes, texts would not.
    HWND tree = FindWindowExW(window, nullptr, L"SysTreeView32", nullptr);
    if (!tree) return 5;
    HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (int i = 3; i < argc && item; ++i) {
      if (i > 3) item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item)));
      for (int n = _wtoi(argv[i]); n > 0 && item; --n) {
        item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
      }
    }
    if (!item) return 6;
    // Selected as a click would select it.
    if (command == L"treeselect") return SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) ? 0 : 4;
    // The middle of its text on the screen, for the mouse. The rectangle is asked for
    // through memory the program can write: the item handle goes in, the rectangle out.
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 7;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    RECT row{};
    memcpy(&row, &item, sizeof item);
    WriteProcessMemory(process, remote, &row, sizeof row, nullptr);
    const bool shown = SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote)) != 0;
    ReadProcessMemory(process, remote, &row, sizeof row, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!shown) return 8;
    POINT middle{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    ClientToScreen(tree, &middle);
    Print(std::to_string(middle.x) + " " + std::to_string(middle.y) + "\n");
    return 0;
  }
  if (command == L"settext" && argc >= 6) {
    ChildSearch search{argv[3], _wtoi(argv[4])};
    EnumChildWindows(window, FindChild, reinterpret_cast<LPARAM>(&search));
    if (!search.found) return 5;
    std::wstring text;
    for (const wchar_t* p = argv[5]; *p; ++p) {
      if (p[0] == L'\\' && p[1] == L'n') {
        text += L"\r\n";
        ++p;
      } else {
        text += *p;
      }
    }
    DWORD_PTR result = 0;
    SendMessageTimeoutW(search.found, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG, 5000, &result);
    return 0;
  }
  if (command == L"latency" && argc >= 4) return MeasureLatency(window, static_cast<DWORD>(_wtoi(argv[3])));
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 4;
  if (command == L"endsession") {
    DWORD_PTR agreed = 0;
    SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 10000, &agreed);
    Print(agreed ? "agreed\n" : "refused\n");
    if (agreed) PostMessageW(window, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    return 0;
  }
  if (command == L"state") {
    Print(std::string(IsWindowVisible(window) ? "visible" : "hidden") + (IsIconic(window) ? " iconic" : "") + "\n");
    return 0;
  }
  if (command == L"rect") {  // the window's rectangle, then the work area's, then whether it may be activated
    RECT r{}, work{};
    GetWindowRect(window, &r);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    char line[160];
    snprintf(line, sizeof line, "%ld %ld %ld %ld %ld %ld %ld %ld %s\n", r.left, r.top, r.right, r.bottom, work.left, work.top, work.right,
             work.bottom, (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_NOACTIVATE) ? "noactivate" : "activate");
    Print(line);
    return 0;
  }
  if (command == L"focus") {
    GUITHREADINFO info{sizeof info};
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) {
      wchar_t cls[128] = {};
      GetClassNameW(info.hwndFocus, cls, 128);
      Print(Utf8(cls) + "\n");
    }
    return 0;
  }
  return 2;
}
