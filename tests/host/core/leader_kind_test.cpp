// LEADER as a kind: its values under the maps of MOVE/ROTATE/SCALE/MIRROR, its grips, its
// box, and the arrowhead drawn at its first vertex in its style's size.
#include <gtest/gtest.h>

#include "orv/core/dimension_geometry.h"
#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

db::Leader bent() {
  db::Leader l;
  l.style = "Standard";
  l.vertices = {{0, 0, 0}, {10, 10, 0}, {20, 10, 0}};
  l.horizontal = {1, 0, 0};
  l.annotationOffset = {-1, 0.5, 0};
  l.textHeight = 2.5;
  l.textWidth = 8;
  return l;
}

void expectNear(db::Point3 a, db::Point3 b) {
  EXPECT_NEAR(a.x, b.x, 1e-9);
  EXPECT_NEAR(a.y, b.y, 1e-9);
  EXPECT_NEAR(a.z, b.z, 1e-9);
}

TEST(LeaderKind, mapsMoveItsVerticesTurnItsDirectionAndScaleItsOffsetsAndSizes) {
  db::Database d = db::Database::newDrawing();
  struct Case {
    const char* what;
    Affine2 map;
    db::Point3 second, last, horizontal, offset;
    double height;
  } cases[] = {
      {"moved", Affine2::translation({5, -5}), {15, 5, 0}, {25, 5, 0}, {1, 0, 0}, {-1, 0.5, 0}, 2.5},
      {"scaled twice about the origin", Affine2::scaling({0, 0}, 2), {20, 20, 0}, {40, 20, 0}, {1, 0, 0},
       {-2, 1, 0}, 5},
      {"turned a quarter", Affine2::rotation({0, 0}, 90), {-10, 10, 0}, {-10, 20, 0}, {0, 1, 0}, {-0.5, -1, 0}, 2.5},
      {"mirrored in the y axis", Affine2::mirror({0, 0}, {0, 1}), {-10, 10, 0}, {-20, 10, 0}, {-1, 0, 0},
       {1, 0.5, 0}, 2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(db::Entity(bent()));
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::Leader& got = *std::get<db::Entity>(r).as<db::Leader>();
    ASSERT_EQ(got.vertices.size(), 3u);
    expectNear(got.vertices[1], c.second);
    expectNear(got.vertices[2], c.last);
    expectNear(got.horizontal, c.horizontal);
    expectNear(got.annotationOffset, c.offset);
    EXPECT_NEAR(got.textHeight, c.height, 1e-9);
    EXPECT_NEAR(got.textWidth, c.height / 2.5 * 8, 1e-9);
  }
}

TEST(LeaderKind, aGripOnEachVertexMovesThatVertexAlone) {
  db::Database d = db::Database::newDrawing();
  const db::Entity e(bent());
  const std::vector<Grip> grips = gripPoints(d, e);
  ASSERT_EQ(grips.size(), 3u);
  for (std::size_t i = 0; i < grips.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(grips[i].role, GripRole::vertex);
    EXPECT_EQ(grips[i].point.x, bent().vertices[i].x);
    auto moved = moveGrip(e, grips[i], {-3, -4});
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved));
    db::Leader want = bent();
    want.vertices[i] = {-3, -4, 0};
    EXPECT_EQ(*std::get<db::Entity>(moved).as<db::Leader>(), want);
  }
}

TEST(LeaderKind, theArrowheadPointsAtTheFirstVertexInTheStylesSize) {
  DimensionStyle style;
  style.arrowSize = 2;
  style.scale = 1.5;  // an arrow 3 long, 1 wide
  struct Case {
    const char* what;
    std::vector<Vec2> vertices;
    bool arrow;
    std::size_t filled;
    Vec2 back;  // the middle of the arrow's back
  } cases[] = {
      {"along x", {{0, 0}, {10, 0}, {12, 0}}, true, 1, {3, 0}},
      {"down from above, a repeated first vertex skipped", {{5, 5}, {5, 5}, {5, 15}}, true, 1, {5, 8}},
      {"no arrow", {{0, 0}, {10, 0}}, false, 0, {}},
      {"every vertex the same: no direction", {{1, 1}, {1, 1}}, true, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const DimensionParts parts = leaderParts(c.vertices, c.arrow, style);
    EXPECT_EQ(parts.lines.size(), c.vertices.size() - 1);
    ASSERT_EQ(parts.filled.size(), c.filled);
    if (c.filled == 0) continue;
    const auto& t = parts.filled.front();
    EXPECT_EQ(t[0].x, c.vertices[0].x);
    EXPECT_EQ(t[0].y, c.vertices[0].y);
    EXPECT_NEAR((t[1].x + t[2].x) / 2, c.back.x, 1e-9);
    EXPECT_NEAR((t[1].y + t[2].y) / 2, c.back.y, 1e-9);
    EXPECT_NEAR(distance(t[1], t[2]), 1.0, 1e-9);
  }
}

TEST(LeaderKind, itsBoxHoldsItsVertices) {
  db::Database d = db::Database::newDrawing();
  const db::ObjectId id = *d.append(db::Entity(bent()));
  const Box2 box = entityBox(d, id);
  EXPECT_NEAR(box.minX, 0, 1e-9);
  EXPECT_NEAR(box.minY, 0, 1e-9);
  EXPECT_NEAR(box.maxX, 20, 1e-9);
  EXPECT_NEAR(box.maxY, 10, 1e-9);
}

}  // namespace
}  // namespace orv::core
