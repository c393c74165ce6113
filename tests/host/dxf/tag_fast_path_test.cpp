// The tag layer's fast paths against plain reference rules: tags of the usual form and of
// every other form split alike, and plain decimals read as the general number parser reads them.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "orv/dxf/tags.h"

namespace orv::dxf {
namespace {

struct Split {
  std::vector<std::tuple<int, std::string, std::size_t>> tags;
  bool failed = false;
  bool operator==(const Split&) const = default;
};

// The rules written out plainly: lines end at LF, one CR before it is dropped; a code
// line is a whole number from -32768 to 32767 with blanks (and a CR) around it; a blank
// last line is the end; a code without a value line is an error.
Split referenceSplit(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t nl = text.find('\n', at);
    std::string line(text.substr(at, nl == std::string_view::npos ? std::string_view::npos : nl - at));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = nl == std::string_view::npos ? text.size() : nl + 1;
  }
  Split out;
  for (std::size_t i = 0; i < lines.size(); i += 2) {
    std::string code = lines[i];
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!code.empty() && blank(code.back())) code.pop_back();
    std::size_t b = 0;
    while (b < code.size() && (code[b] == ' ' || code[b] == '\t')) ++b;
    code = code.substr(b);
    if (!code.empty() && code[0] == '+') code = code.substr(1);
    long value = 0;
    auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), value);
    const bool number = !code.empty() && ec == std::errc() && end == code.data() + code.size() &&
                        value >= -32768 && value <= 32767;
    if (!number) {
      out.failed = !(code.empty() && i + 1 == lines.size());
      return out;
    }
    if (i + 1 >= lines.size()) {
      out.failed = true;
      return out;
    }
    out.tags.emplace_back(static_cast<int>(value), lines[i + 1], i + 1);
  }
  return out;
}

Split tokenizerSplit(std::string_view text) {
  Tokenizer tok(text);
  Split out;
  Tag t;
  for (;;) {
    switch (tok.next(t)) {
      case Tokenizer::Step::tag:
        out.tags.emplace_back(t.code, std::string(t.value), t.line);
        continue;
      case Tokenizer::Step::error: out.failed = true; return out;
      case Tokenizer::Step::end: return out;
    }
  }
}

TEST(TagFastPath, everyFormOfCodeSplitsAsTheRulesSay) {
  const std::vector<std::string> texts = {
      "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n",
      "0\nLINE\n8\n0\n10\n1.5\n",                      // unpadded, LF
      " 10\r\n1.0\r\n100\r\nAcDbLine\r\n1001\r\nAPP\r\n",  // four digits
      "  0\r\r\nEOF\r\n",                              // CR CR LF
      "\t10\n2.0\n10 \n3.0\n+5\nA\n-1\nB\n",           // tabs, trailing blanks, signs
      "00010\nx\n",                                    // leading zeros
      "  5\n\n  1\n\r\n",                              // empty values
      "  1\r\n" + std::string(300, 'A') + "\r\n  0\r\nEOF",  // a long value; no final LF
      "  0\nEOF\n\n",                                  // a blank last line
      "  0\nEOF\n   \n",
      "1 2\nx\n",                                      // blanks inside a code
      "123456\nx\n", "99999\nx\n", " 1a\nx\n",
      "  0\r\n",                                       // a code without its value
      "  0\r\nEOF",                                    // the last value without LF
      "\xEF\xBB\xBF  0\nSECTION\n",                    // byte-order mark
      "  0\rSECTION\n",                                // a CR that ends no line
  };
  for (const std::string& text : texts) EXPECT_EQ(tokenizerSplit(text), referenceSplit(text)) << text;
}

TEST(TagFastPath, randomTagStreamsSplitAsTheRulesSay) {
  std::mt19937 rng(1234);
  const char* pads[] = {"", " ", "  ", "\t", "0"};
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const int count = 1 + static_cast<int>(rng() % 40);
    for (int i = 0; i < count; ++i) {
      const int code = static_cast<int>(rng() % 1100);
      std::string codeText = std::to_string(code);
      if (rng() % 4 == 0) codeText = pads[rng() % 5] + codeText;
      else if (codeText.size() < 3) codeText = std::string(3 - codeText.size(), ' ') + codeText;
      std::string value;
      const std::size_t length = rng() % 8 == 0 ? rng() % 300 : rng() % 20;
      for (std::size_t k = 0; k < length; ++k) value.push_back("0123456789.-ABC \r"[rng() % 17]);
      const char* eol = rng() % 2 ? "\r\n" : "\n";
      text += codeText + eol + value + eol;
    }
    if (rng() % 3 == 0) text.pop_back();  // no line feed at the very end
    ASSERT_EQ(tokenizerSplit(text), referenceSplit(text)) << text;
  }
}

TEST(TagFastPath, plainDecimalsReadAsTheGeneralParserReadsThem) {
  std::mt19937_64 rng(99);
  auto general = [](const std::string& s) {
    double v = 0;
    std::from_chars(s.data(), s.data() + s.size(), v);
    return v;
  };
  std::vector<std::string> samples = {"0.0",  "-0.0", "1",   "0.1",  "123456789012345",
                                      "-0.000000000000001", "999999999999999.0",
                                      "31672.8125", "936110.53125", "0.30000000000000004"};
  for (int i = 0; i < 200000; ++i) {
    const int digits = 1 + static_cast<int>(rng() % 17);
    std::string s = rng() % 2 ? "-" : "";
    std::string body;
    for (int k = 0; k < digits; ++k) body.push_back(static_cast<char>('0' + rng() % 10));
    const std::size_t point = rng() % (body.size() + 1);
    if (point > 0 && point < body.size()) body.insert(point, ".");
    samples.push_back(s + body);
  }
  for (const std::string& s : samples) {
    double v = -1.0;
    ASSERT_TRUE(parseDouble(s, v)) << s;
    const double expected = general(s);
    ASSERT_EQ(std::memcmp(&v, &expected, sizeof v), 0) << s << " read as " << v << ", not " << expected;
  }
  // Forms the fast path leaves to the general parser keep their meaning.
  double v = 0;
  EXPECT_TRUE(parseDouble(" +1.5 ", v));
  EXPECT_EQ(v, 1.5);
  EXPECT_TRUE(parseDouble("1e3", v));
  EXPECT_EQ(v, 1000.0);
  EXPECT_TRUE(parseDouble("1.", v));
  EXPECT_EQ(v, 1.0);
  EXPECT_TRUE(parseDouble(".5", v));
  EXPECT_EQ(v, 0.5);
  EXPECT_FALSE(parseDouble("-", v));
  EXPECT_FALSE(parseDouble("1.2.3", v));
  EXPECT_FALSE(parseDouble("", v));
}

}  // namespace
}  // namespace orv::dxf
