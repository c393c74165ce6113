// Tests of the conversions between UTF-8, wide text, UTF-16LE and GBK.
#include "orv/text/encoding.h"

#include <gtest/gtest.h>

namespace orv::text {
namespace {

TEST(Utf8, widenAndNarrowRoundTripEveryLength) {
  const std::string text = "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";  // a é 中 😀
  const std::wstring wide = widen(text);
  ASSERT_EQ(wide.size(), 4u);
  EXPECT_EQ(wide[1], L'\u00E9');
  EXPECT_EQ(wide[2], L'\u4E2D');
  EXPECT_EQ(static_cast<char32_t>(wide[3]), U'\U0001F600');
  EXPECT_EQ(narrow(wide), text);
}

TEST(Utf8, widenReplacesEachMaximalBadSequenceOnce) {
  // A character cut short is one replacement; the byte after it survives.
  EXPECT_EQ(widen("a\xF0\x9F\x98"
                  "b"),
            L"a\uFFFDb");
  // An overlong lead and a stray continuation byte are replaced one by one.
  EXPECT_EQ(widen("\xC0\x80"), L"\uFFFD\uFFFD");
  EXPECT_EQ(widen("\xE0\x80\x80"), L"\uFFFD\uFFFD\uFFFD");
  // Encoded surrogates are not characters.
  EXPECT_EQ(widen("\xED\xA0\x80x"), L"\uFFFD\uFFFD\uFFFDx");
  EXPECT_EQ(widen("\xFF"), L"\uFFFD");
  EXPECT_EQ(widen(""), L"");
}

TEST(Utf8, narrowReplacesValuesThatAreNotCharacters) {
  const std::wstring bad = {L'x', static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000),
                            static_cast<wchar_t>(-1)};
  EXPECT_EQ(narrow(bad), "x\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf8, validationRejectsMalformedSequences) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("plain [PIPE] DW=1"));
  EXPECT_TRUE(isValidUtf8("\xE7\xAE\xA1\xE9\x81\x93"));  // 管道
  EXPECT_TRUE(isValidUtf8("\xF4\x8F\xBF\xBF"));          // U+10FFFF
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));                 // overlong '/'
  EXPECT_FALSE(isValidUtf8("\xE0\x9F\xBF"));             // overlong
  EXPECT_FALSE(isValidUtf8("\xF0\x8F\xBF\xBF"));         // overlong
  EXPECT_FALSE(isValidUtf8("\xED\xBF\xBF"));             // surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));         // past U+10FFFF
  EXPECT_FALSE(isValidUtf8("\x80"));                     // stray continuation
  EXPECT_FALSE(isValidUtf8("ok\xE4\xB8"));               // cut at the end
  EXPECT_FALSE(isValidUtf8("\xD6\xD0\xCE\xC4"));         // GBK 中文
}

TEST(Utf8, decodeGivesLengthOrZero) {
  char32_t c = 0;
  EXPECT_EQ(decodeUtf8("\xE4\xB8\xADrest", c), 3u);
  EXPECT_EQ(c, U'\u4E2D');
  c = U'?';
  EXPECT_EQ(decodeUtf8("\xE4\xB8", c), 0u);
  EXPECT_EQ(c, U'?');
  EXPECT_EQ(decodeUtf8("", c), 0u);
}

TEST(Utf8, appendWritesReplacementForNonCharacters) {
  std::string out;
  appendUtf8(U'\U0001F600', out);
  appendUtf8(0xDC00, out);
  appendUtf8(0x110000, out);
  EXPECT_EQ(out, "\xF0\x9F\x98\x80\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Utf16, roundTripsIncludingSurrogatePairs) {
  const std::string utf16("A\0\x2D\x4E\x3D\xD8\x00\xDE", 8);  // A 中 😀
  const auto utf8 = utf16leToUtf8(utf16);
  ASSERT_TRUE(utf8);
  EXPECT_EQ(*utf8, "A\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(utf8ToUtf16le(*utf8), utf16);
}

TEST(Utf16, rejectsOddLengthAndUnpairedSurrogates) {
  EXPECT_FALSE(utf16leToUtf8(std::string("A\0B", 3)));
  EXPECT_FALSE(
      utf16leToUtf8(std::string("\x3D\xD8"
                                "A\0",
                                4)));                       // high, then no low
  EXPECT_FALSE(utf16leToUtf8(std::string("\x3D\xD8", 2)));  // high at the end
  EXPECT_FALSE(utf16leToUtf8(std::string("\x00\xDE", 2)));  // low alone
  EXPECT_EQ(utf16leToUtf8(""), std::string());
}

TEST(Gbk, convertsChineseBothWays) {
  EXPECT_EQ(gbkToUtf8("\xD6\xD0\xCE\xC4 DW"), std::string("\xE4\xB8\xAD\xE6\x96\x87 DW"));
  EXPECT_EQ(utf8ToGbk("\xE4\xB8\xAD\xE6\x96\x87 DW"), std::string("\xD6\xD0\xCE\xC4 DW"));
  // Full-width and symbol rows, not only ideographs.
  EXPECT_EQ(gbkToUtf8("\xA3\xA1\xA1\xE3"), std::string("\xEF\xBC\x81\xC2\xB0"));  // ！°
}

TEST(Gbk, readsByte80AsTheEuroSignAsCodePage936Does) {
  char32_t c = 0;
  EXPECT_EQ(decodeGbk("\x80", c), 1u);
  EXPECT_EQ(c, U'\u20AC');
  std::string out;
  EXPECT_TRUE(appendGbk(U'\u20AC', out));
  EXPECT_EQ(out, "\x80");
}

TEST(Gbk, rejectsBytesThatAreNotGbk) {
  EXPECT_FALSE(gbkToUtf8("\xD6"));      // lead byte at the end
  EXPECT_FALSE(gbkToUtf8("\xD6\x7F"));  // 0x7F is never a trail byte
  EXPECT_FALSE(gbkToUtf8("\xFF"));
  EXPECT_FALSE(gbkToUtf8("a\xA2\xA0"));  // an unassigned code
  char32_t c = U'?';
  EXPECT_EQ(decodeGbk("\xD6\x30", c), 0u);
  EXPECT_EQ(c, U'?');
}

TEST(Gbk, refusesCharactersOutsideTheCodePage) {
  EXPECT_FALSE(utf8ToGbk("\xF0\x9F\x98\x80"));  // emoji
  EXPECT_FALSE(utf8ToGbk("\xE0\xB8\x81"));      // Thai
  EXPECT_FALSE(utf8ToGbk("\xE4\xB8"));          // not UTF-8 at all
  std::string out = "keep";
  EXPECT_FALSE(appendGbk(U'\U0001F600', out));
  EXPECT_EQ(out, "keep");
}

TEST(Gbk, everyCodeDecodesAndEncodesBackToItself) {
  int doubles = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char32_t c = 0;
      if (decodeGbk(std::string_view(bytes, 2), c) != 2) continue;
      ++doubles;
      std::string back;
      ASSERT_TRUE(appendGbk(c, back)) << std::hex << lead << trail;
      ASSERT_EQ(back, std::string(bytes, 2)) << std::hex << lead << trail;
    }
  }
  // Code page 936 assigns 21,791 double-byte codes.
  EXPECT_GT(doubles, 21700);
  EXPECT_LT(doubles, 21900);
}

}  // namespace
}  // namespace orv::text
