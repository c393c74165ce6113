// Splines in the core: what each map makes of every value, where they lie for picks and
// snaps, and their grips.
#include <gtest/gtest.h>

#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"
#include "orv/geom/curves.h"

namespace orv::core {
namespace {

void expectNear(db::Point3 got, db::Point3 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, 1e-9) << what;
  EXPECT_NEAR(got.y, want.y, 1e-9) << what;
  EXPECT_NEAR(got.z, want.z, 1e-9) << what;
}

db::Spline sample() {
  db::Spline s = db::Spline::byControlPoints({{0, 0, 1}, {2, 4, 1}, {6, 4, 1}, {8, 0, 1}});
  s.weights = {1, 0.5, 2, 1};
  s.fitPoints = {{0, 0, 1}, {8, 0, 1}};
  s.startTangent = db::Point3{1, 1, 0};
  s.endTangent = db::Point3{0, -2, 0};
  return s;
}

db::Point3 mapped(const Affine2& m, db::Point3 p) {
  const Vec2 q = m.apply({p.x, p.y});
  return {q.x, q.y, m.applyZ(p.z)};
}

TEST(SplineKind, eachValueFollowsTheMapAndTheCurveWithThem) {
  struct Case {
    const char* what;
    Affine2 map;
    db::Point3 startTangent;  // of (1, 1, 0)
  } cases[] = {
      {"moved", Affine2::translation({10, 5}), {1, 1, 0}},
      {"turned a quarter", Affine2::rotation({0, 0}, 90), {-1, 1, 0}},
      {"scaled twice", Affine2::scaling({3, 3}, 2), {2, 2, 0}},
      {"mirrored in the y axis", Affine2::mirror({0, 0}, {0, 1}), {-1, 1, 0}},
  };
  db::Database d = db::Database::newDrawing();
  const db::Spline s = sample();
  const db::ObjectId id = *d.append(db::Entity(s));
  const std::vector<db::Point3> curve = geom::splinePoints(s, 8);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::Spline& t = *std::get<db::Entity>(r).as<db::Spline>();
    for (std::size_t i = 0; i < s.controlPoints.size(); ++i)
      expectNear(t.controlPoints[i], mapped(c.map, s.controlPoints[i]), "control point " + std::to_string(i));
    for (std::size_t i = 0; i < s.fitPoints.size(); ++i)
      expectNear(t.fitPoints[i], mapped(c.map, s.fitPoints[i]), "fit point " + std::to_string(i));
    expectNear(*t.startTangent, c.startTangent, "start tangent: a vector, not moved");
    EXPECT_EQ(t.knots, s.knots);
    EXPECT_EQ(t.weights, s.weights);
    EXPECT_EQ(t.flags, s.flags);
    expectNear(t.extrusion, s.extrusion, "normal");
    // The rational curve of the mapped values is the mapped curve.
    const std::vector<db::Point3> after = geom::splinePoints(t, 8);
    ASSERT_EQ(after.size(), curve.size());
    for (std::size_t i = 0; i < curve.size(); i += 5) expectNear(after[i], mapped(c.map, curve[i]), "curve");
  }
}

TEST(SplineKind, boxPickAndEndSnaps) {
  struct Sink final : ShapeSink {
    std::vector<Vec2> ends;
    void piece(const Piece&, bool) override {}
    void snapPoint(prompt::SnapKind k, Vec2 p) override {
      if (k == prompt::SnapKind::endpoint) ends.push_back(p);
    }
  };
  db::Database d = db::Database::newDrawing();
  // Symmetric: from 0,0 to 4,0, its top at 2, 1.5.
  const db::Spline open = db::Spline::byControlPoints({{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}});
  db::Spline closed = open;
  closed.flags |= 1;
  const db::ObjectId a = *d.append(db::Entity(open)), b = *d.append(db::Entity(closed));
  const Box2 box = entityBox(d, a);
  EXPECT_NEAR(box.minX, 0, 1e-9);
  EXPECT_NEAR(box.maxX, 4, 1e-9);
  EXPECT_NEAR(box.maxY, 1.5, 1e-3);
  EXPECT_NEAR(distanceToEntity(d, a, {2, 1.5}), 0, 1e-3);
  EXPECT_NEAR(distanceToEntity(d, a, {2, 2.5}), 1, 1e-3);
  Sink ends;
  describeEntity(d, a, ends);
  ASSERT_EQ(ends.ends.size(), 2u);
  EXPECT_EQ(ends.ends[0], (Vec2{0, 0}));
  EXPECT_EQ(ends.ends[1], (Vec2{4, 0}));
  Sink none;
  describeEntity(d, b, none);
  EXPECT_TRUE(none.ends.empty()) << "a closed spline has no ends";
  EXPECT_EQ(kindName(d, *d.entity(a)), "样条曲线");
}

TEST(SplineKind, gripsMoveControlPointsOrFitPoints) {
  db::Database d = db::Database::newDrawing();
  db::Spline fitOnly;
  fitOnly.fitPoints = {{0, 0, 0}, {5, 5, 0}, {10, 0, 0}};
  struct Case {
    const char* what;
    db::Spline spline;
    std::size_t count;  // grips
  } cases[] = {
      {"control points; the fit points no longer hold and go", sample(), 4},
      {"fit points when there are no control points", fitOnly, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::Entity e(c.spline);
    const std::vector<Grip> grips = gripPoints(d, e);
    ASSERT_EQ(grips.size(), c.count);
    EXPECT_EQ(grips[1].role, GripRole::vertex);
    const db::Point3 second = c.spline.framePoints()[1];
    EXPECT_EQ(grips[1].point, (Vec2{second.x, second.y}));
    auto moved = moveGrip(e, grips[1], {7, 9});
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved));
    const db::Spline& m = *std::get<db::Entity>(moved).as<db::Spline>();
    expectNear(m.framePoints()[1], {7, 9, second.z}, "moved point");
    if (!c.spline.controlPoints.empty()) {
      EXPECT_TRUE(m.fitPoints.empty());
      EXPECT_FALSE(m.startTangent);
      EXPECT_EQ(m.knots, c.spline.knots);
    } else {
      EXPECT_EQ(m.fitPoints.size(), 3u);
    }
    EXPECT_TRUE(std::holds_alternative<std::monostate>(moveGrip(e, Grip{{0, 0}, GripRole::vertex, 99}, {1, 1})));
  }
}

}  // namespace
}  // namespace orv::core
