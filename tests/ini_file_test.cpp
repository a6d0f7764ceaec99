// The INI format of "settings.ini" and the language files, and the settings file on disk.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/ini_file.h"
#include "test_support.h"

namespace qp {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

TEST(IniFormat, ReadsSectionsAndKeysWithoutRegardToCase) {
  IniFile ini("[settings]\r\nTRANSP=150\r\n[Proxy]\r\nproxy=1\r\n");
  EXPECT_EQ(ini.ReadInteger("Settings", "Transp", 200), 150);
  EXPECT_TRUE(ini.ReadBool("PROXY", "Proxy", false));
  EXPECT_TRUE(ini.SectionExists("SETTINGS"));
}

TEST(IniFormat, CyrillicNamesMatchWithoutRegardToCase) {
  IniFile ini("[Раздел]\nКлюч=значение\n");
  EXPECT_EQ(ini.ReadString("РАЗДЕЛ", "ключ", "нет"), "значение");
}

TEST(IniFormat, LoadingTrimsSkipsCommentsAndLinesBeforeTheFirstSection) {
  IniFile ini("orphan=1\r\n  ; comment=2\r\n\t[ Settings ]  \r\n   Top =  12  \r\n\r\n;Left=5\r\n");
  EXPECT_FALSE(ini.ValueExists("Settings", "orphan"));
  EXPECT_FALSE(ini.ValueExists("Settings", "Left"));
  EXPECT_FALSE(ini.ValueExists("Settings", "; comment"));
  EXPECT_EQ(ini.ReadInteger("Settings", "Top", 0), 12);
  EXPECT_EQ(ini.Sections().at(0).name, "Settings");
}

TEST(IniFormat, EmptyValueExistsAndIsNotReplacedByTheDefault) {
  IniFile ini("[Emails]\r\nSize1=\r\n");
  EXPECT_TRUE(ini.ValueExists("Emails", "Size1"));
  EXPECT_EQ(ini.ReadString("Emails", "Size1", "500"), "");
  EXPECT_EQ(ini.ReadString("Emails", "Size2", "500"), "500");
  EXPECT_EQ(ini.ReadString("Missing", "Size1", "500"), "500");
}

TEST(IniFormat, ValueIsEverythingAfterTheFirstEquals) {
  IniFile ini("[S]\r\nurl=http://a/?x=1&y=2\r\n");
  EXPECT_EQ(ini.ReadString("S", "url", ""), "http://a/?x=1&y=2");
}

TEST(IniFormat, EntryWithoutEqualsStaysInItsSectionAndIsWrittenBack) {
  IniFile ini("[S]\r\njust some text\r\nkey=v\r\n");
  EXPECT_FALSE(ini.ValueExists("S", "key2"));
  EXPECT_EQ(ini.Sections()[0].entries.size(), 2u);
  EXPECT_EQ(ini.Serialize(), "[S]\r\njust some text\r\nkey=v\r\n\r\n");
}

TEST(IniFormat, IntegersInEveryAcceptedForm) {
  IniFile ini(
      "[S]\nhex0x=0x20\nhexUpper0X=0X20\nhexDollar=$1f\nhexLowerX=x10\nhexUpperX=X10\nneg=-15\nplus=+7\nyes=yes\nempty=\n"
      "big=2147483648\nmin=-2147483648\nallbits=$FFFFFFFF\ntoolong=$100000000\ntrailing=12abc\nspace=1 2\nsignonly=-\n");
  EXPECT_EQ(ini.ReadInteger("S", "hex0x", 0), 32);
  EXPECT_EQ(ini.ReadInteger("S", "hexUpper0X", 0), 32);
  EXPECT_EQ(ini.ReadInteger("S", "hexDollar", 0), 31);
  EXPECT_EQ(ini.ReadInteger("S", "hexLowerX", 0), 16);
  EXPECT_EQ(ini.ReadInteger("S", "hexUpperX", 0), 16);
  EXPECT_EQ(ini.ReadInteger("S", "neg", 0), -15);
  EXPECT_EQ(ini.ReadInteger("S", "plus", 0), 7);
  EXPECT_EQ(ini.ReadInteger("S", "min", 0), INT32_MIN);
  EXPECT_EQ(ini.ReadInteger("S", "allbits", 0), -1);
  for (const char* bad : {"yes", "empty", "big", "toolong", "trailing", "space", "signonly"}) {
    EXPECT_EQ(ini.ReadInteger("S", bad, 77), 77) << bad;
  }
}

TEST(IniFormat, BooleansAreIntegers) {
  IniFile ini("[Settings]\nOn_top=yes\nA=2\nB=0\nC=0x1\n");
  EXPECT_FALSE(ini.ReadBool("Settings", "On_top", false));
  EXPECT_TRUE(ini.ReadBool("Settings", "On_top", true));  // not an integer: the default
  EXPECT_TRUE(ini.ReadBool("Settings", "A", false));
  EXPECT_FALSE(ini.ReadBool("Settings", "B", true));
  EXPECT_TRUE(ini.ReadBool("Settings", "C", false));
}

TEST(IniFormat, WritingReplacesInPlaceWithTheWritersCaseAndAppendsNewOnes) {
  IniFile ini("[settings]\r\ntransp=10\r\nOther=x\r\n[SMTP]\r\nSMTP1=a\r\n");
  ini.WriteInteger("Settings", "Transp", 20);
  ini.WriteBool("Settings", "Proxy", true);
  ini.WriteString("Emails", "EM1", "me@example.org");
  EXPECT_EQ(ini.Serialize(),
            "[settings]\r\nTransp=20\r\nOther=x\r\nProxy=1\r\n\r\n"
            "[SMTP]\r\nSMTP1=a\r\n\r\n"
            "[Emails]\r\nEM1=me@example.org\r\n\r\n");
}

TEST(IniFormat, CommentsAreDroppedButUnknownKeysSurviveAWrite) {
  IniFile ini("; my notes\r\n[Settings]\r\n; keep me?\r\nMyOwnKey=42\r\n");
  ini.WriteInteger("Settings", "C1", 3);
  EXPECT_EQ(ini.Serialize(), "[Settings]\r\nMyOwnKey=42\r\nC1=3\r\n\r\n");
}

TEST(IniFormat, RepeatedSectionsMergeAndTheFirstOfTwoKeysWins) {
  IniFile ini("[A]\nk=1\n[B]\nx=0\n[a]\nk=2\nj=3\n");
  EXPECT_EQ(ini.ReadInteger("A", "k", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "j", 0), 3);
  ini.WriteInteger("A", "K", 9);
  EXPECT_EQ(ini.Serialize(), "[A]\r\nK=9\r\nk=2\r\nj=3\r\n\r\n[B]\r\nx=0\r\n\r\n");
}

TEST(IniFormat, WrittenLineBreaksCannotSplitAnEntry) {
  IniFile ini;
  ini.WriteString("S", "k", "one\r\n[Injected]\r\nx=1");
  IniFile again(ini.Serialize());
  EXPECT_FALSE(again.SectionExists("Injected"));
  EXPECT_EQ(again.ReadString("S", "k", ""), "one  [Injected]  x=1");
}

TEST(IniFormat, AnyLineEndIsALineEnd) {
  IniFile ini("[S]\ra=1\nb=2\r\nc=3");
  EXPECT_EQ(ini.ReadInteger("S", "a", 0), 1);
  EXPECT_EQ(ini.ReadInteger("S", "b", 0), 2);
  EXPECT_EQ(ini.ReadInteger("S", "c", 0), 3);
}

TEST(IniFormat, GarbageGivesDefaultsNeverACrash) {
  std::string garbage;
  for (int i = 0; i < 200000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  IniFile ini(SanitizeUtf8(garbage));
  EXPECT_EQ(ini.ReadInteger("Settings", "C1", 5), 5);

  std::string huge_line = "[Settings]\r\nTop=" + std::string(10 << 20, '9') + "\r\nLeft=7\r\n";
  IniFile big(huge_line);
  EXPECT_EQ(big.ReadInteger("Settings", "Top", 0), 0);
  EXPECT_EQ(big.ReadInteger("Settings", "Left", 0), 7);

  IniFile no_sections("Top=5\r\nLeft=6\r\n");
  EXPECT_TRUE(no_sections.Sections().empty());
  IniFile brackets("[\r\n]\r\n[]\r\n=\r\n[[x]]\r\n");
  EXPECT_TRUE(brackets.SectionExists(""));
  EXPECT_TRUE(brackets.SectionExists("[x]"));
}

TEST(SettingsFileOnDisk, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt) {
  TempDir dir;
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1251));
  EXPECT_EQ(settings.ReadInteger("Settings", "C1", 0), 0);
  EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini"));
  settings.WriteInteger("Emails", "Active", 1);
  ASSERT_TRUE(settings.UpdateFile());
  EXPECT_EQ(ReadAll(dir / "settings.ini"), "[Emails]\r\nActive=1\r\n\r\n");
}

TEST(SettingsFileOnDisk, CyrillicIsStoredInTheSystemCodePageAndReadBack) {
  TempDir dir;
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1251));
  settings.WriteString("Emails", "DSP1", "Выбор в меню");
  ASSERT_TRUE(settings.UpdateFile());
  EXPECT_EQ(ReadAll(dir / "settings.ini"), "[Emails]\r\nDSP1=\xC2\xFB\xE1\xEE\xF0 \xE2 \xEC\xE5\xED\xFE\r\n\r\n");
  SettingsFile again(dir / "settings.ini", *CodecByNumber(1251));
  EXPECT_EQ(again.ReadString("Emails", "DSP1", ""), "Выбор в меню");
}

TEST(SettingsFileOnDisk, Utf8FileWithByteOrderMarkIsWrittenBackAsUtf8) {
  TempDir dir;
  WriteAll(dir / "settings.ini", "\xEF\xBB\xBF[Emails]\r\nDSP1=Привет\r\n");
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1252));
  EXPECT_EQ(settings.ReadString("Emails", "DSP1", ""), "Привет");
  settings.WriteString("Emails", "DSP2", "Пока");
  ASSERT_TRUE(settings.UpdateFile());
  EXPECT_EQ(ReadAll(dir / "settings.ini"), "\xEF\xBB\xBF[Emails]\r\nDSP1=Привет\r\nDSP2=Пока\r\n\r\n");
}

TEST(SettingsFileOnDisk, ReloadDiscardsUnwrittenChanges) {
  TempDir dir;
  WriteAll(dir / "settings.ini", "[Settings]\r\nC1=4\r\n");
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1252));
  settings.WriteBool("Settings", "Autoloadlist", true);
  WriteAll(dir / "settings.ini", "[Settings]\r\nC1=5\r\n");  // another writer flushed meanwhile
  settings.Reload();
  EXPECT_FALSE(settings.ValueExists("Settings", "Autoloadlist"));
  EXPECT_EQ(settings.ReadInteger("Settings", "C1", 0), 5);
}

TEST(SettingsFileOnDisk, AFailedWriteKeepsTheOldFileWholeAndLeavesNoTemporaryFile) {
  TempDir dir;
  WriteAll(dir / "settings.ini", "[Settings]\r\nC1=4\r\n");
  std::filesystem::create_directory(dir / "settings.ini.tmp");  // the temporary file cannot be made
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1252));
  settings.WriteInteger("Settings", "C1", 5);
  EXPECT_FALSE(settings.UpdateFile());
  EXPECT_EQ(ReadAll(dir / "settings.ini"), "[Settings]\r\nC1=4\r\n");
  std::filesystem::remove(dir / "settings.ini.tmp");
  EXPECT_TRUE(settings.UpdateFile());
  EXPECT_EQ(ReadAll(dir / "settings.ini"), "[Settings]\r\nC1=5\r\n\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini.tmp"));
}

TEST(SettingsFileOnDisk, BinaryGarbageAndInvalidBytesGiveDefaults) {
  TempDir dir;
  std::string garbage;
  for (int i = 0; i < 65536; ++i) garbage.push_back(static_cast<char>(i * 131));
  WriteAll(dir / "settings.ini", garbage);
  SettingsFile settings(dir / "settings.ini", *CodecByNumber(1251));
  EXPECT_EQ(settings.ReadInteger("Settings", "C1", 0), 0);
  WriteAll(dir / "settings.ini", "\xEF\xBB\xBF[Settings]\r\nC1=\xFF\xFE\r\nC2=3\r\n");
  settings.Reload();
  EXPECT_EQ(settings.ReadInteger("Settings", "C1", 9), 9);
  EXPECT_EQ(settings.ReadInteger("Settings", "C2", 0), 3);
}

// A rewrite can take away what told the encoding (a dropped comment, a replaced value); the
// file must still read back in the encoding it was written in, with the same text.
TEST(SettingsFileOnDisk, ARewriteKeepsTheEncodingTheFileWasReadIn) {
  const std::pair<std::string, TextEncoding> cases[] = {
      {"[]\r;\xF3\r\xD7\xBD", TextEncoding::CodePage},  // what is left, "\xD7\xBD", is valid UTF-8
      {"[Settings]\r\nC1=\xFF\r\nName=\xD0\x9F\r\n", TextEncoding::CodePage},
      {"[Settings]\r\nC1=Пуск\r\n", TextEncoding::Utf8},  // what is left is plain ASCII
  };
  for (const auto& [bytes, encoding] : cases) {
    SCOPED_TRACE(bytes);
    TempDir dir;
    WriteAll(dir / "settings.ini", bytes);
    SettingsFile settings(dir / "settings.ini", *CodecByNumber(1251));
    settings.WriteString("Settings", "C1", "1");
    ASSERT_TRUE(settings.UpdateFile());
    EXPECT_EQ(DecodeFileText(ReadAll(dir / "settings.ini"), *CodecByNumber(1251)).encoding, encoding);
    EXPECT_EQ(SettingsFile(dir / "settings.ini", *CodecByNumber(1251)).Serialize(), settings.Serialize());
  }
}

}  // namespace
}  // namespace qp
