// Old-style polylines in the core: what each map makes of their vertices, where they lie
// for picks and snaps, their grips, and the pieces EXPLODE makes of them.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/core/grips.h"
#include "orv/core/heavy_polyline.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

void expectNear(db::Point3 got, db::Point3 want, const std::string& what) {
  EXPECT_NEAR(got.x, want.x, 1e-9) << what;
  EXPECT_NEAR(got.y, want.y, 1e-9) << what;
  EXPECT_NEAR(got.z, want.z, 1e-9) << what;
}

db::HeavyVertex at(db::Point3 p, std::int16_t flags = 0, double bulge = 0) {
  db::HeavyVertex v;
  v.point = p;
  v.flags = flags;
  v.bulge = bulge;
  return v;
}

db::HeavyPolyline polyline3d(std::vector<db::Point3> points, bool closed = false) {
  db::HeavyPolyline p;
  p.flags = static_cast<std::int16_t>(db::HeavyPolyline::polyline3d | (closed ? db::HeavyPolyline::closed : 0));
  for (db::Point3 q : points) p.vertices.push_back(at(q, db::HeavyVertex::polyline3d));
  return p;
}

db::HeavyVertex face(std::array<std::int16_t, 4> numbers) {
  db::HeavyVertex f = at({0, 0, 0}, db::HeavyVertex::faceRecord);
  f.face = numbers;
  return f;
}

// A square of two triangles (the diagonal from 1 to 3 hidden in both) at z 2.
db::HeavyPolyline squareFaces() {
  db::HeavyPolyline p;
  p.flags = db::HeavyPolyline::polyface;
  p.counts = {4, 2, 0, 0, 0};
  for (db::Point3 q : {db::Point3{20, 0, 2}, {30, 0, 2}, {30, 10, 2}, {20, 10, 2}})
    p.vertices.push_back(at(q, db::HeavyVertex::mesh | db::HeavyVertex::faceRecord));
  p.vertices.push_back(face({1, 2, -3, 0}));
  p.vertices.push_back(face({3, 4, -1, 0}));
  return p;
}

// A 2D polyline with an arc from its first vertex, widths 0.5 to 1 on its second.
db::HeavyPolyline arced(db::Point3 extrusion = {0, 0, 1}) {
  db::HeavyPolyline p;
  p.origin = {0, 0, 3};
  p.extrusion = extrusion;
  p.vertices = {at({1, 2, 0}, 0, 0.5), at({5, 2, 0}), at({5, 6, 0})};
  p.vertices[1].startWidth = 0.5;
  p.vertices[1].endWidth = 1;
  return p;
}

TEST(HeavyPolylineKind, eachMapMovesTheVerticesInTheirOwnFrame) {
  struct Case {
    const char* what;
    db::HeavyPolyline p;
    Affine2 map;
    std::size_t vertex;
    db::Point3 point;  // that vertex after the map
    double bulge;      // of vertex 0
    double width;      // end width of vertex 1
    double elevation;
  } cases[] = {
      {"a 3D polyline turned a quarter", polyline3d({{1, 2, 3}, {4, 0, -1}}), Affine2::rotation({0, 0}, 90), 0,
       {-2, 1, 3}, 0, 0, 0},
      {"a 3D polyline scaled about (1, 1)", polyline3d({{1, 2, 3}, {3, 1, -1}}), Affine2::scaling({1, 1}, 2), 1,
       {5, 1, -1}, 0, 0, 0},
      {"a polyface mirrored in the y axis", squareFaces(), Affine2::mirror({0, 0}, {0, 1}), 1, {-30, 0, 2}, 0, 0, 0},
      {"a 2D polyline mirrored: its arc turns the other way", arced(), Affine2::mirror({0, 0}, {0, 1}), 1, {-5, 2, 0},
       -0.5, 1, 3},
      {"a 2D polyline scaled: its widths follow", arced(), Affine2::scaling({0, 0}, 2), 2, {10, 12, 0}, 0.5, 2, 3},
      {"a 2D polyline seen from below, moved", arced({0, 0, -1}), Affine2::translation({10, 5}), 0, {-9, 7, 0}, 0.5,
       1, 3},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(db::Entity(c.p));
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::HeavyPolyline& t = *std::get<db::Entity>(r).as<db::HeavyPolyline>();
    expectNear(t.vertices[c.vertex].point, c.point, "the vertex");
    EXPECT_DOUBLE_EQ(t.vertices[0].bulge, c.bulge);
    EXPECT_DOUBLE_EQ(t.vertices[1].endWidth, c.width);
    EXPECT_DOUBLE_EQ(t.origin.z, c.elevation);
    EXPECT_EQ(t.flags, c.p.flags);
    // Handles stay: the edit is of the same vertices.
    const db::HeavyPolyline& stored = *d.entity(id)->as<db::HeavyPolyline>();
    for (std::size_t i = 0; i < t.vertices.size(); ++i) {
      EXPECT_NE(t.vertices[i].common.handle, 0u);
      EXPECT_EQ(t.vertices[i].common.handle, stored.vertices[i].common.handle);
      if (t.vertices[i].isFaceRecord()) EXPECT_EQ(t.vertices[i], stored.vertices[i]) << "a face record stays";
    }
  }
}

TEST(HeavyPolylineKind, aScaleThatDiffersBetweenXAndYMapsPointsButNotArcs) {
  db::HeavyPolyline chain = polyline3d({{1, 2, 3}, {2, 2, 0}});
  const Affine2 stretch = Affine2::insert({0, 0}, {0, 0}, 2, 3, 0);
  EXPECT_FALSE(transformHeavyPolyline(chain, stretch));
  expectNear(chain.vertices[0].point, {2, 6, 3}, "a 3D polyline's vertex");
  db::HeavyPolyline flat = arced();
  const auto why = transformHeavyPolyline(flat, stretch);
  ASSERT_TRUE(why);
  EXPECT_NE(why->find("圆弧"), std::string::npos);
  db::HeavyPolyline tilted = arced({1, 0, 0});
  EXPECT_TRUE(transformHeavyPolyline(tilted, Affine2::translation({1, 1})));
}

TEST(HeavyPolylineKind, shapesAndGripsFollowTheDrawnVertices) {
  db::Database d = db::Database::newDrawing();
  const db::ObjectId chain = *d.append(db::Entity(polyline3d({{0, 0, 3}, {10, 0, 3}, {10, 5, 3}})));
  EXPECT_EQ(entityBox(d, chain), (Box2{0, 0, 10, 5}));
  EXPECT_NEAR(distanceToEntity(d, chain, {10, 2}), 0, 1e-12);
  EXPECT_NEAR(distanceToEntity(d, chain, {5, 5}), 5, 1e-12) << "open: no closing edge";
  const db::ObjectId faces = *d.append(db::Entity(squareFaces()));
  EXPECT_EQ(entityBox(d, faces), (Box2{20, 0, 30, 10}));
  EXPECT_NEAR(distanceToEntity(d, faces, {25, 10}), 0, 1e-12) << "on the edge from 3 to 4";
  EXPECT_NEAR(distanceToEntity(d, faces, {25, 5}), 5, 1e-9) << "the hidden diagonal is not drawn";
  // A spline-fit polyline: drawn through its fit vertices, its frame points left out.
  db::HeavyPolyline fitted = polyline3d({{0, 0, 0}, {50, 50, 0}, {10, 0, 0}});
  fitted.flags |= db::HeavyPolyline::splineFit;
  fitted.vertices[1].flags |= db::HeavyVertex::framePoint;
  const db::ObjectId fit = *d.append(db::Entity(fitted));
  EXPECT_EQ(entityBox(d, fit), (Box2{0, 0, 10, 0}));
  // A 2D polyline below its plane: bulged segment from (-1, 2) to (-5, 2).
  const db::ObjectId below = *d.append(db::Entity(arced({0, 0, -1})));
  EXPECT_NEAR(distanceToEntity(d, below, {-3, 2 - 2 * 0.5}), 0, 1e-9) << "the arc's middle, sagitta 1";

  struct Case {
    const char* what;
    db::ObjectId id;
    std::vector<Vec2> grips;
  } cases[] = {
      {"a 3D polyline: each vertex", chain, {{0, 0}, {10, 0}, {10, 5}}},
      {"a polyface: its vertices, not its faces", faces, {{20, 0}, {30, 0}, {30, 10}, {20, 10}}},
      {"spline-fit: no frame point", fit, {{0, 0}, {10, 0}}},
      {"seen from below: x mirrored", below, {{-1, 2}, {-5, 2}, {-5, 6}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<Grip> grips = gripPoints(d, *d.entity(c.id));
    ASSERT_EQ(grips.size(), c.grips.size());
    for (std::size_t i = 0; i < grips.size(); ++i) {
      EXPECT_NEAR(grips[i].point.x, c.grips[i].x, 1e-12);
      EXPECT_NEAR(grips[i].point.y, c.grips[i].y, 1e-12);
    }
    // The last grip moved to (7, 8): that vertex lies there, seen in the drawing.
    auto moved = moveGrip(*d.entity(c.id), grips.back(), {7, 8});
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved));
    const std::vector<Grip> after = gripPoints(d, std::get<db::Entity>(moved));
    EXPECT_NEAR(after.back().point.x, 7, 1e-12);
    EXPECT_NEAR(after.back().point.y, 8, 1e-12);
  }
}

TEST(HeavyPolylineKind, explodedIntoLinesAndFaces) {
  db::Entity e(polyline3d({{0, 0, 0}, {4, 0, 1}, {4, 3, 2}}, true));
  std::vector<db::Entity> lines = heavyPolylineParts(e, *e.as<db::HeavyPolyline>());
  ASSERT_EQ(lines.size(), 3u) << "closed: three lines";
  expectNear(lines[2].as<db::Line>()->start, {4, 3, 2}, "the closing line");
  expectNear(lines[2].as<db::Line>()->end, {0, 0, 0}, "the closing line");

  db::HeavyPolyline grid;
  grid.flags = db::HeavyPolyline::polygonMesh;
  grid.counts = {2, 3, 0, 0, 0};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) grid.vertices.push_back(at({double(c), double(r), double(r * c)}, db::HeavyVertex::mesh));
  db::Entity mesh(grid);
  std::vector<db::Entity> quads = heavyPolylineParts(mesh, grid);
  ASSERT_EQ(quads.size(), 2u);
  const db::Solid& second = *quads[1].as<db::Solid>();
  EXPECT_EQ(second.type, db::Solid::Type::face);
  expectNear(second.corners[0], {1, 0, 0}, "corner 1");
  expectNear(second.corners[2], {2, 1, 2}, "corner 3");

  db::Entity faces(squareFaces());
  std::vector<db::Entity> triangles = heavyPolylineParts(faces, *faces.as<db::HeavyPolyline>());
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_EQ(triangles[0].as<db::Solid>()->cornerCount(), 3);
  EXPECT_EQ(triangles[0].as<db::Solid>()->hiddenEdges, 4 | 8) << "the edge from the third corner is hidden";
  expectNear(triangles[1].as<db::Solid>()->corners[1], {20, 10, 2}, "vertex 4");

  // A 2D one below its plane: the lightweight outline in the world, arcs turned.
  const auto outline = heavyPolylineOutline(arced({0, 0, -1}));
  ASSERT_TRUE(outline);
  ASSERT_EQ(outline->size(), 3u);
  EXPECT_EQ(outline->point(0), (db::Point2{-1, 2}));
  EXPECT_EQ(outline->bulge(0), -0.5);
  EXPECT_EQ(outline->elevation(), -3);
  EXPECT_FALSE(heavyPolylineOutline(polyline3d({{0, 0, 0}, {1, 1, 1}}))) << "a 3D one is no lightweight one";
  EXPECT_TRUE(heavyPolylineParts(db::Entity(arced()), arced()).empty());
}

}  // namespace
}  // namespace orv::core
