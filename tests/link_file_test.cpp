// "link.txt" as the link watcher takes it.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text_codec.h"
#include "capture/link_file.h"
#include "test_support.h"

namespace qp {
namespace {

TEST(LinkFile, TheFirstLineIsTakenAndTheFileIsGone) {
  test::TempDir dir;
  const std::string path = dir / "link.txt";
  EXPECT_FALSE(TakeLinkFile(path, *CodecByNumber(1251)).taken);  // nothing there yet
  test::WriteAll(dir / "link.txt", "http://example.com/\xF4\r\nhttp://example.com/second\r\n");
  TakenLink link = TakeLinkFile(path, *CodecByNumber(1251));
  EXPECT_TRUE(link.taken);
  EXPECT_EQ(link.first_line, "http://example.com/ф");
  EXPECT_FALSE(std::filesystem::exists(dir / "link.txt"));

  test::WriteAll(dir / "link.txt", "");  // an empty file: only deleted
  link = TakeLinkFile(path, *CodecByNumber(1251));
  EXPECT_TRUE(link.taken);
  EXPECT_EQ(link.first_line, "");
  EXPECT_FALSE(std::filesystem::exists(dir / "link.txt"));
}

}  // namespace
}  // namespace qp
