// GD: the dialogue's prompts and settings, and what a double-line run draws at corners, reducers, valves and end.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numbers>

#include "pipe_run_fixture.h"
#include "pipes/pipe_run_workers.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using namespace pipes_test;

namespace {

constexpr double kPi = std::numbers::pi;

using DoubleLineRun = PipeRunFixture;

const std::string k100 = "100.000000";
const std::string k150 = "150.000000";

// The five pieces, in closing order, of a piece from (x0, y) to (x1, y) with
// half the diameter h.
auto closingAlongX(double x0, double x1, double y, double h) {
  return std::vector{centre(P(x0, y), P(x1, y)), side(P(x0, y + h), P(x1, y + h)),
                     side(P(x0, y - h), P(x1, y - h)), side(P(x0, y + h), P(x0, y - h)),
                     side(P(x1, y + h), P(x1, y - h))};
}

}  // namespace

TEST_F(DoubleLineRun, wholeRunWithADownBendElbow) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n");
  const std::string before = ini();
  run<CDrawLineCmd>("0,0\n1000,0\n1000,1000\n0\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "0,0") + answered(nextPointPrompt("X"), "1000,0") +
                              answered(nextPointPrompt("X"), "1000,1000") + answered(nextPointPrompt("X"), "0"));
  EXPECT_THAT(drawn(),
              ElementsAre(
                  // The down-bend elbow at (1000, 0), its half circle on the incoming leg.
                  side(P(1000, -50), P(850, -50)), side(P(850, -50), P(850, 50)), side(P(850, 50), P(1000, 50)),
                  side(P(950, 50), P(950, 150)), side(P(1050, 0), P(1050, 150)), side(P(950, 150), P(1050, 150)),
                  centre(P(1000, 0), P(850, 0)), centre(P(1000, 0), P(1000, 150)),
                  sideArc(P(1000, 0), 50, 1.5 * kPi, 0.5 * kPi),
                  // The first piece, up to the elbow, in corner order.
                  centre(P(0, 0), P(850, 0)), side(P(0, 50), P(0, -50)), side(P(850, 50), P(850, -50)),
                  side(P(0, 50), P(850, 50)), side(P(0, -50), P(850, -50)),
                  // The last piece, closed at the last point, in closing order.
                  centre(P(1000, 150), P(1000, 1000)), side(P(950, 150), P(950, 1000)),
                  side(P(1050, 150), P(1050, 1000)), side(P(950, 150), P(1050, 150)),
                  side(P(950, 1000), P(1050, 1000))));
  EXPECT_EQ(ini(), before);
}

TEST_F(DoubleLineRun, horizontalAndUpBendElbowsAtTheirCorners) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=1\n");
  run<CDrawLineCmd>("0,0\n1000,0\n1000,1000\n0\n");
  auto entities = drawn();
  ASSERT_THAT(entities, SizeIs(15));
  // The elbow around (850, 150): centre line, inner and outer arcs, two joints.
  EXPECT_THAT(entities[0], centreArc(P(850, 150), 150, 1.5 * kPi, 0));
  EXPECT_THAT(entities[2], sideArc(P(850, 150), 200, 1.5 * kPi, 0));
  EXPECT_THAT(entities[5], centre(P(0, 0), P(850, 0)));
  EXPECT_THAT(entities[10], centre(P(1000, 150), P(1000, 1000)));

  newDrawing();
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=3\n");
  run<CDrawLineCmd>("0,0\n1000,0\n1000,1000\n0\n");
  entities = drawn();
  ASSERT_THAT(entities, SizeIs(19));
  // The up-bend closes the outgoing leg: its half circle faces along -y.
  EXPECT_THAT(entities[0], side(P(950, 0), P(950, 150)));
  EXPECT_THAT(entities[8], sideArc(P(1000, 0), 50, kPi, 0));
  EXPECT_THAT(entities[9], centre(P(0, 0), P(850, 0)));
}

TEST_F(DoubleLineRun, withoutSettingsItAsksForTheSizesAndStoresThem) {
  writeIni(kStyles);
  run<CDrawLineCmd>("100\n150\n0,0\n1000,0\n1000,1000\n0\n");
  const std::string zero = "0.000000";
  // The first-point prompt shows the values as they were when GD started.
  EXPECT_EQ(transcript(), answered(diameterPrompt(zero), "100") + answered(radiusPrompt(zero), "150") +
                              answered(firstPointPrompt(zero, zero), "0,0") + answered(nextPointPrompt("0"), "1000,0") +
                              answered(nextPointPrompt("0"), "1000,1000") + answered(nextPointPrompt("0"), "0"));
  EXPECT_EQ(ini(), std::string(kStyles) + "[PIPE]\nDW=100.000000\nWTBJ=150.000000\n");
  // No fitting mode stored: no elbow, the first piece runs into the corner
  // and the next one starts there.
  EXPECT_THAT(drawn(), ElementsAre(centre(P(0, 0), P(1000, 0)), side(P(0, 50), P(0, -50)),
                                   side(P(1000, 50), P(1000, -50)), side(P(0, 50), P(1000, 50)),
                                   side(P(0, -50), P(1000, -50)), centre(P(1000, 0), P(1000, 1000)),
                                   side(P(950, 0), P(950, 1000)), side(P(1050, 0), P(1050, 1000)),
                                   side(P(950, 0), P(1050, 0)), side(P(950, 1000), P(1050, 1000))));
}

TEST_F(DoubleLineRun, noSettingsFileAndNoAnswersWritesNothing) {
  run<CDrawLineCmd>("0\n\n0,0\n^C\n");
  EXPECT_EQ(transcript(), answered(diameterPrompt("0.000000"), "0") + answered(radiusPrompt("0.000000"), "") +
                              answered(firstPointPrompt("0.000000", "0.000000"), "0,0") +
                              nextPointPrompt("0") + "*取消*\n");
  EXPECT_EQ(ini(), "<none>");
}

TEST_F(DoubleLineRun, keywordCAtTheFirstPointChangesTheSizes) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n");
  run<CDrawLineCmd>("C\n0\n120\n0,0\n^C\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "C") + answered(diameterPrompt(k100), "0") +
                              answered(radiusPrompt(k150), "120") + answered(kPlainFirstPoint, "0,0") +
                              nextPointPrompt("0") + "*取消*\n");
  // 0 kept the diameter and wrote nothing: the stored text stays as it was.
  EXPECT_EQ(ini(), "[PIPE]\nDW=100\nWTBJ=120.000000\n" + std::string(kStyles));

  run<CDrawLineCmd>("w\n\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, "120.000000"), "w") + answered(kPlainFirstPoint, ""));
  EXPECT_THAT(drawn(), IsEmpty());
}

TEST_F(DoubleLineRun, fittingKeywordsAreStoredAtOnceAndShownAsTheDefault) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=1\n");
  run<CDrawLineCmd>("0,0\nx\n^C\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "0,0") + answered(nextPointPrompt("W"), "x") +
                              nextPointPrompt("X") + "*取消*\n");
  EXPECT_EQ(ini(), "[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n" + std::string(kStyles));
  run<CDrawLineCmd>("0,0\nS\nW\n^C\n");
  EXPECT_EQ(ini(), "[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=1\n" + std::string(kStyles));
  EXPECT_THAT(drawn(), IsEmpty());

  // The mode in force when a point is accepted chooses the fitting there.
  run<CDrawLineCmd>("0,0\n1000,0\nX\n1000,1000\n0\n");
  EXPECT_THAT(drawn(), SizeIs(19));
}

TEST_F(DoubleLineRun, flatTopReducerTakesTheStoredRearDiameterOnEnter) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DXT]\nDW2=80.000000\n");
  run<CDrawLineCmd>("0,0\nD\n\n\n200,0\n1\n400,10\n0\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "0,0") + answered(nextPointPrompt("0"), "D") +
                              answered(rearDiameterPrompt("80.000000"), "") +
                              answered(rearRadiusPrompt("0.000000"), "") + answered(kReducerEndPrompt, "200,0") +
                              answered(kFormPrompt, "1") + answered(nextPointPrompt("0"), "400,10") +
                              answered(nextPointPrompt("0"), "0"));
  EXPECT_EQ(ini(), "[PIPE]\nDW=80.000000\nWTBJ=150\n[DXT]\nDW2=80.000000\n" + std::string(kStyles));
  // The next piece is centred on the rear pipe's own axis, 80 across.
  auto after = closingAlongX(200, 400, 10, 40);
  EXPECT_THAT(drawn(), ElementsAre(centre(P(0, 0), P(200, 10)), side(P(0, 50), P(200, 50)),
                                   side(P(0, -50), P(200, -30)), side(P(0, 50), P(0, -50)),
                                   side(P(200, 50), P(200, -30)), after[0], after[1], after[2], after[3], after[4]));
}

TEST_F(DoubleLineRun, concentricReducerAfterAPieceStoresTheRearSizes) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n");
  run<CDrawLineCmd>("-500,0\n0,0\nD\n80\n90\n200,0\n\n0\n");
  EXPECT_EQ(ini(),
            "[PIPE]\nDW=80.000000\nWTBJ=90.000000\n" + std::string(kStyles) + "[DXT]\nDW2=80.000000\nWTBJ2=90.000000\n");
  auto before = closingAlongX(-500, 0, 0, 50);
  EXPECT_THAT(drawn(), ElementsAre(before[0], before[1], before[2], before[3], before[4], centre(P(0, 0), P(200, 0)),
                                   side(P(0, 50), P(200, 40)), side(P(0, -50), P(200, -40)),
                                   side(P(0, 50), P(0, -50)), side(P(200, 40), P(200, -40))));
}

TEST_F(DoubleLineRun, aReducerFormOutOfRangeIsAskedOnceMoreThenConcentric) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DXT]\nDW2=80\n");
  run<CDrawLineCmd>("0,0\nD\n\n\n200,0\n7\n5\n0\n");
  EXPECT_NE(transcript().find(answered(kFormPrompt, "7") + answered(kFormPrompt, "5") + kFormError +
                              nextPointPrompt("0")),
            std::string::npos)
      << transcript();
  EXPECT_THAT(drawn(), ElementsAre(centre(P(0, 0), P(200, 0)), side(P(0, 50), P(200, 40)),
                                   side(P(0, -50), P(200, -40)), side(P(0, 50), P(0, -50)),
                                   side(P(200, 40), P(200, -40))));

  // A second answer in range is taken.
  newDrawing();
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DXT]\nDW2=80\n");
  run<CDrawLineCmd>("0,0\nD\n\n\n200,0\n-1\n2\n0\n");
  EXPECT_EQ(transcript().find(kFormError), std::string::npos);
  const auto flatBottom = drawn();
  ASSERT_THAT(flatBottom, SizeIs(5));
  EXPECT_THAT(flatBottom[0], centre(P(0, 0), P(200, -10)));
}

TEST_F(DoubleLineRun, aReducerEndingOnItsStartEndsTheCommand) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DXT]\nDW2=80\n");
  run<CDrawLineCmd>("-500,0\n0,0\nD\n\n\n0,0\n1\n");
  EXPECT_THAT(drawn(), SizeIs(5));
  EXPECT_EQ(transcript().substr(transcript().size() - (answered(kFormPrompt, "1").size())), answered(kFormPrompt, "1"));
}

TEST_F(DoubleLineRun, aValveDrawsItsCentreLineAndTheBlock) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n" + gateValve());
  run<CDrawLineCmd>("0,0\nF\n600,0\n0\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "0,0") + answered(nextPointPrompt("0"), "F") +
                              answered(valvePrompt("Gate", k100), "600,0") + answered(nextPointPrompt("0"), "0"));
  EXPECT_THAT(drawn(), ElementsAre(centre(P(0, 0), P(600, 0)), IsBlockReference()));
  auto placed = parts_test::placedReferences(drawing());
  ASSERT_THAT(placed, SizeIs(1));
  EXPECT_EQ(placed[0].block, "Gate");
  EXPECT_DOUBLE_EQ(placed[0].scale.sx, 2);
  EXPECT_DOUBLE_EQ(placed[0].scale.sy, 100.0 / 219);
}

TEST_F(DoubleLineRun, typingFTwiceDrawsThePendingPieceOnce) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n" + gateValve());
  run<CDrawLineCmd>("0,0\n1000,0\nF\n\nF\n0\n\n0\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "0,0") + answered(nextPointPrompt("0"), "1000,0") +
                              answered(nextPointPrompt("0"), "F") + answered(valvePrompt("Gate", k100), "") +
                              answered(nextPointPrompt("0"), "F") + answered(valvePrompt("Gate", k100), "0") +
                              answered(kPlainNextPoint, "") + answered(nextPointPrompt("0"), "0"));
  auto piece = closingAlongX(0, 1000, 0, 50);
  EXPECT_THAT(drawn(), ElementsAre(piece[0], piece[1], piece[2], piece[3], piece[4]));
}

TEST_F(DoubleLineRun, aValveBetweenPiecesStartsANewRunAtItsEnd) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=1\n" + gateValve());
  run<CDrawLineCmd>("0,0\n1000,0\nF\n1600,0\n2000,0\n2000,500\n0\n");
  auto entities = drawn();
  // Piece to the valve, its centre line and block, then a new run with an
  // elbow at (2000, 0) whose first piece starts at the valve's end.
  ASSERT_THAT(entities, SizeIs(5 + 2 + 5 + 5 + 5));
  EXPECT_THAT(entities[5], centre(P(1000, 0), P(1600, 0)));
  EXPECT_THAT(entities[12], centre(P(1600, 0), P(1850, 0)));
  EXPECT_THAT(entities[17], centre(P(2000, 150), P(2000, 500)));
}

TEST_F(DoubleLineRun, finishRightAfterTheFirstPointOrAReducerDrawsNothingMore) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DXT]\nDW2=80\n");
  // The run's start S is still the origin here: nothing is drawn from it.
  run<CDrawLineCmd>("100,100\n0\n");
  EXPECT_THAT(drawn(), IsEmpty());
  run<CDrawLineCmd>("0,0\nD\n\n\n200,0\n0\n0\n");
  EXPECT_THAT(drawn(), SizeIs(5));
  EXPECT_EQ(transcript().substr(transcript().size() - answered(nextPointPrompt("0"), "0").size()),
            answered(nextPointPrompt("0"), "0"));
}

TEST_F(DoubleLineRun, theRunEndsWhereItCannotGoOn) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=1\n");
  // The second point on the first.
  run<CDrawLineCmd>("5,5\n5,5\n");
  EXPECT_EQ(transcript(), answered(firstPointPrompt(k100, k150), "5,5") + answered(nextPointPrompt("W"), "5,5"));
  // A corner straight back along the piece.
  run<CDrawLineCmd>("0,0\n1000,0\n400,0\n");
  EXPECT_EQ(transcript().substr(transcript().size() - 6), "400,0\n");
  // Enter leaves the pending piece undrawn.
  run<CDrawLineCmd>("0,0\n1000,0\n\n");
  EXPECT_THAT(drawn(), IsEmpty());
}

TEST_F(DoubleLineRun, aRepeatedPointIsPassedOver) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n");
  run<CDrawLineCmd>("0,0\n1000,0\n1000,0\n1000,1000\n0\n");
  auto twice = drawn();
  newDrawing();
  run<CDrawLineCmd>("0,0\n1000,0\n1000,1000\n0\n");
  auto once = drawn();
  ASSERT_THAT(twice, SizeIs(once.size()));
  for (std::size_t i = 0; i < once.size(); ++i) EXPECT_EQ(testing::PrintToString(twice[i]), testing::PrintToString(once[i]));
}

TEST_F(DoubleLineRun, aLegAsLongAsTheElbowLeavesNoPieceBeforeIt) {
  settings("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n");
  run<CDrawLineCmd>("0,0\n150,0\n150,1000\n0\n");
  auto entities = drawn();
  // The elbow, then straight on to the last piece: no piece of no length.
  ASSERT_THAT(entities, SizeIs(9 + 5));
  EXPECT_THAT(entities[9], centre(P(150, 150), P(150, 1000)));
}

TEST_F(DoubleLineRun, aRunOfManyCornersDrawsEveryPieceAndElbow) {
  settings("[PIPE]\nDW=50\nWTBJ=100\n[DRAW]\nENDSTYLE=1\n");
  // A staircase: right 1000, up 1000, right 1000, ...
  std::string script = "0,0\n";
  P last(0, 0);
  constexpr int kCorners = 200;
  for (int i = 0; i <= kCorners; ++i) {
    last = i % 2 == 0 ? P(last.x + 1000, last.y) : P(last.x, last.y + 1000);
    script += std::to_string(static_cast<int>(last.x)) + "," + std::to_string(static_cast<int>(last.y)) + "\n";
  }
  run<CDrawLineCmd>(script + "0\n");
  auto entities = drawn();
  ASSERT_THAT(entities, SizeIs(kCorners * 10 + 5));
  // Every straight piece between two elbows is 1000 - 2 * 100 long.
  for (int i = 1; i < kCorners; ++i) {
    const Drawn& centreLine = entities[i * 10 + 5];
    EXPECT_NEAR(centreLine.vertices[0].distanceTo(centreLine.vertices[1]), 800, 1e-9) << i;
  }
  EXPECT_THAT(entities.back(), side(P(last.x, last.y + 25), P(last.x, last.y - 25)));
}
