// Plane geometry: where pieces meet, the pieces of bulges, maps of arcs and boxes.
#include "orv/core/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv::core {
namespace {

CircularArc arcDeg(Vec2 c, double r, double start, double sweep) {
  return {c, r, start * kDegree, sweep * kDegree};
}

void expectPoints(std::vector<Vec2> got, std::vector<Vec2> want, const std::string& what) {
  auto order = [](Vec2 a, Vec2 b) { return a.x != b.x ? a.x < b.x : a.y < b.y; };
  std::sort(got.begin(), got.end(), order);
  std::sort(want.begin(), want.end(), order);
  ASSERT_EQ(got.size(), want.size()) << what;
  for (std::size_t i = 0; i < got.size(); ++i) {
    EXPECT_NEAR(got[i].x, want[i].x, 1e-9) << what << " #" << i;
    EXPECT_NEAR(got[i].y, want[i].y, 1e-9) << what << " #" << i;
  }
}

TEST(Geometry, piecesMeetWhereWorkedOutByHand) {
  const double r2 = std::sqrt(2.0);
  struct Case {
    const char* what;
    Piece p, q;
    std::vector<Vec2> meet;
  } cases[] = {
      {"crossing segments", Segment{{0, 0}, {10, 10}}, Segment{{0, 10}, {10, 0}}, {{5, 5}}},
      {"segments apart", Segment{{0, 0}, {1, 1}}, Segment{{2, 0}, {3, -1}}, {}},
      {"segments sharing an end", Segment{{0, 0}, {4, 0}}, Segment{{4, 0}, {4, 3}}, {{4, 0}}},
      {"collinear overlap", Segment{{0, 0}, {4, 0}}, Segment{{2, 0}, {6, 0}}, {{2, 0}, {4, 0}}},
      {"parallel", Segment{{0, 0}, {4, 0}}, Segment{{0, 1}, {4, 1}}, {}},
      {"line through a circle", Segment{{-20, 3}, {20, 3}}, CircularArc{{0, 0}, 5}, {{-4, 3}, {4, 3}}},
      {"tangent to a circle", Segment{{-5, 5}, {5, 5}}, CircularArc{{0, 0}, 5}, {{0, 5}}},
      {"line and the arc's half", Segment{{-20, 3}, {20, 3}}, arcDeg({0, 0}, 5, 0, 90), {{4, 3}}},
      {"segment short of the circle", Segment{{-20, 3}, {-10, 3}}, CircularArc{{0, 0}, 5}, {}},
      {"two circles", CircularArc{{0, 0}, 5}, CircularArc{{8, 0}, 5}, {{4, 3}, {4, -3}}},
      {"circles touching", CircularArc{{0, 0}, 2}, CircularArc{{5, 0}, 3}, {{2, 0}}},
      {"arcs missing each other", arcDeg({0, 0}, 5, 90, 90), arcDeg({8, 0}, 5, 180, 90), {}},
      {"concentric", CircularArc{{0, 0}, 2}, CircularArc{{0, 0}, 3}, {}},
      {"line through an ellipse", Segment{{-20, 0}, {20, 0}}, EllipticArc{{0, 0}, {10, 0}, {0, 5}},
       {{-10, 0}, {10, 0}}},
      {"diagonal through an ellipse", Segment{{-20, -20}, {20, 20}}, EllipticArc{{0, 0}, {2, 0}, {0, 2}},
       {{-r2, -r2}, {r2, r2}}},
  };
  for (const Case& c : cases) {
    std::vector<Vec2> got;
    intersections(c.p, c.q, got);
    expectPoints(got, c.meet, c.what);
    got.clear();
    intersections(c.q, c.p, got);
    expectPoints(got, c.meet, std::string(c.what) + " (swapped)");
  }
}

TEST(Geometry, bulgesArcsAndMaps) {
  // A bulge of 1 is a half circle turning counter-clockwise from start to end: from
  // (0, 0) to (10, 0) it passes below the chord; -1 passes above.
  const auto down = std::get<CircularArc>(bulgePiece({0, 0}, {10, 0}, 1));
  EXPECT_NEAR(down.center.x, 5, 1e-12);
  EXPECT_NEAR(down.radius, 5, 1e-12);
  EXPECT_NEAR(down.sweep, kPi, 1e-12);
  EXPECT_NEAR(middleOf(down).y, -5, 1e-12);
  EXPECT_NEAR(middleOf(bulgePiece({0, 0}, {10, 0}, -1)).y, 5, 1e-12);
  EXPECT_NEAR(middleOf(bulgePiece({0, 0}, {10, 0}, 0.5)).y, -2.5, 1e-12);

  // Arc ends at multiples of 90 degrees are exact.
  const CircularArc quarter = arcDeg({20, 0}, 5, 0, 90);
  EXPECT_EQ(quarter.endPoint(), (Vec2{20, 5}));
  EXPECT_EQ(boxOf(quarter), (Box2{20, 0, 25, 5}));
  EXPECT_EQ(boxOf(arcDeg({0, 0}, 1, 45, 90)).maxY, 1);  // through the top quadrant

  // A reflection in the y axis turns the first quadrant's arc into the second's.
  const auto mirrored = std::get<CircularArc>(transformed(arcDeg({0, 0}, 1, 0, 90), Affine2::mirror({0, 0}, {0, 1})));
  EXPECT_NEAR(mirrored.start, kPi / 2, 1e-12);
  EXPECT_NEAR(mirrored.sweep, kPi / 2, 1e-12);
  // A circle under an unequal scale is an ellipse.
  Affine2 squash;
  squash.d = 0.5;
  const auto ellipse = transformed(CircularArc{{0, 0}, 2}, squash);
  ASSERT_TRUE(std::holds_alternative<EllipticArc>(ellipse));
  EXPECT_EQ(boxOf(ellipse), (Box2{-2, -1, 2, 1}));

  // Angles: a rotation by 30 and a reflection keep their exact values.
  EXPECT_EQ(Affine2::rotation({5, 5}, 30).mapDegrees(0), 30);
  EXPECT_EQ(Affine2::mirror({0, 0}, {1, 1}).mapDegrees(0), 90);
  EXPECT_EQ(Affine2::rotation({0, 0}, 90).after(Affine2::mirror({0, 0}, {1, 0})).mapDegrees(10), 80);
  EXPECT_EQ(Affine2::rotation({3, 4}, 90).apply({4, 4}), (Vec2{3, 5}));

  // Windows: a segment crossing a rectangle meets it; one passing its corner does not.
  const Box2 rect{0, 0, 10, 10};
  EXPECT_TRUE(meets(Segment{{-5, 5}, {15, 5}}, rect));
  EXPECT_FALSE(meets(Segment{{-5, 12}, {12, -5.1}}, Box2{0, 0, 1, 1}));
  EXPECT_TRUE(meets(CircularArc{{5, 5}, 6}, rect));
  EXPECT_FALSE(meets(CircularArc{{5, 5}, 100}, rect));
  EXPECT_FALSE(meets(arcDeg({20, 5}, 5, 90, 180), Box2{0, 0, 14.9, 10}));
  EXPECT_TRUE(meets(arcDeg({20, 5}, 5, 90, 180), Box2{0, 0, 15, 10}));
}

TEST(Geometry, perpendicularFeetAndNearestPoints) {
  std::vector<Vec2> feet;
  perpendicularFeet(Segment{{0, 0}, {10, 10}}, {10, 0}, feet);
  expectPoints(feet, {{5, 5}}, "foot on a line");
  feet.clear();
  perpendicularFeet(Segment{{0, 0}, {10, 0}}, {20, 5}, feet);
  expectPoints(feet, {{20, 0}}, "foot beyond the segment's end");
  feet.clear();
  perpendicularFeet(CircularArc{{0, 0}, 5}, {10, 0}, feet);
  expectPoints(feet, {{5, 0}, {-5, 0}}, "feet on a circle");
  EXPECT_EQ(nearestOn(arcDeg({0, 0}, 5, 0, 90), {-1, -8}), (Vec2{5, 0}));
  const Vec2 onEllipse = nearestOn(EllipticArc{{0, 0}, {10, 0}, {0, 5}}, {0, 9});
  EXPECT_NEAR(onEllipse.x, 0, 1e-6);  // found by search, not solved
  EXPECT_NEAR(onEllipse.y, 5, 1e-9);
}

}  // namespace
}  // namespace orv::core
