// The horizontal elbow: its geometry between two legs, the corner rule the
// pipe runs rely on, and the WT command's picks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/drawing_primitives.h"
#include "command_fixture.h"
#include "dbents.h"
#include "dbpl.h"
#include "drawn_entities.h"
#include "fittings/DrawWTCmd.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

constexpr double kPi = std::numbers::pi;

// Elbow radius 100, pipe diameter 50; centre lines red CENTER, side lines green DASHED.
constexpr const char* kSettings =
    "[PIPE]\nWTBJ=100\nDW=50\n[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n"
    "[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n";

AcGePoint2d at(const AcGePoint2d& from, double angle, double length) {
  return {from.x + length * std::cos(angle), from.y + length * std::sin(angle)};
}

class Elbow : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    writeIni(kSettings);
    worker.m_iniPath = iniPath();
  }
  // A line in the drawing, as a user would have drawn it.
  void addLine(AcGePoint3d a, AcGePoint3d b) { appendToModelSpace(new AcDbLine(a, b)); }

  CDrawWTCmd worker;
};

}  // namespace

TEST_F(Elbow, rightAngleGivesThreeQuarterArcsAndTwoJointLines) {
  const AcGePoint2d far1(500, 0), near1(0, 0), near2(0, 0), far2(0, 400);
  worker.drawDoubleLineElbow(far1, near1, near2, far2);
  const AcGePoint2d o(100, 100);
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(ArcIs(o, 100.0, kPi, 1.5 * kPi, 1, "CENTER"), ArcIs(o, 75.0, kPi, 1.5 * kPi, 3, "DASHED"),
                          ArcIs(o, 125.0, kPi, 1.5 * kPi, 3, "DASHED"),
                          PieceIs(AcGePoint2d(100, 25), AcGePoint2d(100, -25), 3, "DASHED"),
                          PieceIs(AcGePoint2d(25, 100), AcGePoint2d(-25, 100), 3, "DASHED")));
  EXPECT_EQ(transcript(), "");
}

TEST_F(Elbow, theOrderOfEndsAndOfLegsChangesOnlyTheOrderOfTheJointLines) {
  const AcGePoint2d a(500, 0), corner1(0, 0), corner2(0, 0), b(0, 400);
  worker.drawDoubleLineElbow(a, corner1, corner2, b);
  const auto given = drawnEntities(drawing());
  ASSERT_THAT(given, SizeIs(5));

  newDrawing();
  worker.drawDoubleLineElbow(corner1, a, b, corner2);
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(ArcIs(given[0].centre.convert2d(), 100.0, kPi, 1.5 * kPi, 1, "CENTER"),
                          ArcIs(given[1].centre.convert2d(), 75.0, kPi, 1.5 * kPi, 3, "DASHED"),
                          ArcIs(given[2].centre.convert2d(), 125.0, kPi, 1.5 * kPi, 3, "DASHED"),
                          PieceIs(given[3].vertices[0], given[3].vertices[1], 3, "DASHED"),
                          PieceIs(given[4].vertices[0], given[4].vertices[1], 3, "DASHED")));

  newDrawing();
  worker.drawDoubleLineElbow(b, corner2, a, corner1);
  const auto swapped = drawnEntities(drawing());
  ASSERT_THAT(swapped, SizeIs(5));
  EXPECT_THAT(swapped[3], PieceIs(given[4].vertices[0], given[4].vertices[1], 3, "DASHED"));
  EXPECT_THAT(swapped[4], PieceIs(given[3].vertices[0], given[3].vertices[1], 3, "DASHED"));
}

TEST_F(Elbow, legsAcrossTheZeroDirectionBendTheShortWay) {
  // Legs at 350 and 10 degrees: the bend opens towards +x with half = 10 degrees.
  const AcGePoint2d corner(0, 0);
  const AcGePoint2d leg1 = at(corner, degrees(350), 1000);
  const AcGePoint2d leg2 = at(corner, degrees(10), 1000);
  const AcGePoint2d o(100 / std::sin(degrees(10)), 0);
  const double t = 100 / std::tan(degrees(10));
  const AcGePoint2d t1 = at(corner, degrees(-10), t);
  const AcGePoint2d t2 = at(corner, degrees(10), t);
  for (int order = 0; order < 2; ++order) {
    newDrawing();
    if (order == 0) {
      worker.drawDoubleLineElbow(leg1, corner, corner, leg2);
    } else {
      worker.drawDoubleLineElbow(leg2, corner, corner, leg1);
    }
    auto drawn = drawnEntities(drawing());
    ASSERT_THAT(drawn, SizeIs(5));
    EXPECT_THAT(drawn[0], ArcIs(o, 100.0, degrees(100), degrees(260), 1, "CENTER"));
    EXPECT_THAT(drawn[1], ArcIs(o, 75.0, degrees(100), degrees(260), 3, "DASHED"));
    EXPECT_THAT(drawn[2], ArcIs(o, 125.0, degrees(100), degrees(260), 3, "DASHED"));
    // Each joint line crosses its leg square at the tangent point, inner end first.
    const auto& joint1 = drawn[order == 0 ? 3 : 4];
    const auto& joint2 = drawn[order == 0 ? 4 : 3];
    EXPECT_THAT(joint1, PieceIs(at(t1, degrees(80), 25), at(t1, degrees(80), -25), 3, "DASHED"));
    EXPECT_THAT(joint2, PieceIs(at(t2, degrees(-80), 25), at(t2, degrees(-80), -25), 3, "DASHED"));
  }
}

TEST_F(Elbow, singleLineIsOneArcInTheSideLineStyle) {
  const AcGePoint2d a(500, 0), corner(0, 0), b(0, 400);
  worker.drawSingleLineElbow(a, corner, corner, b);
  EXPECT_THAT(drawnEntities(drawing()), ElementsAre(ArcIs(AcGePoint2d(100, 100), 100.0, kPi, 1.5 * kPi, 3, "DASHED")));
}

TEST_F(Elbow, aZeroRadiusOrDiameterIsReportedAndNothingIsDrawn) {
  const AcGePoint2d a(500, 0), corner(0, 0), b(0, 400);
  const char* message = "\n弯头半径或管道直径为零,请修改!";
  for (const char* sizes : {"[PIPE]\nDW=50\n", "[PIPE]\nWTBJ=abc\nDW=50\n", "[PIPE]\nWTBJ=100\nDW=0\n"}) {
    writeIni(sizes);
    replies("");
    worker.drawDoubleLineElbow(a, corner, corner, b);
    EXPECT_EQ(transcript(), message) << sizes;
    replies("");
    worker.drawSingleLineElbow(a, corner, corner, b);
    EXPECT_EQ(transcript(), message) << sizes;
  }
  EXPECT_THAT(drawnEntities(drawing()), IsEmpty());
}

TEST_F(Elbow, legsWithoutABendDrawNothingSilently) {
  const AcGePoint2d corner(0, 0), a(100, 0), b(300, 0);
  // Both legs leave the corner the same way.
  worker.drawDoubleLineElbow(a, corner, corner, b);
  // Two parallel lines that share no point, and a leg without length.
  worker.drawDoubleLineElbow({0, 0}, {100, 0}, {0, 50}, {100, 50});
  worker.drawDoubleLineElbow({0, 0}, {0, 100}, {50, 0}, {50, 100});
  worker.drawDoubleLineElbow({5, 5}, {5, 5}, {0, 0}, {0, 100});
  EXPECT_THAT(drawnEntities(drawing()), IsEmpty());
  EXPECT_EQ(transcript(), "");
}

TEST_F(Elbow, theCornerPassedAsOnePointObjectIsTheCornerExactly) {
  // Nearly parallel legs: the meeting point computed from the lines drifts.
  const AcGePoint2d corner(1234.5678, 987.6543);
  const AcGePoint2d previous = at(corner, 0.7 + kPi, 1000);
  const AcGePoint2d next = at(corner, 0.7 + 1e-12, 1000);
  const AcGePoint2d copy = corner;
  EXPECT_EQ(CDrawWTCmd::intersectLines(previous, corner, corner, next, 0), corner.x);
  EXPECT_EQ(CDrawWTCmd::intersectLines(previous, corner, corner, next, 1), corner.y);
  EXPECT_EQ(CDrawWTCmd::intersectLines(previous, corner, next, corner, 0), corner.x);
  EXPECT_EQ(CDrawWTCmd::intersectLines(corner, previous, next, corner, 1), corner.y);
  EXPECT_GT(std::fabs(CDrawWTCmd::intersectLines(previous, corner, copy, next, 0) - corner.x), 1e-3);

  // Legs in one straight line: a copy finds parallel lines and answers (0, 0).
  const AcGePoint2d left(0, 0), middle(1000, 0), right(2000, 0), middleCopy(1000, 0);
  EXPECT_EQ(CDrawWTCmd::intersectLines(left, middle, middle, right, 0), 1000);
  EXPECT_EQ(CDrawWTCmd::intersectLines(left, middle, middleCopy, right, 0), 0);
  EXPECT_EQ(CDrawWTCmd::intersectLines(left, middle, middleCopy, right, 1), 0);
}

TEST_F(Elbow, aStraightRunThroughACornerStillGetsAWholeElbow) {
  // Opposite legs: the tangent points fall on the corner, where rounding can
  // take the square root's argument just below zero.
  const AcGePoint2d corner(100.37, 51.13);
  const AcGePoint2d previous = at(corner, 0.001 + kPi, 1000);
  const AcGePoint2d next = at(corner, 0.001, 1000);
  worker.drawDoubleLineElbow(previous, corner, corner, next);
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(5));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(std::isfinite(drawn[i].startAngle) && std::isfinite(drawn[i].radius));
  EXPECT_NEAR(drawn[3].vertices[0].distanceTo(corner), 25, 1e-6);
  EXPECT_NEAR(drawn[3].vertices[1].distanceTo(corner), 25, 1e-6);
}

TEST_F(Elbow, wtDrawsBetweenTwoPickedLines) {
  addLine({500, 0, 0}, {0, 0, 0});
  appendToModelSpace(new AcDbCircle({300, 300, 0}, AcGeVector3d::kZAxis, 10));
  auto* polyline = new AcDbPolyline(3);
  polyline->addVertexAt(0, {0, 0});
  polyline->addVertexAt(1, {0, 200});
  polyline->addVertexAt(2, {0, 400});
  appendToModelSpace(polyline);

  // A miss and a circle ask again; the polyline counts by its first and last vertex.
  run<CDrawWTCmd>("250,0\n900,900\n310,300\n0,300\n");
  EXPECT_EQ(transcript(),
            "\n选择一条直线:250,0\n\n已选择一条直线\n已获取对象ID"
            "\n选择一条直线:900,900\n"
            "\n选择一条直线:310,300\n\n已选择一条直线\n已获取对象ID"
            "\n选择一条直线:0,300\n\n已选择一条直线\n已获取对象ID");
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(8));
  EXPECT_THAT(drawn[3], ArcIs(AcGePoint2d(100, 100), 100.0, kPi, 1.5 * kPi, 1, "CENTER"));
  EXPECT_THAT(drawn[6], PieceIs(AcGePoint2d(100, 25), AcGePoint2d(100, -25), 3, "DASHED"));
}

TEST_F(Elbow, wtEndsWithoutDrawingOnACancelOrTheSameLineTwice) {
  addLine({500, 0, 0}, {0, 0, 0});
  run<CDrawWTCmd>("^C\n");
  EXPECT_EQ(transcript(), "\n选择一条直线:*取消*\n");
  run<CDrawWTCmd>("100,0\n\n");
  EXPECT_EQ(transcript(), "\n选择一条直线:100,0\n\n已选择一条直线\n已获取对象ID\n选择一条直线:\n");
  run<CDrawWTCmd>("100,0\n400,0\n");
  EXPECT_THAT(drawnEntities(drawing()), SizeIs(1));
}
