// DX: the single-line run's corners, reducer outlines and valves, all in the side-line style.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "pipe_run_fixture.h"
#include "pipes/pipe_run_workers.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using namespace pipes_test;

namespace {

constexpr double kPi = std::numbers::pi;

class SingleLineRun : public PipeRunFixture {
 protected:
  // Elbow radius 100, diameter 50, and a fitting mode.
  void elbowSettings(int mode) { settings("[PIPE]\nDW=50\nWTBJ=100\n[DRAW]\nENDSTYLE=" + std::to_string(mode) + "\n"); }
};

}  // namespace

TEST_F(SingleLineRun, aHorizontalElbowRunIsThreeEntities) {
  elbowSettings(1);
  const std::string before = ini();
  run<CDrawDXCmd>("0,0\n1000,0\n1000,1000\n0\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt("50.000000", "100.000000"), "0,0") +
                              answered(nextPointPrompt("W"), "1000,0") + answered(nextPointPrompt("W"), "1000,1000") +
                              answered(nextPointPrompt("W"), "0"));
  EXPECT_THAT(drawn(), ElementsAre(sideArc(P(900, 100), 100, 1.5 * kPi, 0), side(P(0, 0), P(900, 0)),
                                   side(P(1000, 100), P(1000, 1000))));
  EXPECT_EQ(ini(), before);
}

TEST_F(SingleLineRun, anAlmostStraightCornerGetsNoArc) {
  elbowSettings(1);
  run<CDrawDXCmd>("0,0\n1000,0\n2000,5\n0\n");
  auto entities = drawn();
  ASSERT_THAT(entities, SizeIs(2));
  const double t = 100 * std::tan(std::atan2(5.0, 1000.0) / 2);
  EXPECT_NEAR(t, 0.25, 5e-5);
  EXPECT_THAT(entities[0], side(P(0, 0), P(1000 - t, 0)));
  const P t2(1000 + 1000 * t / std::hypot(1000.0, 5.0), 5 * t / std::hypot(1000.0, 5.0));
  EXPECT_THAT(entities[1], side(t2, P(2000, 5)));
}

TEST_F(SingleLineRun, downAndUpBendSymbolsCloseTheIncomingOrTheOutgoingLeg) {
  elbowSettings(2);
  run<CDrawDXCmd>("0,0\n1000,0\n1000,1000\n0\n");
  EXPECT_THAT(drawn(), ElementsAre(side(P(1000, 0), P(900, 0)), side(P(1000, 25), P(1000, 100)),
                                   sideArc(P(1000, 0), 25, 1.5 * kPi, 0.5 * kPi), side(P(0, 0), P(900, 0)),
                                   side(P(1000, 100), P(1000, 1000))));
  newDrawing();
  elbowSettings(3);
  run<CDrawDXCmd>("0,0\n1000,0\n1000,1000\n0\n");
  EXPECT_THAT(drawn(), ElementsAre(side(P(1000, 0), P(1000, 100)), side(P(975, 0), P(900, 0)),
                                   sideArc(P(1000, 0), 25, kPi, 0), side(P(0, 0), P(900, 0)),
                                   side(P(1000, 100), P(1000, 1000))));
}

TEST_F(SingleLineRun, laterCornersGetTheSameElbowAsTheFirst) {
  elbowSettings(1);
  run<CDrawDXCmd>("0,0\n1000,0\n1000,1000\n2000,1000\n0\n");
  EXPECT_THAT(drawn(), ElementsAre(sideArc(P(900, 100), 100, 1.5 * kPi, 0), side(P(0, 0), P(900, 0)),
                                   sideArc(P(1100, 900), 100, 0.5 * kPi, kPi), side(P(1000, 100), P(1000, 900)),
                                   side(P(1100, 1000), P(2000, 1000))));
}

TEST_F(SingleLineRun, theThreeReducerOutlines) {
  // Concentric, flat on top, flat at the bottom.
  const std::vector<std::vector<P>> rearEnds = {{P(1200, 30), P(1200, -30)},
                                                {P(1200, 50), P(1200, -10)},
                                                {P(1200, 10), P(1200, -50)}};
  const double rearAxis[] = {0, 20, -20};
  for (int form = 0; form < 3; ++form) {
    newDrawing();
    settings("[PIPE]\nDW=100\nWTBJ=100\n");
    run<CDrawDXCmd>("0,0\n1000,0\nD\n60\n\n1200,0\n" + std::to_string(form) + "\n1500," +
                    std::to_string(static_cast<int>(rearAxis[form])) + "\nD\n\n\n\n\n\n");
    const P l = rearEnds[form][0], r = rearEnds[form][1];
    const double y = rearAxis[form];
    EXPECT_THAT(drawn(), ElementsAre(side(P(0, 0), P(1000, 0)), side(P(1000, 50), P(1000, -50)),
                                     side(P(1000, 50), l), side(P(1000, -50), r), side(P(1000, 50), P(1000, -50)),
                                     side(l, r),
                                     // The next run starts on the rear axis, 60 across.
                                     side(P(1200, y), P(1500, y)), side(P(1500, y + 30), P(1500, y - 30))))
        << form;
    EXPECT_EQ(ini(), "[PIPE]\nDW=60.000000\nWTBJ=100\n" + std::string(kStyles) + "[DXT]\nDW2=60.000000\n");
  }
}

TEST_F(SingleLineRun, aReducerEndingOnItsStartEndsAfterTheLineAcross) {
  for (const char* form : {"0", "1", "2"}) {
    newDrawing();
    settings("[PIPE]\nDW=100\nWTBJ=100\n[DXT]\nDW2=60\n");
    run<CDrawDXCmd>(std::string("0,0\n1000,0\nD\n\n\n1000,0\n") + form + "\n");
    EXPECT_THAT(drawn(), ElementsAre(side(P(0, 0), P(1000, 0)), side(P(1000, 50), P(1000, -50)))) << form;
    EXPECT_EQ(transcript().substr(transcript().size() - 2), std::string(form) + "\n");
  }
}

TEST_F(SingleLineRun, valvesDrawThePendingPieceOnceAndNoLineThrough) {
  settings("[PIPE]\nDW=100\nWTBJ=100\n" + gateValve());
  run<CDrawDXCmd>("0,0\n1000,0\nF\n1600,0\nF\n2200,0\n0\n");
  EXPECT_THAT(drawn(), ElementsAre(side(P(0, 0), P(1000, 0)), IsBlockReference(), IsBlockReference()));
  auto placed = parts_test::placedReferences(drawing());
  ASSERT_THAT(placed, SizeIs(2));
  EXPECT_DOUBLE_EQ(placed[0].position.x, 1000);
  EXPECT_DOUBLE_EQ(placed[1].position.x, 1600);

  // A valve, two more points and a second valve: every piece once.
  newDrawing();
  run<CDrawDXCmd>("0,0\n1000,0\nF\n1600,0\n2000,0\n2500,0\nF\n3000,0\n0\n");
  EXPECT_THAT(drawn(), ElementsAre(side(P(0, 0), P(1000, 0)), IsBlockReference(), side(P(1600, 0), P(2000, 0)),
                                   side(P(2000, 0), P(2500, 0)), IsBlockReference()));
}

TEST_F(SingleLineRun, nothingTakesTheCentreLineStyle) {
  settings("[PIPE]\nDW=100\nWTBJ=100\n[DRAW]\nENDSTYLE=2\n[DXT]\nDW2=60\n");
  run<CDrawDXCmd>("0,0\n1000,0\n1000,1000\nW\n2000,1000\nD\n\n\n2200,1000\n1\n2500,1020\n0\n");
  auto entities = drawn();
  ASSERT_THAT(entities, SizeIs(3 + 1 + 1 + 1 + 2 + 4 + 1));
  for (const Drawn& d : entities) {
    EXPECT_EQ(d.color, 3) << d;
    EXPECT_EQ(d.linetype, "DASHED") << d;
  }
}

TEST_F(SingleLineRun, aPendingPieceOfNoLengthEndsTheCommand) {
  // The first leg exactly as long as the down-bend's reach.
  elbowSettings(2);
  run<CDrawDXCmd>("0,0\n100,0\n100,1000\n0\n");
  EXPECT_THAT(drawn(), SizeIs(3));
  EXPECT_EQ(transcript().substr(transcript().size() - 9), "100,1000\n");
}

TEST_F(SingleLineRun, zeroSizesSkipTheSymbolButNotThePiece) {
  settings("[PIPE]\nWTBJ=100\n[DRAW]\nENDSTYLE=1\n");
  run<CDrawDXCmd>("0\n0,0\n1000,0\n1000,1000\n0\n");
  EXPECT_NE(transcript().find("\n弯头半径或管道直径为零,请修改!"), std::string::npos);
  EXPECT_THAT(drawn(), ElementsAre(side(P(0, 0), P(900, 0)), side(P(1000, 100), P(1000, 1000))));
}

// A size kept at DX's questions (0, Enter or a cancel) is not written again: a value
// written by hand stays as it was.
TEST_F(SingleLineRun, keptSizesLeaveTheStoredTextAlone) {
  for (const char* replies : {"C\n0\n0\n0,0\n^C\n", "C\n\n\n0,0\n^C\n", "C\n^C\n^C\n^C\n"}) {
    settings("[PIPE]\nDW=100mm\nWTBJ= 150 \n");
    const std::string before = ini();
    run<CDrawDXCmd>(replies);
    EXPECT_EQ(ini(), before) << replies;
  }
}
