// Text files as people save them: the code page, UTF-8 with and without its mark, UTF-16
// from Notepad's "Unicode"; each read right and written back the way it came, and a file
// that could not be read whole never rewritten from the part that was.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/ini_file.h"
#include "base/process.h"
#include "base/working_folder.h"
#include "organize/history.h"
#include "test_support.h"

namespace qp {
namespace {

const TextCodec& Cp1251() { return *CodecByNumber(1251); }

std::string Utf16Le(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(FileText, EachEncodingIsToldByItsMarkOrItsBytes) {
  EXPECT_EQ(DecodeFileText("\xEF\xBB\xBFимя", Cp1251()).encoding, TextEncoding::Utf8Bom);
  EXPECT_EQ(DecodeFileText(Utf16Le(u"имя"), Cp1251()).utf8, "имя");
  EXPECT_EQ(DecodeFileText(Utf16Le(u"имя"), Cp1251()).encoding, TextEncoding::Utf16Le);
  EXPECT_EQ(DecodeFileText(std::string("\xFE\xFF\x04\x38\x00\x41", 6), Cp1251()).utf8, "иA");
  // Notepad's UTF-8 without a mark: valid UTF-8 with Cyrillic in it.
  const FileText plain = DecodeFileText("0=комментарий\r\n", Cp1251());
  EXPECT_EQ(plain.encoding, TextEncoding::Utf8);
  EXPECT_EQ(plain.utf8, "0=комментарий\r\n");
  // The same word in code page 1251 is no UTF-8 at all, and plain ASCII is the code page's.
  const FileText cp = DecodeFileText("0=\xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xE9\r\n", Cp1251());
  EXPECT_EQ(cp.encoding, TextEncoding::CodePage);
  EXPECT_EQ(cp.utf8, "0=комментарий\r\n");
  EXPECT_EQ(DecodeFileText("plain", Cp1251()).encoding, TextEncoding::CodePage);
  // Valid UTF-8 at first and a code-page byte later: the whole text decides.
  EXPECT_EQ(DecodeFileText("имя=\xEA\r\n", Cp1251()).encoding, TextEncoding::CodePage);
}

TEST(FileText, EveryEncodingWritesBackWhatItRead) {
  for (TextEncoding encoding :
       {TextEncoding::CodePage, TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be}) {
    const std::string bytes = EncodeFileText("[Emails]\r\nEM1=почта@example.org\r\n", encoding, Cp1251());
    const FileText back = DecodeFileText(bytes, Cp1251());
    EXPECT_EQ(back.encoding, encoding) << static_cast<int>(encoding);
    EXPECT_EQ(back.utf8, "[Emails]\r\nEM1=почта@example.org\r\n") << static_cast<int>(encoding);
  }
  EXPECT_EQ(EncodeText("я", TextEncoding::Utf16Le, Cp1251()), std::string("\x4F\x04", 2));  // no mark inside a file
}

class TextFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(dir.Path());
    SetSystemCodec(&Cp1251());
  }
  test::TempDir dir;
};

TEST_F(TextFiles, AUtf16SettingsFileKeepsEveryEntryAndItsEncodingThroughAWrite) {
  const std::string path = dir / "settings.ini";
  test::WriteAll(dir / "settings.ini", Utf16Le(u"[Emails]\r\nEM1=я@example.org\r\nDSP1=пароль\r\n[SMTP]\r\nPass1=секрет\r\n"));
  SettingsFile settings(path, Cp1251());
  EXPECT_EQ(settings.ReadString("SMTP", "Pass1", ""), "секрет");
  settings.WriteInteger("Settings", "C1", 2);
  ASSERT_TRUE(settings.UpdateFile());
  const FileText written = DecodeFileText(test::ReadAll(dir / "settings.ini"), Cp1251());
  EXPECT_EQ(written.encoding, TextEncoding::Utf16Le);
  EXPECT_EQ(written.utf8, "[Emails]\r\nEM1=я@example.org\r\nDSP1=пароль\r\n\r\n[SMTP]\r\nPass1=секрет\r\n\r\n[Settings]\r\nC1=2\r\n\r\n");
}

TEST_F(TextFiles, AFileThatCannotBeReadWholeIsNeverRewrittenFromWhatWasRead) {
  // Beyond the read limit: only a part was read.
  const std::string long_file = dir / "list.txt";
  test::WriteAll(dir / "list.txt", "0123456789abcdefghij");
  const TextFileState part = ReadTextFile(long_file, Cp1251(), 10);
  EXPECT_TRUE(part.exists);
  EXPECT_FALSE(part.whole);
  EXPECT_TRUE(ReadTextFile(long_file, Cp1251(), 20).whole);
  // There, but not readable at all (here: a folder of that name).
  std::filesystem::create_directory(dir / "settings.ini");
  SettingsFile settings(dir / "settings.ini", Cp1251());
  settings.WriteInteger("Settings", "C1", 1);
  EXPECT_FALSE(settings.UpdateFile());
  EXPECT_FALSE(RewriteTextFile(dir / "settings.ini", "x", Cp1251()));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "settings.ini"));
  EXPECT_NE(test::ReadAll(dir / "log.txt").find("could not be read whole"), std::string::npos);
  // A missing file is simply written.
  EXPECT_TRUE(RewriteTextFile(dir / "new.txt", "x", Cp1251()));
}

TEST_F(TextFiles, HistoryLinesAreAppendedInTheEncodingTheFileHas) {
  const HistoryRecord record{"без комментария", "http://пример.рф/", "10.12.2026", "s@example.net", "Страница", "u@example.org", {}};
  test::WriteAll(dir / "history.log", Utf16Le(u"\"a\";\"b\"\r\n"));
  ASSERT_TRUE(AppendHistoryLine(record));
  FileText text = DecodeFileText(test::ReadAll(dir / "history.log"), Cp1251());
  EXPECT_EQ(text.encoding, TextEncoding::Utf16Le);
  EXPECT_EQ(text.utf8, "\"a\";\"b\"\r\n" + FormatHistoryLine(record));

  test::WriteAll(dir / "history.log", "\"старая\";\"запись\"");  // UTF-8, no mark, the last line open
  ASSERT_TRUE(AppendHistoryLine(record));
  text = DecodeFileText(test::ReadAll(dir / "history.log"), Cp1251());
  EXPECT_EQ(text.encoding, TextEncoding::Utf8);
  EXPECT_EQ(text.utf8, "\"старая\";\"запись\"\r\n" + FormatHistoryLine(record));
}

// The Cyrillic that tells the encoding may come only after a long ASCII beginning, and its
// character may straddle the pieces the file is judged in.
TEST_F(TextFiles, AHistoryAppendJudgesTheEncodingFromTheWholeFile) {
  const HistoryRecord record{"", "http://пример.рф/", "10.12.2026", "s@example.net", "Страница", "u@example.org", {}};
  const std::string ascii = "\"" + std::string(128 * 1024 - 3, 'a') + "\"";  // "я" begins one byte before 128 KiB
  for (const auto& [old_text, encoding] : {std::pair{ascii + "я\r\n", TextEncoding::Utf8}, {ascii + "\xFF\r\n", TextEncoding::CodePage}}) {
    test::WriteAll(dir / "history.log", old_text);
    ASSERT_TRUE(AppendHistoryLine(record));
    const FileText text = DecodeFileText(test::ReadAll(dir / "history.log"), Cp1251());
    EXPECT_EQ(text.encoding, encoding);
    EXPECT_EQ(text.utf8, DecodeFileText(old_text, Cp1251()).utf8 + FormatHistoryLine(record));
  }
}

TEST_F(TextFiles, InputHistoryKeepsAUtf8FileUtf8) {
  test::WriteAll(dir / "recent.cfg", "http://пример.рф/\r\n");
  ASSERT_TRUE(SaveInputHistory({"новый", "http://пример.рф/"}));
  EXPECT_EQ(test::ReadAll(dir / "recent.cfg"), "новый\r\nhttp://пример.рф/\r\n");
}

}  // namespace
}  // namespace qp
