// The favorites as a popup menu.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "capture/favorites.h"

namespace qp {

// The user's Favorites folder (UTF-8), or "" when the system names none.
std::string FavoritesFolder();

// A popup menu of the favorites: each shortcut an entry whose command is its index in
// `paths` plus one, each folder a submenu. The caller destroys the menu.
HMENU BuildFavoritesMenu(const std::vector<Favorite>& favorites, std::vector<std::string>& paths);

}  // namespace qp
