// The drawing commands' constructions against values worked out by hand.
#include "draw_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orv::app::shapes {
namespace {

constexpr double kTol = 1e-9;
const double kQuarter = std::sqrt(2.0) - 1;  // the bulge of a quarter arc, tan(22.5°)

void expectNear(Vec2 got, Vec2 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, kTol) << what;
  EXPECT_NEAR(got.y, want.y, kTol) << what;
}

TEST(DrawGeometry, circlesThroughPointsAndTangentToTwoThings) {
  struct Case {
    const char* what;
    std::optional<CircleShape> got;
    std::optional<CircleShape> want;
  };
  const TangentLine xAxis{{0, 0}, {1, 0}}, yAxis{{0, 0}, {0, 1}}, atTen{{0, 10}, {1, 10}};
  const CircleShape unitLeft{{0, 0}, 1}, unitRight{{8, 0}, 1}, five{{0, 0}, 5};
  const Case cases[] = {
      {"right angle at the origin", circleThrough({0, 0}, {10, 0}, {0, 10}), CircleShape{{5, 5}, std::sqrt(50.0)}},
      {"unit circle", circleThrough({1, 0}, {0, 1}, {-1, 0}), CircleShape{{0, 0}, 1}},
      {"three points on a line", circleThrough({0, 0}, {1, 1}, {3, 3}), std::nullopt},
      {"diameter", circleOnDiameter({-2, 4}, {6, 4}), CircleShape{{2, 4}, 4}},
      {"two axes, first quadrant", tangentCircle(xAxis, {5, 0}, yAxis, {0, 5}, 2), CircleShape{{2, 2}, 2}},
      {"two axes, second quadrant", tangentCircle(xAxis, {-5, 0}, yAxis, {0, 5}, 2), CircleShape{{-2, 2}, 2}},
      {"a circle and a line", tangentCircle(five, {0, 5}, atTen, {3, 10}, 2.5), CircleShape{{0, 7.5}, 2.5}},
      {"two circles, above", tangentCircle(unitLeft, {0, 1}, unitRight, {8, 1}, 4), CircleShape{{4, 3}, 4}},
      {"two circles, below", tangentCircle(unitLeft, {0, -1}, unitRight, {8, -1}, 4), CircleShape{{4, -3}, 4}},
      {"two circles too far apart", tangentCircle(unitLeft, {0, 1}, unitRight, {8, 1}, 2), std::nullopt},
      {"parallel lines too far apart", tangentCircle(xAxis, {0, 0}, atTen, {0, 10}, 2), std::nullopt},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.got.has_value(), c.want.has_value()) << c.what;
    if (!c.want) continue;
    expectNear(c.got->center, c.want->center, c.what);
    EXPECT_NEAR(c.got->radius, c.want->radius, kTol) << c.what;
  }
}

TEST(DrawGeometry, arcsRunCounterClockwiseWhicheverWayTheyWereGiven) {
  struct Case {
    const char* what;
    std::optional<ArcShape> got;
    ArcShape want;
  };
  const Case cases[] = {
      {"upper half, counter-clockwise", arcThrough({10, 0}, {0, 10}, {-10, 0}), {{0, 0}, 10, 0, 180}},
      {"upper half, clockwise", arcThrough({-10, 0}, {0, 10}, {10, 0}), {{0, 0}, 10, 0, 180}},
      {"over the top of (1, 0)", arcThrough({0, 0}, {1, 1}, {2, 0}), {{1, 0}, 1, 0, 180}},
      {"three quarters", arcThrough({0, 5}, {-5, 0}, {5, 0}), {{0, 0}, 5, 90, 0}},
      {"centre, start, end", arcFromCentre({1, 1}, {3, 1}, {1, 9}), {{1, 1}, 2, 0, 90}},
      {"included angle", arcFromCentreAngle({0, 0}, {0, 4}, 90), {{0, 0}, 4, 90, 180}},
      {"included angle, clockwise", arcFromCentreAngle({0, 0}, {4, 0}, -90), {{0, 0}, 4, 270, 0}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.got) << c.what;
    expectNear(c.got->center, c.want.center, c.what);
    EXPECT_NEAR(c.got->radius, c.want.radius, kTol) << c.what;
    EXPECT_NEAR(c.got->startAngle, c.want.startAngle, kTol) << c.what;
    EXPECT_NEAR(c.got->endAngle, c.want.endAngle, kTol) << c.what;
  }
  EXPECT_FALSE(arcThrough({0, 0}, {1, 0}, {2, 0}));
}

TEST(DrawGeometry, tangentArcsAsBulgesAndTheDirectionTheyLeave) {
  struct Case {
    const char* what;
    Vec2 direction, from, to;
    std::optional<double> bulge;
    Vec2 leaving;  // the direction at `to`, scaled as the chord
  };
  const Case cases[] = {
      {"half circle to the left", {1, 0}, {0, 0}, {0, 10}, 1.0, {-10, 0}},
      {"half circle to the right", {1, 0}, {0, 0}, {0, -10}, -1.0, {-10, 0}},
      {"quarter circle", {1, 0}, {0, 0}, {10, 10}, kQuarter, {0, 10 * std::sqrt(2.0)}},
      {"straight on", {0, 2}, {5, 5}, {5, 9}, 0.0, {0, 4}},
      {"straight back", {1, 0}, {0, 0}, {-5, 0}, std::nullopt, {}},
      {"nowhere", {1, 0}, {3, 3}, {3, 3}, std::nullopt, {}},
  };
  for (const Case& c : cases) {
    const auto b = tangentArcBulge(c.direction, c.from, c.to);
    ASSERT_EQ(b.has_value(), c.bulge.has_value()) << c.what;
    if (!b) continue;
    EXPECT_NEAR(*b, *c.bulge, kTol) << c.what;
    expectNear(endDirection(c.from, c.to, *b), c.leaving, c.what);
  }
}

TEST(DrawGeometry, rectanglesWithAndWithoutRoundedCorners) {
  using V = std::vector<BulgeVertex>;
  struct Case {
    const char* what;
    Vec2 a, b;
    double fillet;
    std::optional<V> want;
  };
  const Case cases[] = {
      {"corners in any order", {10, 20}, {0, 0}, 0, V{{{0, 0}}, {{10, 0}}, {{10, 20}}, {{0, 20}}}},
      {"rounded", {0, 0}, {10, 20}, 2,
       V{{{2, 0}}, {{8, 0}, kQuarter}, {{10, 2}}, {{10, 18}, kQuarter}, {{8, 20}}, {{2, 20}, kQuarter}, {{0, 18}},
         {{0, 2}, kQuarter}}},
      {"no straight part left on the short sides", {0, 0}, {10, 20}, 5,
       V{{{5, 0}, kQuarter}, {{10, 5}}, {{10, 15}, kQuarter}, {{5, 20}, kQuarter}, {{0, 15}}, {{0, 5}, kQuarter}}},
      {"too small for the radius", {0, 0}, {10, 20}, 5.5, std::nullopt},
      {"no area", {0, 0}, {10, 0}, 0, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto got = rectangleVertices(c.a, c.b, c.fillet);
    ASSERT_EQ(got.has_value(), c.want.has_value()) << c.what;
    if (!got) continue;
    ASSERT_EQ(got->size(), c.want->size()) << c.what;
    for (std::size_t i = 0; i < got->size(); ++i) {
      expectNear((*got)[i].point, (*c.want)[i].point, c.what);
      EXPECT_NEAR((*got)[i].bulge, (*c.want)[i].bulge, kTol) << c.what << " vertex " << i;
    }
  }
}

TEST(DrawGeometry, regularPolygonsAboutACentreAndOnAnEdge) {
  const double h = std::sqrt(3.0) / 2, s2 = std::sqrt(0.5);
  struct Case {
    const char* what;
    std::vector<Vec2> got, want;
  };
  const Case cases[] = {
      {"square on an edge", polygonOnEdge(4, {0, 0}, {10, 0}), {{0, 0}, {10, 0}, {10, 10}, {0, 10}}},
      {"triangle on an edge", polygonOnEdge(3, {0, 0}, {2, 0}), {{0, 0}, {2, 0}, {1, 2 * h}}},
      {"inscribed square, typed radius: bottom edge level",
       polygonAbout(4, {0, 0}, polygonFirstVertex(4, {0, 0}, 10, true, std::nullopt)),
       {{-10 * s2, -10 * s2}, {10 * s2, -10 * s2}, {10 * s2, 10 * s2}, {-10 * s2, 10 * s2}}},
      {"circumscribed square, typed radius", polygonAbout(4, {0, 0}, polygonFirstVertex(4, {0, 0}, 10, false, std::nullopt)),
       {{-10, -10}, {10, -10}, {10, 10}, {-10, 10}}},
      {"circumscribed square through a point: an edge's middle there",
       polygonAbout(4, {0, 0}, polygonFirstVertex(4, {0, 0}, 10, false, Vec2{10, 0})),
       {{10, -10}, {10, 10}, {-10, 10}, {-10, -10}}},
      {"inscribed hexagon through a point: a vertex there",
       polygonAbout(6, {1, 1}, polygonFirstVertex(6, {1, 1}, 2, true, Vec2{3, 1})),
       {{3, 1}, {2, 1 + 2 * h}, {0, 1 + 2 * h}, {-1, 1}, {0, 1 - 2 * h}, {2, 1 - 2 * h}}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.got.size(), c.want.size()) << c.what;
    for (std::size_t i = 0; i < c.got.size(); ++i) expectNear(c.got[i], c.want[i], c.what);
  }
}

TEST(DrawGeometry, areaAndLengthOfClosedOutlinesWithArcs) {
  const double pi = 3.14159265358979323846;
  struct Case {
    const char* what;
    std::vector<BulgeVertex> outline;
    double area, length;
  };
  const Case cases[] = {
      {"square, counter-clockwise", {{{0, 0}}, {{10, 0}}, {{10, 10}}, {{0, 10}}}, 100, 40},
      {"square, clockwise", {{{0, 0}}, {{0, 10}}, {{10, 10}}, {{10, 0}}}, 100, 40},
      {"circle of two half arcs", {{{1, 0}, 1}, {{-1, 0}, 1}}, pi, 2 * pi},
      {"rounded rectangle 10 by 20, radius 2", *rectangleVertices({0, 0}, {10, 20}, 2), 184 + 4 * pi, 44 + 4 * pi},
      {"square with a half circle bitten out of its top", {{{0, 0}}, {{4, 0}}, {{4, 4}, -1}, {{0, 4}}},
       16 - pi * 2, 12 + 2 * pi},
  };
  for (const Case& c : cases) {
    const AreaAndLength m = closedOutline(c.outline);
    EXPECT_NEAR(m.area, c.area, kTol) << c.what;
    EXPECT_NEAR(m.length, c.length, kTol) << c.what;
  }
}

TEST(DrawGeometry, pointsAlongPathsOfLinesAndArcs) {
  const double pi = 3.14159265358979323846, r2 = std::sqrt(0.5);
  const std::vector<BulgeVertex> lineThenQuarter{{{0, 0}}, {{10, 0}, kQuarter}, {{20, 10}}};
  const std::vector<BulgeVertex> clockwiseHalf{{{0, 0}, -1}, {{10, 0}}};
  const std::vector<BulgeVertex> unitCircle{{{1, 0}, 1}, {{-1, 0}, 1}};
  EXPECT_NEAR(lengthOf(lineThenQuarter, false), 10 + 5 * pi, kTol);
  EXPECT_NEAR(lengthOf(lineThenQuarter, true), 10 + 5 * pi + std::sqrt(500.0), kTol);
  EXPECT_NEAR(lengthOf(unitCircle, true), 2 * pi, kTol);
  struct Case {
    const char* what;
    const std::vector<BulgeVertex>& path;
    bool closed;
    double at;
    PathPoint want;
  };
  const Case cases[] = {
      {"on the line", lineThenQuarter, false, 5, {{5, 0}, 0}},
      {"halfway round the quarter", lineThenQuarter, false, 10 + 2.5 * pi, {{10 + 10 * r2, 10 - 10 * r2}, 45}},
      {"past the end", lineThenQuarter, false, 100, {{20, 10}, 90}},
      {"on the closing segment", lineThenQuarter, true, 10 + 5 * pi + std::sqrt(125.0), {{10, 5}, 360 + std::atan2(-1.0, -2.0) * 180 / pi}},
      {"top of a clockwise half circle", clockwiseHalf, false, 2.5 * pi, {{5, 5}, 0}},
      {"a quarter round a circle", unitCircle, true, pi / 2, {{0, 1}, 180}},
      {"three quarters round a circle", unitCircle, true, 1.5 * pi, {{0, -1}, 0}},
  };
  for (const Case& c : cases) {
    const PathPoint p = pointAlong(c.path, c.closed, c.at);
    expectNear(p.point, c.want.point, c.what);
    EXPECT_NEAR(p.direction, c.want.direction, 1e-7) << c.what;
  }
}

TEST(DrawGeometry, ellipsesTakeTheLongerHalfAxisAsTheMajorOne) {
  struct Case {
    const char* what;
    std::optional<EllipseShape> got;
    std::optional<EllipseShape> want;
  };
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {"first axis the longer", ellipseOnAxisEnds({0, 0}, {20, 0}, 5), EllipseShape{{10, 0}, {10, 0}, 0.5}},
      {"ends given right to left", ellipseOnAxisEnds({20, 0}, {0, 0}, 5), EllipseShape{{10, 0}, {-10, 0}, 0.5}},
      {"second axis the longer, turned a quarter", ellipseOnAxisEnds({0, 0}, {8, 0}, 16),
       EllipseShape{{4, 0}, {0, 16}, 0.25}},
      {"slanted, second the longer", ellipseOnAxis({1, 1}, {4, 5}, 10), EllipseShape{{1, 1}, {-8, 6}, 0.5}},
      {"both halves equal: a circle", ellipseOnAxis({0, 0}, {0, -3}, 3), EllipseShape{{0, 0}, {0, -3}, 1}},
      {"from a centre", ellipseOnAxis({5, 5}, {5, 9}, 2), EllipseShape{{5, 5}, {0, 4}, 0.5}},
      {"far from the origin", ellipseOnAxisEnds({1e308, 0}, {1e308, 2e307}, 1e307),
       EllipseShape{{1e308, 1e307}, {0, 1e307}, 1}},
      {"axis ends on one point", ellipseOnAxisEnds({3, 3}, {3, 3}, 2), std::nullopt},
      {"no second half axis", ellipseOnAxis({0, 0}, {4, 0}, 0), std::nullopt},
      {"a negative half axis", ellipseOnAxis({0, 0}, {4, 0}, -2), std::nullopt},
      {"an endless half axis", ellipseOnAxis({0, 0}, {4, 0}, inf), std::nullopt},
      {"not a number", ellipseOnAxis({0, 0}, {4, 0}, nan), std::nullopt},
      {"flatter than allowed", ellipseOnAxis({0, 0}, {1e7, 0}, 1), std::nullopt},
      {"just flat enough", ellipseOnAxis({0, 0}, {1e6, 0}, 1), EllipseShape{{0, 0}, {1e6, 0}, 1e-6}},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(c.got.has_value(), c.want.has_value()) << c.what;
    if (!c.want) continue;
    expectNear(c.got->center, c.want->center, c.what);
    expectNear(c.got->majorAxis, c.want->majorAxis, c.what);
    EXPECT_NEAR(c.got->ratio, c.want->ratio, kTol) << c.what;
  }
}

}  // namespace
}  // namespace orv::app::shapes
