// Importing addresses into request list 2.
#include <gtest/gtest.h>

#include "request/request_lists.h"

namespace qp {
namespace {

TEST(ImportLinks, OneAddressPerAnchorLineFromTheFirstLineOn) {
  const std::string page =
      "<DT><A HREF=\"http://example.com/a\" ADD_DATE=\"1\">A</A>\r\n"
      "no address here\r\n"
      "<A HREF=\"ftp://ftp.example.org/pub/x.zip\">x</A>\r\n"
      "<A HREF=http://example.com/b target=\"_blank\">b</A>\n"
      "ftp://first.example/ then http://second.example/\r\n"
      "http://last.example/end";
  EXPECT_EQ(ImportLinks(page), (std::vector<std::string>{"http://example.com/a", "ftp://ftp.example.org/pub/x.zip", "http://example.com/b",
                                                         "http://second.example/", "http://last.example/end"}));
}

TEST(ImportLinks, TextWithoutAddressesYieldsNothing) {
  EXPECT_TRUE(ImportLinks("").empty());
  EXPECT_TRUE(ImportLinks("HTTP://UPPER.EXAMPLE/\r\nmailto:x@example.org\r\n").empty());
}

}  // namespace
}  // namespace qp
