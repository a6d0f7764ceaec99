// The local proxy's reading of browser requests.
#include <gtest/gtest.h>

#include "capture/proxy_request.h"

namespace qp {
namespace {

TEST(ProxyRequest, TheAddressIsTheRequestLineWithoutMethodAndVersion) {
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/a HTTP/1.1\r\nHost: example.com\r\n\r\n"), "http://example.com/a");
  EXPECT_EQ(ProxyRequestAddress("GET http://пример.рф/ HTTP/1.0\r\n\r\n"), "http://пример.рф/");
}

TEST(ProxyRequest, NoLineEndOrAShortLineGivesNoAddress) {
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/a HTTP/1.1"), "");
  EXPECT_EQ(ProxyRequestAddress("GET / HTTP/1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress(""), "");
  EXPECT_EQ(ProxyRequestAddress("\r\n"), "");
}

TEST(ProxyRequest, TheReplyCarriesTheAddress) {
  EXPECT_EQ(ProxyReplyText("Запрос %s отправлен программе Quillpost.", "http://a/"), "Запрос http://a/ отправлен программе Quillpost.");
  EXPECT_EQ(ProxyReplyText("no mark", "http://a/"), "no mark");
}

}  // namespace
}  // namespace qp
