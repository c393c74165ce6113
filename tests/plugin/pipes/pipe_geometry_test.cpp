// Corner tangent points and reducer ends of a pipe run, worked out by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "pipes/pipe_geometry.h"

namespace {

constexpr double kPi = std::numbers::pi;
using P = AcGePoint2d;

#define EXPECT_POINT(actual, ex, ey)        \
  do {                                      \
    const P p_ = (actual);                  \
    EXPECT_NEAR(p_.x, (ex), 1e-9) << #actual; \
    EXPECT_NEAR(p_.y, (ey), 1e-9) << #actual; \
  } while (0)

}  // namespace

TEST(CornerPoints, aRightAngleIsReachedAtTheRadiusInEveryMode) {
  for (int mode : {kHorizontalElbow, kDownBendElbow, kUpBendElbow}) {
    CornerPoints c = cornerPoints(P(0, 0), P(1000, 0), P(1000, 1000), 150, mode);
    EXPECT_FALSE(c.blocked) << mode;
    EXPECT_TRUE(c.drawsFitting) << mode;
    EXPECT_POINT(c.t1, 850, 0);
    EXPECT_POINT(c.t2, 1000, 150);
  }
}

TEST(CornerPoints, anUpDownElbowReachesTheRadiusWhateverTheAngle) {
  CornerPoints c = cornerPoints(P(0, 0), P(1000, 0), P(2000, 1000), 100, kDownBendElbow);
  EXPECT_POINT(c.t1, 900, 0);
  EXPECT_POINT(c.t2, 1000 + 100 / std::sqrt(2.0), 100 / std::sqrt(2.0));
  EXPECT_NEAR(c.theta, 0.75 * kPi, 1e-12);
}

TEST(CornerPoints, anAlmostStraightRunBreaksWithoutAnElbow) {
  CornerPoints c = cornerPoints(P(0, 0), P(1000, 0), P(2000, 5), 100, kHorizontalElbow);
  EXPECT_FALSE(c.drawsFitting);
  const double t = 100 * std::tan(std::atan2(5.0, 1000.0) / 2);
  EXPECT_NEAR(t, 0.25, 5e-5);
  EXPECT_POINT(c.t1, 1000 - t, 0);
  EXPECT_NEAR(c.t2.distanceTo(P(1000, 0)), t, 1e-12);
  EXPECT_NEAR(std::atan2(c.t2.y, c.t2.x - 1000), std::atan2(5.0, 1000.0), 1e-9);

  // A straight run: the tangent distance is practically nothing.
  c = cornerPoints(P(0, 0), P(1000, 0), P(2000, 0), 150, kHorizontalElbow);
  EXPECT_FALSE(c.drawsFitting);
  EXPECT_NEAR(c.t1.x, 1000, 1e-9);
  EXPECT_NEAR(c.t2.x, 1000, 1e-9);

  // Just past 0.1 radian from straight the elbow is drawn.
  const double bend = 0.1001;
  c = cornerPoints(P(0, 0), P(1000, 0), P(1000 + std::cos(bend), std::sin(bend)), 150, kHorizontalElbow);
  EXPECT_TRUE(c.drawsFitting);
}

TEST(CornerPoints, anAngleMeasuredTheLongWayRoundGivesTheSameReach) {
  // From the corner, back along the piece at 350 degrees and on at 10 degrees:
  // |a2 - a1| is 340 degrees, the angle between the legs 20.
  const P b(0, 0);
  const P s(1000 * std::cos(350 * kPi / 180), 1000 * std::sin(350 * kPi / 180));
  const P c(1000 * std::cos(10 * kPi / 180), 1000 * std::sin(10 * kPi / 180));
  CornerPoints corner = cornerPoints(s, b, c, 100, kHorizontalElbow);
  const double t = 100 / std::tan(10 * kPi / 180);
  EXPECT_NEAR(corner.t1.distanceTo(b), t, 1e-9);
  EXPECT_NEAR(corner.t2.distanceTo(b), t, 1e-9);
  EXPECT_TRUE(corner.drawsFitting);
}

TEST(CornerPoints, withoutAFittingModeThePiecesMeetAtTheCorner) {
  for (int mode : {0, 4, 5, -1, 99}) {
    CornerPoints c = cornerPoints(P(0, 0), P(1000, 0), P(1000, 1000), 150, mode);
    EXPECT_FALSE(c.blocked) << mode;
    EXPECT_FALSE(c.drawsFitting) << mode;
    EXPECT_POINT(c.t1, 1000, 0);
    EXPECT_POINT(c.t2, 1000, 0);
  }
}

TEST(CornerPoints, aCornerOnTheStartOrBackAlongThePieceIsBlocked) {
  EXPECT_TRUE(cornerPoints(P(5, 5), P(5, 5), P(100, 0), 150, kHorizontalElbow).blocked);
  // C on the piece just drawn, or beyond its start: the same direction as S.
  EXPECT_TRUE(cornerPoints(P(0, 0), P(1000, 0), P(500, 0), 150, kDownBendElbow).blocked);
  EXPECT_TRUE(cornerPoints(P(0, 0), P(1000, 0), P(-500, 0), 150, 0).blocked);
}

TEST(ReducerEnds, theThreeFormsFromTheFrontEnd) {
  ReducerEnds concentric = reducerEnds(P(0, 0), P(200, 0), 100, 80, kConcentricReducer);
  EXPECT_POINT(concentric.centre, 200, 0);
  EXPECT_POINT(concentric.left, 200, 40);
  EXPECT_POINT(concentric.right, 200, -40);

  ReducerEnds flatTop = reducerEnds(P(0, 0), P(200, 0), 100, 80, kFlatTopReducer);
  EXPECT_POINT(flatTop.centre, 200, 10);
  EXPECT_POINT(flatTop.left, 200, 50);
  EXPECT_POINT(flatTop.right, 200, -30);

  ReducerEnds flatBottom = reducerEnds(P(1000, 0), P(1200, 0), 100, 60, kFlatBottomReducer);
  EXPECT_POINT(flatBottom.centre, 1200, -20);
  EXPECT_POINT(flatBottom.left, 1200, 10);
  EXPECT_POINT(flatBottom.right, 1200, -50);

  // Sideways is across the direction of the reducer, here straight up.
  ReducerEnds up = reducerEnds(P(0, 0), P(0, 200), 100, 60, kFlatTopReducer);
  EXPECT_POINT(up.centre, -20, 200);
  EXPECT_POINT(up.left, -50, 200);
  EXPECT_POINT(up.right, 10, 200);
}

TEST(ReducerEnds, aNarrowRearPipeStaysAgainstTheStraightSide) {
  // Rear 30 behind front 100: the rear pipe spans 50 down to 20 above the
  // front axis, its own axis at 35.
  ReducerEnds top = reducerEnds(P(0, 0), P(200, 0), 100, 30, kFlatTopReducer);
  EXPECT_POINT(top.centre, 200, 35);
  EXPECT_POINT(top.left, 200, 50);
  EXPECT_POINT(top.right, 200, 20);
  ReducerEnds bottom = reducerEnds(P(0, 0), P(200, 0), 100, 30, kFlatBottomReducer);
  EXPECT_POINT(bottom.centre, 200, -35);
  EXPECT_POINT(bottom.left, 200, -20);
  EXPECT_POINT(bottom.right, 200, -50);
  // An expander keeps the straight side too.
  ReducerEnds wider = reducerEnds(P(0, 0), P(200, 0), 60, 100, kFlatTopReducer);
  EXPECT_POINT(wider.centre, 200, -20);
  EXPECT_POINT(wider.right, 200, -70);
}

TEST(ReducerEnds, anUnknownFormIsConcentric) {
  ReducerEnds ends = reducerEnds(P(0, 0), P(200, 0), 100, 80, 7);
  EXPECT_POINT(ends.centre, 200, 0);
  EXPECT_POINT(ends.left, 200, 40);
}
