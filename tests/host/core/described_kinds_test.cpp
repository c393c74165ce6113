// Points, solids, traces, faces and ellipses in the core: what each map makes of every field,
// where they lie for picks and windows, and their grips.
#include <gtest/gtest.h>

#include <functional>

#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

db::Solid quad(db::Solid::Type type, db::Point3 extrusion = {0, 0, 1}) {
  db::Solid s;
  s.type = type;
  s.corners = {db::Point3{0, 0, 0}, db::Point3{4, 0, 0}, db::Point3{0, 2, 0}, db::Point3{4, 2, 0}};
  s.extrusion = extrusion;
  return s;
}

db::Entity solid(db::Solid s) { return db::Entity(db::Boxed<db::Solid>(std::move(s))); }

void expectNear(db::Point3 got, db::Point3 want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 1e-9) << what;
  EXPECT_NEAR(got.y, want.y, 1e-9) << what;
  EXPECT_NEAR(got.z, want.z, 1e-9) << what;
}

TEST(DescribedKinds, eachRoleFollowsTheMap) {
  const Affine2 move = Affine2::translation({10, 5});
  const Affine2 turn = Affine2::rotation({0, 0}, 90);
  const Affine2 twice = Affine2::scaling({0, 0}, 2);
  const Affine2 mirror = Affine2::mirror({0, 0}, {0, 1});  // in the y axis
  struct Case {
    const char* what;
    db::Entity entity;
    Affine2 map;
    std::function<void(const db::Entity&)> check;
  };
  const db::Point p{{1, 2, 3}, 0.5, {0, 0, 1}, 30};
  auto point = [](const db::Entity& e) { return *e.as<db::Point>(); };
  auto corner = [](const db::Entity& e, int i) { return e.as<db::Solid>()->corners[i]; };
  const std::vector<Case> cases = {
      {"a point turns with its angle", db::Entity(p), turn, [&](const db::Entity& e) {
         expectNear(point(e).position, {-2, 1, 3}, "position");
         EXPECT_NEAR(point(e).angle, 120, 1e-9);
       }},
      {"a point scales its thickness", db::Entity(p), twice, [&](const db::Entity& e) {
         expectNear(point(e).position, {2, 4, 3}, "position");
         EXPECT_DOUBLE_EQ(point(e).thickness, 1.0);
       }},
      {"a point in a mirror: its angle mirrored", db::Entity(p), mirror, [&](const db::Entity& e) {
         expectNear(point(e).position, {-1, 2, 3}, "position");
         EXPECT_NEAR(point(e).angle, 150, 1e-9);
       }},
      // World x is minus its own x: 10 to the right is 10 less of its own.
      {"a trace in a mirrored plane moves the other way in its own coordinates",
       solid(quad(db::Solid::Type::trace, {0, 0, -1})), move, [&](const db::Entity& e) {
         expectNear(corner(e, 1), {-6, 5, 0}, "second corner");
         expectNear(e.as<db::Solid>()->extrusion, {0, 0, -1}, "extrusion");
       }},
      {"a face's world corners in a mirror", solid(quad(db::Solid::Type::face)), mirror,
       [&](const db::Entity& e) { expectNear(corner(e, 3), {-4, 2, 0}, "fourth corner"); }},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(c.entity);
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    c.check(std::get<db::Entity>(r));
  }
  // Refused: a solid in a tilted plane, and a value that leaves the range of a double.
  const db::ObjectId tilted = *d.append(solid(quad(db::Solid::Type::solid, {1, 0, 0})));
  auto r = transformEntity(d, tilted, move);
  ASSERT_TRUE(std::holds_alternative<std::string>(r));
  EXPECT_EQ(std::get<std::string>(r), "其所在平面与 XY 平面不平行");
  const db::ObjectId far = *d.append(db::Entity(db::Point{{1e300, 0, 0}}));
  r = transformEntity(d, far, Affine2::scaling({0, 0}, 1e10));
  ASSERT_TRUE(std::holds_alternative<std::string>(r));
  EXPECT_EQ(std::get<std::string>(r), "变换后的数值无效");
}

TEST(DescribedKinds, boxesAndPicks) {
  struct Case {
    const char* what;
    db::Entity entity;
    Box2 box;
    Vec2 on;    // picked here (distance 0)
    Vec2 off;   // and at distance 1 from here
  };
  db::Solid triangle = quad(db::Solid::Type::solid);
  triangle.corners[3] = triangle.corners[2];
  db::Solid hidden = quad(db::Solid::Type::face);
  hidden.hiddenEdges = 1;  // the edge from the first corner to the second
  const std::vector<Case> cases = {
      {"point", db::Entity(db::Point{{7, 8, 0}}), {7, 8, 7, 8}, {7, 8}, {7, 9}},
      {"solid: picked inside", solid(quad(db::Solid::Type::solid)), {0, 0, 4, 2}, {2, 1}, {5, 1}},
      {"triangle", solid(triangle), {0, 0, 4, 2}, {1, 1}, {0, 3}},
      {"solid in a mirrored plane", solid(quad(db::Solid::Type::solid, {0, 0, -1})), {-4, 0, 0, 2}, {-2, 1}, {1, 1}},
      {"half an ellipse, the upper", db::Entity(db::Ellipse{{0, 0, 0}, {10, 0, 0}, {0, 0, 1}, 0.5, 0, kPi}),
       {-10, 0, 10, 5}, {0, 5}, {0, 6}},
      // A face in order 0,0 4,0 0,2 4,2 crosses itself; its first edge is hidden.
      {"face by its visible edges", solid(hidden), {0, 0, 4, 2}, {2, 2}, {2, 3}},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(c.entity);
    const Box2 box = entityBox(d, id);
    expectNear({box.minX, box.minY, 0}, {c.box.minX, c.box.minY, 0}, "lower left");
    expectNear({box.maxX, box.maxY, 0}, {c.box.maxX, c.box.maxY, 0}, "upper right");
    EXPECT_NEAR(distanceToEntity(d, id, c.on), 0, 1e-9);
    EXPECT_NEAR(distanceToEntity(d, id, c.off), 1, 1e-9);
  }
  const db::ObjectId face = *d.append(solid(hidden));
  EXPECT_GT(distanceToEntity(d, face, {2, 0}), 0.5) << "not picked on its hidden edge";
}

TEST(DescribedKinds, gripsStretchACornerOrMoveAPoint) {
  db::Database d = db::Database::newDrawing();
  const db::Entity point(db::Point{{3, 4, 0}});
  const std::vector<Grip> pointGrips = gripPoints(d, point);
  ASSERT_EQ(pointGrips.size(), 1u);
  EXPECT_EQ(pointGrips[0].role, GripRole::position);
  EXPECT_TRUE(std::holds_alternative<MoveWhole>(moveGrip(point, pointGrips[0], {5, 5})));

  struct Case {
    const char* what;
    db::Solid solid;
    std::size_t grip;
    Vec2 gripAt;  // where the grip shows
    Vec2 to;
    std::size_t changed;  // the corner that moves, and where it ends in its own coordinates
    db::Point3 corner;
  };
  db::Solid triangle = quad(db::Solid::Type::trace);
  triangle.corners[3] = triangle.corners[2];
  const std::vector<Case> cases = {
      {"solid", quad(db::Solid::Type::solid), 3, {4, 2}, {5, 3}, 3, {5, 3, 0}},
      {"mirrored plane: the grip shows where the corner lies", quad(db::Solid::Type::solid, {0, 0, -1}), 1, {-4, 0},
       {-6, 1}, 1, {6, 1, 0}},
      {"triangle: its third corner is its fourth too", triangle, 2, {0, 2}, {1, 3}, 3, {1, 3, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::Entity e = solid(c.solid);
    const std::vector<Grip> grips = gripPoints(d, e);
    ASSERT_EQ(grips.size(), static_cast<std::size_t>(c.solid.cornerCount()));
    const Grip& g = grips[c.grip];
    EXPECT_EQ(g.role, GripRole::vertex);
    expectNear({g.point.x, g.point.y, 0}, {c.gripAt.x, c.gripAt.y, 0}, "grip");
    auto moved = moveGrip(e, g, c.to);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved));
    expectNear(std::get<db::Entity>(moved).as<db::Solid>()->corners[c.changed], c.corner, "moved corner");
  }
}

}  // namespace
}  // namespace orv::core
