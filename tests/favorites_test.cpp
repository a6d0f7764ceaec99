// The favorites menu's content, from a Favorites folder as Windows keeps it.
#include <gtest/gtest.h>

#include <filesystem>

#include "capture/favorites.h"
#include "test_support.h"

namespace qp {
namespace {

TEST(Favorites, ShortcutsAndSubfoldersInNameOrderFoldersFirst) {
  test::TempDir dir;
  std::filesystem::create_directories(dir / "Почта" / "Пусто");  // names as UTF-8 on every system
  std::filesystem::create_directories(dir / "Empty");
  test::WriteAll(dir / "b.url", "[InternetShortcut]\r\nURL=http://b.example/\r\n");
  test::WriteAll(dir / "A.URL", "[DEFAULT]\r\nBASEURL=http://x/\r\n[InternetShortcut]\r\nURL=http://a.example/\r\n");
  test::WriteAll(dir / "notes.txt", "not a shortcut");
  test::WriteAll(dir / "Почта" / "Шлюз.url", "[InternetShortcut]\r\nIconIndex=0\r\n");
  const std::vector<Favorite> favorites = ReadFavorites(dir.Path());
  ASSERT_EQ(favorites.size(), 3u);
  EXPECT_EQ(favorites[0].name, "Почта");  // "Empty" and "Пусто" hold no shortcut
  ASSERT_EQ(favorites[0].children.size(), 1u);
  EXPECT_EQ(favorites[0].children[0].name, "Шлюз");
  EXPECT_EQ(favorites[1].name, "A");
  EXPECT_EQ(favorites[2].name, "b");
  EXPECT_EQ(ShortcutAddress(favorites[1].path), "http://a.example/");
  EXPECT_EQ(ShortcutAddress(favorites[0].children[0].path), "");  // no URL key: the request line empties
  EXPECT_EQ(ShortcutAddress(dir / "missing.url"), "");
  EXPECT_TRUE(ReadFavorites(dir / "no such folder").empty());
}

}  // namespace
}  // namespace qp
