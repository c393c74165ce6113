// Pattern files read (and refused line by line), and pattern lines placed at a scale and
// angle as a hatch stores them.
#include "orv/core/hatch_patterns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>

namespace orv::core {
namespace {

TEST(HatchPatterns, badLinesAreNamedAndTheirPatternsLeftOut) {
  struct Case {
    std::string name, text;
    std::vector<std::string> patterns;  // read whole
    std::vector<std::string> problems;  // each problem begins with one of these
  } cases[] = {
      {"good file with comments and CRLF", "; header\r\n*ONE, first\r\n0, 0,0, 0,1\r\n\r\n*TWO\r\n45,0,0,0,2,1,-1 ; tail\r\n",
       {"ONE", "TWO"}, {}},
      {"too few numbers", "*A\n0, 0,0, 1\n*B\n0,0,0,0,1\n", {"B"},
       {"第 2 行：图案线须有角度、原点 X、原点 Y、偏移 X、偏移 Y 五个数值，这里只有 4 个，图案“A”已略去"}},
      {"not a number", "*A\n0, 0,x, 0,1\n", {}, {"第 2 行：“x”不是数值，图案“A”已略去"}},
      {"zero spacing", "*A\n0,0,0,5,0\n", {}, {"第 2 行：偏移 Y（线与线的间距）不能为零，图案“A”已略去"}},
      {"gaps only", "*A\n0,0,0,0,1,-1,-2\n", {}, {"第 2 行：划线全是空白，画不出任何东西，图案“A”已略去"}},
      {"line before any name", "0,0,0,0,1\n*A\n0,0,0,0,1\n", {"A"}, {"第 1 行：图案线之前没有图案名（*名称）"}},
      {"empty name", "*\n0,0,0,0,1\n", {}, {"第 1 行：图案名为空", "第 2 行：图案线之前没有图案名"}},
      {"defined twice: the first kept", "*A\n0,0,0,0,1\n*a\n0,0,0,0,2\n", {"A"}, {"第 3 行：图案“a”已定义过"}},
      {"no lines", "*A\n*B\n0,0,0,0,1\n", {"B"}, {"图案“A”没有图案线"}},
      {"infinite value", "*A\n0,0,0,0,1e999\n", {}, {"第 2 行：“1e999”不是数值"}},
      {"SOLID needs no line", "*SOLID, fill\n", {"SOLID"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PatternFile f = readPatterns(c.text);
    std::vector<std::string> names;
    for (const auto& p : f.patterns) names.push_back(p.name);
    EXPECT_EQ(names, c.patterns);
    ASSERT_EQ(f.problems.size(), c.problems.size());
    for (std::size_t i = 0; i < c.problems.size(); ++i) EXPECT_EQ(f.problems[i].rfind(c.problems[i], 0), 0u) << f.problems[i];
  }
  const PatternFile f = readPatterns("*TWO, second one\n45,1,2,3,4,5,-6,0\n");
  const HatchPattern* p = f.find("two");
  ASSERT_TRUE(p && p->lines.size() == 1);
  EXPECT_EQ(p->description, "second one");
  const PatternLineDef& l = p->lines[0];
  EXPECT_EQ(std::tuple(l.angle, l.base, l.offset, l.dashes),
            std::tuple(45.0, Vec2{1, 2}, Vec2{3, 4}, std::vector<double>{5, -6, 0}));
  EXPECT_EQ(f.find("three"), nullptr);
}

TEST(HatchPatterns, linesAreTurnedAndScaledAsAHatchStoresThem) {
  const PatternFile f = readPatterns("*P\n45, 0,0, 0,3.175\n0, 1,2, 3,4, 5,-1\n*SOLID\n45,0,0,0,1\n");
  const HatchPattern& p = *f.find("P");
  struct Case {
    double scale, angle;
    std::size_t line;
    double wantAngle;
    Vec2 base, offset;
    std::vector<double> dashes;
  } cases[] = {
      // ANSI31-like at scale 1: 45 degrees, the next line 3.175 to the upper left.
      {1, 0, 0, 45, {0, 0}, {-3.175 * std::sqrt(0.5), 3.175 * std::sqrt(0.5)}, {}},
      // Turned a further 45 degrees and doubled: vertical lines 6.35 apart, to the left.
      {2, 45, 0, 90, {0, 0}, {-6.35, 0}, {}},
      // The offset is along (3) and across (4) the line; the base turns with the pattern.
      {10, 90, 1, 90, {-20, 10}, {-40, 30}, {50, -10}},
      {1, 300, 1, 300, {1 * 0.5 + 2 * std::sqrt(0.75), -std::sqrt(0.75) + 2 * 0.5},
       {3 * 0.5 + 4 * std::sqrt(0.75), -3 * std::sqrt(0.75) + 4 * 0.5}, {5, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.scale) + " " + std::to_string(c.angle));
    const auto lines = patternLines(p, c.scale, c.angle);
    ASSERT_EQ(lines.size(), 2u);
    const HatchPatternLine& l = lines[c.line];
    EXPECT_NEAR(l.angle, c.wantAngle, 1e-9);
    EXPECT_NEAR(distance(l.base, c.base), 0, 1e-9);
    EXPECT_NEAR(distance(l.offset, c.offset), 0, 1e-9);
    ASSERT_EQ(l.dashes.size(), c.dashes.size());
    for (std::size_t i = 0; i < c.dashes.size(); ++i) EXPECT_NEAR(l.dashes[i], c.dashes[i], 1e-9);
  }
  EXPECT_TRUE(patternLines(*f.find("SOLID"), 1, 0).empty());
  EXPECT_TRUE(patternLines(p, 0, 0).empty());
  EXPECT_TRUE(patternLines(p, -1, 0).empty());
}

// The program's own pattern file reads whole and holds the patterns HATCH offers by name.
TEST(HatchPatterns, theProgramsPatternFileHoldsTheStandardNames) {
  std::ifstream in(ORV_PATTERN_FILE);
  ASSERT_TRUE(in) << ORV_PATTERN_FILE;
  std::stringstream text;
  text << in.rdbuf();
  const PatternFile f = readPatterns(text.str());
  EXPECT_TRUE(f.problems.empty()) << f.problems.front();
  for (const char* name : {"SOLID", "ANSI31", "ANSI32", "ANSI33", "ANSI34", "ANSI35", "ANSI36", "ANSI37", "ANSI38",
                           "AR-CONC", "AR-SAND", "NET", "DOTS", "LINE", "BRICK", "HEX", "EARTH", "STEEL"})
    EXPECT_TRUE(f.find(name)) << name;
  // In millimetres: ANSI31's lines are 3.175 apart.
  const auto ansi31 = patternLines(*f.find("ANSI31"), 1, 0);
  ASSERT_EQ(ansi31.size(), 1u);
  EXPECT_NEAR(length(ansi31[0].offset), 3.175, 1e-9);
}

}  // namespace
}  // namespace orv::core
