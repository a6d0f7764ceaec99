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

TEST(ProxyRequest, OnlyAPageRequestGivesAnAddress) {
  // Another line smuggled in with a bare line feed would reach the letter.
  EXPECT_EQ(ProxyRequestAddress("GET http://held.out/a\nsend http://evil.example/ HTTP/1.0\r\n\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("POST http://example.com/form HTTP/1.1\r\n\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("CONNECT update.example.com:443 HTTP/1.1\r\n\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/a b HTTP/1.1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET  http://example.com/ HTTP/1.1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/\t HTTP/1.1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/\x7f HTTP/1.1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/\xff\xfe HTTP/1.1\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/ HTTP/2.0\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET http://example.com/ HTTP/1.x\r\n"), "");
  EXPECT_EQ(ProxyRequestAddress("GET ftp://ftp.example.org/pub/ HTTP/1.0\r\n"), "ftp://ftp.example.org/pub/");
}

TEST(ProxyRequest, TheReplyCarriesTheAddress) {
  EXPECT_EQ(ProxyReplyText("Запрос %s отправлен программе Quillpost.", "http://a/"), "Запрос http://a/ отправлен программе Quillpost.");
  EXPECT_EQ(ProxyReplyText("no mark", "http://a/"), "no mark");
}

}  // namespace
}  // namespace qp
