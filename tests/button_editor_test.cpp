// The button editor's model: saving rewrites one button's sections and nothing else, the
// mailbox choices, and the two request builders' results.
#include "dialogs/button_editor.h"

#include <gtest/gtest.h>

#include <string>

#include "base/ini_edit.h"

namespace qp {
namespace {

const char kButtons[] =
    "; Request buttons: hand-edited\r\n"
    "[Button 1]\r\nName=Page\r\nService=www4mail@example.net\r\n\r\n"
    "[body 1]\r\nCount=0\r\n0=send %request%\r\n\r\n"
    "[Button 2]\r\n; the FTP one\r\nName=Old\r\nComment=old comment\r\nExtra=kept\r\n\r\n"
    "[body 2]\r\nCount=1\r\n0=a\r\n1=b\r\n\r\n"
    "[Button 3]\r\nName=Other\r\n";

TEST(ButtonEditor, SavingRewritesOnlyThatButtonsSectionsAndKeepsEverythingElseByteForByte) {
  ButtonFields f = LoadButtonFields(IniFile(kButtons), 2);
  EXPECT_EQ(f.name, "Old");
  EXPECT_EQ(f.mailbox, "Выбор в меню");
  EXPECT_EQ(f.body, (std::vector<std::string>{"a", "b"}));
  f.name = "New";
  f.body = {"x"};
  f.multi_request = true;
  const std::string saved = SaveButtonFields(kButtons, 2, f);
  EXPECT_EQ(saved,
            "; Request buttons: hand-edited\r\n"
            "[Button 1]\r\nName=Page\r\nService=www4mail@example.net\r\n\r\n"
            "[body 1]\r\nCount=0\r\n0=send %request%\r\n\r\n"
            "[Button 2]\r\n; the FTP one\r\nName=New\r\nComment=old comment\r\nExtra=kept\r\n"
            "Service=\r\nSubject=\r\nMailbox=Выбор в меню\r\nMultiRequest=1\r\n\r\n"
            "[body 2]\r\nCount=0\r\n0=x\r\n\r\n"
            "[Button 3]\r\nName=Other\r\n");
  // What was saved reads back the same.
  const ButtonFields again = LoadButtonFields(IniFile(saved), 2);
  EXPECT_EQ(again.name, "New");
  EXPECT_TRUE(again.multi_request);
  EXPECT_EQ(again.body, (std::vector<std::string>{"x"}));
}

TEST(ButtonEditor, BodiesEmptyAndMissing) {
  ButtonFields f = LoadButtonFields(IniFile(kButtons), 3);  // no body section: one empty line
  EXPECT_EQ(f.body, (std::vector<std::string>{""}));
  std::string saved = SaveButtonFields(kButtons, 3, f);
  EXPECT_NE(saved.find("[body 3]\r\nCount=0\r\n0=\r\n"), std::string::npos) << saved;
  f.body.clear();
  saved = SaveButtonFields(kButtons, 3, f);
  EXPECT_NE(saved.find("[body 3]\r\nCount=-1\r\n"), std::string::npos);
  EXPECT_TRUE(LoadButtonFields(IniFile(saved), 3).body.empty());
  // The search buttons are numbers 21 and 22: new sections at the end.
  saved = SaveButtonFields(kButtons, 22, f);
  EXPECT_NE(saved.find("[Button 22]\r\nName=Other\r\n"), std::string::npos);
  EXPECT_EQ(saved.rfind(kButtons, 0), 0u) << "the rest stays in front, untouched";
}

TEST(IniEdit, LineEndsFollowTheFileAndNamesMatchWithoutCase) {
  EXPECT_EQ(ReplaceIniSection("[a]\nk=1\n[B]\nk=2\n", "b", {{"k", "3"}}), "[a]\nk=1\n[B]\nk=3\n");
  EXPECT_EQ(ReplaceIniSection("[a]\nk=1", "c", {{"k", "3"}}), "[a]\nk=1\n[c]\nk=3\n");
  EXPECT_EQ(ReplaceIniSection("", "c", {{"k", "3"}}), "[c]\r\nk=3\r\n");
  // A section met twice: the entries once, at the first.
  EXPECT_EQ(ReplaceIniSection("[c]\r\nk=1\r\n[d]\r\n[c]\r\nk=2\r\n", "c", {{"k", "3"}}), "[c]\r\nk=3\r\n[d]\r\n[c]\r\n");
  // Values set in place, the key's own spelling given; new keys after the last entry.
  EXPECT_EQ(SetIniValues("[s]\nA=1 ; old\n\n[t]\n", "S", {{"a", "2"}, {"b", "3"}}), "[s]\na=2\nb=3\n\n[t]\n");
  EXPECT_EQ(SetIniValues("[s]", "s", {{"a", "2"}}), "[s]\r\na=2\r\n");
  EXPECT_EQ(SetIniValues("x=1\n", "s", {{"a", "2"}}), "x=1\n[s]\na=2\n");
}

TEST(ButtonEditor, MailboxChoicesListOnlyProfilesWithAnAddressAfterSelected) {
  const IniFile settings("[Emails]\r\nEM1=one@example.org\r\nEM2=\r\nEM10=ten@example.org\r\n");
  EXPECT_EQ(MailboxChoices(settings), (std::vector<std::string>{"Selected", "1 : one@example.org", "10 : ten@example.org"}));
}

TEST(ButtonEditor, TheBuildersResults) {
  const std::string fixed = "http://example.com/";
  EXPECT_EQ(WwwRequest("GET", &fixed, ""), "GET http://example.com/ ");
  EXPECT_EQ(WwwRequest("GET", nullptr, "text"), "GET %request% text");
  EXPECT_EQ(FtpBody({}), (std::vector<std::string>{"open %host%", "cd %dir%", "mode binary", "compress", "mime", "size 500K",
                                                   "get %filename%", "quit"}));
  FtpChoices other{.command = 2, .mode = 1, .compress = 2, .code = 1, .size = "2", .size_unit = 1};
  EXPECT_EQ(FtpBody(other),
            (std::vector<std::string>{"open %host%", "cd %dir%", "mode ascii", "bzip", "uuencode", "size 2M", "ls", "quit"}));
  EXPECT_EQ(ListEntries("a@example.org\r\nb@example.org\r\n\r\n"), (std::vector<std::string>{"a@example.org", "b@example.org"}));
}

}  // namespace
}  // namespace qp
