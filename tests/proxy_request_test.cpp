// The local proxy's reading of browser requests.
#include <gtest/gtest.h>

#include "base/text_codec.h"
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

// A code page with no charset name a browser knows.
class UnnamedCodec final : public TextCodec {
 public:
  int Number() const override { return 54936; }
  std::string Decode(std::string_view bytes) const override { return std::string(bytes); }
  std::string Encode(std::string_view) const override { return "?"; }
};

// Markup in a crafted address must stay text: the browser is told the reply is plain text,
// in the character set its bytes are in, and not to guess otherwise.
TEST(ProxyRequest, TheReplyIsPlainTextInItsCharacterSetThatNoBrowserMaySniff) {
  const std::string text = ProxyReplyText("Запрос %s отправлен программе Quillpost.", "http://x/<script>alert(1)</script>");
  const UnnamedCodec unnamed;
  const struct {
    const TextCodec& codec;
    std::string charset, body;
  } cases[] = {{*CodecByNumber(1251), "windows-1251", CodecByNumber(1251)->Encode(text)},
               {*CodecByNumber(kCodePageKoi8r), "koi8-r", CodecByNumber(kCodePageKoi8r)->Encode(text)},
               {unnamed, "utf-8", text}};
  for (const auto& c : cases) {
    EXPECT_EQ(ProxyReply(text, false, c.codec), "HTTP/1.0 200 OK\r\nContent-Type: text/plain; charset=" + c.charset +
                                                    "\r\nX-Content-Type-Options: nosniff\r\nContent-Length: " +
                                                    std::to_string(c.body.size()) + "\r\nConnection: close\r\n\r\n" + c.body);
  }
  const std::string refused = ProxyReply("Запрос не принят.", true, *CodecByNumber(1251));
  EXPECT_TRUE(refused.starts_with("HTTP/1.0 403 Forbidden\r\nContent-Type: text/plain; charset=windows-1251\r\n")) << refused;
  EXPECT_TRUE(refused.ends_with("\r\n\r\n" + CodecByNumber(1251)->Encode("Запрос не принят."))) << refused;
}

}  // namespace
}  // namespace qp
