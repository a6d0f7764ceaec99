// Composition of a letter from a request and a button's templates, and the URL coding.
#include <gtest/gtest.h>

#include "base/process.h"
#include "base/url_coding.h"
#include "lang/language.h"
#include "request/buttons.h"
#include "request/compose.h"

namespace qp {
namespace {

struct Split {
  const char* request;
  const char* host;
  const char* dir;
  const char* filename;
};

TEST(SplitRequestAddress, TheContractExamples) {
  const Split cases[] = {
      {"ftp://host/pub/file.zip", "host", "/pub", "file.zip"},
      {"host/pub/dir/", "host", "/pub/dir/", ""},
      {"host/pub/linux-2.6/patches/", "host", "/pub/linux-2.6/patches/", ""},
      {"host/file.zip", "host", "", "file.zip"},
      {"host/dir/readme", "host", "/dir/readme", ""},
      {"plain search phrase", "plain search phrase", "", ""},
      {"http://a.b/c.d/e/f.html", "a.b", "/c.d/e", "f.html"},
      {"http://host", "host", "", ""},
      {"", "", "", ""},
  };
  for (const Split& c : cases) {
    AddressParts parts = SplitRequestAddress(c.request);
    EXPECT_EQ(parts.host, c.host) << c.request;
    EXPECT_EQ(parts.dir, c.dir) << c.request;
    EXPECT_EQ(parts.filename, c.filename) << c.request;
  }
}

TEST(SplitRequestAddress, OnlyTheFirst255CharactersAreSplitNeverCuttingACharacter) {
  std::string request = "host/" + std::string(245, 'a') + "/ЖЖЖЖЖЖ/file.txt";  // slash at 250
  AddressParts parts = SplitRequestAddress(request);
  EXPECT_EQ(parts.host, "host");
  // The cut ends after four of the six "Ж"; no dot is left, so all of it is directories.
  EXPECT_EQ(parts.dir, "/" + std::string(245, 'a') + "/ЖЖЖЖ");
  EXPECT_EQ(parts.filename, "");
}

TEST(SeparateComment, TheLastBarSeparatesTheComment) {
  SetCurrentLanguage(1, nullptr);
  EXPECT_EQ(SeparateComment("host/a/b.zip|my file").request, "host/a/b.zip");
  EXPECT_EQ(SeparateComment("host/a/b.zip|my file").comment, "my file");
  EXPECT_EQ(SeparateComment("a|b|c").request, "a|b");
  EXPECT_EQ(SeparateComment("a|b|c").comment, "c");
  EXPECT_EQ(SeparateComment("no bar").comment, "Нет комментария");
}

IniFile FtpButton(const std::string& subject = "%request% %host% %counter% %password%") {
  return IniFile("[Button 3]\r\nSubject=" + subject + "\r\n[body 3]\r\nCount=2\r\n0=open %host%\r\n1=cd %dir%\r\n2=get %filename%\r\n");
}

TEST(ComposeRequest, FillsTheBodyAndDropsTheDirectoryLineWithoutADirectory) {
  WorkingBody body;
  TemplateValues values{.password = "secret", .size = "500", .counter = 7};
  ComposedRequest r = ComposeRequest(FtpButton(), 3, "host/file.zip|note", values, body);
  EXPECT_EQ(body.Lines(), (std::vector<std::string>{"open host", "get file.zip"}));
  EXPECT_EQ(r.subject, "host/file.zip %host% 7 secret");  // %host% is not filled in a subject
  EXPECT_EQ(r.request, "host/file.zip");
  EXPECT_EQ(r.comment, "note");
}

TEST(ComposeRequest, ADirectoryLineWithATrailingSpaceStays) {
  // The file reader trims values; a template set in memory keeps its trailing blank.
  IniFile buttons;
  buttons.WriteInteger("body 1", "Count", 0);
  buttons.WriteString("body 1", "0", "cd %dir% ");
  WorkingBody body;
  ComposeRequest(buttons, 1, "host/file.zip", {}, body);
  EXPECT_EQ(body.Lines(), std::vector<std::string>{"cd  "});
}

TEST(ComposeRequest, PlaceholdersAreFilledInTheirOrderAndLaterOnesFillInsertedText) {
  IniFile buttons("[body 1]\r\nCount=0\r\n0=%request%|%password%|%size%\r\n");
  WorkingBody body;
  // The request holds a later placeholder and an earlier one: %size% inside it is filled
  // by the later pass, %request% inside the password is not (its pass is over).
  ComposeRequest(buttons, 1, "get %size% now", {.password = "%request%", .size = "99", .counter = 0}, body);
  EXPECT_EQ(body.Lines(), std::vector<std::string>{"get 99 now|%request%|99"});
}

TEST(ComposeRequest, LinesOfEarlierRequestsKeepTheirValuesAndLeftoverPlaceholdersFillLater) {
  IniFile buttons("[body 1]\r\nCount=0\r\n0=send %request%\r\n");
  WorkingBody body;
  ComposeRequest(buttons, 1, "first", {.password = "", .size = "", .counter = 1}, body);
  ComposeRequest(buttons, 1, "second", {.password = "", .size = "", .counter = 2}, body);
  EXPECT_EQ(body.Text(), "send first\r\nsend second");

  // A password holding "%request%" leaves it in the first request's line; the next
  // request's pass over the whole body fills it with its own request.
  IniFile pw("[body 1]\r\nCount=0\r\n0=%password%\r\n");
  WorkingBody odd;
  ComposeRequest(pw, 1, "one", {.password = "%request%", .size = "", .counter = 0}, odd);
  ComposeRequest(pw, 1, "two", {.password = "x", .size = "", .counter = 0}, odd);
  EXPECT_EQ(odd.Lines(), (std::vector<std::string>{"two", "x"}));
}

TEST(ButtonDefinitions, BodyLinesFollowCountWithGapsReadEmpty) {
  IniFile buttons(
      "[body 1]\r\nCount=2\r\n0=a\r\n2=c\r\n[body 2]\r\nCount=-1\r\n0=never\r\n[body 4]\r\nCount=2000000000\r\n0=x\r\n"
      "[Button 5]\r\nName=N\r\nService=s@x\r\nMultiRequest=1\r\n");
  EXPECT_EQ(ReadBodyTemplate(buttons, 1), (std::vector<std::string>{"a", "", "c"}));
  EXPECT_TRUE(ReadBodyTemplate(buttons, 2).empty());
  EXPECT_EQ(ReadBodyTemplate(buttons, 3), std::vector<std::string>{""});  // no section: one empty line
  EXPECT_EQ(ReadBodyTemplate(buttons, 4).size(), static_cast<size_t>(kMaxBodyLines));
  ButtonDefinition five = ReadButtonDefinition(buttons, 5);
  EXPECT_EQ(five.mailbox, "Selected");
  EXPECT_TRUE(five.multi_request);
  EXPECT_EQ(ReadButtonDefinition(buttons, 34).service, FixedServices::kSupport);
}

TEST(UrlCoding, TheContractExamples) {
  const TextCodec& cp1251 = *CodecByNumber(1251);
  EXPECT_EQ(UrlEncode("a b/c", cp1251), "a+b%2fc");
  EXPECT_EQ(UrlDecode("a+b%2Fc", cp1251), "a b/c");
  EXPECT_EQ(UrlDecode("50%", cp1251), "50%");
  EXPECT_EQ(UrlDecode("50%4", cp1251), "50%4");
  EXPECT_EQ(UrlDecode("%zz+x", cp1251), "%zz+x");
  EXPECT_EQ(UrlEncode("a-b_c.d~", cp1251), "a%2db%5fc%2ed%7e");
}

TEST(UrlCoding, CyrillicSearchWordsGoThroughTheCodePageBytesAndBackExactly) {
  const TextCodec& cp1251 = *CodecByNumber(1251);
  const std::string words = "поиск слов Ёё №5";
  std::string encoded = UrlEncode(words, cp1251);
  EXPECT_EQ(encoded, "%ef%ee%e8%f1%ea+%f1%eb%ee%e2+%a8%b8+%b95");
  EXPECT_EQ(UrlDecode(encoded, cp1251), words);
  EXPECT_EQ(UrlDecode("%D0%9F", *CodecByNumber(kCodePageUtf8)), "П");  // a character of two escapes
  EXPECT_EQ(UrlDecode("я+%ff", cp1251), "я я");                        // plain characters stay
}

TEST(RequestCounter, SetResetAndIgnoredInput) {
  RequestCounter counter;
  counter.Set("100");
  EXPECT_EQ(counter.value, 100);
  counter.value += 2;
  counter.Reset();
  EXPECT_EQ(counter.value, 100);
  counter.value = 5;
  counter.Set("abc");  // not a number: the start value stays and the value follows it
  EXPECT_EQ(counter.start, 100);
  EXPECT_EQ(counter.value, 100);
}

TEST(RequestCounter, AfterTheLargestValueItStartsAgainFromZero) {
  RequestCounter counter;
  counter.Set("2147483646");
  counter.Advance();
  EXPECT_EQ(counter.value, INT32_MAX);
  counter.Advance();
  EXPECT_EQ(counter.value, 0);
  counter.Advance();
  EXPECT_EQ(counter.value, 1);
  counter.Reset();
  EXPECT_EQ(counter.value, 2147483646);
}

}  // namespace
}  // namespace qp
