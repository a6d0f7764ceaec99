// The running executable's own file and folder.
#include "ui/module_win.h"

#include <shellapi.h>

#include "base/file_io.h"
#include "ui/text_win.h"

namespace qp::ui {

std::string ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n < path.size()) {
      path.resize(n);
      return Narrow(path);
    }
    path.resize(path.size() * 2);  // a long path: the name was cut, ask again
  }
}

std::string ModuleFolder() { return FolderOf(ModulePath()); }

FARPROC SystemProcedure(const wchar_t* dll, const char* name) {
  HMODULE module = GetModuleHandleW(dll);
  if (!module) module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  return module ? GetProcAddress(module, name) : nullptr;
}

bool ShellOpen(const std::string& target, const std::string& parameters) {
  const std::wstring wide_target = Widen(target), wide_parameters = Widen(parameters);
  const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(
      GetDesktopWindow(), L"open", wide_target.c_str(), parameters.empty() ? nullptr : wide_parameters.c_str(), nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace qp::ui
