// The language template: a window's entries as a translator needs them, and the messages of
// the declarations source.
#include "lang/language_template.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qp {
namespace {

using ui::Kind;

TEST(LanguageTemplate, AWindowsTextsUnderTheirKeys) {
  test::MemoryForm form(ui::FormDef{.name = "fmTest",
                                    .title = "Окно",
                                    .client_width = 100,
                                    .client_height = 100,
                                    .controls = {
                                        {.name = "lbName", .kind = Kind::Label, .caption = "Имя", .hint = "Подсказка"},
                                        {.name = "lbSame", .kind = Kind::Label, .caption = "lbSame"},  // its own name: nothing to translate
                                        {.name = "outLabel", .kind = Kind::Label, .caption = "Вне"},   // "out...": left out
                                        {.name = "miSep", .kind = Kind::Separator, .caption = "-"},
                                        {.name = "mmNotes", .kind = Kind::Memo, .items = {"Первая", "", "mmNotes", "после"}},
                                        {.name = "mmOwn", .kind = Kind::Memo, .items = {"mmOwn", "x"}},  // its own name first: no lines
                                        {.name = "rgWay", .kind = Kind::RadioGroup, .caption = "Способ", .items = {"один", "два"}},
                                        {.name = "edValue", .kind = Kind::Edit, .caption = "typed"},  // content, not a caption
                                    }});
  const TemplateEntries expected{{"fmTest.Caption", "Окно"},          {"fmTest.lbName.Caption", "Имя"},
                                 {"fmTest.lbName.Hint", "Подсказка"}, {"fmTest.mmNotes.Lines[0]", "Первая"},
                                 {"fmTest.mmNotes.Lines[1]", ""},     {"fmTest.rgWay.Caption", "Способ"},
                                 {"fmTest.rgWay.Items[0]", "один"},   {"fmTest.rgWay.Items[1]", "два"}};
  EXPECT_EQ(WindowTemplate(form), expected);
}

TEST(LanguageTemplate, DeclarationsAndTheirContinuations) {
  const char source[] =
      "// a comment line\r\n"
      "  textOne='first'+\r\n"
      "  'second';\r\n"
      "textQuote='it''s';\r\n"
      "textBlank= 'not a declaration';\r\n"
      "textSame='a'+'b';\r\n"
      "other line\r\n";
  const TemplateEntries expected{{"textOne", "first*|*second"}, {"textQuote", "it's"}, {"textSame", "a*|*b"}};
  EXPECT_EQ(ParseDeclarations(source), expected);
}

}  // namespace
}  // namespace qp
