// The typing aid of the request line.
#include <gtest/gtest.h>

#include "request/typing_aid.h"

namespace qp {
namespace {

using DropDown = TypingResult::DropDown;
const std::vector<std::u16string> kHistory = {u"http://example.com/a", u"ftp://ftp.example.org/", u"http://example.org/"};

TEST(TypingAid, ShortcutsOnAnEmptyLineOnlyInLowerCaseAndEvenWhenSwitchedOff) {
  TypingResult h = TypingAid({}, u'h', kHistory, true);
  EXPECT_TRUE(h.swallow);
  EXPECT_EQ(h.text, u"http://");
  EXPECT_EQ(h.caret, 7u);
  EXPECT_EQ(TypingAid({}, u'f', kHistory, false).text, u"ftp://");
  EXPECT_FALSE(TypingAid({}, u'H', {}, false).swallow);
  EXPECT_FALSE(TypingAid({u"x", 1, 1, false}, u'h', {}, false).swallow);
}

TEST(TypingAid, AMatchOpensTheDropDownWithoutReplacingTheTypedText) {
  TypingResult r = TypingAid({u"http://example.", 15, 15, false}, u'c', kHistory, false);
  EXPECT_TRUE(r.swallow);
  EXPECT_EQ(r.text, u"http://example.c");
  EXPECT_EQ(r.caret, 16u);
  EXPECT_EQ(r.drop_down, DropDown::Open);
  // Already open and still matching: the control types as usual.
  EXPECT_FALSE(TypingAid({u"http://example.", 15, 15, true}, u'c', kHistory, false).swallow);
}

TEST(TypingAid, NoMatchClosesAnOpenDropDownAndMatchingIsCaseSensitive) {
  TypingResult r = TypingAid({u"http://example.", 15, 15, true}, u'x', kHistory, false);
  EXPECT_TRUE(r.swallow);
  EXPECT_EQ(r.drop_down, DropDown::Close);
  EXPECT_EQ(r.text, u"http://example.x");
  EXPECT_FALSE(TypingAid({u"HTTP://EXAMPLE.", 15, 15, false}, u'C', kHistory, false).swallow);
}

TEST(TypingAid, TypingReplacesTheSelectionAndBackspaceRemovesItOrOneCharacter) {
  // "ftp://ftp.ex|XYZ|" with XYZ selected, typing "a": "ftp://ftp.exa" matches.
  TypingResult r = TypingAid({u"ftp://ftp.exXYZ", 12, 15, false}, u'a', kHistory, false);
  EXPECT_EQ(r.text, u"ftp://ftp.exa");
  EXPECT_EQ(r.caret, 13u);
  TypingResult back = TypingAid({u"ftp://ftp.exZ", 13, 13, false}, 8, kHistory, false);
  EXPECT_EQ(back.text, u"ftp://ftp.ex");
  EXPECT_EQ(back.caret, 12u);
  TypingResult cut = TypingAid({u"http://exampleQQ", 14, 16, false}, 8, kHistory, false);
  EXPECT_EQ(cut.text, u"http://example");
  EXPECT_EQ(cut.caret, 14u);
}

TEST(TypingAid, EnterEscapeControlKeysEmptyResultsAndTheSwitchLeaveTheKeyAlone) {
  EXPECT_FALSE(TypingAid({u"http", 4, 4, false}, 13, kHistory, false).swallow);
  EXPECT_FALSE(TypingAid({u"http", 4, 4, true}, 27, kHistory, false).swallow);
  EXPECT_FALSE(TypingAid({u"http", 4, 4, false}, 3, kHistory, false).swallow);  // Ctrl+C
  EXPECT_FALSE(TypingAid({u"h", 1, 1, true}, 8, kHistory, false).swallow);      // empties the line
  EXPECT_FALSE(TypingAid({u"http", 4, 4, false}, u':', kHistory, true).swallow);
}

TEST(TypingAid, AVeryLongTailIsMatchedInPartButNeverCutFromTheLine) {
  std::u16string tail(300, u'z');
  TypingResult r = TypingAid({u"x" + tail, 1, 1, true}, u'q', kHistory, false);
  EXPECT_TRUE(r.swallow);
  EXPECT_EQ(r.text, u"xq" + tail);
  const std::vector<std::u16string> long_item = {u"ab" + std::u16string(255, u'z') + u"END"};
  TypingResult open = TypingAid({u"a" + std::u16string(300, u'z'), 1, 1, false}, u'b', long_item, false);
  EXPECT_EQ(open.drop_down, TypingResult::DropDown::Open);
  EXPECT_EQ(open.text.size(), 302u);
}

}  // namespace
}  // namespace qp
