// DXT: the reducer dialogue, the diameters it keeps and the three forms.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "drawn_entities.h"
#include "fittings/DrawDXTCmd.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;

namespace {

// Front diameter 100, rear 60; centre line red CENTER, side lines green DASHED.
constexpr const char* kSettings =
    "[DXT]\nDW1=100\nDW2=60\n[MIDLINE]\nLINECOLOR=1\nLINETYPE=CENTER\n"
    "[SIDELINE]\nLINECOLOR=3\nLINETYPE=DASHED\n";

using P = AcGePoint2d;

auto side(P a, P b) { return PieceIs(a, b, 3, "DASHED"); }
auto centre(P a, P b) { return PieceIs(a, b, 1, "CENTER"); }

constexpr const char* kFirstPrompt = "\n请输入第一点[x,y][管道外径(前100.000000)(后60.000000)][修改(C)]:";
constexpr const char* kFormPrompt = "\n请选择大小头形式(中心0)(上平1)(下平2):";

class Reducer : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    writeIni(kSettings);
  }
};

}  // namespace

TEST_F(Reducer, threeFormsFromTheLeftToTheRight) {
  run<CDrawDXTCmd>("0,0\n100,0\n0\n");
  EXPECT_EQ(transcript(), std::string(kFirstPrompt) + "0,0\n\n 请输入下一点[x,y]:100,0\n" + kFormPrompt + "0\n");
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(centre(P(0, 0), P(100, 0)), side(P(0, 50), P(100, 30)), side(P(0, -50), P(100, -30)),
                          side(P(0, 50), P(0, -50)), side(P(100, 30), P(100, -30))));

  newDrawing();
  run<CDrawDXTCmd>("0,0\n100,0\n1\n");
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(centre(P(0, 0), P(100, 20)), side(P(0, 50), P(100, 50)), side(P(0, -50), P(100, -10)),
                          side(P(0, 50), P(0, -50)), side(P(100, 50), P(100, -10))));

  newDrawing();
  run<CDrawDXTCmd>("0,0\n100,0\n2\n");
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(centre(P(0, 0), P(100, -20)), side(P(0, 50), P(100, 10)), side(P(0, -50), P(100, -50)),
                          side(P(0, 50), P(0, -50)), side(P(100, 10), P(100, -50))));
}

TEST_F(Reducer, pickingRightToLeftPutsTheTopBelow) {
  run<CDrawDXTCmd>("100,0\n0,0\n1\n");
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(centre(P(100, 0), P(0, -20)), side(P(100, -50), P(0, -50)), side(P(100, 50), P(0, 10)),
                          side(P(100, -50), P(100, 50)), side(P(0, -50), P(0, 10))));
}

TEST_F(Reducer, aFormThatIsNotGivenOrNotKnownIsConcentric) {
  run<CDrawDXTCmd>("0,0\n100,0\n\n");
  run<CDrawDXTCmd>("0,0\n100,0\n5\n");
  EXPECT_EQ(transcript(), std::string(kFirstPrompt) + "0,0\n\n 请输入下一点[x,y]:100,0\n" + kFormPrompt +
                              "5\n\n输入错误,大小头默认为同心型");
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(10));
  EXPECT_THAT(drawn[0], centre(P(0, 0), P(100, 0)));
  EXPECT_THAT(drawn[5], centre(P(0, 0), P(100, 0)));
  EXPECT_THAT(drawn[9], side(P(100, 30), P(100, -30)));
}

TEST_F(Reducer, changedDiametersAreStoredAndUsed) {
  writeIni("[DXT]\nDW1=100\n");
  run<CDrawDXTCmd>("c\n80\n40\n0,0\n0,100\n0\n");
  EXPECT_EQ(transcript(),
            "\n请输入第一点[x,y][管道外径(前100.000000)(后0.000000)][修改(C)]:c\n"
            "\n请输入请输入前管道外径[100.000000][默认(0)]:80\n"
            "\n请输入请输入后管道外径[0.000000][默认(0)]:40\n"
            "\n请输入第一点[x,y]:0,0\n"
            "\n 请输入下一点[x,y]:0,100\n" +
                std::string(kFormPrompt) + "0\n");
  EXPECT_EQ(ini(), "[DXT]\nDW1=80.000000\nDW2=40.000000\n");
  // Upwards, the top (left) side lies at -x.
  EXPECT_THAT(drawnEntities(drawing()), ElementsAre(PieceIs(P(0, 0), P(0, 100), 0, "ByLayer"),
                                                    PieceIs(P(-40, 0), P(-20, 100), 0, "ByLayer"),
                                                    PieceIs(P(40, 0), P(20, 100), 0, "ByLayer"),
                                                    PieceIs(P(-40, 0), P(40, 0), 0, "ByLayer"),
                                                    PieceIs(P(-20, 100), P(20, 100), 0, "ByLayer")));
}

TEST_F(Reducer, emptyOrZeroAnswersKeepTheDiameters) {
  // The stored values come back in "%f" form; 0, as the prompt offers, keeps
  // the diameter for the drawing too.
  writeIni("[DXT]\nDW1=100\nDW2=60\n");
  run<CDrawDXTCmd>("C\n\n0\n0,0\n100,0\n0\n");
  EXPECT_EQ(ini(), "[DXT]\nDW1=100.000000\nDW2=60.000000\n");
  auto drawn = drawnEntities(drawing());
  ASSERT_THAT(drawn, SizeIs(5));
  EXPECT_THAT(drawn[4], PieceIs(P(100, 30), P(100, -30), 0, "ByLayer"));

  // Other keywords only ask for the first point again; nothing is written.
  writeIni("[DXT]\nDW1=7\n");
  run<CDrawDXTCmd>("W\n1,1\n^C\n0\n");
  EXPECT_EQ(ini(), "[DXT]\nDW1=7\n");
  EXPECT_EQ(transcript(),
            "\n请输入第一点[x,y][管道外径(前7.000000)(后0.000000)][修改(C)]:W\n"
            "\n请输入第一点[x,y]:1,1\n"
            "\n 请输入下一点[x,y]:*取消*\n" +
                std::string(kFormPrompt) + "0\n");
  EXPECT_THAT(drawnEntities(drawing()), SizeIs(5));
}

TEST_F(Reducer, withoutBothPointsNothingIsDrawn) {
  // No first point ends the command at once.
  run<CDrawDXTCmd>("\n");
  EXPECT_EQ(transcript(), std::string(kFirstPrompt) + "\n");
  run<CDrawDXTCmd>("0\n^C\n");
  EXPECT_EQ(transcript(), std::string(kFirstPrompt) + "0\n\n请输入第一点[x,y]:*取消*\n");
  // The same point twice.
  run<CDrawDXTCmd>("5,5\n5,5\n0\n");
  EXPECT_THAT(drawnEntities(drawing()), IsEmpty());
}

TEST_F(Reducer, aFlatReducerWithASmallRearEndKeepsItsRearEndAgainstTheStraightSide) {
  // D2 below D1/2: the rear end is 20 across, flush with the straight side,
  // and the centre line ends in its middle.
  writeIni("[DXT]\nDW1=100\nDW2=20\n");
  run<CDrawDXTCmd>("0,0\n100,0\n1\n");
  run<CDrawDXTCmd>("0,0\n100,0\n2\n");
  EXPECT_THAT(drawnEntities(drawing()),
              ElementsAre(PieceIs(P(0, 0), P(100, 40), 0, "ByLayer"), PieceIs(P(0, 50), P(100, 50), 0, "ByLayer"),
                          PieceIs(P(0, -50), P(100, 30), 0, "ByLayer"), PieceIs(P(0, 50), P(0, -50), 0, "ByLayer"),
                          PieceIs(P(100, 50), P(100, 30), 0, "ByLayer"), PieceIs(P(0, 0), P(100, -40), 0, "ByLayer"),
                          PieceIs(P(0, 50), P(100, -30), 0, "ByLayer"), PieceIs(P(0, -50), P(100, -50), 0, "ByLayer"),
                          PieceIs(P(0, 50), P(0, -50), 0, "ByLayer"), PieceIs(P(100, -30), P(100, -50), 0, "ByLayer")));
}
