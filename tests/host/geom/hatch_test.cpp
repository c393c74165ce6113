// Hatches: boundary paths and pattern lines from their tags, loops chained from edges, islands by the hatch style.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "geom_test_util.h"
#include "orv/geom/hatch.h"

namespace orv::geom::test {
namespace {

using Tags = std::vector<std::pair<int, std::string>>;

void append(Tags& t, Tags more) { t.insert(t.end(), more.begin(), more.end()); }

Tags square(double x0, double y0, double x1, double y1, int flags) {
  return {{92, std::to_string(flags | 2)}, {72, "0"}, {73, "1"}, {93, "4"},
          {10, std::to_string(x0)}, {20, std::to_string(y0)}, {10, std::to_string(x1)}, {20, std::to_string(y0)},
          {10, std::to_string(x1)}, {20, std::to_string(y1)}, {10, std::to_string(x0)}, {20, std::to_string(y1)},
          {97, "0"}};
}

db::RawTags hatchTags(const std::vector<Tags>& paths, int style, Tags tail = {}) {
  Tags t = {{100, "AcDbHatch"}, {10, "0"}, {20, "0"}, {30, "2"}, {210, "0"}, {220, "0"}, {230, "1"},
            {2, "SOLID"}, {70, "1"}, {71, "0"}, {91, std::to_string(paths.size())}};
  for (const Tags& p : paths) append(t, p);
  append(t, {{75, std::to_string(style)}, {76, "1"}, {98, "0"}});
  append(t, tail);
  db::RawTags raw;
  for (const auto& [c, v] : t) raw.add(c, v);
  return raw;
}

TEST(HatchBoundary, islandsFollowTheHatchStyle) {
  // An outer square, a hole in it, and an island in the hole.
  const std::vector<Tags> paths = {square(0, 0, 100, 100, 1), square(20, 20, 80, 80, 16), square(40, 40, 60, 60, 0)};
  struct Case {
    int style;
    std::size_t loops;
  } cases[] = {{0, 3}, {1, 2}, {2, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.style);
    const auto h = decodeHatch(hatchTags(paths, c.style));
    ASSERT_TRUE(h);
    EXPECT_TRUE(h->solid);
    EXPECT_DOUBLE_EQ(h->elevation, 2.0);
    EXPECT_EQ(h->style, c.style);
    const auto loops = hatchBoundary(*h, 0.01);
    ASSERT_EQ(loops.size(), c.loops);
    EXPECT_EQ(loops[0].points.size(), 4u);
  }
  const auto h = decodeHatch(hatchTags(paths, 1));
  const auto loops = hatchBoundary(*h, 0.01);
  EXPECT_EQ(loops[0].depth, 0);
  EXPECT_EQ(loops[1].depth, 1);
}

TEST(HatchBoundary, chainsEdgesWhateverTheirDirectionWithArcsBothWays) {
  // A rounded slot: a line, a counter-clockwise half circle, a line stored backwards and
  // a clockwise half circle (stored mirrored, as files store them).
  Tags edges = {{92, "1"}, {93, "4"},
                {72, "1"}, {10, "0"}, {20, "0"}, {11, "10"}, {21, "0"},
                {72, "2"}, {10, "10"}, {20, "5"}, {40, "5"}, {50, "-90"}, {51, "90"}, {73, "1"},
                {72, "1"}, {10, "0"}, {20, "10"}, {11, "10"}, {21, "10"},
                {72, "2"}, {10, "0"}, {20, "5"}, {40, "5"}, {50, "90"}, {51, "270"}, {73, "0"},
                {97, "1"}, {330, "1F"}};
  const auto h = decodeHatch(hatchTags({edges}, 0));
  ASSERT_TRUE(h);
  ASSERT_EQ(h->paths.size(), 1u);
  ASSERT_EQ(h->paths[0].edges.size(), 4u);
  const HatchEdge& cw = h->paths[0].edges[3];
  EXPECT_FALSE(cw.counterClockwise);
  EXPECT_DOUBLE_EQ(cw.startAngle, 90.0);  // held counter-clockwise: 360 − 270 to 360 − 90
  EXPECT_DOUBLE_EQ(cw.endAngle, 270.0);
  const auto loops = hatchBoundary(*h, 0.001);
  ASSERT_EQ(loops.size(), 1u);
  Box box;
  double area = 0.0;
  const auto& p = loops[0].points;
  for (std::size_t i = 0; i < p.size(); ++i) {
    box.add(p[i]);
    area += p[i].x * p[(i + 1) % p.size()].y - p[(i + 1) % p.size()].x * p[i].y;
  }
  EXPECT_NEAR(box.minX, -5.0, 0.01);
  EXPECT_NEAR(box.maxX, 15.0, 0.01);
  EXPECT_NEAR(std::abs(area) / 2.0, 100.0 + 3.14159265358979 * 25.0, 0.05);  // a chain, not a bow tie
}

TEST(HatchDecoding, readsPatternLinesSplinesAndGradients) {
  Tags spline = {{92, "1"}, {93, "1"}, {72, "4"}, {94, "3"}, {73, "0"}, {74, "0"}, {95, "8"}, {96, "4"},
                 {40, "0"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "1"}, {40, "1"}, {40, "1"},
                 {10, "0"}, {20, "0"}, {10, "0"}, {20, "10"}, {10, "10"}, {20, "10"}, {10, "10"}, {20, "0"},
                 {97, "0"}, {97, "0"}};  // a fit-point count, then the path's source count
  const Tags pattern = {{52, "0"}, {41, "1"}, {77, "0"}, {78, "1"}, {53, "45"}, {43, "0"}, {44, "0"},
                        {45, "-2.245"}, {46, "2.245"}, {79, "2"}, {49, "3"}, {49, "-1"}};
  db::RawTags tags;
  for (const auto& [c, v] : Tags{{10, "0"}, {20, "0"}, {30, "0"}, {2, "ANSI31"}, {70, "0"}, {71, "0"}, {91, "1"}})
    tags.add(c, v);
  for (const auto& [c, v] : spline) tags.add(c, v);
  tags.add(75, "0");
  tags.add(76, "1");
  for (const auto& [c, v] : pattern) tags.add(c, v);
  tags.add(98, "1");
  tags.add(10, "5");
  tags.add(20, "5");
  tags.add(450, "1");
  tags.add(421, "16711680");
  const auto h = decodeHatch(tags);
  ASSERT_TRUE(h);
  EXPECT_FALSE(h->solid);
  ASSERT_EQ(h->paths[0].edges.size(), 1u);
  EXPECT_EQ(h->paths[0].edges[0].spline.controlPoints.size(), 4u);
  ASSERT_EQ(h->lines.size(), 1u);
  EXPECT_DOUBLE_EQ(h->lines[0].angle, 45.0);
  EXPECT_EQ(h->lines[0].dashes, (std::vector<double>{3, -1}));
  EXPECT_TRUE(h->gradient);
  EXPECT_EQ(h->gradientColor, 0xFF0000u);
  const auto loops = hatchBoundary(*h, 0.01);
  ASSERT_EQ(loops.size(), 1u);  // an open spline closed by its chord
}

TEST(HatchDecoding, damageGivesNothingOrWhatIsWhole) {
  // No path; a count that is far too large; a coordinate that is no number.
  EXPECT_FALSE(decodeHatch(hatchTags({}, 0)));
  db::RawTags huge;
  for (const auto& [c, v] : Tags{{91, "999999999"}, {92, "2"}, {93, "999999999"}, {10, "0"}, {20, "0"}})
    huge.add(c, v);
  const auto h = decodeHatch(huge);
  ASSERT_TRUE(h);
  EXPECT_TRUE(hatchBoundary(*h, 0.1).empty());  // one vertex is no loop
  EXPECT_FALSE(decodeHatch(hatchTags({Tags{{92, "2"}, {93, "1"}, {10, "x"}, {20, "0"}}}, 0)));
  // A bulge of a wild size still makes a bounded loop.
  const Tags bulged = {{92, "2"}, {72, "1"}, {73, "1"}, {93, "3"}, {10, "0"}, {20, "0"}, {42, "1e300"},
                       {10, "10"}, {20, "0"}, {10, "5"}, {20, "5"}};
  const auto b = decodeHatch(hatchTags({bulged}, 0));
  ASSERT_TRUE(b);
  const auto loops = hatchBoundary(*b, 0.01, 1000);
  ASSERT_EQ(loops.size(), 1u);
  EXPECT_LE(loops[0].points.size(), 1000u);
}

}  // namespace
}  // namespace orv::geom::test
