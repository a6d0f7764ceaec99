// The system code page, date formats and file replacement as Windows provides them.
#include <windows.h>
#include <gtest/gtest.h>

#include "app/system_win.h"
#include "base/error_log.h"
#include "base/file_io.h"
#include "base/process.h"
#include "base/working_folder.h"
#include "test_support.h"
#include "ui/text_win.h"

namespace qp {
namespace {

TEST(SystemCodePage, AgreesWithTheBuiltInTableOfTheSamePage) {
  ui::SystemCodePageCodec system;
  const TextCodec* table = CodecByNumber(system.Number());
  if (!table) GTEST_SKIP() << "no built-in table for code page " << system.Number();
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(system.Decode(all), table->Decode(all));
  EXPECT_EQ(system.Encode("Привет, Ёжик €"), table->Encode("Привет, Ёжик €"));
}

TEST(SystemCodePage, CyrillicSurvivesOnARussianSystemAndBecomesQuestionMarksElsewhere) {
  ui::SystemCodePageCodec system;
  std::string bytes = system.Encode("Пример");
  if (system.Number() == 1251) {
    EXPECT_EQ(bytes, "\xCF\xF0\xE8\xEC\xE5\xF0");
    EXPECT_EQ(system.Decode(bytes), "Пример");
  } else {
    EXPECT_EQ(bytes.find_first_not_of('?'), std::string::npos) << system.Number();
  }
}

TEST(WindowsFiles, AtomicWriteReplacesAnExistingFile) {
  test::TempDir dir;
  test::WriteAll(dir / "settings.ini", "old content that is longer");
  ASSERT_TRUE(WriteFileAtomically(dir / "settings.ini", "new"));
  EXPECT_EQ(test::ReadAll(dir / "settings.ini"), "new");
  EXPECT_FALSE(std::filesystem::exists(dir / "settings.ini.tmp"));
}

TEST(WindowsFiles, CyrillicFileNamesWork) {
  test::TempDir dir;
  ASSERT_TRUE(WriteFileAtomically(dir / "Папка.ini", "x"));
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / std::filesystem::path(L"\x041F\x0430\x043F\x043A\x0430.ini")));
  EXPECT_EQ(ReadFileBytes(dir / "Папка.ini"), "x");
}

TEST(WindowsErrorLog, LineStartsWithTheSystemShortDateAndLongTime) {
  test::TempDir dir;
  SetWorkingFolder(dir.Path());
  InstallSystemServices();
  Timestamp before = SystemTimestamp();
  LogError("Error : probe");
  std::string line = SystemCodec().Decode(test::ReadAll(dir / "log.txt"));
  EXPECT_EQ(line.rfind(before.date + " ", 0), 0u) << line;
  EXPECT_NE(line.find(" : Error : probe\r\n"), std::string::npos) << line;
  wchar_t expected[80] = {};
  GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, expected, 80);
  EXPECT_EQ(before.date, ui::Narrow(expected));
}

}  // namespace
}  // namespace qp
