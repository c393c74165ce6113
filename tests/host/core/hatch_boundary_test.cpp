// The area a hatch fills around a picked point: outer loops, islands, bridges, gaps, and
// the same through a drawing's spatial index.
#include "orv/core/hatch_boundary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "orv/core/document.h"

namespace orv::core {
namespace {

using Pieces = std::vector<Piece>;
Piece seg(double x0, double y0, double x1, double y1) { return Segment{{x0, y0}, {x1, y1}}; }
Piece circle(double x, double y, double r) { return CircularArc{{x, y}, r, 0, kTwoPi}; }
// An arc counter-clockwise from `from` through `sweep` degrees.
Piece arc(double x, double y, double r, double from, double sweep) {
  return CircularArc{{x, y}, r, from * kDegree, sweep * kDegree};
}
Pieces rect(double x0, double y0, double x1, double y1, Pieces more = {}) {
  more.insert(more.begin(), {seg(x0, y0, x1, y0), seg(x1, y0, x1, y1), seg(x1, y1, x0, y1), seg(x0, y1, x0, y0)});
  return more;
}

bool closedChain(const BoundaryLoop& loop) {
  for (std::size_t i = 0; i < loop.edges.size(); ++i)
    if (distance(loop.edges[i].end, loop.edges[(i + 1) % loop.edges.size()].start) > 1e-9) return false;
  return !loop.edges.empty();
}

// The areas include each arc's bulge: a bulge of the wrong sign or size changes them.
TEST(HatchBoundary, findsTheSmallestAreaAroundThePointWithItsIslands) {
  struct Case {
    std::string name;
    Pieces pieces;
    Vec2 point;
    bool found;
    double outerArea;    // counter-clockwise
    int islands;
    double islandsArea;  // clockwise: negative
    int outerEdges;      // 0: not checked
  } cases[] = {
      {"inside the island: the circle itself", rect(0, 0, 20, 10, {circle(10, 5, 2)}), {10.5, 5}, true, kPi * 4, 0, 0, 2},
      // Two rooms sharing a wall drawn once (a partition meeting the outline in two T-junctions),
      // or twice.
      {"touching rooms: the right one", rect(0, 0, 20, 10, {seg(10, 0, 10, 10)}), {15, 5}, true, 100, 0, 0, 4},
      {"touching rooms drawn as two rectangles", rect(0, 0, 10, 10, rect(10, 0, 20, 10)), {5, 5}, true, 100, 0, 0, 4},
      // A smaller room against part of a wall: the shared stretch is one edge of both.
      {"rooms sharing part of a wall: the large one", rect(0, 0, 10, 10, rect(10, 2, 20, 8)), {5, 5}, true, 100, 0, 0, 6},
      {"rooms sharing part of a wall: the small one", rect(0, 0, 10, 10, rect(10, 2, 20, 8)), {15, 5}, true, 60, 0, 0, 4},
      // Walls that run past each other; a stub from the wall into the room is no boundary.
      {"crossing walls and a T-junction stub",
       {seg(-5, 0, 15, 0), seg(10, -5, 10, 15), seg(15, 10, -5, 10), seg(0, 15, 0, -5), seg(10, 5, 7, 5)}, {5, 5}, true,
       100, 0, 0, 5},
      {"half disc: arc and chord", {seg(-5, 0, 5, 0), arc(0, 0, 5, 0, 180)}, {0, 1}, true, kPi * 25 / 2, 0, 0, 2},
      {"slot of two arcs and two lines",
       {seg(0, -2, 10, -2), arc(10, 0, 2, -90, 180), seg(10, 2, 0, 2), arc(0, 0, 2, 90, 180)}, {5, 0}, true,
       40 + kPi * 4, 0, 0, 4},
      {"a gap leaves no area", {seg(0, 0, 10, 0), seg(10, 0, 10, 10), seg(10, 10, 0, 10), seg(0, 10, 0, 0.5)}, {5, 5},
       false, 0, 0, 0, 0},
      {"nothing at all", {}, {0, 0}, false, 0, 0, 0, 0},
      // A circle tied to the wall by a line is still left out: the line is a bridge.
      {"island joined by a bridge", rect(0, 0, 20, 10, {circle(10, 5, 2), seg(12, 5, 20, 5)}), {2, 2}, true, 200, 1,
       -kPi * 4, 5},
      {"nested islands alternate", rect(0, 0, 20, 20, {circle(10, 10, 5), circle(10, 10, 2)}), {1, 1}, true, 400, 2,
       -kPi * 25 - kPi * 4, 4},
      {"circle crossing the rectangle's edge", rect(0, 0, 10, 10, {circle(10, 10, 3)}), {1, 1}, true,
       100 - kPi * 9 / 4, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto b = boundaryAround(c.pieces, c.point);
    ASSERT_EQ(b.has_value(), c.found);
    if (!b) continue;
    EXPECT_NEAR(signedArea(b->outer), c.outerArea, 1e-6);
    EXPECT_TRUE(closedChain(b->outer));
    EXPECT_TRUE(encloses(b->outer, c.point));
    if (c.outerEdges) {
      EXPECT_EQ(static_cast<int>(b->outer.edges.size()), c.outerEdges);
    }
    EXPECT_EQ(static_cast<int>(b->islands.size()), c.islands);
    double islandsArea = 0;
    for (const auto& l : b->islands) {
      islandsArea += signedArea(l);
      EXPECT_TRUE(closedChain(l));
      EXPECT_FALSE(encloses(l, c.point));
    }
    EXPECT_NEAR(islandsArea, c.islandsArea, 1e-6);
  }
}

// Through a drawing: lines, a polyline with a bulge and a circle found through the index;
// texts and far-away entities play no part.
TEST(HatchBoundary, findsTheAreaThroughTheDrawingsIndex) {
  Document doc;
  db::Database& d = doc.database();
  auto add = [&](db::Geometry g) { return *d.append(db::Entity(std::move(g))); };
  add(db::Line{{0, 0, 0}, {100, 0, 0}});
  add(db::Line{{100, 0, 0}, {100, 50, 0}});
  db::Polyline top;  // from (100,50) back to (0,50) with a bay arcing upwards between 40 and 60
  top.addVertex({100, 50});
  top.addVertex({60, 50}, 1.0);
  top.addVertex({40, 50});
  top.addVertex({0, 50});
  top.addVertex({0, 0});
  add(top);
  add(db::Circle{{20, 20, 0}, 5});
  for (int i = 0; i < 200; ++i) add(db::Line{{1000.0 + i, 1000, 0}, {1000.0 + i, 1100, 0}});  // elsewhere
  d.appendRead(db::Entity(db::UnknownEntity{d.intern("TEXT"), {}}), d.modelSpace(), 0, {});
  SpatialIndex index(doc);

  const auto b = findHatchBoundary(index, {70, 10});
  ASSERT_TRUE(b);
  EXPECT_NEAR(signedArea(b->outer), 5000 + kPi * 100 / 2, 1e-6);
  ASSERT_EQ(b->islands.size(), 1u);
  EXPECT_NEAR(signedArea(b->islands[0]), -kPi * 25, 1e-6);
  EXPECT_FALSE(findHatchBoundary(index, {500, 500}));   // between the room and the far lines
  EXPECT_FALSE(findHatchBoundary(index, {-10, -10}));   // outside the drawing
  // Searched within a view: an area reaching out of it is not found there.
  EXPECT_TRUE(findHatchBoundary(index, {70, 10}, Box2{-10, -10, 120, 120}));
  EXPECT_FALSE(findHatchBoundary(index, {70, 10}, Box2{30, -10, 120, 120}));
  EXPECT_FALSE(findHatchBoundary(index, {70, 10}, Box2{200, 200, 300, 300}));  // the point outside the view
  const auto inCircle = findHatchBoundary(index, {20, 21});
  ASSERT_TRUE(inCircle);
  EXPECT_NEAR(signedArea(inCircle->outer), kPi * 25, 1e-6);
}

TEST(HatchBoundary, ellipsesAndSplinesBoundAreasToo) {
  Document doc;
  db::Database& d = doc.database();
  for (auto [a, b] : {std::pair<Vec2, Vec2>{{0, 0}, {100, 0}}, {{100, 0}, {100, 50}}, {{100, 50}, {0, 50}}, {{0, 50}, {0, 0}}})
    d.append(db::Entity(db::Line{{a.x, a.y, 0}, {b.x, b.y, 0}}));
  d.append(db::Entity(db::Ellipse{{30, 25, 0}, {8, 0, 0}, {0, 0, 1}, 0.5}));
  db::Spline triangle = db::Spline::byControlPoints({{60, 20, 0}, {80, 20, 0}, {70, 30, 0}, {60, 20, 0}}, 1);
  triangle.flags |= 1;
  d.append(db::Entity(triangle));
  SpatialIndex index(doc);
  const auto room = findHatchBoundary(index, {90, 5});
  ASSERT_TRUE(room);
  ASSERT_EQ(room->islands.size(), 2u);
  double islands = 0;
  for (const auto& loop : room->islands) islands += signedArea(loop);
  EXPECT_NEAR(islands, -(kPi * 8 * 4 + 100), 0.2);  // the ellipse followed by chords
  const auto inTriangle = findHatchBoundary(index, {70, 25});
  ASSERT_TRUE(inTriangle);
  EXPECT_NEAR(signedArea(inTriangle->outer), 100, 1e-6);
}

}  // namespace
}  // namespace orv::core
