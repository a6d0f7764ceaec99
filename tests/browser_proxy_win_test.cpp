// The browser's proxy values in this Wine prefix's registry: read, pointed here, switched
// off, put back.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "capture/browser_proxy_win.h"
#include "ui/text_win.h"

namespace qp {
namespace {

constexpr wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

class BrowserProxyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr), ERROR_SUCCESS);
    before_ = ReadBrowserProxy();
  }
  void TearDown() override {
    RestoreBrowserProxy(before_);
    RegCloseKey(key_);
  }
  void SetServer(const std::wstring& text) {
    RegSetValueExW(key_, L"ProxyServer", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  void SetEnable(DWORD flag) { RegSetValueExW(key_, L"ProxyEnable", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&flag), sizeof flag); }

  HKEY key_ = nullptr;
  BrowserProxy before_;
};

TEST_F(BrowserProxyTest, PointingHereAndRestoringGiveBackExactlyWhatWasThere) {
  SetServer(L"proxy.example:3128");
  SetEnable(1);
  const BrowserProxy saved = ReadBrowserProxy();
  EXPECT_EQ(saved.server, "proxy.example:3128");
  EXPECT_TRUE(saved.enabled);

  ASSERT_TRUE(PointBrowserAtProxy("8088"));
  EXPECT_EQ(ReadBrowserProxy().server, "127.0.0.1:8088");

  ASSERT_TRUE(RestoreBrowserProxy(saved));
  const BrowserProxy back = ReadBrowserProxy();
  EXPECT_EQ(back.server, "proxy.example:3128");
  EXPECT_TRUE(back.enabled);
}

TEST_F(BrowserProxyTest, AnEmptyServerAndAnOffSwitchArePutBackAsSuch) {
  SetServer(L"");
  SetEnable(0);
  const BrowserProxy saved = ReadBrowserProxy();
  ASSERT_TRUE(PointBrowserAtProxy("8080"));
  EXPECT_TRUE(ReadBrowserProxy().enabled);
  ASSERT_TRUE(RestoreBrowserProxy(saved));
  const BrowserProxy back = ReadBrowserProxy();
  EXPECT_EQ(back.server, "");
  EXPECT_FALSE(back.enabled);
}

TEST_F(BrowserProxyTest, ALongServerValueIsSavedCutTo255Characters) {
  // Longer than any fixed buffer a reader might use, and Cyrillic to count characters.
  std::wstring text(2000, L'я');
  SetServer(text);
  const BrowserProxy saved = ReadBrowserProxy();
  EXPECT_EQ(ui::Widen(saved.server), text.substr(0, 255));
}

TEST_F(BrowserProxyTest, SwitchingOffChangesOnlyTheEnableFlag) {
  SetServer(L"127.0.0.1:8088");
  SetEnable(1);
  ASSERT_TRUE(DisableBrowserProxy());
  const BrowserProxy now = ReadBrowserProxy();
  EXPECT_EQ(now.server, "127.0.0.1:8088");
  EXPECT_FALSE(now.enabled);
}

}  // namespace
}  // namespace qp
