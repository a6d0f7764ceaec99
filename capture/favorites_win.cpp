// The favorites menu.
#include "capture/favorites_win.h"

#include <shlobj.h>

#include "ui/text_win.h"

namespace qp {
std::string FavoritesFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return ui::Narrow(path);
}

HMENU BuildFavoritesMenu(const std::vector<Favorite>& favorites, std::vector<std::string>& paths) {
  HMENU menu = CreatePopupMenu();
  for (const Favorite& favorite : favorites) {
    const std::wstring text = ui::Widen(favorite.name);
    if (favorite.path.empty()) {
      AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(BuildFavoritesMenu(favorite.children, paths)), text.c_str());
    } else {
      paths.push_back(favorite.path);
      AppendMenuW(menu, MF_STRING, paths.size(), text.c_str());
    }
  }
  return menu;
}

}  // namespace qp
