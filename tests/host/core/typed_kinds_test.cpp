// The typed kinds (text, MTEXT, old-style polylines, splines, dimensions, leaders,
// hatches) under the maps of MOVE/ROTATE/SCALE/MIRROR, the maps each refuses, their grips,
// and where boxes, picks and snaps find them.
#include <gtest/gtest.h>

#include "kind_samples.h"
#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

using namespace testing;
using A = db::MTextAttachment;
using H = db::TextHAlign;
using V = db::TextVAlign;

db::HeavyPolyline splineFitted() {  // drawn through (0, 0) and (10, 0); (50, 50) is a frame point
  db::HeavyPolyline p = polyline3d({{0, 0, 0}, {50, 50, 0}, {10, 0, 0}});
  p.flags |= db::HeavyPolyline::splineFit;
  p.vertices[1].flags |= db::HeavyVertex::framePoint;
  return p;
}

db::Spline fitPointsOnly() {
  db::Spline s;
  s.fitPoints = {{0, 0, 0}, {5, 5, 0}, {10, 0, 0}};
  return s;
}

// Open, from (0, 0) to (4, 0), its top at (2, 1.5).
db::Spline arch(bool closed = false) {
  db::Spline s = db::Spline::byControlPoints({{0, 0, 0}, {1, 2, 0}, {3, 2, 0}, {4, 0, 0}});
  if (closed) s.flags |= 1;
  return s;
}

TEST(TypedKinds, eachValueFollowsTheMap) {
  const Affine2 quarter = Affine2::rotation({0, 0}, 90), mirrorY = Affine2::mirror({0, 0}, {0, 1});
  const double weighted = rationalSpline().flags;
  struct Case {
    const char* what;
    db::Entity before;
    Affine2 map;
    std::vector<db::Point3> points;  // see pointsOf
    std::vector<double> numbers;     // see numbersOf
  } cases[] = {
      // (Left-aligned text under turns, scales and mirrors: see the transform tests.)
      {"text centred at the top, mirrored: still centred at the top", text({4, 4, 0}, 1, H::center, V::top), mirrorY,
       {{-4, 4, 0}}, {0, 1, n(H::center), n(V::top), 0}},
      {"text aligned between two points, mirrored: the points change places",
       text({0, 0, 0}, 1, H::aligned, V::baseline, db::Point3{10, 0, 0}), mirrorY, {{-10, 0, 0}, {0, 0, 0}},
       {0, 1, n(H::aligned), n(V::baseline), 0}},
      {"MTEXT turned a quarter and scaled twice", mtext({1, 0, 0}), quarter.after(Affine2::scaling({0, 0}, 2)),
       {{0, 2, 0}}, {90, 4, 20, n(A::topLeft), 0, 90}},
      {"MTEXT turned by its direction vector: it stays a vector", mtext({1, 0, 0}, A::topLeft, true), quarter,
       {{0, 1, 0}}, {90, 2, 10, n(A::topLeft), 1, 0}},
      {"MTEXT mirrored in the y axis: read the other way, so hung by its right side", mtext({10, 0, 0}), mirrorY,
       {{-10, 0, 0}}, {0, 2, 10, n(A::topRight), 0, 0}},
      {"MTEXT mirrored in the x axis: hung by its bottom", mtext({10, 5, 0}, A::topCenter),
       Affine2::mirror({0, 0}, {1, 0}), {{10, -5, 0}}, {0, 2, 10, n(A::bottomCenter), 0, 0}},
      {"MTEXT middle centre mirrored: still middle centre", mtext({4, 4, 0}, A::middleCenter), mirrorY,
       {{-4, 4, 0}}, {0, 2, 10, n(A::middleCenter), 0, 0}},
      {"3D polyline turned a quarter", polyline3d({{1, 2, 3}, {4, 0, -1}}), quarter, {{-2, 1, 3}, {0, 4, -1}},
       {0, 0, 0, 8}},
      {"polyface mirrored: its vertices, not its face records", squareFaces(), mirrorY,
       {{-20, 0, 2}, {-30, 0, 2}, {-30, 10, 2}, {-20, 10, 2}}, {0, 0, 0, 64}},
      {"2D polyline mirrored: its arc turns the other way", arced(), mirrorY, {{-1, 2, 0}, {-5, 2, 0}, {-5, 6, 0}},
       {3, -0.5, 1, 0}},
      {"2D polyline scaled: its widths follow", arced(), Affine2::scaling({0, 0}, 2),
       {{2, 4, 0}, {10, 4, 0}, {10, 12, 0}}, {3, 0.5, 2, 0}},
      {"2D polyline seen from below, moved", arced({0, 0, -1}), Affine2::translation({10, 5}),
       {{-9, 7, 0}, {-5, 7, 0}, {-5, 11, 0}}, {3, 0.5, 1, 0}},
      {"spline moved: its tangents are vectors, not moved", rationalSpline(), Affine2::translation({10, 5}),
       {{10, 5, 1}, {12, 9, 1}, {16, 9, 1}, {18, 5, 1}, {10, 5, 1}, {18, 5, 1}, {1, 1, 0}, {0, -2, 0}},
       {1, 0.5, 2, 1, weighted}},
      {"spline turned a quarter", rationalSpline(), quarter,
       {{0, 0, 1}, {-4, 2, 1}, {-4, 6, 1}, {0, 8, 1}, {0, 0, 1}, {0, 8, 1}, {-1, 1, 0}, {2, 0, 0}},
       {1, 0.5, 2, 1, weighted}},
      {"spline mirrored", rationalSpline(), mirrorY,
       {{0, 0, 1}, {-2, 4, 1}, {-6, 4, 1}, {-8, 0, 1}, {0, 0, 1}, {-8, 0, 1}, {-1, 1, 0}, {0, -2, 0}},
       {1, 0.5, 2, 1, weighted}},
      {"dimension scaled twice", rotated40(), Affine2::scaling({0, 0}, 2),
       {{0, 0, 0}, {80, 20, 0}, {80, 40, 0}, {40, 44, 0}}, {0, 80, 80, 0}},
      {"dimension turned a quarter: an automatic text angle stays automatic", rotated40(), quarter,
       {{0, 0, 0}, {-10, 40, 0}, {-20, 40, 0}, {-22, 20, 0}}, {90, 40, 40, 0}},
      {"dimension moved", rotated40(), Affine2::translation({5, -5}),
       {{5, -5, 0}, {45, 5, 0}, {45, 15, 0}, {25, 17, 0}}, {0, 40, 40, 0}},
      {"an angle scaled keeps its degrees", rightAngle(), Affine2::scaling({0, 0}, 2),
       {{0, 0, 0}, {20, 0, 0}, {0, 20, 0}, {0, 0, 0}}, {0, 90, 90, 0}},
      {"leader moved", bentLeader(), Affine2::translation({5, -5}),
       {{5, -5, 0}, {15, 5, 0}, {25, 5, 0}, {1, 0, 0}, {-1, 0.5, 0}}, {2.5, 8}},
      {"leader scaled twice: its offset and text sizes too", bentLeader(), Affine2::scaling({0, 0}, 2),
       {{0, 0, 0}, {20, 20, 0}, {40, 20, 0}, {1, 0, 0}, {-2, 1, 0}}, {5, 16}},
      {"leader turned a quarter: its direction and offset turn", bentLeader(), quarter,
       {{0, 0, 0}, {-10, 10, 0}, {-10, 20, 0}, {0, 1, 0}, {-0.5, -1, 0}}, {2.5, 8}},
      {"leader mirrored", bentLeader(), mirrorY, {{0, 0, 0}, {-10, 10, 0}, {-20, 10, 0}, {-1, 0, 0}, {1, 0.5, 0}},
       {2.5, 8}},
      // A copy no longer follows the entities it was made from: not associative, no sources.
      {"hatch moved", patternHatch(), Affine2::translation({5, -1}), {{15, -1, 0}, {8, 2, 0}, {6, -1, 0}, {-1, 1, 0}},
       {270, 360, 0, 10, 0.5, 45, 2, 45, 3, 0, 0}},
      // The arc from 0 to 90 runs from 90 to 180: stored clockwise as 360 - 180 to 360 - 90.
      {"hatch turned a quarter", patternHatch(), quarter, {{0, 10, 0}, {-3, 3, 0}, {0, 1, 0}, {-1, -1, 0}},
       {180, 270, 0, 10, 0.5, 135, 2, 135, 3, 0, 0}},
      // Mirrored it runs from 90 to 180 the other way: counter-clockwise; the bulge turns.
      {"hatch mirrored", patternHatch(), mirrorY, {{-10, 0, 0}, {-3, 3, 0}, {-1, 0, 0}, {1, 1, 0}},
       {90, 180, 1, 10, -0.5, 135, 2, 135, 3, 0, 0}},
      {"hatch scaled twice: its pattern too", patternHatch(), Affine2::scaling({0, 0}, 2),
       {{20, 0, 0}, {6, 6, 0}, {2, 0, 0}, {-2, 2, 0}}, {270, 360, 0, 20, 0.5, 45, 4, 45, 6, 0, 0}},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(c.before);
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::Entity& after = std::get<db::Entity>(r);
    ASSERT_EQ(after.kind(), c.before.kind());
    expectNear(pointsOf(after), c.points);
    expectNear(numbersOf(after), c.numbers);
  }();
}

TEST(TypedKinds, mapsAKindCannotFollowAreRefusedWithTheReason) {
  db::HeavyPolyline tiltedPolyline = arced({1, 0, 0});
  db::MText tiltedText = mtext({0, 0, 0});
  tiltedText.extrusion = {1, 0, 0};
  db::Hatch tiltedHatch = patternHatch();
  tiltedHatch.extrusion = {1, 0, 0};
  db::Dimension tiltedDimension = rotated40();
  tiltedDimension.extrusion = {1, 0, 0};
  const Affine2 uneven = Affine2::insert({0, 0}, {0, 0}, 2, 3, 0);
  struct Case {
    const char* what;
    db::Entity entity;
    Affine2 map;
    const char* reason;
  } cases[] = {
      {"a 2D polyline out of the drawing plane", tiltedPolyline, Affine2::translation({1, 1}), "平面"},
      {"MTEXT scaled unevenly", mtext({0, 0, 0}), uneven, "只能均匀缩放"},
      {"MTEXT out of the drawing plane", tiltedText, Affine2::rotation({0, 0}, 30), "其所在平面与 XY 平面不平行"},
      {"MTEXT taken past every number", mtext({1e300, 0, 0}), Affine2::scaling({0, 0}, 1e10), "变换后的数值无效"},
      {"a hatch out of the drawing plane", tiltedHatch, Affine2::translation({1, 0}), "平面"},
      {"a dimension out of the drawing plane", tiltedDimension, Affine2::rotation({0, 0}, 10), "平面"},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const auto r = transformEntity(d, *d.append(c.entity), c.map);
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_NE(std::get<std::string>(r).find(c.reason), std::string::npos) << std::get<std::string>(r);
  }();
}

TEST(TypedKinds, gripsLieOnTheDrawnPointsAndMoveThatPointAlone) {
  struct Case {
    const char* what;
    db::Entity entity;
    std::vector<Vec2> grips;
    std::size_t moved;
    Vec2 to;
    std::vector<db::Point3> after;  // see pointsOf; none: the grip moves it whole
  } cases[] = {
      {"left text: its start", text({10, 20, 0}, 2), {{10, 20}}, 0, {5, 5}, {}},
      {"centred text: its alignment point", text({0, 0, 0}, 2, H::center, V::middle, db::Point3{50, 50, 0}),
       {{50, 50}}, 0, {5, 5}, {}},
      {"fitted text: both ends, the second moved alone",
       text({0, 0, 0}, 2, H::fit, V::baseline, db::Point3{30, 0, 0}), {{0, 0}, {30, 0}}, 1, {40, 0},
       {{0, 0, 0}, {40, 0, 0}}},
      {"MTEXT: its insertion point moves it whole", mtext({0, 10, 0}), {{0, 10}}, 0, {5, 5}, {}},
      {"3D polyline: each vertex", polyline3d({{0, 0, 3}, {10, 0, 3}, {10, 5, 3}}), {{0, 0}, {10, 0}, {10, 5}}, 2,
       {7, 8}, {{0, 0, 3}, {10, 0, 3}, {7, 8, 3}}},
      {"polyface: its vertices, not its faces", squareFaces(), {{20, 0}, {30, 0}, {30, 10}, {20, 10}}, 3, {7, 8},
       {{20, 0, 2}, {30, 0, 2}, {30, 10, 2}, {7, 8, 2}}},
      {"spline-fit polyline: no frame point", splineFitted(), {{0, 0}, {10, 0}}, 1, {7, 8},
       {{0, 0, 0}, {50, 50, 0}, {7, 8, 0}}},
      {"2D polyline seen from below: x mirrored", arced({0, 0, -1}), {{-1, 2}, {-5, 2}, {-5, 6}}, 2, {7, 8},
       {{1, 2, 0}, {5, 2, 0}, {-7, 8, 0}}},
      {"spline: its control points; the fit points and tangents no longer hold and go", rationalSpline(),
       {{0, 0}, {2, 4}, {6, 4}, {8, 0}}, 1, {7, 9}, {{0, 0, 1}, {7, 9, 1}, {6, 4, 1}, {8, 0, 1}}},
      {"spline of fit points alone: its fit points", fitPointsOnly(), {{0, 0}, {5, 5}, {10, 0}}, 1, {7, 9},
       {{0, 0, 0}, {7, 9, 0}, {10, 0, 0}}},
      {"leader: each vertex", bentLeader(), {{0, 0}, {10, 10}, {20, 10}}, 1, {-3, -4},
       {{0, 0, 0}, {-3, -4, 0}, {20, 10, 0}, {1, 0, 0}, {-1, 0.5, 0}}},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const std::vector<Grip> grips = gripPoints(d, c.entity);
    ASSERT_EQ(grips.size(), c.grips.size());
    for (std::size_t i = 0; i < grips.size(); ++i) {
      EXPECT_NEAR(grips[i].point.x, c.grips[i].x, 1e-12) << "grip " << i;
      EXPECT_NEAR(grips[i].point.y, c.grips[i].y, 1e-12) << "grip " << i;
    }
    const auto moved = moveGrip(c.entity, grips[c.moved], c.to);
    if (c.after.empty()) {
      EXPECT_TRUE(std::holds_alternative<MoveWhole>(moved));
      return;
    }
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved));
    expectNear(pointsOf(std::get<db::Entity>(moved)), c.after);
  }();
  // A grip the entity does not have changes nothing.
  EXPECT_TRUE(std::holds_alternative<std::monostate>(
      moveGrip(db::Entity(rationalSpline()), Grip{{0, 0}, GripRole::vertex, 99}, {1, 1})));
}

TEST(TypedKinds, boxesAndPicksFollowWhatIsDrawn) {
  const double twoLines = 2 * (1 + 5.0 / 3.0);  // of height 2, spaced 5/3 of it
  struct Case {
    const char* what;
    db::Entity entity;
    Box2 box;
    Vec2 pick;
    double distance;
    double within = 1e-9;
    double lengthWithin = 1e-9;  // of its right side: a text's length is estimated
  } cases[] = {
      {"left text: up from its start by its height, about 3 characters long", text({10, 20, 0}, 2),
       {10, 20, 15.5, 22}, {10, 25}, 3, 1e-9, 2.5},
      {"MTEXT hung from its top left", mtext({0, 10, 0}), {0, 10 - twoLines, 10, 10}, {5, 12}, 2},
      {"MTEXT hung from its bottom right", mtext({0, 10, 0}, A::bottomRight), {-10, 10, 0, 10 + twoLines}, {5, 12}, 5},
      {"open 3D polyline: no closing edge", polyline3d({{0, 0, 3}, {10, 0, 3}, {10, 5, 3}}), {0, 0, 10, 5}, {5, 5}, 5},
      {"polyface: its hidden diagonal is not drawn", squareFaces(), {20, 0, 30, 10}, {25, 5}, 5},
      {"spline-fit polyline: its frame point left out", splineFitted(), {0, 0, 10, 0}, {5, 3}, 3},
      {"2D polyline below its plane: its arc from (-1, 2) to (-5, 2), sagitta 1", arced({0, 0, -1}),
       {-5, 1, -1, 6}, {-3, 1}, 0},
      {"spline: through its curve, not its control points", arch(), {0, 0, 4, 1.5}, {2, 2.5}, 1, 1e-3},
      {"leader: its vertices", bentLeader(), {0, 0, 20, 10}, {5, 5}, 0},
      {"solid hatch below its plane: picked by its boundary, not inside", solidBelow(), {-6, 0, 0, 3}, {-3, 1}, 1},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(c.entity);
    const Box2 box = entityBox(d, id);
    EXPECT_NEAR(box.minX, c.box.minX, c.within);
    EXPECT_NEAR(box.minY, c.box.minY, c.within);
    EXPECT_NEAR(box.maxX, c.box.maxX, std::max(c.within, c.lengthWithin));
    EXPECT_NEAR(box.maxY, c.box.maxY, c.within);
    EXPECT_NEAR(distanceToEntity(d, id, c.pick), c.distance, c.within);
  }();
}

TEST(TypedKinds, endSnapsAtTheDrawnEnds) {
  struct Ends final : ShapeSink {
    std::vector<Vec2> points;
    void piece(const Piece&, bool) override {}
    void snapPoint(prompt::SnapKind k, Vec2 p) override {
      if (k == prompt::SnapKind::endpoint) points.push_back(p);
    }
  };
  struct Case {
    const char* what;
    db::Entity entity;
    std::vector<Vec2> ends;
  } cases[] = {
      {"an open spline", arch(), {{0, 0}, {4, 0}}},
      {"a closed spline has none", arch(true), {}},
      {"a hatch at its boundary's vertices, below its plane", solidBelow(), {{0, 0}, {-6, 0}, {-6, 3}, {0, 3}}},
  };
  db::Database d = db::Database::newDrawing();
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    Ends ends;
    describeEntity(d, *d.append(c.entity), ends);
    EXPECT_EQ(ends.points, c.ends);
  }();
}

}  // namespace
}  // namespace orv::core
