// The up/down elbow symbol: pieces, joint of the sides, the half circle on
// leg 1, single-line form, and the DWT command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "app/drawing_primitives.h"
#include "command_fixture.h"
#include "dbents.h"
#include "drawn_entities.h"
#include "fittings/DrawUDWTCmd.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

constexpr double kPi = std::numbers::pi;

// Elbow radius 100, pipe diameter 50; centre lines red CENTER, side lines green DASHED.
constexpr const char* kSettings =
    "[PIPE]\nWTBJ=100\nDW=50\n[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n"
    "[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n";

using P = AcGePoint2d;

auto side(P a, P b) { return PieceIs(a, b, 3, "DASHED"); }
auto centre(P a, P b) { return PieceIs(a, b, 1, "CENTER"); }
auto halfCircle(double start, double end) { return ArcIs(P(0, 0), 25.0, start, end, 3, "DASHED"); }

class UpDownElbow : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    writeIni(kSettings);
    worker.m_iniPath = iniPath();
  }
  CDrawUDWTCmd worker;
  const P corner{0, 0};
};

}  // namespace

TEST_F(UpDownElbow, legTwoTurningCounterClockwiseStartsOnLegOnesLeftSide) {
  worker.drawDoubleLineUpDownElbow(P(500, 0), corner, corner, P(0, 400));
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(side(P(0, 25), P(100, 25)), side(P(100, 25), P(100, -25)), side(P(100, -25), P(0, -25)),
                          side(P(-25, 0), P(-25, 100)), side(P(25, 25), P(25, 100)),
                          side(P(-25, 100), P(25, 100)), centre(P(0, 0), P(100, 0)), centre(P(0, 0), P(0, 100)),
                          halfCircle(kPi / 2, 1.5 * kPi)));
}

TEST_F(UpDownElbow, legTwoTurningClockwiseStartsOnLegOnesRightSide) {
  worker.drawDoubleLineUpDownElbow(P(500, 0), corner, corner, P(0, -400));
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(side(P(0, 25), P(100, 25)), side(P(100, 25), P(100, -25)), side(P(100, -25), P(0, -25)),
                          side(P(25, -25), P(25, -100)), side(P(-25, 0), P(-25, -100)),
                          side(P(25, -100), P(-25, -100)), centre(P(0, 0), P(100, 0)),
                          centre(P(0, 0), P(0, -100)), halfCircle(kPi / 2, 1.5 * kPi)));
}

TEST_F(UpDownElbow, legOneAboveHalfATurnChoosesTheJointTheSameWay) {
  // Leg 1 towards -y (3/2 pi), leg 2 towards +x: a quarter turn counter-clockwise.
  worker.drawDoubleLineUpDownElbow(P(0, -400), corner, corner, P(500, 0));
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(9));
  // Leg 2's right side starts where it meets leg 1's left side (x = 25).
  EXPECT_THAT(drawn[4], side(P(25, -25), P(100, -25)));
  EXPECT_THAT(drawn[3], side(P(0, 25), P(100, 25)));
  EXPECT_THAT(drawn[8], halfCircle(0, kPi));
}

TEST_F(UpDownElbow, nearlyOppositeLegsAreNotJoined) {
  for (double turn : {0.0, 0.0005, -0.0005}) {
    newDrawing();
    const P next(400 * std::cos(kPi + turn), 400 * std::sin(kPi + turn));
    worker.drawDoubleLineUpDownElbow(P(500, 0), corner, corner, next);
    auto drawn = drawnEntities(drawing());
    ASSERT_THAT(drawn, SizeIs(9)) << turn;
    // Both sides of leg 2 start half a diameter from the corner.
    EXPECT_NEAR(drawn[3].vertices[0].distanceTo(corner), 25, 1e-9) << turn;
    EXPECT_NEAR(drawn[4].vertices[0].distanceTo(corner), 25, 1e-9) << turn;
  }
}

TEST_F(UpDownElbow, swappingTheLegsMovesTheHalfCircleToTheOtherLeg) {
  worker.drawDoubleLineUpDownElbow(P(0, 400), corner, corner, P(500, 0));
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(9));
  EXPECT_THAT(drawn[0], side(P(-25, 0), P(-25, 100)));
  // Closes the end of the leg along +y, bulging towards -y.
  EXPECT_THAT(drawn[8], halfCircle(kPi, 0));
}

TEST_F(UpDownElbow, singleLineIsTwoPiecesAndTheHalfCircle) {
  worker.drawSingleLineUpDownElbow(P(500, 0), corner, corner, P(0, 400));
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(side(P(0, 0), P(100, 0)), side(P(0, 25), P(0, 100)), halfCircle(kPi / 2, 1.5 * kPi)));
}

TEST_F(UpDownElbow, zeroSizesAndLegsWithoutABendDrawNothing) {
  writeIni("[PIPE]\nWTBJ=100\n");
  worker.drawSingleLineUpDownElbow(P(500, 0), corner, corner, P(0, 400));
  EXPECT_EQ(transcript(), "\n弯头半径或管道直径为零,请修改!");
  replies("");
  writeIni(kSettings);
  worker.drawDoubleLineUpDownElbow(P(500, 0), corner, corner, P(200, 0));
  worker.drawDoubleLineUpDownElbow(P(0, 0), P(0, 100), P(50, 0), P(50, 100));
  EXPECT_EQ(transcript(), "");
  EXPECT_THAT(drawnEntities(drawing()), IsEmpty());
}

TEST_F(UpDownElbow, dwtClosesTheFirstLinePicked) {
  appendToModelSpace(new AcDbLine({500, 0, 0}, {0, 0, 0}));
  appendToModelSpace(new AcDbLine({0, 0, 0}, {0, 400, 0}));
  run<CDrawUDWTCmd>("300,0\n0,300\n");
  EXPECT_EQ(transcript(),
            "\n选择一条直线:300,0\n\n已选择一条直线\n已获取对象ID"
            "\n选择一条直线:0,300\n\n已选择一条直线\n已获取对象ID");
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(11));
  EXPECT_THAT(drawn[2], side(P(0, 25), P(100, 25)));
  EXPECT_THAT(drawn[10], halfCircle(kPi / 2, 1.5 * kPi));

  run<CDrawUDWTCmd>("0,300\n300,0\n");
  drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(20));
  EXPECT_THAT(drawn[19], halfCircle(kPi, 0));
}

// Two picked lines on one straight line: opposite legs when they share an end (in
// either direction of each line), no elbow when they share none.
TEST_F(UpDownElbow, dwtBetweenLinesOnOneStraightLineUsesTheirSharedEnd) {
  struct Case {
    AcGePoint3d a1, a2, b1, b2;
    bool drawn;
  };
  const AcGePoint3d o{0, 0, 0}, e{500, 0, 0}, w{-400, 0, 0}, far{900, 0, 0};
  for (const Case& c : {Case{e, o, o, w, true}, Case{o, e, w, o, true}, Case{e, o, w, o, true},
                        Case{o, e, o, w, true}, Case{o, e, far, AcGePoint3d{1400, 0, 0}, false}}) {
    newDrawing();
    replies("");
    appendToModelSpace(new AcDbLine(c.a1, c.a2));
    appendToModelSpace(new AcDbLine(c.b1, c.b2));
    const double x2 = (c.b1.x + c.b2.x) / 2;
    run<CDrawUDWTCmd>("300,0\n" + std::to_string(x2) + ",0\n");
    auto drawn = drawnEntities(drawing());
    if (!c.drawn) {
      EXPECT_THAT(drawn, SizeIs(2)) << "parallel lines with no common point are refused";
      continue;
    }
    ASSERT_THAT(drawn, SizeIs(11)) << c.a1.x << " " << c.a2.x << " " << c.b1.x << " " << c.b2.x;
    // Leg 1 (along +x) and leg 2 (along -x) from the shared end, without a joint.
    EXPECT_THAT(drawn[2], side(P(0, 25), P(100, 25)));
    EXPECT_THAT(drawn[5], side(P(0, -25), P(-100, -25)));
    EXPECT_THAT(drawn[6], side(P(0, 25), P(-100, 25)));
    EXPECT_THAT(drawn[9], centre(P(0, 0), P(-100, 0)));
    EXPECT_THAT(drawn[10], halfCircle(kPi / 2, 1.5 * kPi));
  }
}
