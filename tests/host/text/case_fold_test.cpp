// Tests of case-insensitive name comparison.
#include "orv/text/case_fold.h"

#include <gtest/gtest.h>

namespace orv::text {
namespace {

TEST(CaseFold, matchesNamesAcrossScripts) {
  EXPECT_TRUE(equalsFolded("Pipe", "PIPE"));
  EXPECT_TRUE(equalsFolded("\xC3\x89TAT", "\xC3\xA9tat"));                // ÉTAT / état
  EXPECT_TRUE(equalsFolded("\xD0\xA2\xD0\xA0\xD0\xA3\xD0\x91\xD0\x90",    // ТРУБА
                           "\xD1\x82\xD1\x80\xD1\x83\xD0\xB1\xD0\xB0"));  // труба
  EXPECT_TRUE(equalsFolded("\xCE\xA3", "\xCF\x83"));                      // Σ σ
  EXPECT_TRUE(equalsFolded("\xC5\x81", "\xC5\x82"));                      // Ł ł
  EXPECT_TRUE(equalsFolded("\xEF\xBC\xA4\xEF\xBC\xB7", "\xEF\xBD\x84\xEF\xBD\x97"));  // ＤＷ ｄｗ
  EXPECT_TRUE(equalsFolded("\xE7\xAE\xA1\xE9\x81\x93", "\xE7\xAE\xA1\xE9\x81\x93"));  // 管道
}

TEST(CaseFold, keepsDifferentNamesApart) {
  EXPECT_FALSE(equalsFolded("DW", "DW1"));
  EXPECT_FALSE(equalsFolded("DW1", "DW"));
  EXPECT_FALSE(equalsFolded("", "A"));
  EXPECT_FALSE(equalsFolded("\xC3\x97", "\xC3\xB7"));  // × is not the capital of ÷
  EXPECT_FALSE(equalsFolded("[", "{"));                // 0x5B and 0x7B are 32 apart, not letters
  EXPECT_FALSE(equalsFolded("\xE7\xAE\xA1", "\xE7\xAE\xA2"));
}

TEST(CaseFold, comparesInvalidBytesOnlyWithThemselves) {
  EXPECT_TRUE(equalsFolded("a\xFF", "A\xFF"));
  EXPECT_FALSE(equalsFolded("a\xFF", "a\xFE"));
  EXPECT_FALSE(equalsFolded("\xFF", "\xC3\xBF"));
}

TEST(CaseFold, foldsWholeTextToLowerCase) {
  EXPECT_EQ(foldCase("MidLine \xC3\x80\xC5\xB8\xFF"), "midline \xC3\xA0\xC3\xBF\xFF");
  EXPECT_EQ(foldCase(U'\u0130'), U'\u0130');  // no one-to-one lower case; left alone
}

}  // namespace
}  // namespace orv::text
