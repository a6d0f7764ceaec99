// The registry switches of browser integration, in the test prefix's own registry.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "app/browser_registry_win.h"

namespace qp {
namespace {

std::wstring Text(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[512] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) return L"(none)";
  return value;
}

TEST(BrowserRegistry, TheRequestVerbSwitchesOnWithItsCommandAndOffAgain) {
  ASSERT_TRUE(SetRequestVerb(L"http", true, L"C:\\Quillpost\\quillpost.exe"));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"http\\shell", nullptr), L"Request by Email");
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"http\\shell\\Request by Email\\command", nullptr), L"\"C:\\Quillpost\\quillpost.exe\" \"%1\"");
  ASSERT_TRUE(SetRequestVerb(L"http", false, L""));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"http\\shell", nullptr), L"");
  // A protocol without a "shell" key: not created, an error.
  EXPECT_FALSE(SetRequestVerb(L"qp-no-such-protocol", true, L"x.exe"));
  EXPECT_EQ(Text(HKEY_CLASSES_ROOT, L"qp-no-such-protocol\\shell", nullptr), L"(none)");
}

TEST(BrowserRegistry, TheContextMenuEntryNamesThePageAndItsContexts) {
  ASSERT_TRUE(AddContextMenuEntry(L"C:\\Quillpost"));
  const std::wstring key = L"Software\\Microsoft\\Internet Explorer\\MenuExt\\Заказать при помощи Quillpost";
  EXPECT_EQ(Text(HKEY_CURRENT_USER, key, nullptr), L"C:\\Quillpost\\getlink.htm");
  EXPECT_EQ(Text(HKEY_CURRENT_USER, key, L"contexts"), L"22");
}

}  // namespace
}  // namespace qp
