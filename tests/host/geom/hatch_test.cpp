// Hatches: loops chained from edges, islands by the hatch style, damage kept bounded.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "geom_test_util.h"
#include "orv/geom/hatch.h"

namespace orv::geom::test {
namespace {

db::HatchPath square(double x0, double y0, double x1, double y1, std::uint32_t flags) {
  db::HatchPath p;
  p.flags = flags | db::HatchPath::polyline;
  p.vertices = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
  return p;
}

db::HatchEdge line(db::Point2 a, db::Point2 b) {
  db::HatchEdge e;
  e.start = a, e.end = b;
  return e;
}

db::HatchEdge arc(db::Point2 c, double r, double a0, double a1, bool ccw) {
  db::HatchEdge e;
  e.type = db::HatchEdge::Type::arc;
  e.center = c, e.radius = r, e.startAngle = a0, e.endAngle = a1, e.counterClockwise = ccw;
  return e;
}

TEST(HatchBoundary, islandsFollowTheHatchStyle) {
  // An outer square, a hole in it, and an island in the hole.
  db::Hatch h;
  h.paths = {square(0, 0, 100, 100, 1), square(20, 20, 80, 80, 16), square(40, 40, 60, 60, 0)};
  struct Case {
    db::Hatch::Style style;
    std::size_t loops;
  } cases[] = {{db::Hatch::Style::odd, 3}, {db::Hatch::Style::outermost, 2}, {db::Hatch::Style::ignore, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.style));
    h.style = c.style;
    const auto loops = hatchBoundary(h, 0.01);
    ASSERT_EQ(loops.size(), c.loops);
    EXPECT_EQ(loops[0].points.size(), 4u);
  }
  h.style = db::Hatch::Style::outermost;
  const auto loops = hatchBoundary(h, 0.01);
  EXPECT_EQ(loops[0].depth, 0);
  EXPECT_EQ(loops[1].depth, 1);
}

TEST(HatchBoundary, chainsEdgesWhateverTheirDirectionWithArcsBothWays) {
  // A rounded slot: a line, a counter-clockwise half circle, a line stored backwards and
  // a clockwise half circle (stored mirrored, as files store them: 360 − 90 to 360 − 270).
  db::Hatch h;
  db::HatchPath p;
  p.edges = {line({0, 0}, {10, 0}), arc({10, 5}, 5, -90, 90, true), line({0, 10}, {10, 10}),
             arc({0, 5}, 5, 90, 270, false)};
  h.paths = {p};
  EXPECT_DOUBLE_EQ(p.edges[3].ccwStart(), 90.0);
  EXPECT_DOUBLE_EQ(p.edges[3].ccwEnd(), 270.0);
  const auto loops = hatchBoundary(h, 0.001);
  ASSERT_EQ(loops.size(), 1u);
  Box box;
  double area = 0.0;
  const auto& q = loops[0].points;
  for (std::size_t i = 0; i < q.size(); ++i) {
    box.add(q[i]);
    area += q[i].x * q[(i + 1) % q.size()].y - q[(i + 1) % q.size()].x * q[i].y;
  }
  EXPECT_NEAR(box.minX, -5.0, 0.01);
  EXPECT_NEAR(box.maxX, 15.0, 0.01);
  EXPECT_NEAR(std::abs(area) / 2.0, 100.0 + 3.14159265358979 * 25.0, 0.05);  // a chain, not a bow tie
}

TEST(HatchBoundary, splineEdgesCloseByTheirChordAndDamageStaysBounded) {
  db::Hatch h;
  db::HatchEdge s;
  s.type = db::HatchEdge::Type::spline;
  s.knots = {0, 0, 0, 0, 1, 1, 1, 1};
  s.controlPoints = {{0, 0}, {0, 10}, {10, 10}, {10, 0}};
  db::HatchPath spline;
  spline.edges = {s};
  // One vertex is no loop; a bulge of a wild size still makes a bounded loop.
  db::HatchPath lone = square(0, 0, 1, 1, 0);
  lone.vertices.resize(1);
  db::HatchPath bulged = square(0, 0, 10, 5, 0);
  bulged.vertices.resize(3);
  bulged.bulges = {1e300, 0, 0};
  struct Case {
    const char* name;
    db::HatchPath path;
    std::size_t loops;
  } cases[] = {{"spline", spline, 1}, {"one vertex", lone, 0}, {"wild bulge", bulged, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.paths = {c.path};
    const auto loops = hatchBoundary(h, 0.01, 1000);
    ASSERT_EQ(loops.size(), c.loops);
    if (!loops.empty()) {
      EXPECT_LE(loops[0].points.size(), 1000u);
    }
  }
}

}  // namespace
}  // namespace orv::geom::test
