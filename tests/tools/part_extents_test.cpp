// Extents of a block's drawing: arcs by their extreme points, widths, nested and transformed references.
#include "part_extents.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace orv::partlib {
namespace {

constexpr double kEps = 1e-12;

double deg(double d) { return d * std::numbers::pi / 180.0; }

class PartExtents : public ::testing::Test {
 protected:
  PartExtents() : block_(*d_.addBlock("P", {})) {}

  void add(db::Geometry g, db::BlockId owner) { ASSERT_TRUE(d_.append(db::Entity(std::move(g)), owner)); }
  void add(db::Geometry g) { add(std::move(g), block_); }
  Box extents() {
    auto box = blockExtents(d_, block_);
    EXPECT_TRUE(box.has_value());
    return box.value_or(Box{});
  }
  void expectBox(const Box& b, double minX, double minY, double maxX, double maxY) {
    EXPECT_NEAR(b.minX, minX, kEps);
    EXPECT_NEAR(b.minY, minY, kEps);
    EXPECT_NEAR(b.maxX, maxX, kEps);
    EXPECT_NEAR(b.maxY, maxY, kEps);
  }
  db::BlockId nestedWith(db::Geometry g) {
    const db::BlockId inner = *d_.addBlock("Q" + std::to_string(d_.blockCount()), {});
    add(std::move(g), inner);
    return inner;
  }
  db::Database d_ = db::Database::newDrawing();
  db::BlockId block_;
};

TEST_F(PartExtents, anEmptyBlockHasNone) {
  EXPECT_FALSE(blockExtents(d_, block_));
  EXPECT_FALSE(blockExtents(d_, db::BlockId{999}));
}

TEST_F(PartExtents, arcsReachTheirExtremePointsOnlyWhereTheyPassThem) {
  // From 350 to 10 degrees through 0: its right end is the radius, not an end point.
  add(db::Arc{{0, 0, 0}, 10, 350, 10});
  expectBox(extents(), 10 * std::cos(deg(10)), -10 * std::sin(deg(10)), 10, 10 * std::sin(deg(10)));
}

TEST_F(PartExtents, anArcFromAboveDownPassesTheLeftQuadrant) {
  add(db::Arc{{5, 5, 0}, 2, 45, 270});  // counter-clockwise through 90 and 180 degrees
  expectBox(extents(), 3, 3, 5 + 2 * std::cos(deg(45)), 7);
}

TEST_F(PartExtents, circlesAndLines) {
  add(db::Circle{{0, 0, 0}, 3});
  add(db::Line{{-1, 0, 0}, {10, 1, 0}});
  expectBox(extents(), -3, -3, 10, 3);
}

TEST_F(PartExtents, bulgesBendSegmentsToTheirSide) {
  db::Polyline below;  // bulge 1 from left to right: counter-clockwise, the half circle below
  below.addVertex({-1, 0}, 1.0);
  below.addVertex({1, 0});
  add(below);
  expectBox(extents(), -1, -1, 1, 0);

  db::Polyline above;  // bulge -1: clockwise, above
  above.addVertex({4, 0}, -1.0);
  above.addVertex({6, 0});
  add(above);
  expectBox(extents(), -1, -1, 6, 1);

  db::Polyline flat;  // upwards, bending right by its sagitta: bulge * chord / 2
  flat.addVertex({10, 0}, 0.25);
  flat.addVertex({10, 4});
  add(flat);
  expectBox(extents(), -1, -1, 10.5, 4);
}

TEST_F(PartExtents, theClosingSegmentOfAClosedPolylineCounts) {
  db::Polyline pl;  // two half circles: a full circle of radius 2 around (0,0)
  pl.addVertex({-2, 0}, 1.0);
  pl.addVertex({2, 0}, 1.0);
  add(pl);
  expectBox(extents(), -2, -2, 2, 0);  // open: only the lower half
  db::Polyline closed = pl;
  closed.setClosed(true);
  add(closed);
  expectBox(extents(), -2, -2, 2, 2);
}

TEST_F(PartExtents, aWideStraightSegmentIsMeasuredAcrossItsEndsOnly) {
  db::Polyline wedge;  // a filled triangle: nothing at the start, 219 wide at the end
  wedge.addVertex({150, 0}, 0.0, 0.0, 219.0);
  wedge.addVertex({300, 0});
  add(wedge);
  expectBox(extents(), 150, -109.5, 300, 109.5);

  db::Polyline slanted;  // constant width 2 on a 45 degree segment
  slanted.addVertex({0, 0});
  slanted.addVertex({10, 10});
  slanted.setConstantWidth(2.0);
  add(slanted);
  const double h = std::sqrt(0.5);
  expectBox(extents(), -h, -109.5, 300, 109.5);
  EXPECT_NEAR(blockExtents(d_, block_)->minX, -h, kEps);
}

TEST_F(PartExtents, aDotIsMeasuredToItsOuterEdge) {
  db::Polyline dot;  // centre line radius 10, width 20: a disc of radius 20
  dot.addVertex({140, 0}, 1.0);
  dot.addVertex({160, 0}, 1.0);
  dot.setClosed(true);
  dot.setConstantWidth(20.0);
  add(dot);
  expectBox(extents(), 130, -20, 170, 20);
}

TEST_F(PartExtents, referencesAreMeasuredThroughTheirTransform) {
  db::BlockReference ref;
  ref.block = nestedWith(db::Arc{{0, 0, 0}, 1, 0, 90});  // quarter circle, first quadrant
  ref.position = {10, 0, 0};
  ref.xScale = -2;  // mirrored and stretched along x
  ref.yScale = 3;
  add(ref);
  expectBox(extents(), 8, 0, 10, 3);

  // Turned a quarter: the arc lies in the second quadrant around (10, 0).
  ref.xScale = ref.yScale = 1;
  ref.rotation = 90;
  add(ref);
  expectBox(extents(), 8, 0, 10, 3);
  ref.position = {0, 0, 0};
  add(ref);
  expectBox(extents(), -1, 0, 10, 3);
}

TEST_F(PartExtents, aStretchedAndTurnedCircleIsMeasuredAsItsEllipse) {
  db::BlockReference ref;
  ref.block = nestedWith(db::Circle{{0, 0, 0}, 1});
  ref.xScale = 2;
  ref.yScale = 1;
  ref.rotation = 30;
  add(ref);
  const double c = std::cos(deg(30)), s = std::sin(deg(30));
  const double halfW = std::sqrt(4 * c * c + s * s), halfH = std::sqrt(4 * s * s + c * c);
  expectBox(extents(), -halfW, -halfH, halfW, halfH);
}

TEST_F(PartExtents, nestedReferencesComposeAndBasePointsShift) {
  const db::BlockId leaf = nestedWith(db::Line{{0, 0, 0}, {1, 0, 0}});
  db::BlockReference toLeaf;
  toLeaf.block = leaf;
  toLeaf.rotation = 90;  // the line now runs from (0,0) to (0,1)
  const db::BlockId middle = *d_.addBlock("M", {0, 1, 0});  // base point at its top
  add(toLeaf, middle);
  db::BlockReference toMiddle;
  toMiddle.block = middle;
  toMiddle.position = {5, 5, 0};
  toMiddle.xScale = toMiddle.yScale = 2;
  add(toMiddle);
  expectBox(extents(), 5, 3, 5, 5);
}

TEST(Transform, composesInnerFirst) {
  Transform move;
  move.x0 = 1;
  Transform turn;  // a quarter turn
  turn.xx = 0, turn.xy = -1, turn.yx = 1, turn.yy = 0;
  EXPECT_EQ((move * turn).apply({1, 0}), (db::Point2{1, 1}));
  EXPECT_EQ((turn * move).apply({1, 0}), (db::Point2{0, 2}));
}

}  // namespace
}  // namespace orv::partlib
