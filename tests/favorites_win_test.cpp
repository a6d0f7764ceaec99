// The favorites as a menu.
#include <windows.h>
#include <gtest/gtest.h>

#include "capture/favorites_win.h"

namespace qp {
namespace {

TEST(FavoritesMenu, FoldersBecomeSubmenusAndShortcutsNumberedEntries) {
  std::vector<std::string> paths;
  HMENU menu = BuildFavoritesMenu({{"Почта", "", {{"Шлюз", "C:\\f\\Почта\\Шлюз.url", {}}}}, {"A", "C:\\f\\A.url", {}}}, paths);
  EXPECT_EQ(paths, (std::vector<std::string>{"C:\\f\\Почта\\Шлюз.url", "C:\\f\\A.url"}));
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  HMENU folder = GetSubMenu(menu, 0);
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(GetMenuItemID(folder, 0), 1u);
  EXPECT_EQ(GetMenuItemID(menu, 1), 2u);
  wchar_t text[32] = {};
  GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
  EXPECT_STREQ(text, L"Почта");
  DestroyMenu(menu);
}

}  // namespace
}  // namespace qp
