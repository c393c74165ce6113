// Ellipses, splines, corner shapes, arrays and object coordinate systems from their tags.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "geom_test_util.h"
#include "orv/geom/affine.h"
#include "orv/db/entity.h"
#include "orv/geom/curves.h"
#include "orv/geom/shapes.h"

namespace orv::geom::test {
namespace {

constexpr double kPi = std::numbers::pi;

double distance(Point3 a, Point3 b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

TEST(Ocs, followsTheArbitraryAxisAlgorithm) {
  const OcsAxes up = ocsAxes({0, 0, 1});
  EXPECT_EQ(up.x, (Point3{1, 0, 0}));
  const OcsAxes down = ocsAxes({0, 0, -1});
  EXPECT_EQ(down.x, (Point3{-1, 0, 0}));  // mirrored in x
  EXPECT_EQ(down.y, (Point3{0, 1, 0}));
  const Affine plan = planOfOcs({0, 0, -1}, 5);
  const Point2 p = plan.apply({3, 4});
  EXPECT_DOUBLE_EQ(p.x, -3.0);
  EXPECT_DOUBLE_EQ(p.y, 4.0);
  // Along x: the OCS x axis is world y (Wz × N), seen from above an edge.
  const OcsAxes side = ocsAxes({1, 0, 0});
  EXPECT_NEAR(side.x.y, 1.0, 1e-12);
  EXPECT_NEAR(side.y.z, 1.0, 1e-12);
  EXPECT_EQ(ocsAxes({0, 0, 0}).x, (Point3{1, 0, 0}));  // no extrusion: the world
}

TEST(Ellipses, haveTheirSweepMinorAxisAndPlanView) {
  struct Case {
    const char* what;
    double start, end, sweep;
    double extrusionZ;
    double minorY;
  } cases[] = {
      {"full", 0, 2 * kPi, 2 * kPi, 1, 5},
      {"half", 0, kPi, kPi, 1, 5},
      {"across zero", 1.5 * kPi, 0.5 * kPi, kPi, 1, 5},
      {"mirrored", 0, kPi, kPi, -1, -5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::Ellipse e{{1, 2, 0}, {10, 0, 0}, {0, 0, c.extrusionZ}, 0.5, c.start, c.end};
    EXPECT_EQ(db::validate(db::Boxed<db::Ellipse>(e)), db::Status::ok);
    EXPECT_NEAR(e.sweep(), c.sweep, 1e-12);
    EXPECT_NEAR(e.minorAxis().y, c.minorY, 1e-12);
    // The plan view takes the unit circle's point of parameter t to the ellipse's.
    const EllipseInPlan plan = ellipseInPlan(e);
    const Point2 top = plan.plan.apply({0, 1});
    EXPECT_NEAR(top.x, 1, 1e-12);
    EXPECT_NEAR(top.y, 2 + c.minorY, 1e-12);
  }
  struct Bad {
    const char* what;
    db::Ellipse e;
  } bad[] = {
      {"no axis", {{0, 0, 0}, {0, 0, 0}}},
      {"ratio above 1", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 2}},
      {"no ratio", {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, 0}},
      {"centre not finite", {{std::nan(""), 0, 0}, {1, 0, 0}}},
  };
  for (const Bad& b : bad) EXPECT_EQ(db::validate(db::Boxed<db::Ellipse>(b.e)), db::Status::invalidInput) << b.what;
}

TEST(Splines, followControlPointsAndPassThroughFitPoints) {
  // A clamped cubic from four control points, as made: starts and ends at the end points.
  const db::Spline s = db::Spline::byControlPoints({{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}});
  EXPECT_EQ(s.knots, (std::vector<double>{0, 0, 0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(s.flags, 8);  // planar
  const auto pts = splinePoints(s, 16);
  ASSERT_EQ(pts.size(), 17u);
  EXPECT_LT(distance(pts.front(), {0, 0, 0}), 1e-12);
  EXPECT_LT(distance(pts.back(), {4, 0, 0}), 1e-12);
  EXPECT_NEAR(pts[8].x, 2.0, 1e-12);  // symmetric: the middle at x 2, y 1.5
  EXPECT_NEAR(pts[8].y, 1.5, 1e-12);
  // Wrong knots are replaced; a weight of zero voids the weights.
  auto broken = s;
  broken.knots = {5, 4, 3};
  broken.weights = {1, 0, 1, 1};
  const auto again = splinePoints(broken, 16);
  EXPECT_LT(distance(again[8], pts[8]), 1e-12);
  // Through fit points, with no control points; a tangent of no length is none.
  db::Spline fit;
  fit.fitPoints = {{0, 0, 0}, {10, 10, 0}, {20, 0, 0}, {30, 10, 0}};
  const auto through = splinePoints(fit, 10);
  for (Point3 f : fit.fitPoints) {
    double nearest = 1e9;
    for (Point3 q : through) nearest = std::min(nearest, distance(q, f));
    EXPECT_LT(nearest, 1e-9);
  }
  db::Spline zeroTangent = fit;
  zeroTangent.startTangent = Point3{0, 0, 0};
  EXPECT_EQ(splinePoints(zeroTangent, 10), through);
  EXPECT_LE(splinePoints(fit, 1000, 50).size(), 50u);
  // Two points make a degree-1 spline; one is too few to hold.
  EXPECT_EQ(db::Spline::byControlPoints({{0, 0, 0}, {1, 0, 1}}).degree, 1);
  EXPECT_EQ(db::Spline::byControlPoints({{0, 0, 0}, {1, 0, 1}}).flags, 0);
  EXPECT_EQ(db::validate(db::Boxed<db::Spline>(db::Spline::byControlPoints({{0, 0, 0}}))), db::Status::invalidInput);
}

TEST(ReferenceArrays, readCountsAndSpacingsWithinBounds) {
  const db::RawTags extras = tagsOf({{66, "1"}, {70, "3"}, {71, "2"}, {44, "10"}, {45, "-5"}});
  const InsertArray a = decodeInsertArray(&extras);
  EXPECT_EQ(a.columns, 3);
  EXPECT_EQ(a.rows, 2);
  EXPECT_DOUBLE_EQ(a.rowSpacing, -5.0);
  EXPECT_TRUE(a.hasAttributes);
  const db::RawTags bad = tagsOf({{70, "-4"}, {71, "99999"}});
  const InsertArray b = decodeInsertArray(&bad);
  EXPECT_EQ(b.columns, 1);
  EXPECT_EQ(b.rows, 32767);
  EXPECT_FALSE(decodeInsertArray(nullptr).isArray());
}

}  // namespace
}  // namespace orv::geom::test
