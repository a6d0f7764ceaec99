// The clipboard monitor's scan of copied texts.
#include <gtest/gtest.h>

#include "capture/clipboard_scan.h"

namespace qp {
namespace {

std::optional<std::string> Scan(const std::string& text, const std::string& last = "", const std::string& line = "", bool decode = false) {
  return ScanClipboardText(text, last, line, decode, *CodecByNumber(1251));
}

TEST(ClipboardScan, AddressesAreCutOutOfTheirText) {
  EXPECT_EQ(Scan("see http://example.com/a b"), "http://example.com/a");
  EXPECT_EQ(Scan("www.example.com/page"), "http://www.example.com/page");
  EXPECT_EQ(Scan("ftp.example.org/pub/x.zip"), "ftp://ftp.example.org/pub/x.zip");
  EXPECT_EQ(Scan("http://one.example/\r\nhttp://two.example/"), "http://one.example/");
  EXPECT_EQ(Scan("http://one.example/x\nmore"), "http://one.example/");  // a bare LF takes a character too
  EXPECT_EQ(Scan("ftp://f.example/a http://h.example/b"), "ftp://f.example/a");
}

TEST(ClipboardScan, AnEncodedAddressInsideAnotherWinsAndCanBeDecoded) {
  const std::string text = "http://go.example/?u=http%3A%2F%2Fembedded.example%2Fp";
  EXPECT_EQ(Scan(text), "http%3A%2F%2Fembedded.example%2Fp");
  EXPECT_EQ(Scan(text, "", "", true), "http://embedded.example/p");
}

TEST(ClipboardScan, OtherTextsAreIgnored) {
  EXPECT_EQ(Scan("HTTP://UPPER.EXAMPLE/"), std::nullopt);
  EXPECT_EQ(Scan("mailto:someone@example.org"), std::nullopt);
  EXPECT_EQ(Scan("just words"), std::nullopt);
  EXPECT_EQ(Scan("http:no-slashes"), std::nullopt);
  EXPECT_EQ(Scan(""), std::nullopt);
}

TEST(ClipboardScan, TheSameAddressIsHandedOverOnce) {
  EXPECT_EQ(Scan("http://a.example/", "http://a.example/"), std::nullopt);
  EXPECT_EQ(Scan("http://a.example/", "", "http://a.example/"), std::nullopt);
  EXPECT_EQ(Scan("http://a.example/", "http://b.example/"), "http://a.example/");
}

TEST(ClipboardScan, CyrillicAroundAnAddressIsCutWholeCharacters) {
  EXPECT_EQ(Scan("ссылка http://пример.рф/страница\r\n"), "http://пример.рф/страница");
  EXPECT_EQ(Scan("http://пример.рф/ж\nдальше"), "http://пример.рф/");
}

}  // namespace
}  // namespace qp
