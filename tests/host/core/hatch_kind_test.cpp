// Hatches as a kind of the drawing: their paths, seeds and pattern under maps, and where
// picks, boxes and snaps find them.
#include <gtest/gtest.h>

#include <vector>

#include "orv/core/shapes.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

// An edge path (a line and a clockwise arc of radius 10 from 0 to 90 degrees, stored as
// files store it: 360 less each angle), a polyline path with a bulge, one pattern line,
// a seed, and the handle of the entity the boundary came from.
db::Hatch sample() {
  db::Hatch h = db::Hatch::make("ANSI31", 45, 2);
  h.associative = true;
  db::HatchPath edges;
  db::HatchEdge line;
  line.start = {10, 0}, line.end = {0, 10};
  db::HatchEdge arc;
  arc.type = db::HatchEdge::Type::arc;
  arc.radius = 10, arc.startAngle = 270, arc.endAngle = 360, arc.counterClockwise = false;
  edges.edges = {line, arc};
  edges.sources = {0x2F};
  db::HatchPath poly;
  poly.flags = db::HatchPath::polyline;
  poly.vertices = {{0, 0}, {6, 0}, {6, 3}};
  poly.bulges = {0, 0.5, 0};
  h.paths = {edges, poly};
  h.lines = {db::PatternLine{45, {1, 0}, {-1, 1}, {3, -1}}};
  h.seeds = {{3, 3}};
  return h;
}

void expectNear(db::Point2 a, db::Point2 b) {
  EXPECT_NEAR(a.x, b.x, 1e-9);
  EXPECT_NEAR(a.y, b.y, 1e-9);
}

TEST(HatchKind, pathsSeedsAndPatternFollowMoveRotateMirrorAndScale) {
  struct Case {
    const char* what;
    Affine2 map;
    db::Point2 lineStart, seed, base, offset;
    double arcStart, arcEnd;  // as stored
    bool ccw;
    double radius, bulge, angle, scale, lineAngle, dash;
  } cases[] = {
      {"moved", Affine2::translation({5, -1}), {15, -1}, {8, 2}, {6, -1}, {-1, 1}, 270, 360, false, 10, 0.5, 45, 2, 45, 3},
      // The arc from 0 to 90 runs from 90 to 180: stored clockwise as 360 − 180 to 360 − 90.
      {"rotated 90", Affine2::rotation({0, 0}, 90), {0, 10}, {-3, 3}, {0, 1}, {-1, -1}, 180, 270, false, 10, 0.5, 135, 2, 135, 3},
      // In a mirror about the y axis it runs from 90 to 180 the other way: counter-clockwise.
      {"mirrored", Affine2::mirror({0, 0}, {0, 1}), {-10, 0}, {-3, 3}, {-1, 0}, {1, 1}, 90, 180, true, 10, -0.5, 135, 2, 135, 3},
      {"scaled 2", Affine2::scaling({0, 0}, 2), {20, 0}, {6, 6}, {2, 0}, {-2, 2}, 270, 360, false, 20, 0.5, 45, 4, 45, 6},
  };
  db::Database d = db::Database::newDrawing();
  const db::ObjectId id = *d.append(db::Entity(sample()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::Hatch& h = *std::get<db::Entity>(r).as<db::Hatch>();
    const db::HatchEdge& arc = h.paths[0].edges[1];
    expectNear(h.paths[0].edges[0].start, c.lineStart);
    EXPECT_NEAR(arc.startAngle, c.arcStart, 1e-9);
    EXPECT_NEAR(arc.endAngle, c.arcEnd, 1e-9);
    EXPECT_EQ(arc.counterClockwise, c.ccw);
    EXPECT_NEAR(arc.radius, c.radius, 1e-9);
    EXPECT_NEAR(h.paths[1].bulges[1], c.bulge, 1e-12);
    expectNear(h.seeds[0], c.seed);
    EXPECT_NEAR(h.angle, c.angle, 1e-9);
    EXPECT_NEAR(h.scale, c.scale, 1e-9);
    EXPECT_NEAR(h.lines[0].angle, c.lineAngle, 1e-9);
    expectNear(h.lines[0].base, c.base);
    expectNear(h.lines[0].offset, c.offset);
    EXPECT_NEAR(h.lines[0].dashes[0], c.dash, 1e-9);
    // A copy no longer follows the entities it was made from.
    EXPECT_FALSE(h.associative);
    EXPECT_TRUE(h.paths[0].sources.empty());
  }
  // A tilted hatch cannot be mapped in the drawing plane.
  db::Hatch tilted = sample();
  tilted.extrusion = {1, 0, 0};
  const db::ObjectId t = *d.append(db::Entity(tilted));
  EXPECT_TRUE(std::holds_alternative<std::string>(transformEntity(d, t, Affine2::translation({1, 0}))));
}

struct Snaps : ShapeSink {
  std::vector<Vec2> ends;
  void piece(const Piece&, bool) override {}
  void snapPoint(prompt::SnapKind kind, Vec2 p) override {
    if (kind == prompt::SnapKind::endpoint) ends.push_back(p);
  }
};

TEST(HatchKind, pickedByItsBoundaryAndSnappedAtItsVertices) {
  db::Database d = db::Database::newDrawing();
  db::Hatch h = db::Hatch::make("SOLID");
  db::HatchPath p;
  p.flags = db::HatchPath::polyline | db::HatchPath::external;
  p.vertices = {{0, 0}, {6, 0}, {6, 3}, {0, 3}};
  h.paths = {p};
  h.extrusion = {0, 0, -1};  // x runs the other way in its own plane
  const db::ObjectId id = *d.append(db::Entity(h));
  EXPECT_EQ(entityBox(d, id), (Box2{-6, 0, 0, 3}));
  EXPECT_NEAR(distanceToEntity(d, id, {-6, 1.5}), 0, 1e-9);
  EXPECT_NEAR(distanceToEntity(d, id, {-3, 1}), 1, 1e-9) << "picked by its boundary, not inside";
  Snaps snaps;
  describeEntity(d, id, snaps, {});
  ASSERT_EQ(snaps.ends.size(), 4u);
  EXPECT_EQ(snaps.ends[1], (Vec2{-6, 0}));
}

}  // namespace
}  // namespace orv::core
