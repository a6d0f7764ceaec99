// The favorites.
#include "capture/favorites.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/file_system.h"
#include "base/ini_file.h"
#include "base/text_codec.h"

namespace qp {
namespace {

constexpr int kMaxDepth = 8;

std::string Folded(const std::string& text) { return FoldCase(text); }

bool IsShortcut(const std::string& name) { return name.size() > 4 && Folded(name.substr(name.size() - 4)) == ".url"; }

std::vector<Favorite> Read(const std::string& folder, int depth) {
  std::vector<Favorite> folders, shortcuts;
  if (depth > kMaxDepth) return {};
  for (const FolderEntry& entry : ListFolder(folder)) {
    const std::string path = JoinPath(folder, entry.name);
    if (entry.folder) {
      std::vector<Favorite> inside = Read(path, depth + 1);
      if (!inside.empty()) folders.push_back({entry.name, "", std::move(inside)});
    } else if (IsShortcut(entry.name)) {
      shortcuts.push_back({entry.name.substr(0, entry.name.size() - 4), path, {}});
    }
  }
  const auto by_name = [](const Favorite& a, const Favorite& b) { return Folded(a.name) < Folded(b.name); };
  std::sort(folders.begin(), folders.end(), by_name);
  std::sort(shortcuts.begin(), shortcuts.end(), by_name);
  folders.insert(folders.end(), std::make_move_iterator(shortcuts.begin()), std::make_move_iterator(shortcuts.end()));
  return folders;
}

}  // namespace

std::vector<Favorite> ReadFavorites(const std::string& folder) { return Read(folder, 0); }

std::string ShortcutAddress(const std::string& path) {
  const TextFileState file = ReadTextFile(path, SystemCodec());
  if (!file.exists) return {};
  return IniFile(file.text.utf8).ReadString("InternetShortcut", "URL", "");
}

}  // namespace qp
