// Entity geometry: the polyline's vertex storage and the refusal of values that are not finite.
#include <gtest/gtest.h>

#include <limits>

#include "orv/db/entity.h"

namespace orv::db {
namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Polyline, keepsVerticesInOrderAcrossGrowthFromInlineToHeap) {
  Polyline p;
  for (int i = 0; i < 9; ++i) ASSERT_EQ(p.addVertex({double(i), double(-i)}), Status::ok);
  ASSERT_EQ(p.size(), 9u);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(p.point(i), (Point2{double(i), double(-i)}));
  EXPECT_FALSE(p.hasVertexExtras());
}

TEST(Polyline, insertsBeforeAnIndexAndKeepsBulgesWithTheirVertices) {
  Polyline p;
  p.addVertex({0, 0});
  p.addVertex({2, 0}, 0.5);
  ASSERT_EQ(p.addVertexAt(1, {1, 0}, -0.25, 3.0, 4.0), Status::ok);
  EXPECT_EQ(p.vertex(0), (Vertex{{0, 0}, 0, 0, 0}));
  EXPECT_EQ(p.vertex(1), (Vertex{{1, 0}, -0.25, 3.0, 4.0}));
  EXPECT_EQ(p.vertex(2), (Vertex{{2, 0}, 0.5, 0, 0}));
  ASSERT_EQ(p.removeVertexAt(0), Status::ok);
  EXPECT_EQ(p.vertex(0).bulge, -0.25);
  EXPECT_EQ(p.addVertexAt(5, {0, 0}), Status::invalidInput);
}

TEST(Polyline, negativeWidthMeansDefaultWidth) {
  // The SDK passes -1.0 for "no explicit width".
  Polyline p;
  p.addVertex({0, 0}, 0.0, -1.0, -1.0);
  EXPECT_EQ(p.startWidth(0), 0.0);
  EXPECT_FALSE(p.hasVertexExtras());
}

TEST(Polyline, copiesAndMovesAreIndependentAndEqual) {
  Polyline a;
  for (int i = 0; i < 5; ++i) a.addVertex({double(i), 1}, i == 3 ? 1.0 : 0.0);
  a.setClosed(true);
  Polyline b = a;
  EXPECT_EQ(a, b);
  b.setPoint(0, {9, 9});
  EXPECT_NE(a, b);
  Polyline c = std::move(b);
  EXPECT_EQ(c.point(0), (Point2{9, 9}));
  EXPECT_EQ(c.bulge(3), 1.0);
  EXPECT_TRUE(c.closed());
  Polyline small;
  small.addVertex({1, 2});
  c = small;  // heap to inline
  EXPECT_EQ(c, small);
  c = std::move(a);
  EXPECT_EQ(c.size(), 5u);
}

TEST(Polyline, refusesValuesThatAreNotFinite) {
  Polyline p;
  EXPECT_EQ(p.addVertex({kNan, 0}), Status::invalidInput);
  EXPECT_EQ(p.addVertex({0, kInf}), Status::invalidInput);
  EXPECT_EQ(p.addVertex({0, 0}, kNan), Status::invalidInput);
  EXPECT_EQ(p.size(), 0u);
  p.addVertex({0, 0});
  EXPECT_EQ(p.setPoint(0, {kInf, 0}), Status::invalidInput);
  EXPECT_EQ(p.setBulge(0, kNan), Status::invalidInput);
  EXPECT_EQ(p.setConstantWidth(kNan), Status::invalidInput);
  EXPECT_EQ(p.setElevation(-kInf), Status::invalidInput);
  EXPECT_EQ(p.point(0), (Point2{0, 0}));
}

TEST(Validate, refusesEachKindOfBadGeometry) {
  EXPECT_EQ(validate(Line{{0, 0, 0}, {1, kNan, 0}}), Status::invalidInput);
  EXPECT_EQ(validate(Circle{{0, 0, 0}, -1.0}), Status::invalidInput);
  EXPECT_EQ(validate(Arc{{0, 0, 0}, 1.0, 0.0, kInf}), Status::invalidInput);
  EXPECT_EQ(validate(BlockReference{BlockId{3}, {}, 0.0}), Status::invalidInput);
  EXPECT_EQ(validate(BlockReference{BlockId{3}, {kNan, 0, 0}}), Status::invalidInput);
  EXPECT_EQ(validate(BlockReference{BlockId{3}, {1, 2, 3}, 2.0, 0.5, 1.0, 45.0}), Status::ok);
  EXPECT_EQ(validate(Arc{{1, 2, 0}, 3.0, 350.0, 10.0}), Status::ok);
}

TEST(Entity, staysCompactForLargeDrawings) {
  // 810,000 entities must fit in about 120 bytes each, with the id list of the block.
  EXPECT_LE(sizeof(Entity), 96u);
}

}  // namespace
}  // namespace orv::db
