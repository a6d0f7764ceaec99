// Language files: message lookup with its line-break rules and the translation of windows.
#include <gtest/gtest.h>

#include "base/process.h"
#include "base/working_folder.h"
#include "lang/language.h"
#include "test_support.h"

namespace qp {
namespace {

using test::MemoryForm;
using ui::ControlDef;
using ui::Kind;

TEST(MessageLookup, LineBreakMarksJoinFromTheFirstNonEmptyText) {
  EXPECT_EQ(JoinMessageLines("plain"), "plain");
  EXPECT_EQ(JoinMessageLines("A*|*B"), "A\r\nB");
  EXPECT_EQ(JoinMessageLines("*|*B"), "\r\nB");
  EXPECT_EQ(JoinMessageLines("*|**|*B"), "\r\nB");
  EXPECT_EQ(JoinMessageLines("A*|**|*B"), "A\r\n\r\nB");
  EXPECT_EQ(JoinMessageLines("A*|*B*|*C"), "A\r\nB\r\nC");
  EXPECT_EQ(JoinMessageLines("A*|*"), "A\r\n");
  EXPECT_EQ(JoinMessageLines("*|*"), "\r\n");
}

TEST(MessageLookup, WithoutAFileTheBuiltInTextWithAFileItsEntryEvenWhenMissing) {
  EXPECT_EQ(LookupMessage(nullptr, "Пустой запрос!", "EmptyRequest"), "Пустой запрос!");
  IniFile english("[Misc]\r\nSendOK=Done!\r\nTwoLines=First*|*Second\r\n");
  EXPECT_EQ(LookupMessage(&english, "Операция успешно завершена!", "SendOK"), "Done!");
  EXPECT_EQ(LookupMessage(&english, "Пустой запрос!", "EmptyRequest"), "");
  EXPECT_EQ(LookupMessage(&english, "x", "twolines"), "First\r\nSecond");
}

TEST(MessageLookup, CurrentLanguageDecidesAndAMissingFileBringsBackTheDefaults) {
  test::TempDir dir;
  SetWorkingFolder(dir.Path());
  test::WriteAll(dir / "English.lng", "[Misc]\r\nEmptyRequest=Empty request!\r\n");
  SetCurrentLanguage(0, OpenLanguageFile(0));
  EXPECT_EQ(LookupMessage("Пустой запрос!", "EmptyRequest"), "Empty request!");
  SetCurrentLanguage(1, OpenLanguageFile(1));  // "Russian.lng" is not there
  EXPECT_EQ(CurrentLanguageFile(), nullptr);
  EXPECT_EQ(LookupMessage("Пустой запрос!", "EmptyRequest"), "Пустой запрос!");
  EXPECT_EQ(OpenLanguageFile(7), nullptr);
  EXPECT_EQ(OpenLanguageFile(-1), nullptr);
  SetCurrentLanguage(0, nullptr);
}

TEST(MessageLookup, LanguageFileWithByteOrderMarkIsReadAsUtf8) {
  test::TempDir dir;
  SetWorkingFolder(dir.Path());
  test::WriteAll(dir / "Ukraine.lng", "\xEF\xBB\xBF[Misc]\r\nEmptyRequest=Порожній запит!\r\n");
  auto file = OpenLanguageFile(2);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(LookupMessage(file.get(), "", "EmptyRequest"), "Порожній запит!");
}

ui::FormDef SampleForm() {
  return ui::FormDef{.name = "fmSample",
                     .title = "Образец",
                     .client_width = 100,
                     .client_height = 100,
                     .controls = {
                         {.name = "lbName", .kind = Kind::Label, .caption = "Имя", .hint = "Подсказка"},
                         {.name = "mmNotes", .kind = Kind::Memo, .items = {"один", "два", "три"}},
                         {.name = "rgMode", .kind = Kind::RadioGroup, .caption = "Режим", .items = {"первый", "второй"}},
                         {.name = "cbList", .kind = Kind::ComboBox, .items = {"а", "б"}},
                         {.name = "edText", .kind = Kind::Edit, .caption = "typed by the user"},
                         {.name = "miFile", .kind = Kind::Menu, .caption = "Файл"},
                         {.name = "miExit", .kind = Kind::MenuItem, .parent = "miFile", .caption = "Выход"},
                     }};
}

TEST(TranslateWindow, CaptionsHintsAndTitleComeFromTheWindowsSection) {
  MemoryForm form(SampleForm());
  IniFile file(
      "[fmSample]\r\nfmSample.Caption=Sample\r\nfmSample.lbName.Caption=Name\r\nfmSample.lbName.Hint=Hint\r\n"
      "fmSample.miExit.Caption=Exit\r\nfmSample.miFile.Caption=\r\nfmSample.edText.Caption=not an edit's caption\r\n"
      "[fmOther]\r\nfmSample.miFile.Caption=File\r\n");
  TranslateWindow(form, file);
  EXPECT_EQ(form.Title(), "Sample");
  EXPECT_EQ(form.Find("lbName")->Caption(), "Name");
  EXPECT_EQ(form.Find("lbName")->Hint(), "Hint");
  EXPECT_EQ(form.Find("miExit")->Caption(), "Exit");
  EXPECT_EQ(form.Find("miFile")->Caption(), "Файл");  // empty value and other window's section: unchanged
  EXPECT_EQ(form.Find("edText")->Caption(), "typed by the user");
}

TEST(TranslateWindow, MemoLinesChangeOnlyWhereAKeyExistsAndNeverGrow) {
  MemoryForm form(SampleForm());
  IniFile file("[fmSample]\r\nfmSample.mmNotes.lines[0]=one\r\nfmSample.mmNotes.Lines[1]=\r\nfmSample.mmNotes.lines[5]=six\r\n");
  TranslateWindow(form, file);
  EXPECT_EQ(form.Find("mmNotes")->Lines(), (std::vector<std::string>{"one", "", "три"}));
}

TEST(TranslateWindow, ItemsOfRadioGroupsAndComboBoxesSkipEmptyValues) {
  MemoryForm form(SampleForm());
  IniFile file(
      "[fmSample]\r\nfmSample.rgMode.Items[1]=second\r\nfmSample.rgMode.items[0]=\r\nfmSample.rgMode.Caption=Mode\r\n"
      "fmSample.cbList.items[0]=a\r\nfmSample.cbList.items[2]=c\r\n");
  TranslateWindow(form, file);
  EXPECT_EQ(form.Find("rgMode")->Lines(), (std::vector<std::string>{"первый", "second"}));
  EXPECT_EQ(form.Find("rgMode")->Caption(), "Mode");
  EXPECT_EQ(form.Find("cbList")->Lines(), (std::vector<std::string>{"a", "б"}));
}

TEST(TranslateWindow, ASecondFileKeepsWhatTheFirstTranslatedWhereItIsSilent) {
  MemoryForm form(SampleForm());
  TranslateWindow(form, IniFile("[fmSample]\r\nfmSample.lbName.Caption=Name\r\nfmSample.miExit.Caption=Exit\r\n"));
  TranslateWindow(form, IniFile("[fmSample]\r\nfmSample.miExit.Caption=Sortir\r\n"));
  EXPECT_EQ(form.Find("lbName")->Caption(), "Name");
  EXPECT_EQ(form.Find("miExit")->Caption(), "Sortir");
}

}  // namespace
}  // namespace qp
