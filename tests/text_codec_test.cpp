// Code pages, UTF-8 helpers, case folding and the error log line.
#include <gtest/gtest.h>

#include "base/error_log.h"
#include "base/process.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "test_support.h"

namespace qp {
namespace {

TEST(CodePages, EveryByteOfEveryPageSurvivesARoundTrip) {
  for (int cp : {1251, 1252, kCodePageKoi8r}) {
    const TextCodec* codec = CodecByNumber(cp);
    ASSERT_NE(codec, nullptr);
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    EXPECT_EQ(codec->Encode(codec->Decode(all)), all) << cp;
  }
}

TEST(CodePages, CyrillicInEachPage) {
  EXPECT_EQ(CodecByNumber(1251)->Encode("Привет"), "\xCF\xF0\xE8\xE2\xE5\xF2");
  EXPECT_EQ(CodecByName("KOI8-R")->Encode("Привет"), "\xF0\xD2\xC9\xD7\xC5\xD4");
  EXPECT_EQ(CodecByNumber(1251)->Decode("\xA8\xB8"), "Ёё");
  EXPECT_EQ(CodecByNumber(1252)->Encode("Привет"), "??????");  // not in the page
  EXPECT_EQ(CodecByName("x-unknown"), nullptr);
}

TEST(Utf8, InvalidSequencesBecomeReplacementCharacters) {
  EXPECT_EQ(SanitizeUtf8("a\xFF"
                         "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(SanitizeUtf8("\xD0"), "\xEF\xBF\xBD");                  // cut short
  EXPECT_EQ(SanitizeUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong
  EXPECT_EQ(SanitizeUtf8("\xED\xA0\x80"), "\xEF\xBF\xBD");          // surrogate
  EXPECT_EQ(SanitizeUtf8("ок"), "ок");
}

TEST(Utf8, CountingAndCuttingWorkInCharactersNotBytes) {
  EXPECT_EQ(CountChars("Привет, world"), 13u);
  EXPECT_EQ(CutChars("Привет", 3), "При");
  EXPECT_EQ(CutChars("abc", 10), "abc");
  EXPECT_EQ(CutChars("", 0), "");
}

TEST(Utf8, CaseFoldingCoversLatinAndCyrillic) {
  EXPECT_TRUE(EqualsIgnoreCase("SETTINGS", "settings"));
  EXPECT_TRUE(EqualsIgnoreCase("ЁЖИК ЇЄІҐ", "ёжик їєіґ"));
  EXPECT_FALSE(EqualsIgnoreCase("Settings", "Setting"));
  EXPECT_FALSE(EqualsIgnoreCase("е", "ё"));
}

TEST(ErrorLog, LinesAreDateSpaceTimeColonMessageAndAppendOnePerCall) {
  EXPECT_EQ(FormatLogLine("09.12.2026", "5:43:18", "Error : x"), "09.12.2026 5:43:18 : Error : x\r\n");
  test::TempDir dir;
  SetWorkingFolder(dir.Path());
  SetClock([] { return Timestamp{"09.12.2026", "05:43:18"}; });
  SetSystemCodec(CodecByNumber(1251));
  LogError("MainFormCreate Error : нет файла");
  LogError("Error : second");
  EXPECT_EQ(test::ReadAll(dir / "log.txt"),
            "09.12.2026 05:43:18 : MainFormCreate Error : \xED\xE5\xF2 \xF4\xE0\xE9\xEB\xE0\r\n"
            "09.12.2026 05:43:18 : Error : second\r\n");
}

TEST(ErrorLog, AnUnwritableLogIsSilentlyIgnored) {
  test::TempDir dir;
  SetWorkingFolder(dir / "does-not-exist");
  LogError("lost");  // must neither throw nor crash
  EXPECT_FALSE(std::filesystem::exists(dir / "does-not-exist"));
}

}  // namespace
}  // namespace qp
