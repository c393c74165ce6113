// Intersections, trims, extensions, offsets, fillets and chamfers against values worked
// out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/core/fillet.h"
#include "orv/core/intersections.h"
#include "orv/core/offset.h"

namespace orv::core {
namespace {

constexpr double kTol = 1e-9;

void expectNear(Vec2 got, Vec2 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, kTol) << what;
  EXPECT_NEAR(got.y, want.y, kTol) << what;
}

Span circle(Vec2 c, double r) { return Span::arcOf(c, r, 0, kTwoPi); }

db::Polyline polyline(std::initializer_list<db::Vertex> vertices, bool closed = false) {
  db::Polyline p;
  for (const auto& v : vertices) p.addVertex(v.point, v.bulge);
  p.setClosed(closed);
  return p;
}

TEST(Carriers, meetWhereWorkedOutByHand) {
  struct Case {
    const char* name;
    Span s, t;
    std::vector<Vec2> want;
  } cases[] = {
      {"crossing lines", Span::line({0, 0}, {10, 0}), Span::line({5, -5}, {5, -4}), {{5, 0}}},
      {"parallel lines", Span::line({0, 0}, {10, 0}), Span::line({0, 1}, {10, 1}), {}},
      {"line through circle", Span::line({-10, 3}, {10, 3}), circle({0, 0}, 5), {{-4, 3}, {4, 3}}},
      {"line touching circle", Span::line({-10, 5}, {10, 5}), circle({0, 0}, 5), {{0, 5}}},
      {"line missing circle", Span::line({-10, 6}, {10, 6}), circle({0, 0}, 5), {}},
      {"two circles", circle({0, 0}, 5), circle({8, 0}, 5), {{4, 3}, {4, -3}}},
      {"circles apart", circle({0, 0}, 1), circle({8, 0}, 1), {}},
      {"bulged segment's circle", Span::bulged({10, 0}, {10, 10}, 1), Span::line({0, 5}, {1, 5}),
       {{5, 5}, {15, 5}}},
  };
  for (const auto& c : cases) {
    const auto got = carrierIntersections(c.s, c.t);
    ASSERT_EQ(got.size(), c.want.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) expectNear(got[i], c.want[i], c.name);
  }
}

TEST(Trim, removesThePickedPartBetweenTheNearestCuts) {
  const std::vector<Piece> twoBars = {Segment{{4, -1}, {4, 1}}, Segment{{7, -1}, {7, 1}}};
  const db::Geometry line = db::Line{{0, 0, 0}, {10, 0, 0}};
  struct Case {
    const char* name;
    db::Geometry g;
    Vec2 pick;
    std::vector<Piece> cutters;
    std::vector<db::Geometry> want;
  } cases[] = {
      {"middle of a line", line, {5, 0}, twoBars,
       {db::Line{{0, 0, 0}, {4, 0, 0}}, db::Line{{7, 0, 0}, {10, 0, 0}}}},
      {"end of a line", line, {8, 0}, twoBars, {db::Line{{0, 0, 0}, {7, 0, 0}}}},
      {"circle becomes an arc", db::Circle{{0, 0, 0}, 5}, {5, 0}, {Segment{{3, -10}, {3, 10}}},
       {db::Arc{{0, 0, 0}, 5, std::atan2(4, 3) / kDegree, 360 - std::atan2(4, 3) / kDegree}}},
      {"arc keeps centre and radius", db::Arc{{0, 0, 0}, 10, 0, 180}, {7.0710678, 7.0710678},
       {Segment{{0, -20}, {0, 20}}}, {db::Arc{{0, 0, 0}, 10, 90, 180}}},
  };
  for (const auto& c : cases) {
    const auto result = trim(*pathOf(c.g), c.pick, c.cutters);
    ASSERT_EQ(result.kept.size(), c.want.size()) << c.name << ": " << result.refusal;
    for (std::size_t i = 0; i < c.want.size(); ++i) {
      const db::Geometry got = geometryOf(result.kept[i], c.g);
      if (const auto* l = std::get_if<db::Line>(&c.want[i])) {
        const auto& g = std::get<db::Line>(got);
        expectNear({g.start.x, g.start.y}, {l->start.x, l->start.y}, c.name);
        expectNear({g.end.x, g.end.y}, {l->end.x, l->end.y}, c.name);
      } else {
        const auto& w = std::get<db::Arc>(c.want[i]);
        const auto& g = std::get<db::Arc>(got);
        EXPECT_EQ(g.center, w.center) << c.name;
        EXPECT_EQ(g.radius, w.radius) << c.name;
        EXPECT_NEAR(g.startAngle, w.startAngle, 1e-9) << c.name;
        EXPECT_NEAR(g.endAngle, w.endAngle, 1e-9) << c.name;
      }
    }
  }
  EXPECT_FALSE(trim(*pathOf(line), {5, 0}, {Segment{{0, 5}, {10, 5}}}).refusal.empty());
  EXPECT_FALSE(trim(*pathOf(db::Circle{{0, 0, 0}, 5}), {5, 0}, {Segment{{5, -10}, {5, 10}}}).refusal.empty());
}

TEST(Trim, aClosedPolylineOpensBetweenItsCuts) {
  const db::Geometry square = polyline({{{0, 0}}, {{10, 0}}, {{10, 10}}, {{0, 10}}}, true);
  const auto result = trim(*pathOf(square), {10, 5}, {Segment{{5, -1}, {5, 11}}});
  ASSERT_EQ(result.kept.size(), 1u);
  const db::Geometry trimmed = geometryOf(result.kept[0], square);
  const auto& got = std::get<db::Polyline>(trimmed);
  EXPECT_FALSE(got.closed());
  const std::vector<Vec2> want = {{5, 10}, {0, 10}, {0, 0}, {5, 0}};
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) expectNear({got.point(i).x, got.point(i).y}, want[i], "vertex");
}

TEST(Extend, carriesTheNearerEndToTheNearestBoundary) {
  const std::vector<Piece> ring = {CircularArc{{10, 0}, 3, 0, kTwoPi}};
  const auto line = extend(*pathOf(db::Line{{0, 0, 0}, {2, 0, 0}}), {1.8, 0}, 100, ring);
  ASSERT_TRUE(line);
  expectNear(line->spans[0].b, {7, 0}, "line end on the circle");
  expectNear(line->spans[0].a, {0, 0}, "line start stays");
  EXPECT_FALSE(extend(*pathOf(db::Line{{0, 0, 0}, {2, 0, 0}}), {0.2, 0}, 100, ring)) << "the start points away";

  const std::vector<Piece> floor = {Segment{{-10, -3}, {10, -3}}};
  const db::Geometry quarter = db::Arc{{0, 0, 0}, 5, 0, 90};
  const auto atEnd = extend(*pathOf(quarter), {0, 5}, 100, floor);
  ASSERT_TRUE(atEnd);
  const db::Arc a = std::get<db::Arc>(geometryOf(*atEnd, quarter));
  EXPECT_NEAR(a.startAngle, 0, 1e-9);
  EXPECT_NEAR(a.endAngle, 180 + std::atan2(3, 4) / kDegree, 1e-9);
  const auto atStart = extend(*pathOf(quarter), {5, 0}, 100, floor);
  ASSERT_TRUE(atStart);
  const db::Arc b = std::get<db::Arc>(geometryOf(*atStart, quarter));
  EXPECT_NEAR(b.startAngle, 360 - std::atan2(3, 4) / kDegree, 1e-9);
  EXPECT_NEAR(b.endAngle, 90, 1e-9);
}

TEST(Offset, aBulgedPolylineKeepsItsBulgesAndJoinsItsCorners) {
  // Along +x, a half circle bulging right about (10, 5), back along y = 10.
  const db::Geometry hairpin = polyline({{{0, 0}}, {{10, 0}, 1}, {{10, 10}}, {{0, 10}}});
  const db::Geometry box = polyline({{{0, 0}}, {{10, 0}}, {{10, 5}}, {{0, 5}}}, true);
  struct Case {
    const char* name;
    const db::Geometry& g;
    Vec2 side;
    double distance;
    std::vector<db::Vertex> want;
  } cases[] = {
      {"inside the bend", hairpin, {5, 5}, 1, {{{0, 1}}, {{10, 1}, 1}, {{10, 9}}, {{0, 9}}}},
      {"outside the bend", hairpin, {5, -5}, 1, {{{0, -1}}, {{10, -1}, 1}, {{10, 11}}, {{0, 11}}}},
      {"closed, outward", box, {5, -3}, 1, {{{-1, -1}}, {{11, -1}}, {{11, 6}}, {{-1, 6}}}},
      {"closed, inward", box, {5, 2}, 1, {{{1, 1}}, {{9, 1}}, {{9, 4}}, {{1, 4}}}},
  };
  for (const auto& c : cases) {
    std::string why;
    const auto got = offsetGeometry(c.g, c.distance, c.side, why);
    ASSERT_TRUE(got) << c.name << ": " << why;
    const auto& p = std::get<db::Polyline>(*got);
    ASSERT_EQ(p.size(), c.want.size()) << c.name;
    EXPECT_EQ(p.closed(), std::get<db::Polyline>(c.g).closed()) << c.name;
    for (std::size_t i = 0; i < p.size(); ++i) {
      expectNear({p.point(i).x, p.point(i).y}, {c.want[i].point.x, c.want[i].point.y}, c.name);
      EXPECT_NEAR(p.bulge(i), c.want[i].bulge, kTol) << c.name << " bulge " << i;
    }
  }
  std::string why;
  const auto arc = offsetGeometry(db::Arc{{0, 0, 0}, 5, 0, 90}, 2, {10, 10}, why);
  ASSERT_TRUE(arc);
  EXPECT_EQ(std::get<db::Arc>(*arc), (db::Arc{{0, 0, 0}, 7, 0, 90}));
  EXPECT_FALSE(offsetGeometry(db::Circle{{0, 0, 0}, 5}, 5, {1, 0}, why)) << "shrinks to a point";
  const auto line = offsetGeometry(db::Line{{0, 0, 0}, {10, 0, 0}}, 2, {3, -7}, why);
  ASSERT_TRUE(line);
  EXPECT_EQ(std::get<db::Line>(*line), (db::Line{{0, -2, 0}, {10, -2, 0}}));
}

TEST(Fillet, theArcTouchesBothOnThePickedSides) {
  const double t = 1 / std::tan(kPi / 8);  // tangent length of radius 1 at 45 degrees
  struct Case {
    const char* name;
    Span s, t;
    Vec2 pick1, pick2;
    double radius;
    Vec2 center, first, second;
  } cases[] = {
      {"lines apart", Span::line({0, 0}, {10, 0}), Span::line({12, 2}, {12, 10}), {5, 0}, {12, 6}, 2,
       {10, 2}, {10, 0}, {12, 2}},
      {"lines at 45 degrees", Span::line({0, 0}, {10, 0}), Span::line({0, 0}, {10, 10}), {5, 0}, {5, 5}, 1,
       {t, 1}, {t, 0}, {t * std::sqrt(0.5), t * std::sqrt(0.5)}},
      {"other side of the crossing", Span::line({-10, 0}, {10, 0}), Span::line({0, -10}, {0, 10}), {-5, 0},
       {0, -5}, 1, {-1, -1}, {-1, 0}, {0, -1}},
      {"line and circle", Span::line({-10, 0}, {10, 0}), circle({0, 6}, 2), {8, 0}, {2, 6}, 3, {4, 3},
       {4, 0}, {1.6, 4.8}},
      {"radius 0", Span::line({0, 0}, {10, 0}), Span::line({12, 2}, {12, 10}), {5, 0}, {12, 6}, 0, {12, 0},
       {12, 0}, {12, 0}},
  };
  for (const auto& c : cases) {
    const auto f = filletBetween(c.s, c.pick1, c.t, c.pick2, c.radius);
    ASSERT_TRUE(f) << c.name;
    expectNear(f->center, c.center, std::string(c.name) + " centre");
    expectNear(f->first, c.first, std::string(c.name) + " first");
    expectNear(f->second, c.second, std::string(c.name) + " second");
  }
  EXPECT_FALSE(filletBetween(Span::line({0, 0}, {1, 0}), {0, 0}, Span::line({0, 1}, {1, 1}), {0, 1}, 1));
  // The arc runs the short way, and the lines are cut back and carried on to it.
  const db::Arc arc = filletArc({{10, 2}, 2, {10, 0}, {12, 2}}, 0);
  EXPECT_NEAR(arc.startAngle, 270, 1e-9);
  EXPECT_NEAR(arc.endAngle, 0, 1e-9);
  const Span cut = keptTo(Span::line({0, 0}, {20, 0}), {10, 0}, {5, 0});
  expectNear(cut.b, {10, 0}, "cut back");
  const Span carried = keptTo(Span::line({12, 10}, {12, 5}), {12, 2}, {12, 8});
  expectNear(carried.b, {12, 2}, "carried on");
}

TEST(Fillet, roundsThePolylineCornersThatHaveRoom) {
  const db::Polyline box = polyline({{{0, 0}}, {{10, 0}}, {{10, 5}}, {{0, 5}}}, true);
  db::Polyline one = box;
  ASSERT_EQ(filletCorners(one, 1), 4u);
  const double b = std::tan(kPi / 8);
  const std::vector<db::Vertex> want = {{{0, 1}, b}, {{1, 0}}, {{9, 0}, b}, {{10, 1}},
                                        {{10, 4}, b}, {{9, 5}}, {{1, 5}, b}, {{0, 4}}};
  ASSERT_EQ(one.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    expectNear({one.point(i).x, one.point(i).y}, {want[i].point.x, want[i].point.y}, "vertex");
    EXPECT_NEAR(one.bulge(i), want[i].bulge, kTol) << i;
  }
  db::Polyline three = box;
  EXPECT_EQ(filletCorners(three, 3), 2u) << "the short sides have room for two corners only";
  db::Polyline single = box;
  EXPECT_EQ(filletCorners(single, 1, 2), 1u);
  EXPECT_EQ(single.size(), 5u);
}

TEST(Chamfer, cutsEachLineItsDistanceFromTheCorner) {
  const auto points = chamferBetween(Span::line({0, 0}, {10, 0}), {5, 0}, Span::line({12, 2}, {12, 10}), {12, 6}, 2, 3);
  ASSERT_TRUE(points);
  expectNear(points->first, {10, 0}, "first");
  expectNear(points->second, {12, 3}, "second");
  EXPECT_FALSE(chamferBetween(Span::line({0, 0}, {1, 0}), {0, 0}, Span::line({0, 1}, {1, 1}), {0, 1}, 1, 1));
}

}  // namespace
}  // namespace orv::core
