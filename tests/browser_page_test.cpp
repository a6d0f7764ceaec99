// What the DDE grab asks and takes.
#include <gtest/gtest.h>

#include "capture/browser_page.h"

namespace qp {
namespace {

TEST(BrowserPage, TheServiceFollowsTheBrowserSetting) {
  EXPECT_EQ(BrowserDdeService("Internet Explorer"), "iexplore");
  EXPECT_EQ(BrowserDdeService("Netscape Navigator"), "netscape");
  EXPECT_EQ(BrowserDdeService("firefox"), "firefox");
  EXPECT_EQ(BrowserDdeService("Opera"), "Opera");
}

TEST(BrowserPage, TheAddressIsTheFirstQuotedText) {
  EXPECT_EQ(AddressFromWindowInfo("\"http://example.com/page\",\"A page\",\"\""), "http://example.com/page");
  EXPECT_EQ(AddressFromWindowInfo("no quotes"), "");
  EXPECT_EQ(AddressFromWindowInfo("\"unclosed"), "");
  EXPECT_EQ(AddressFromWindowInfo("\"" + std::string(254, 'a') + "\""), std::string(254, 'a'));
  EXPECT_EQ(AddressFromWindowInfo("\"" + std::string(255, 'a') + "\""), "");  // the close is past the 255 looked at
  EXPECT_EQ(AddressFromWindowInfo(""), "");
}

}  // namespace
}  // namespace qp
