// The request history "history.log" and the input history "recent.cfg".
#include <gtest/gtest.h>

#include <chrono>

#include "base/process.h"
#include "base/text_codec.h"
#include "base/working_folder.h"
#include "organize/history.h"
#include "request/compose.h"
#include "test_support.h"

namespace qp {
namespace {

using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// The files live in a scratch working folder; the system is Russian unless a test says.
class HistoryFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    SetWorkingFolder(dir_.Path());
    SetSystemCodec(CodecByNumber(1251));
  }
  std::string File(const std::string& name) const { return ReadAll(dir_ / name); }
  void Put(const std::string& name, const std::string& bytes) const { WriteAll(dir_ / name, bytes); }

  TempDir dir_;
};

HistoryRecord Letter(std::string comment, std::string request, std::string time = "09.12.2026 5:43:18") {
  return {std::move(comment), std::move(request), std::move(time), "www4mail@example.org", "Страница", "me@example.net", {}};
}

// ---- Writing ----

TEST_F(HistoryFiles, AppendWritesSixQuotedFieldsInTheSystemCodePageOneLinePerCall) {
  RequestText text = SeparateComment("host/file.zip|backup");
  AppendHistoryLine({text.comment, text.request, "09.12.2026 5:43:18", "ftp2mail@example.org", "", "я@example.net", {}});
  AppendHistoryLine(Letter("Нет комментария", "http://example.com/"));
  EXPECT_EQ(File("history.log"),
            "\"backup\";\"host/file.zip\";\"09.12.2026 5:43:18\";\"ftp2mail@example.org\";\"\";\"\xFF@example.net\"\r\n"
            "\"\xCD\xE5\xF2 \xEA\xEE\xEC\xEC\xE5\xED\xF2\xE0\xF0\xE8\xFF\";\"http://example.com/\";\"09.12.2026 5:43:18\";"
            "\"www4mail@example.org\";\"\xD1\xF2\xF0\xE0\xED\xE8\xF6\xE0\";\"me@example.net\"\r\n");
}

TEST_F(HistoryFiles, QuotesAreDoubledAndLineBreaksCannotSplitARecord) {
  HistoryRecord quoted = Letter("say \"hi\";now", "\"");
  EXPECT_EQ(FormatHistoryLine(quoted).substr(0, 25), "\"say \"\"hi\"\";now\";\"\"\"\";\"09");
  AppendHistoryLine(quoted);
  AppendHistoryLine(Letter("two\r\nlines\rand\nmore", "x"));
  std::optional<std::vector<HistoryRecord>> back = LoadHistory();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), 2u);
  EXPECT_EQ((*back)[0], quoted);
  EXPECT_EQ((*back)[1].comment, "two lines and more");
  EXPECT_EQ((*back)[1].request, "x");
}

TEST_F(HistoryFiles, AnUnfinishedLastLineDoesNotSwallowTheNextLetter) {
  Put("history.log", "\"cut short\";\"http://a/");  // a crash in the middle of a write
  AppendHistoryLine(Letter("c", "http://b/"));
  std::vector<HistoryRecord> rows = *LoadHistory();
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].request, "http://a/");
  EXPECT_EQ(rows[1], Letter("c", "http://b/"));
}

TEST_F(HistoryFiles, AFileBeginningWithAUtf8MarkIsAppendedToAndRewrittenInUtf8) {
  Put("history.log", "\xEF\xBB\xBF");
  AppendHistoryLine(Letter("ж", "r"));
  std::string bytes = File("history.log");
  EXPECT_EQ(bytes.substr(0, 9), "\xEF\xBB\xBF\"\xD0\xB6\";\"");  // no blank line after the mark
  std::vector<HistoryRecord> rows = *LoadHistory();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].comment, "ж");
  rows.push_back(Letter("中", "r2"));  // a character code page 1251 does not have
  ASSERT_TRUE(SaveHistory(rows));
  EXPECT_EQ(*LoadHistory(), rows);
}

TEST_F(HistoryFiles, RewriteReplacesTheFileAndClearLeavesItEmpty) {
  EXPECT_FALSE(LoadHistory());  // missing: the window keeps what it shows
  std::vector<HistoryRecord> rows = {Letter("a", "1"), Letter("б", "2", "10.12.2026")};
  ASSERT_TRUE(SaveHistory(rows));
  EXPECT_EQ(File("history.log"), SystemCodec().Encode(FormatHistoryText(rows)));
  EXPECT_EQ(*LoadHistory(), rows);
  ASSERT_TRUE(SaveHistory({}));
  EXPECT_EQ(File("history.log"), "");
  ASSERT_TRUE(LoadHistory());
  EXPECT_TRUE(LoadHistory()->empty());
  AppendHistoryLine(Letter("a", "1"));
  ASSERT_TRUE(ClearHistory());
  ASSERT_TRUE(std::filesystem::exists(dir_ / "history.log"));
  EXPECT_EQ(std::filesystem::file_size(dir_ / "history.log"), 0u);
}

TEST_F(HistoryFiles, AnUnwritableFolderIsReportedNotThrown) {
  SetWorkingFolder(dir_ / "missing");
  EXPECT_FALSE(AppendHistoryLine(Letter("a", "b")));
  EXPECT_FALSE(SaveHistory({Letter("a", "b")}));
  EXPECT_FALSE(SaveInputHistory({"x"}));
}

// ---- Reading what others wrote ----

TEST(HistoryReading, UnquotedAndDamagedFieldsFollowTheReadingRules) {
  EXPECT_EQ(SplitHistoryFields("plain;;;\"q;uoted\";;last"), (std::vector<std::string>{"plain", "q;uoted", "last"}));
  EXPECT_EQ(SplitHistoryFields(";lead;\"\";trail;"), (std::vector<std::string>{"lead", "", "trail"}));
  EXPECT_EQ(SplitHistoryFields("\"ab\"cd;\"unclosed;x"), (std::vector<std::string>{"abcd", "unclosed;x"}));
  EXPECT_EQ(SplitHistoryFields("a\"b;\"c\"\"\""), (std::vector<std::string>{"a\"b", "c\""}));
  EXPECT_TRUE(SplitHistoryFields(";;;").empty());
}

TEST(HistoryReading, EveryNonEmptyLineIsARowAndNothingReadIsLostOnRewrite) {
  std::string text = "\r\njust text\n\"1\";\"2\";\"3\";\"4\";\"5\";\"6\";\"7\";\"8\"\r;;;\r\n\r\n";
  std::vector<HistoryRecord> rows = ParseHistoryText(text);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].comment, "just text");
  EXPECT_EQ(rows[0].mailbox, "");
  EXPECT_EQ(rows[1].mailbox, "6");
  EXPECT_EQ(rows[1].extra, (std::vector<std::string>{"7", "8"}));
  EXPECT_EQ(rows[1].FieldCount(), 8u);
  EXPECT_EQ(rows[2], HistoryRecord{});
  EXPECT_EQ(ParseHistoryText(FormatHistoryText(rows)), rows);
}

TEST(HistoryReading, GarbageNeverBreaksTheReader) {
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) % 256);
  garbage += "\"\"\"";
  std::vector<HistoryRecord> rows = ParseHistoryText(garbage);
  EXPECT_FALSE(rows.empty());
  EXPECT_EQ(ParseHistoryText(FormatHistoryText(rows)), rows);
}

// ---- The time field ----

TEST_F(HistoryFiles, TheTimeComesFromTheInstalledClockAndMidnightShowsTheDateAlone) {
  SetClock([] { return Timestamp{"9/12/2026", "5:43:18 PM", false}; });
  EXPECT_EQ(CurrentHistoryTime(), "9/12/2026 5:43:18 PM");
  SetClock([] { return Timestamp{"10.12.2026", "0:00:00", true}; });
  EXPECT_EQ(CurrentHistoryTime(), "10.12.2026");
  SetClock(nullptr);
  std::string now = CurrentHistoryTime();
  EXPECT_TRUE(HistoryTimeKey(now, {})) << now;
}

TEST(HistoryTime, DateOrderFollowsThePicture) {
  EXPECT_EQ(DateOrderOf("dd.MM.yyyy"), DateOrder::DayMonthYear);
  EXPECT_EQ(DateOrderOf("M/d/yyyy"), DateOrder::MonthDayYear);
  EXPECT_EQ(DateOrderOf("yyyy-MM-dd"), DateOrder::YearMonthDay);
  EXPECT_EQ(DateOrderOf("'day' d 'of' MMMM yyyy"), DateOrder::DayMonthYear);
  EXPECT_EQ(DateOrderOf(""), DateOrder::DayMonthYear);
}

// The key of a text that must be a moment; a failed read is reported, not dereferenced.
std::int64_t Key(std::string_view text, const HistoryTimeFormat& format) {
  std::optional<std::int64_t> key = HistoryTimeKey(text, format);
  EXPECT_TRUE(key) << text;
  return key.value_or(-1);
}

TEST(HistoryTime, KeysOrderMomentsInEachFormat) {
  HistoryTimeFormat ru;
  EXPECT_LT(Key("31.12.2025 23:59:59", ru), Key("01.01.2026", ru));
  EXPECT_LT(Key("01.01.2026", ru), Key("01.01.2026 0:00:01", ru));
  EXPECT_EQ(Key("01.01.2026", ru), Key("1.1.26 0:00:00", ru));
  EXPECT_LT(Key("2.1.2026 9:05", ru), Key("1.2.2026 9:04", ru));

  HistoryTimeFormat us{DateOrder::MonthDayYear, "AM", "PM"};
  EXPECT_EQ(Key("2/1/2026 12:15:00 PM", us), Key("2/1/2026 12:15:00", us));
  EXPECT_EQ(Key("2/1/2026 12:15:00 am", us), Key("2/1/2026 0:15:00", us));
  EXPECT_EQ(Key("2/1/2026 1:15:00 PM", us), Key("2/1/2026 13:15:00", us));
  EXPECT_LT(Key("2/1/2026 11:00:00 PM", us), Key("2/2/2026 12:00:00 AM", us));

  HistoryTimeFormat iso{DateOrder::YearMonthDay, "", ""};
  EXPECT_LT(Key("1999-12-31 23:00:00", iso), Key("2000-01-01 00:00:00", iso));
}

TEST(HistoryTime, TextsThatAreNoMomentHaveNoKey) {
  HistoryTimeFormat ru;
  for (std::string_view bad : {"", "Время", "12.2026", "31.02.2026", "29.02.2025 1:00", "1.13.2026", "01.01.2026 24:00:00",
                               "01.01.2026 10:60", "01.01.20261", "99999999999999999999.1.1"}) {
    EXPECT_FALSE(HistoryTimeKey(bad, ru)) << bad;
  }
  EXPECT_TRUE(HistoryTimeKey("29.02.2024 1:00", ru));
}

TEST(HistoryTime, SortIsStableAndDescendingIsTheReverseOrderOfKeys) {
  std::vector<HistoryRecord> rows = {Letter("a", "", "02.01.2026 10:00:00"), Letter("b", "", "garbage"), Letter("c", "", "01.01.2026"),
                                     Letter("d", "", "02.01.2026 10:00:00"), Letter("e", "", "01.01.2026 0:00:01")};
  auto comments = [&] {
    std::string s;
    for (const HistoryRecord& r : rows) s += r.comment;
    return s;
  };
  SortHistoryByTime(rows, true, {});
  EXPECT_EQ(comments(), "bcead");
  SortHistoryByTime(rows, false, {});
  EXPECT_EQ(comments(), "adecb");
}

TEST_F(HistoryFiles, AThousandLineHistoryLoadsAndSortsQuickly) {
  std::vector<HistoryRecord> rows;
  for (int i = 0; i < 1000; ++i) {
    rows.push_back(Letter("Комментарий " + std::to_string(i), "http://example.com/page" + std::to_string(i) + ".html",
                          std::to_string(1 + i % 28) + ".0" + std::to_string(1 + i % 9) + ".2026 " + std::to_string(i % 24) + ":" +
                              std::to_string(10 + i % 50) + ":00"));
  }
  ASSERT_TRUE(SaveHistory(rows));
  auto start = std::chrono::steady_clock::now();
  std::vector<HistoryRecord> back = *LoadHistory();
  SortHistoryByTime(back, false, {});
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(back.size(), 1000u);
  EXPECT_LT(elapsed, std::chrono::milliseconds(500));
  EXPECT_EQ(back.front().time, "28.09.2026 23:13:00");
}

// ---- The window's rows ----

TEST(HistoryWindowRows, RowsTheUserLeftAloneFollowTheFileEvenWhenItShrinks) {
  HistoryRows rows;
  EXPECT_FALSE(rows.Refresh(std::nullopt));  // no file yet: nothing to show
  EXPECT_TRUE(rows.Refresh(std::vector{Letter("a", "1"), Letter("b", "2")}));
  EXPECT_FALSE(rows.Refresh(std::vector{Letter("a", "1"), Letter("b", "2")}));
  EXPECT_TRUE(rows.Refresh(std::vector<HistoryRecord>{}));  // cleared from the main window
  EXPECT_TRUE(rows.Rows().empty());
  EXPECT_FALSE(rows.Changed());
}

TEST(HistoryWindowRows, ChangedRowsKeepTheChangesAndGainWhatWasLoggedMeanwhile) {
  HistoryRows rows;
  rows.Refresh(std::vector{Letter("a", "1"), Letter("b", "2"), Letter("a", "1")});
  rows.SetComment(1, "mine");
  rows.Delete(0);
  ASSERT_TRUE(rows.Changed());
  // The same letter again (an equal record) and a new one were logged while the window was open.
  EXPECT_TRUE(rows.Refresh(std::vector{Letter("a", "1"), Letter("b", "2"), Letter("a", "1"), Letter("a", "1"), Letter("c", "3")}));
  EXPECT_EQ(rows.Rows(), (std::vector{Letter("mine", "2"), Letter("a", "1"), Letter("a", "1"), Letter("c", "3")}));
  EXPECT_FALSE(rows.Refresh(std::nullopt));  // an unreadable file takes nothing away
  EXPECT_EQ(rows.Rows().size(), 4u);
  rows.Saved();
  EXPECT_FALSE(rows.Changed());
  EXPECT_FALSE(rows.Refresh(rows.Rows()));  // the rewritten file is what the rows are
}

TEST(HistoryWindowRows, OnlyARealChangeMarksTheRows) {
  HistoryRows rows;
  rows.Refresh(std::vector{Letter("a", "1")});
  rows.SetComment(0, "a");  // the same text typed again
  rows.SetComment(5, "x");  // no such row
  rows.Delete(5);
  EXPECT_FALSE(rows.Changed());
  rows.SortByTime(true, {});
  EXPECT_TRUE(rows.Changed());  // a sort is kept: the file takes the new order
}

// ---- Input history ----

TEST(InputHistory, BlankTextsAndExactDuplicatesAreNotAdded) {
  std::vector<std::string> list = {"http://example.com/"};
  EXPECT_FALSE(AddToInputHistory(list, ""));
  EXPECT_FALSE(AddToInputHistory(list, "  \t "));
  EXPECT_FALSE(AddToInputHistory(list, "http://example.com/"));
  EXPECT_TRUE(AddToInputHistory(list, "HTTP://example.com/"));
  EXPECT_TRUE(AddToInputHistory(list, " padded "));
  EXPECT_EQ(list, (std::vector<std::string>{" padded ", "HTTP://example.com/", "http://example.com/"}));
  EXPECT_FALSE(AddToInputHistory(list, "http://example.com/"));  // an older entry is not moved up
  EXPECT_EQ(list.back(), "http://example.com/");
}

TEST(InputHistory, TheListGrowsTo201AndThenDropsItsOldest) {
  std::vector<std::string> list;
  for (int i = 0; i < 200; ++i) AddToInputHistory(list, "e" + std::to_string(i));
  EXPECT_TRUE(AddToInputHistory(list, "new1"));
  ASSERT_EQ(list.size(), 201u);
  EXPECT_EQ(list.back(), "e0");
  EXPECT_TRUE(AddToInputHistory(list, "new2"));
  ASSERT_EQ(list.size(), 201u);
  EXPECT_EQ(list[0] + list[1] + list[200], "new2new1e1");
  // A hand-lengthened recent.cfg is cut back, not kept above the limit for good.
  for (int i = 0; i < 99; ++i) list.push_back("x" + std::to_string(i));
  EXPECT_TRUE(AddToInputHistory(list, "new3"));
  ASSERT_EQ(list.size(), 201u);
  EXPECT_EQ(list[200], "e2");
}

TEST_F(HistoryFiles, InputHistoryRoundTripsThroughRecentCfg) {
  EXPECT_TRUE(LoadInputHistory().empty());
  std::vector<std::string> list = {"поиск", "http://example.com/"};
  ASSERT_TRUE(SaveInputHistory(list));
  EXPECT_EQ(File("recent.cfg"), "\xEF\xEE\xE8\xF1\xEA\r\nhttp://example.com/\r\n");
  EXPECT_EQ(LoadInputHistory(), list);
  ASSERT_TRUE(SaveInputHistory({}));
  EXPECT_EQ(File("recent.cfg"), "");
}

TEST_F(HistoryFiles, InputHistoryFileKeepsOneEntryPerLineAndItsEncoding) {
  Put("recent.cfg", "first\n\n  \r\nsecond\rthird");
  EXPECT_EQ(LoadInputHistory(), (std::vector<std::string>{"first", "second", "third"}));
  ASSERT_TRUE(SaveInputHistory({"a\r\nb", "c"}));
  EXPECT_EQ(LoadInputHistory(), (std::vector<std::string>{"a b", "c"}));
  Put("recent.cfg", "\xEF\xBB\xBF\xE4\xB8\xAD\r\n");
  ASSERT_EQ(LoadInputHistory(), std::vector<std::string>{"中"});
  ASSERT_TRUE(SaveInputHistory({"中", "ж"}));
  EXPECT_EQ(File("recent.cfg"), "\xEF\xBB\xBF\xE4\xB8\xAD\r\n\xD0\xB6\r\n");
}

}  // namespace
}  // namespace qp
