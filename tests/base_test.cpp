// The bottom layer's own pieces: lines, paths and partial reads, the scope guard and the
// shared state's reset.
#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/lines.h"
#include "base/process.h"
#include "base/scope_guard.h"
#include "base/status_line.h"
#include "base/working_folder.h"
#include "test_support.h"

namespace qp {
namespace {

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLines(text)) lines.emplace_back(line);
  return lines;
}

TEST(Lines, EveryKindOfLineEndEndsOneLineAndNoEmptyLastLineIsMade) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(Split("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(Split("a\r\n"), Lines{"a"});
  EXPECT_EQ(Split("a\r\n\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(Split("\n\r"), (Lines{"", ""}));  // LF then CR: two line ends, not one
  EXPECT_EQ(Split(""), Lines{});
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb");
  EXPECT_EQ(JoinLines({"a", "b"}, true), "a\r\nb\r\n");
  EXPECT_EQ(JoinLines({}, true), "");
}

TEST(Paths, NamesJoinTheFolderWithTheSystemsSeparatorWhateverSeparatorTheyBring) {
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(JoinPath("C:" + sep + "Quillpost", "icons\\1.bmp"), "C:" + sep + "Quillpost" + sep + "icons" + sep + "1.bmp");
  EXPECT_EQ(JoinPath("dir/", "a/b"), "dir/a" + sep + "b");
  EXPECT_EQ(FolderOf("C:\\Program Files\\Quillpost\\quillpost.exe"), "C:\\Program Files\\Quillpost");
  EXPECT_EQ(FolderOf("/opt/q/quillpost"), "/opt/q");
  EXPECT_EQ(FolderOf("quillpost.exe"), "");
}

TEST(Files, PartsOfAFileAreReadFromAnOffsetAndItsSizeIsKnownWithoutReadingIt) {
  test::TempDir dir;
  const std::string file = dir / "history.log";
  ASSERT_TRUE(WriteFileAtomically(file, "0123456789"));
  EXPECT_EQ(ReadFileBytes(file, 3), "012");
  EXPECT_EQ(ReadFileBytes(file, 1, 9), "9");
  EXPECT_EQ(ReadFileBytes(file, 5, 10), "");  // at the end: nothing more
  EXPECT_EQ(FileSize(file), 10u);
  EXPECT_EQ(FileSize(dir / "missing"), std::nullopt);
  EXPECT_EQ(ReadFileBytes(dir / "missing"), std::nullopt);
  ASSERT_TRUE(AppendToFile(file, "ab"));
  EXPECT_EQ(ReadFileBytes(file), "0123456789ab");
  EXPECT_FALSE(FileExists(dir / "history.log.tmp"));  // the replacement left no temporary file
}

TEST(ScopeGuard, TheStepRunsOnEveryWayOutUnlessDismissed) {
  int runs = 0;
  {
    ScopeExit count([&] { ++runs; });
  }
  EXPECT_EQ(runs, 1);
  try {
    ScopeExit count([&] { ++runs; });
    throw std::runtime_error("out");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(runs, 2);
  {
    ScopeExit count([&] { ++runs; });
    count.Dismiss();
  }
  EXPECT_EQ(runs, 2);
  bool busy = false;
  {
    FlagScope scope(busy);
    EXPECT_TRUE(busy);
  }
  EXPECT_FALSE(busy);
}

TEST(ProcessState, AResetPutsEverySharedValueBackAsAStartFindsIt) {
  std::string shown;
  SetWorkingFolder("/somewhere");
  SetSystemCodec(CodecByNumber(1251));
  SetClock([] { return Timestamp{"1", "2", false}; });
  SetCurrentLanguage(2, std::make_unique<IniFile>("[Misc]\r\nSendOK=x\r\n"));
  SetStatusSink([&](std::string_view text) { shown = text; });
  ShowStatus("готово");
  EXPECT_EQ(shown, "готово");
  ResetProcess();
  EXPECT_EQ(WorkingFolder(), ".");
  EXPECT_EQ(SystemCodec().Number(), 1252);
  EXPECT_NE(Now().date, "1");
  EXPECT_EQ(Process().language_number, 0);
  EXPECT_EQ(Process().language_file, nullptr);
  EXPECT_EQ(LastStatus(), "");
  ShowStatus("later");
  EXPECT_EQ(shown, "готово");  // the sink went with the reset
}

}  // namespace
}  // namespace qp
