// Test probe: reads and pokes the running program's windows from another process.
//   probe texts CLASS   one line per child control: class, tab, text (UTF-8)
//   probe close CLASS   posts WM_CLOSE to the top-level window of that class
#include <windows.h>

#include <string>

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

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  const std::wstring command = argv[1];
  HWND window = FindWindowW(argv[2], nullptr);
  if (!window) return 3;
  if (command == L"texts") {
    EnumChildWindows(window, PrintChild, 0);
    return 0;
  }
  if (command == L"close") return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 4;
  return 2;
}
