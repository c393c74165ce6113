// The tag layer: tokenizing, number parsing and the shortest round-tripping number text.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>

#include "orv/dxf/tags.h"

namespace orv::dxf {
namespace {

TEST(Tokenizer, readsPaddedCodesWithLfAndCrlf) {
  Tokenizer tok("  0\r\nSECTION\n2\nHEADER  \r\n999\r\n");
  Tag t;
  ASSERT_EQ(tok.next(t), Tokenizer::Step::tag);
  EXPECT_EQ(t.code, 0);
  EXPECT_EQ(t.value, "SECTION");
  EXPECT_EQ(t.line, 1u);
  ASSERT_EQ(tok.next(t), Tokenizer::Step::tag);
  EXPECT_EQ(t.value, "HEADER  ");  // blanks in values are data
  EXPECT_EQ(t.line, 3u);
  tok.pushBack();
  ASSERT_EQ(tok.next(t), Tokenizer::Step::tag);
  EXPECT_EQ(t.code, 2);
  // A code without its value: the file is cut short.
  EXPECT_EQ(tok.next(t), Tokenizer::Step::error);
  EXPECT_NE(tok.error().find("文件不完整"), std::string::npos);
}

TEST(Tokenizer, refusesACodeThatIsNotANumber) {
  Tokenizer tok("abc\nSECTION\n");
  Tag t;
  EXPECT_EQ(tok.next(t), Tokenizer::Step::error);
  EXPECT_NE(tok.error().find("第 1 行"), std::string::npos);
  Tokenizer huge("99999\nx\n");
  EXPECT_EQ(huge.next(t), Tokenizer::Step::error);
  // What the line holds is quoted as text whatever its bytes (a binary file, say).
  Tokenizer binary(std::string_view("A\xB9\x00\x1A\nx\n", 6));
  EXPECT_EQ(binary.next(t), Tokenizer::Step::error);
  EXPECT_NE(binary.error().find("却是“A\\xB9\\x00\\x1A”"), std::string::npos) << binary.error();
}

TEST(Tokenizer, marksLetATagBeReadAgain) {
  Tokenizer tok("0\nA\n0\nB\n0\nC\n");
  Tag t;
  tok.next(t);
  const Tokenizer::Mark m = tok.mark();
  tok.next(t);
  tok.next(t);
  EXPECT_EQ(t.value, "C");
  tok.seek(m);
  tok.next(t);
  EXPECT_EQ(t.value, "B");
  EXPECT_EQ(t.line, 3u);
}

TEST(Numbers, parseWithBlanksAndRefuseJunk) {
  double v;
  EXPECT_TRUE(parseDouble("  12.5 ", v));
  EXPECT_EQ(v, 12.5);
  EXPECT_TRUE(parseDouble("+1e3", v));
  EXPECT_EQ(v, 1000);
  EXPECT_FALSE(parseDouble("1.5x", v));
  EXPECT_FALSE(parseDouble("", v));
  EXPECT_TRUE(parseDouble("1e999", v));  // overflow reads as a value that is not finite
  EXPECT_FALSE(std::isfinite(v));
  std::int64_t n;
  EXPECT_TRUE(parseInt(" -3", n));
  EXPECT_EQ(n, -3);
  EXPECT_FALSE(parseInt("1.0", n));
  std::uint64_t h;
  EXPECT_TRUE(parseHandle("2fA", h));
  EXPECT_EQ(h, 0x2FAu);
  EXPECT_FALSE(parseHandle("12345678901234567", h));
  EXPECT_FALSE(parseHandle("G1", h));
}

// Integers and handles read as the standard library reads the same text once the blanks
// and a leading '+' are gone: the short values are read by hand, the rest by the library.
TEST(Numbers, integersAndHandlesReadAsTheLibraryReadsThem) {
  const char* const texts[] = {"0", "7", "-7", "+7", " 42\r", "\r1", "\t-0", "255", "-", "+", "--5", "+-5", "5-",
                               "1 2", "0x10", "1e3", "999999999999999999", "-999999999999999999",
                               "9223372036854775807", "-9223372036854775808", "9223372036854775808",
                               "12345678901234567890", "ffffffffffffffff", "FFFFFFFFFFFFFFFF", "aBcDeF", "g",
                               "@", "`", "/", ":", "G1", "0000000000000001", "10000000000000000", ""};
  for (const char* text : texts) {
    std::string_view v(text);
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t' || v.front() == '\r')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
    const std::string_view signless = !v.empty() && v.front() == '+' ? v.substr(1) : v;

    std::int64_t expected = 0, n = 0;
    auto [end, ec] = std::from_chars(signless.data(), signless.data() + signless.size(), expected);
    const bool intOk = !signless.empty() && ec == std::errc() && end == signless.data() + signless.size();
    EXPECT_EQ(parseInt(text, n), intOk) << text;
    if (intOk) EXPECT_EQ(n, expected) << text;

    std::uint64_t expectedHandle = 0, h = 0;
    auto [hend, hec] = std::from_chars(v.data(), v.data() + v.size(), expectedHandle, 16);
    const bool handleOk = !v.empty() && v.size() <= 16 && hec == std::errc() && hend == v.data() + v.size();
    EXPECT_EQ(parseHandle(text, h), handleOk) << text;
    if (handleOk) EXPECT_EQ(h, expectedHandle) << text;
  }
}

std::string real(double v) {
  char buf[40];
  return std::string(buf, formatReal(v, buf));
}

TEST(Numbers, realsAreShortestTextWithADecimalPoint) {
  EXPECT_EQ(real(0.0), "0.0");
  EXPECT_EQ(real(-0.0), "-0.0");
  EXPECT_EQ(real(100.0), "100.0");
  EXPECT_EQ(real(-6.35), "-6.35");
  EXPECT_EQ(real(0.1), "0.1");
  EXPECT_EQ(real(1.0 / 3.0), "0.3333333333333333");
  EXPECT_EQ(real(1e20), "1.0e+20");
  EXPECT_EQ(real(1e-7), "1.0e-07");
  EXPECT_EQ(real(123456789012.5), "123456789012.5");
}

TEST(Numbers, everyRealReadsBackToTheSameDouble) {
  std::mt19937_64 rng(42);
  std::uniform_int_distribution<std::uint64_t> bits;
  for (int i = 0; i < 200000; ++i) {
    std::uint64_t b = bits(rng);
    double v;
    std::memcpy(&v, &b, sizeof v);
    if (!std::isfinite(v)) continue;
    const std::string s = real(v);
    ASSERT_NE(s.find('.'), std::string::npos) << s;
    double back;
    ASSERT_TRUE(parseDouble(s, back)) << s;
    ASSERT_EQ(std::memcmp(&back, &v, sizeof v), 0) << s;
  }
}

TEST(Sinks, textSinkAlignsCodesInThreeColumnsWithCrlf) {
  StringSink sink;
  sink.tag(0, "SECTION");
  sink.tag(10, "1.0");
  sink.tag(330, "1F");
  ASSERT_TRUE(sink.finish());
  EXPECT_EQ(sink.text, "  0\r\nSECTION\r\n 10\r\n1.0\r\n330\r\n1F\r\n");
  EXPECT_EQ(formatHandle(0xABC), "ABC");
}

}  // namespace
}  // namespace orv::dxf
