// The MTEXT inline codes and one-line text codes: what each shows and what damage leaves.
#include <gtest/gtest.h>

#include "geom_test_util.h"
#include "orv/geom/mtext.h"
#include "orv/geom/text.h"

namespace orv::geom::test {
namespace {

TEST(MTextCodes, resolveToPlainText) {
  struct Case {
    const char* content;
    const char* plain;
  } cases[] = {
      {"one\\Ptwo", "one\ntwo"},
      {"a\\Nb\\Xc^Jd", "a\nb\nc\nd"},
      {"{\\fArial|b1|i0;bold} and {\\H2x;big}", "bold and big"},
      {"\\C1;red\\c255;blue", "redblue"},
      {"\\S1/2; \\S3^4; \\S5#6; \\Sx^;", "1/2 3/4 5/6 x"},
      {"\\Sa\\;b/c;", "a;b/c"},
      {"%%c50 30%%d %%p0.1 100%%%", "\xE2\x8C\x80" "50 30\xC2\xB0 \xC2\xB1" "0.1 100%"},
      {"\\U+4E2D\\U+6587", "\xE4\xB8\xAD\xE6\x96\x87"},     // 中文
      {"\\U+4E2", "+4E2"},                                   // too short: not an escape
      {"\\\\ \\{ \\} \\~x", "\\ { } \xC2\xA0x"},
      {"\\Lunder\\l \\Oover\\o \\Kstrike\\k", "under over strike"},
      {"\\pxqc;centre\\pi-1,l2;next", "centrenext"},
      {"\\Zunknown \\A1;align", "unknown align"},
      {"a\\\xE4\xB8\xAD\\\xD8\x9A", "a\xE4\xB8\xAD\xD8\x9A"},   // not a code: the character stays whole
      {"\\Hunterminated", ""},                               // the code runs to the end
      {"}}} {{{x", " x"},                                    // unbalanced groups lose nothing
      {"end\\P", "end"},                                     // a last empty paragraph is none
      {"^Itab ^ caret ^x", "\ttab ^caret ^x"},  // "^ " is a caret
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.content);
    EXPECT_EQ(plainMText(c.content), c.plain);
  }
}

TEST(MTextCodes, formatRunsAndParagraphs) {
  const auto p = parseMText("A{\\C1;\\H0.5x;B\\W2;C}D\\Pxqr;\\pxqr;E\\c16711680;F", 4.0);
  ASSERT_EQ(p.size(), 2u);
  ASSERT_EQ(p[0].runs.size(), 4u);
  EXPECT_EQ(p[0].runs[0].text, "A");
  EXPECT_DOUBLE_EQ(p[0].runs[0].format.height, 4.0);
  EXPECT_EQ(p[0].runs[1].text, "B");
  EXPECT_DOUBLE_EQ(p[0].runs[1].format.height, 2.0);
  EXPECT_EQ(p[0].runs[1].format.color, (RunColor{RunColor::Kind::index, 1}));
  EXPECT_EQ(p[0].runs[2].text, "C");
  EXPECT_DOUBLE_EQ(p[0].runs[2].format.widthFactor, 2.0);
  EXPECT_EQ(p[0].runs[3].text, "D");  // the group ended: its format with it
  EXPECT_EQ(p[0].runs[3].format, p[0].runs[0].format);
  EXPECT_EQ(p[1].align, ParagraphAlign::right);
  ASSERT_EQ(p[1].runs.size(), 2u);
  // \c holds blue in its high byte: 0xFF0000 there is blue.
  EXPECT_EQ(p[1].runs[1].format.color, (RunColor{RunColor::Kind::rgb, 0x0000FF}));
}

TEST(MTextCodes, deepGroupsKeepTheirText) {
  std::string deep(1000, '{');
  deep += "\\H9;x";
  deep += std::string(1000, '}');
  deep += "y";
  const auto p = parseMText(deep, 1.0);
  ASSERT_EQ(p.size(), 1u);
  EXPECT_EQ(plainMText(deep), "xy");
  EXPECT_DOUBLE_EQ(p[0].runs.back().format.height, 1.0);  // every group closed
}

TEST(OneLineText, specialCodes) {
  EXPECT_EQ(expandTextCodes("%%C25 %%u45%%U%%d"), "\xE2\x8C\x80" "25 45\xC2\xB0");
  EXPECT_EQ(expandTextCodes("%%065%%66"), "AB");
  EXPECT_EQ(expandTextCodes("50% %%"), "50% %%");
}

}  // namespace
}  // namespace orv::geom::test
