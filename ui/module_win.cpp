// The running executable's own file and folder.
#include "ui/module_win.h"

#include <windows.h>

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

}  // namespace qp::ui
