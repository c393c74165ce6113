// FM and ZDY dialogues without their dialogs: prompts, the settings they read and write, and the part they place.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "command_fixture.h"
#include "library_drawings.h"
#include "parts/DrawFMCmd.h"
#include "parts/DrawZDYCmd.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace parts_test;

namespace {

bool near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }

MATCHER_P5(ReferenceAt, block, x, y, sx, sy, "") {
  return arg.block == block && near(arg.position.x, x) && near(arg.position.y, y) && near(arg.scale.sx, sx) &&
         near(arg.scale.sy, sy);
}

constexpr const char* kNextPoint = "\n 请输入下一点[x,y]:";
constexpr const char* kPlainFirst = "\n请输入第一点[x,y]:";

class PartCommands : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    folder_ = fs::path(iniPath()).parent_path() / "resource";
    writeValve(folder_ / "FM", "Gate");
    writeValve(folder_ / "ZDY", "Pump");
  }
  std::string path(const std::string& library, const std::string& file) const {
    return (folder_ / library / file).string();
  }
  void chooseValve() {
    writeIni("[FM]\nFMNAME=Gate\nFMFILENAME=" + path("FM", "Gate.dxf") + "\nDW=100\n");
  }
  void choosePart() { writeIni("[ZDY]\nZDYNAME=Pump\nZDYFILENAME=" + path("ZDY", "Pump.dxf") + "\n"); }

  fs::path folder_;
};

const std::string kValvePrompt = "\n请输入第一点[x,y][阀门类型(Gate)][管径(100.000000)][修改(C)]:";
const std::string kPartPrompt = "\n请输入插入点[x,y][部件类型(Pump)][修改(C)]:";

}  // namespace

TEST_F(PartCommands, aValveBetweenTwoPointsUsesTheLastChoiceAndDiameter) {
  chooseValve();
  const std::string before = ini();
  run<CDrawFMCmd>("0,0\n600,0\n");
  EXPECT_EQ(transcript(), kValvePrompt + "0,0\n" + kNextPoint + "600,0\n");
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceAt("Gate", 0, 0, 2, 100.0 / 219)));
  EXPECT_EQ(ini(), before);
}

TEST_F(PartCommands, wAndZeroAskForThePlainFirstPointWithoutADialog) {
  chooseValve();
  run<CDrawFMCmd>("w\n0,0\n300,0\n");
  EXPECT_EQ(transcript(), kValvePrompt + "w\n" + kPlainFirst + "0,0\n" + kNextPoint + "300,0\n");
  run<CDrawFMCmd>("0\n0,0\n0,300\n");
  EXPECT_EQ(transcript(), kValvePrompt + "0\n" + kPlainFirst + "0,0\n" + kNextPoint + "0,300\n");
  EXPECT_THAT(placedReferences(drawing()),
              ElementsAre(ReferenceAt("Gate", 0, 0, 1, 100.0 / 219), ReferenceAt("Gate", 0, 0, 1, 100.0 / 219)));
}

TEST_F(PartCommands, theValveCommandEndsWithoutAPointAndDrawsNothing) {
  chooseValve();
  run<CDrawFMCmd>("\n");
  EXPECT_EQ(transcript(), kValvePrompt + "\n");
  run<CDrawFMCmd>("^C\n");
  EXPECT_EQ(transcript(), kValvePrompt + "*取消*\n");
  run<CDrawFMCmd>("W\n\n");
  EXPECT_EQ(transcript(), kValvePrompt + "W\n" + kPlainFirst + "\n");
  run<CDrawFMCmd>("0,0\n^C\n");
  EXPECT_EQ(transcript(), kValvePrompt + "0,0\n" + kNextPoint + "*取消*\n");
  EXPECT_THAT(placedReferences(drawing()), IsEmpty());
}

TEST_F(PartCommands, withoutAChoiceTheValveCommandShowsNothingAndCannotLoad) {
  run<CDrawFMCmd>("0,0\n300,0\n");
  EXPECT_EQ(transcript(), "\n请输入第一点[x,y][阀门类型()][管径(0.000000)][修改(C)]:0,0\n" + std::string(kNextPoint) +
                              "300,0\n\n加载图形错误.");
  EXPECT_THAT(placedReferences(drawing()), IsEmpty());
  EXPECT_EQ(ini(), "<none>");
}

// A valve of scale 0 cannot be drawn: the command line says why, and the drawing
// does not even get the valve's block.
TEST_F(PartCommands, aValveWithoutWidthOrLengthSaysSoAndDrawsNothing) {
  struct Case {
    const char* diameter;
    const char* points;
    const char* said;
  };
  for (const Case& c : {Case{"0", "0,0\n300,0\n", "\n管径为零，阀门的宽度为零，未画阀门。"},
                        Case{"100", "5,5\n5,5\n", "\n两点重合，阀门的长度为零，未画阀门。"}}) {
    newDrawing();
    writeIni("[FM]\nFMNAME=Gate\nFMFILENAME=" + path("FM", "Gate.dxf") + "\nDW=" + c.diameter + "\n");
    run<CDrawFMCmd>(c.points);
    EXPECT_TRUE(transcript().ends_with(c.said)) << transcript();
    EXPECT_THAT(placedReferences(drawing()), IsEmpty());
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(drawing()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(table->has(L"Gate"));
    table->close();
  }
}

TEST_F(PartCommands, aLibraryPathOfAnyLengthIsReadBackWhole) {
  // A folder deep enough that the drawing's full path runs past 300 characters.
  fs::path deep = folder_ / "FM";
  for (int i = 0; i < 12; ++i) deep /= "a-rather-long-folder-name";
  writeValve(deep, "闸阀");
  const std::string file = (deep / "闸阀.dxf").string();
  ASSERT_GT(file.size(), 300u);
  writeIni("[FM]\nFMNAME=闸阀\nFMFILENAME=" + file + "\nDW=219\n");
  run<CDrawFMCmd>("0,0\n300,0\n");
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceAt("闸阀", 0, 0, 1, 1)));
}

TEST_F(PartCommands, aPartAtAPointTakesItsScalesOrOne) {
  choosePart();
  run<CDrawZDYCmd>("10,20\n\n\n");
  EXPECT_EQ(transcript(), kPartPrompt + "10,20\n\n请输入x方向缩放比例[默认(0)]:\n\n请输入y方向缩放比例[默认(0)]:\n");
  run<CDrawZDYCmd>("0,0\n2\n0.5\n");
  run<CDrawZDYCmd>("0,0\n0\n3\n");
  run<CDrawZDYCmd>("0,0\n-1\n^C\n");
  EXPECT_THAT(placedReferences(drawing()),
              ElementsAre(ReferenceAt("Pump", 10, 20, 1, 1), ReferenceAt("Pump", 0, 0, 2, 0.5),
                          ReferenceAt("Pump", 0, 0, 1, 3), ReferenceAt("Pump", 0, 0, -1, 1)));
  for (const Placed& p : placedReferences(drawing())) EXPECT_EQ(p.rotation, 0);
  // The scales are not kept.
  EXPECT_EQ(ini(), "[ZDY]\nZDYNAME=Pump\nZDYFILENAME=" + path("ZDY", "Pump.dxf") + "\n");
}

TEST_F(PartCommands, thePartCommandsKeywordsAndEnds) {
  choosePart();
  run<CDrawZDYCmd>("W\n5,5\n\n\n");
  EXPECT_EQ(transcript(), kPartPrompt + "W\n\n请输入插入点[x,y]:5,5\n\n请输入x方向缩放比例[默认(0)]:\n"
                                        "\n请输入y方向缩放比例[默认(0)]:\n");
  run<CDrawZDYCmd>("\n");
  EXPECT_EQ(transcript(), kPartPrompt + "\n");
  run<CDrawZDYCmd>("0\n^C\n");
  EXPECT_EQ(transcript(), kPartPrompt + "0\n\n请输入插入点[x,y]:*取消*\n");
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceAt("Pump", 5, 5, 1, 1)));
}

TEST_F(PartCommands, withoutAChoiceThePartCommandCannotLoad) {
  run<CDrawZDYCmd>("0,0\n\n\n");
  EXPECT_EQ(transcript(), "\n请输入插入点[x,y][部件类型()][修改(C)]:0,0\n\n请输入x方向缩放比例[默认(0)]:\n"
                          "\n请输入y方向缩放比例[默认(0)]:\n\n加载图形错误.");
  EXPECT_THAT(placedReferences(drawing()), IsEmpty());
}
