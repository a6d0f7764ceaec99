// The favorites menu.
#include "capture/favorites_win.h"

#include <shlobj.h>

#include "base/text_codec.h"

namespace qp {
namespace {

std::wstring Wide(const std::string& utf8) {
  const std::u16string utf16 = Utf16FromUtf8(utf8);
  return std::wstring(utf16.begin(), utf16.end());
}

}  // namespace

std::string FavoritesFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_FAVORITES, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  const std::wstring wide = path;
  return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

HMENU BuildFavoritesMenu(const std::vector<Favorite>& favorites, std::vector<std::string>& paths) {
  HMENU menu = CreatePopupMenu();
  for (const Favorite& favorite : favorites) {
    const std::wstring text = Wide(favorite.name);
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
