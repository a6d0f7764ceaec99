// The favorites menu: Internet shortcuts (".url" files) of the user's Favorites folder, its
// subfolders as submenus.
#pragma once

#include <string>
#include <vector>

namespace qp {

struct Favorite {
  std::string name;                // the file name without ".url", or the folder's name
  std::string path;                // of the shortcut; "" for a folder
  std::vector<Favorite> children;  // a folder's
  bool operator==(const Favorite&) const = default;
};

// Folders first, then shortcuts, each in name order (without regard to case); folders
// without shortcuts anywhere below are left out, and so is anything deeper than 8 levels.
std::vector<Favorite> ReadFavorites(const std::string& folder);

// The address of an Internet shortcut: "URL" of its section "InternetShortcut"; "" when
// it has none or cannot be read.
std::string ShortcutAddress(const std::string& path);

}  // namespace qp
