// Dimension layouts against coordinates worked out by hand: extension lines, arrowheads,
// text position and angle, and what moves outside when it does not fit.
#include "orv/core/dimension_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

namespace orv::core {
namespace {

// The default metric style: text 2.5, arrows 2.5, offset 0.625, beyond 1.25, gap 0.625.
const DimensionStyle kStyle{};

::testing::AssertionResult near(Vec2 a, Vec2 b) {
  if (distance(a, b) <= 1e-6) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << a.x << ", " << a.y << ") is not (" << b.x << ", " << b.y << ")";
}

bool hasLine(const DimensionParts& p, Vec2 a, Vec2 b) {
  for (const Segment& s : p.lines)
    if ((distance(s.a, a) < 1e-6 && distance(s.b, b) < 1e-6) || (distance(s.a, b) < 1e-6 && distance(s.b, a) < 1e-6))
      return true;
  return false;
}

struct Expect {
  std::string name;
  DimensionParts parts;
  double measurement;
  std::string text;
  Vec2 textAt;
  double textAngle;
  std::vector<std::pair<Vec2, Vec2>> lines;             // present among the lines
  std::vector<std::pair<Vec2, Vec2>> arrows;            // tip, direction, in order
  bool arrowsOutside = false, textOutside = false;
};

void check(const Expect& e) {
  SCOPED_TRACE(e.name);
  const DimensionParts& p = e.parts;
  EXPECT_NEAR(p.measurement, e.measurement, 1e-9);
  EXPECT_EQ(p.text.content, e.text);
  EXPECT_TRUE(near(p.text.position, e.textAt));
  EXPECT_NEAR(p.text.angle, e.textAngle, 1e-6);
  for (const auto& [a, b] : e.lines) EXPECT_TRUE(hasLine(p, a, b)) << "(" << a.x << "," << a.y << ")-(" << b.x << "," << b.y << ")";
  ASSERT_EQ(p.arrows.size(), e.arrows.size());
  for (std::size_t i = 0; i < e.arrows.size(); ++i) {
    EXPECT_TRUE(near(p.arrows[i].tip, e.arrows[i].first)) << "arrow " << i;
    EXPECT_TRUE(near(p.arrows[i].direction, e.arrows[i].second)) << "arrow " << i;
  }
  EXPECT_EQ(p.filled.size(), e.arrows.size());
  EXPECT_EQ(p.arrowsOutside, e.arrowsOutside);
  EXPECT_EQ(p.textOutside, e.textOutside);
}

TEST(DimensionGeometry, straightDimensionsLayOutAsWorkedByHand) {
  const double up = 0.625 + 1.25;  // gap plus half the text height
  const Vec2 n{-0.8, 0.6};         // left of (0.6, 0.8)
  const std::vector<Expect> cases = {
      {"horizontal above its origins", linearDimension({0, 0}, {100, 20}, {50, 40}, 0, kStyle), 100, "100.00",
       {50, 40 + up}, 0,
       {{{0, 0.625}, {0, 41.25}}, {{100, 20.625}, {100, 41.25}}, {{0, 40}, {100, 40}}},
       {{{0, 40}, {-1, 0}}, {{100, 40}, {1, 0}}}},
      {"horizontal below its origins: text still above the line", linearDimension({0, 0}, {100, 0}, {30, -20}, 0, kStyle),
       100, "100.00", {50, -20 + up}, 0, {{{0, -0.625}, {0, -21.25}}}, {{{0, -20}, {-1, 0}}, {{100, -20}, {1, 0}}}},
      {"vertical reads upwards, text to the left", linearDimension({0, 0}, {30, 50}, {-20, 0}, 90, kStyle), 50,
       "50.00", {-20 - up, 25}, 90,
       {{{-0.625, 0}, {-21.25, 0}}, {{29.375, 50}, {-21.25, 50}}, {{-20, 0}, {-20, 50}}},
       {{{-20, 0}, {0, -1}}, {{-20, 50}, {0, 1}}}},
      {"rotated 30 degrees measures along its line", linearDimension({0, 0}, {10, 0}, {0, 0}, 30, kStyle),
       10 * std::cos(30 * kDegree), "8.66",
       Vec2{3.75, 7.5 * std::tan(30 * kDegree) / 2} + up * Vec2{-0.5, std::cos(30 * kDegree)}, 30, {}, {{{0, 0}, {-std::cos(30 * kDegree), -0.5}},
       {{7.5, 7.5 * std::tan(30 * kDegree)}, {std::cos(30 * kDegree), 0.5}}}},
      {"aligned along its origins", alignedDimension({0, 0}, {30, 40}, {-8, 6}, kStyle), 50, "50.00",
       Vec2{7, 26} + up * n, std::atan2(0.8, 0.6) / kDegree,
       {{{-8, 6}, {22, 46}}, {0.625 * n, 11.25 * n}, {Vec2{30, 40} + 0.625 * n, Vec2{30, 40} + 11.25 * n}},
       {{{-8, 6}, {-0.6, -0.8}}, {{22, 46}, {0.6, 0.8}}}},
      {"aligned leaning left still reads left to right", alignedDimension({30, 0}, {0, 40}, {30, 0}, kStyle), 50,
       "50.00", Vec2{15, 20} + up * Vec2{0.8, 0.6}, std::atan2(-0.8, 0.6) / kDegree + 360, {{{30, 0}, {0, 40}}},
       {{{30, 0}, {0.6, -0.8}}, {{0, 40}, {-0.6, 0.8}}}},
      // 8.5 wide: "3.00" is 7 wide plus two gaps (8.25) and the arrows (5) both fit.
      {"text and arrows fit", linearDimension({0, 0}, {8.5, 0}, {0, 10}, 0, kStyle), 8.5, "8.50", {4.25, 10 + up}, 0,
       {}, {{{0, 10}, {-1, 0}}, {{8.5, 10}, {1, 0}}}},
      // 6 wide: the arrows fit, the text does not: it goes past the second end.
      {"text moves outside", linearDimension({0, 0}, {6, 0}, {0, 10}, 0, kStyle), 6, "6.00",
       {6 + 0.625 + 3.5, 10 + up}, 0, {{{6, 10}, {6 + 0.625 + 7 + 0.625, 10}}},
       {{{0, 10}, {-1, 0}}, {{6, 10}, {1, 0}}}, false, true},
      // 3 wide: neither fits: arrows outside pointing in, with tails, the text past the tail.
      {"arrows and text move outside", linearDimension({0, 0}, {3, 0}, {0, 10}, 0, kStyle), 3, "3.00",
       {3 + 5 + 0.625 + 3.5, 10 + up}, 0, {{{-5, 10}, {0, 10}}, {{0, 10}, {3, 10}}},
       {{{0, 10}, {1, 0}}, {{3, 10}, {-1, 0}}}, true, true},
  };
  for (const Expect& e : cases) check(e);
}

TEST(DimensionGeometry, radiusDiameterAndAnglesLayOutAsWorkedByHand) {
  const double up = 0.625 + 1.25;
  const double r45 = std::sqrt(50.0);
  const Vec2 diag{std::sqrt(0.5), std::sqrt(0.5)};
  const auto twoLines = angularDimension(Segment{{0, 0}, {10, 0}}, Segment{{0, 0}, {10, 10}}, {15, 3}, kStyle);
  const auto obtuse = angularDimension(Segment{{0, 0}, {10, 0}}, Segment{{0, 0}, {10, 10}}, {-10, 3}, kStyle);
  ASSERT_TRUE(twoLines && obtuse);
  const double r103 = std::hypot(10.0, 3.0), rA = std::hypot(15.0, 3.0);
  const std::vector<Expect> cases = {
      // "R5.00" is 5 × 1.75 = 8.75 wide; it starts a gap past the picked point.
      {"radius, text outside", radiusDimension({10, 10}, 5, {20, 10}, kStyle), 5, "R5.00",
       {10 + 10 + 0.625 + 4.375, 10 + up}, 0, {{{15, 10}, {10 + 10 + 0.625 + 8.75 + 0.625, 10}}},
       {{{15, 10}, {-1, 0}}}, true, true},
      {"radius, text inside", radiusDimension({10, 10}, 5, {12, 10}, kStyle), 5, "R5.00", {12, 10 + up}, 0,
       {{{10, 10}, {15, 10}}}, {{{15, 10}, {1, 0}}}},
      {"diameter across the circle", diameterDimension({0, 0}, 10, {0, 5}, kStyle), 20, "%%c20.00", {-up, 0}, 90,
       {{{0, -10}, {0, 10}}}, {{{0, 10}, {0, 1}}, {{0, -10}, {0, -1}}}},
      {"diameter, text outside", diameterDimension({0, 0}, 10, {-20, 0}, kStyle), 20, "%%c20.00",
       {-(20 + 0.625 + 0.7 * 2.5 * 6 / 2), up}, 0, {{{10, 0}, {-(20 + 0.625 + 10.5 + 0.625), 0}}},
       {{{-10, 0}, {-1, 0}}, {{10, 0}, {1, 0}}}, false, true},
      {"three points, right angle", angularDimension({0, 0}, {10, 0}, {0, 10}, {5, 5}, kStyle), 90, "90%%d",
       (r45 + up) * diag, 315, {{{9.375, 0}, {r45 - 1.25, 0}}, {{0, 9.375}, {0, r45 - 1.25}}},
       {{{r45, 0}, {0, -1}}, {{0, r45}, {-1, 0}}}},
      {"three points, the reflex side", angularDimension({0, 0}, {10, 0}, {0, 10}, {-5, -5}, kStyle), 270, "270%%d",
       Vec2{-5, -5} + up * diag, 315, {},
       {{{0, r45}, {1, 0}}, {{r45, 0}, {0, 1}}}},
      // The text on the arc's middle, outside it, along the arc as it reads.
      {"two lines, acute", *twoLines, 45, "45%%d", (rA + up) * unitAtDegrees(22.5), 292.5,
       {{{10.625, 0}, {rA + 1.25, 0}}}, {{{rA, 0}, {0, -1}}, {rA * diag, {-diag.x, diag.y}}}},
      {"two lines, the other quarter", *obtuse, 135, "135%%d", (r103 + up) * unitAtDegrees(112.5), 22.5, {},
       {{r103 * diag, {diag.x, -diag.y}}, {{-r103, 0}, {0, -1}}}},
  };
  for (const Expect& e : cases) check(e);
  EXPECT_FALSE(angularDimension(Segment{{0, 0}, {10, 0}}, Segment{{0, 5}, {10, 5}}, {5, 2}, kStyle));
}

TEST(DimensionGeometry, styleSizesScaleAndArrowKindsChangeTheMarks) {
  DimensionStyle s;
  s.scale = 10;
  s.decimals = 0;
  s.arrow = ArrowKind::tick;
  const auto p = linearDimension({0, 0}, {1000, 0}, {0, 100}, 0, s);
  EXPECT_EQ(p.text.content, "1000");
  EXPECT_NEAR(p.text.height, 25, 1e-12);
  EXPECT_TRUE(near(p.text.position, {500, 100 + 6.25 + 12.5}));
  EXPECT_TRUE(hasLine(p, {0, 6.25}, {0, 112.5}));
  ASSERT_EQ(p.ticks.size(), 2u);
  EXPECT_TRUE(p.filled.empty());
  EXPECT_TRUE(near(p.ticks[0].stroke.a, {12.5, 100 + 12.5}));  // across the tip at 45 degrees
  EXPECT_TRUE(near(p.ticks[0].stroke.b, {-12.5, 100 - 12.5}));
  s.arrow = ArrowKind::dot;
  const auto dots = linearDimension({0, 0}, {1000, 0}, {0, 100}, 0, s);
  ASSERT_EQ(dots.dots.size(), 2u);
  EXPECT_NEAR(dots.dots[1].radius, 6.25, 1e-12);
  EXPECT_TRUE(near(dots.dots[1].center, {1000, 100}));
  // A closed filled arrow: length DIMASZ, a third as wide.
  const auto filled = linearDimension({0, 0}, {100, 0}, {0, 10}, 0, kStyle);
  ASSERT_EQ(filled.filled.size(), 2u);
  EXPECT_TRUE(near(filled.filled[1][0], {100, 10}));
  EXPECT_TRUE(near(filled.filled[1][1], {97.5, 10 + 2.5 / 6}));
  EXPECT_TRUE(near(filled.filled[1][2], {97.5, 10 - 2.5 / 6}));
}

// The points a DIMENSION entity stores, from which readers measure it again.
TEST(DimensionGeometry, definitionPointsAreThoseTheEntityStores) {
  struct Case {
    std::string name;
    DimensionParts parts;
    std::vector<std::pair<int, Vec2>> want;
  } cases[] = {
      {"linear", linearDimension({0, 0}, {100, 20}, {50, 40}, 0, kStyle), {{10, {100, 40}}, {13, {0, 0}}, {14, {100, 20}}}},
      {"aligned", alignedDimension({0, 0}, {30, 40}, {-8, 6}, kStyle), {{10, {22, 46}}, {13, {0, 0}}, {14, {30, 40}}}},
      {"radius", radiusDimension({10, 10}, 5, {20, 10}, kStyle), {{10, {10, 10}}, {15, {15, 10}}}},
      {"diameter", diameterDimension({0, 0}, 10, {0, 5}, kStyle), {{10, {0, -10}}, {15, {0, 10}}}},
      {"three points", angularDimension({0, 0}, {10, 0}, {0, 10}, {5, 5}, kStyle),
       {{13, {10, 0}}, {14, {0, 10}}, {15, {0, 0}}, {10, {5, 5}}}},
      {"two lines", *angularDimension(Segment{{1, 0}, {10, 0}}, Segment{{2, 2}, {10, 10}}, {15, 3}, kStyle),
       {{13, {1, 0}}, {14, {10, 0}}, {15, {2, 2}}, {10, {10, 10}}, {16, {15, 3}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.parts.definitionPoints.size(), c.want.size());
    for (const auto& [code, p] : c.want) EXPECT_TRUE(near(c.parts.definitionPoint(code), p)) << code;
  }
  // Two lines that do not meet where drawn still measure at their crossing.
  EXPECT_NEAR(cases[5].parts.measurement, 45, 1e-9);
  EXPECT_EQ(cases[5].parts.arcs.at(0).center, (Vec2{0, 0}));
}

TEST(DimensionGeometry, textIsWrittenFromTheMeasurement) {
  struct Case {
    double value;
    int decimals;
    std::string written, want;
  } cases[] = {
      {12.5, 2, "", "12.50"},   {12.345, 0, "", "12"},     {-0.0001, 2, "", "0.00"},
      {7, 1, "DN<>", "DN7.0"}, {7, 1, "<> (<>)", "7.0 (7.0)"}, {7, 1, "管长", "管长"},
      {7, 1, " ", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(dimensionContent(c.written, formatMeasurement(c.value, c.decimals)), c.want) << c.written;
  const auto p = linearDimension({0, 0}, {100, 0}, {0, 10}, 0, kStyle, DimensionOptions{.text = "L=<>", .textAbove = true});
  EXPECT_EQ(p.text.content, "L=100.00");
  // Centred text breaks the dimension line around it.
  const auto centred = linearDimension({0, 0}, {100, 0}, {0, 10}, 0, kStyle, DimensionOptions{.text = "", .textAbove = false});
  EXPECT_TRUE(near(centred.text.position, {50, 10}));
  const double half = estimatedTextWidth("100.00", 2.5) / 2 + 0.625;
  EXPECT_TRUE(hasLine(centred, {0, 10}, {50 - half, 10}));
  EXPECT_TRUE(hasLine(centred, {50 + half, 10}, {100, 10}));
  EXPECT_NEAR(estimatedTextWidth("%%c20", 2), 3 * 0.7 * 2, 1e-12);  // a control code is one character
  EXPECT_NEAR(estimatedTextWidth("管长", 2), 4, 1e-12);              // a Chinese one as wide as high
}

}  // namespace
}  // namespace orv::core
