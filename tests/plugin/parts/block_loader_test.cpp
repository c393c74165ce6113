// The block loader through insertValve and insertPart: placement, repeated valves and every failure it can meet.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <numbers>

#include "command_fixture.h"
#include "host_bindings.h"
#include "library_drawings.h"
#include "parts/DrawFMCmd.h"
#include "parts/DrawZDYCmd.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using namespace parts_test;

namespace {

constexpr double kPi = std::numbers::pi;

bool near(double a, double b) { return std::fabs(a - b) <= 1e-9 * std::max(1.0, std::fabs(b)); }

MATCHER_P6(ReferenceIs, block, x, y, sx, sy, rotation, "") {
  return arg.block == block && near(arg.position.x, x) && near(arg.position.y, y) && arg.position.z == 0 &&
         near(arg.scale.sx, sx) && near(arg.scale.sy, sy) && arg.scale.sz == 1.0 && near(arg.rotation, rotation);
}

class BlockLoader : public CommandFixture {
 protected:
  void SetUp() override {
    CommandFixture::SetUp();
    folder_ = fs::path(iniPath()).parent_path() / "resource" / "FM";
    writeValve(folder_, "Gate");
    replies("");
  }

  std::wstring file(const std::string& name) const { return (folder_ / name).wstring(); }

  int valve(AcGePoint3d p1, AcGePoint3d p2, double diameter, const std::string& fileName = "Gate.dxf",
            const std::wstring& block = L"Gate") {
    CDrawFMCmd worker;  // its settings path is never set: placing a valve does not need it
    return worker.insertValve(p1, p2, diameter, file(fileName), block);
  }

  fs::path folder_;
};

}  // namespace

TEST_F(BlockLoader, aValveSpansItsTwoPointsAndIsAsWideAsThePipe) {
  EXPECT_EQ(valve({0, 0, 0}, {600, 0, 0}, 100), 1);
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceIs("Gate", 0, 0, 2, 100.0 / 219, 0)));
  EXPECT_EQ(definitionsNamed(drawing(), "Gate"), 1);
  // The reference that carried the block over is gone again: only the valve is drawn.
  EXPECT_EQ(modelSpaceCount(drawing()), 1u);
  EXPECT_EQ(transcript(), "");
}

TEST_F(BlockLoader, aValveTurnsToTheDirectionOfItsSecondPoint) {
  valve({10, 20, 0}, {10, 320, 0}, 219);   // above
  valve({10, 20, 0}, {-290, 20, 0}, 219);  // left
  valve({10, 20, 0}, {10, -280, 0}, 219);  // below
  valve({0, 0, 0}, {300, 300, 0}, 50);     // up and to the right
  EXPECT_THAT(placedReferences(drawing()),
              ElementsAre(ReferenceIs("Gate", 10, 20, 1, 1, kPi / 2), ReferenceIs("Gate", 10, 20, 1, 1, kPi),
                          ReferenceIs("Gate", 10, 20, 1, 1, 3 * kPi / 2),
                          ReferenceIs("Gate", 0, 0, std::sqrt(2.0), 50.0 / 219, kPi / 4)));
}

TEST_F(BlockLoader, theHeightOfThePointsTakesNoPart) {
  valve({0, 0, 50}, {300, 0, -400}, 100);
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceIs("Gate", 0, 0, 1, 100.0 / 219, 0)));
}

TEST_F(BlockLoader, theSameValveTwiceIsOneDefinitionAndTwoReferences) {
  ASSERT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100), 1);
  // The file is read again: a changed file on disk is what the second valve
  // would use if the drawing lacked the block, but the drawing keeps its own.
  writeText(folder_ / "Gate.dxf", "not a drawing any more");
  EXPECT_EQ(valve({0, 500, 0}, {600, 500, 0}, 100), 0);
  EXPECT_THAT(transcript(), HasSubstr("\n加载图形错误."));

  writeValve(folder_, "Gate");
  ASSERT_EQ(valve({0, 500, 0}, {600, 500, 0}, 100), 1);
  EXPECT_THAT(placedReferences(drawing()),
              ElementsAre(ReferenceIs("Gate", 0, 0, 1, 100.0 / 219, 0), ReferenceIs("Gate", 0, 500, 2, 100.0 / 219, 0)));
  EXPECT_EQ(definitionsNamed(drawing(), "Gate"), 1);
  EXPECT_EQ(modelSpaceCount(drawing()), 2u);
}

TEST_F(BlockLoader, onlyTheFirstReferenceOfTheLibraryIsCarriedOver) {
  writeLibraryDrawing(folder_ / "Check.dxf", {"Check", 3, {}});
  ASSERT_EQ(valve({0, 0, 0}, {300, 0, 0}, 219, "Check.dxf", L"Check"), 1);
  EXPECT_THAT(placedReferences(drawing()), ElementsAre(ReferenceIs("Check", 0, 0, 1, 1, 0)));
  EXPECT_EQ(modelSpaceCount(drawing()), 1u);
}

TEST_F(BlockLoader, aPartKeepsItsScalesAndIsNotTurned) {
  CDrawZDYCmd worker;
  EXPECT_EQ(worker.insertPart({5, 6, 7}, 1, 1, file("Gate.dxf"), L"Gate"), 1);
  EXPECT_EQ(worker.insertPart({0, 0, 0}, 2, 0.5, file("Gate.dxf"), L"Gate"), 1);
  EXPECT_EQ(worker.insertPart({0, 0, 0}, -1, 3, file("Gate.dxf"), L"Gate"), 1);
  EXPECT_THAT(placedReferences(drawing()),
              ElementsAre(ReferenceIs("Gate", 5, 6, 1, 1, 0), ReferenceIs("Gate", 0, 0, 2, 0.5, 0),
                          ReferenceIs("Gate", 0, 0, -1, 3, 0)));
}

TEST_F(BlockLoader, aDrawingThatCannotBeReadIsReportedOnTheCommandLine) {
  writeText(folder_ / "Text.dxf", "a text file, not a drawing\n");
  fs::create_directories(folder_ / "Folder.dxf");
  const std::string failures[] = {"Missing.dxf", "Text.dxf", "Folder.dxf"};
  for (const std::string& name : failures) {
    SCOPED_TRACE(name);
    replies("");
    EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100, name, L"Gate"), 0);
    EXPECT_EQ(transcript(), "\n加载图形错误.");
  }
  replies("");
  CDrawZDYCmd worker;
  EXPECT_EQ(worker.insertPart({0, 0, 0}, 1, 1, L"", L""), 0);
  EXPECT_EQ(transcript(), "\n加载图形错误.");
  EXPECT_EQ(modelSpaceCount(drawing()), 0u);
}

TEST_F(BlockLoader, aDrawingWithoutTheBlockOrItsReferenceChangesNothing) {
  // A drawing holding another block than the one asked for.
  writeLibraryDrawing(folder_ / "Ball.dxf", {"Globe", 1, {}});
  // A drawing that defines the block but never places it.
  writeLibraryDrawing(folder_ / "Plug.dxf", {"Plug", 0, {}});
  replies("");
  EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100, "Ball.dxf", L"Ball"), 0);
  EXPECT_EQ(transcript(), "** 获得指定的块表记录失败!\n");
  replies("");
  EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100, "Plug.dxf", L"Plug"), 0);
  EXPECT_EQ(transcript(), "** 实体数组中未包含任何实体!\n");
  EXPECT_EQ(modelSpaceCount(drawing()), 0u);
  EXPECT_EQ(definitionsNamed(drawing(), "Globe"), 0);
  EXPECT_EQ(definitionsNamed(drawing(), "Plug"), 0);
}

TEST_F(BlockLoader, aReferenceThatOnlyLiesInsideAnotherBlockCannotBeWritten) {
  namespace db = orv::db;
  db::Database library = db::Database::newDrawing();
  addValveBlock(library, "Nested");
  auto outer = library.addBlock("Outer", db::Point3{});
  ASSERT_TRUE(outer.ok());
  db::BlockReference inner;
  inner.block = *library.findBlock("Nested");
  ASSERT_TRUE(library.append(db::Entity(inner), *outer).ok());
  db::BlockReference placed;
  placed.block = *outer;
  ASSERT_TRUE(library.append(db::Entity(placed)).ok());
  ASSERT_TRUE(orv::dxf::saveDxfFile(library, folder_ / "Nested.dxf").ok);

  EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100, "Nested.dxf", L"Nested"), 0);
  EXPECT_EQ(transcript(), "** wblock操作失败!\n");
  EXPECT_EQ(modelSpaceCount(drawing()), 0u);
  EXPECT_EQ(definitionsNamed(drawing(), "Nested"), 0);
}

TEST_F(BlockLoader, withoutACurrentDrawingTheMergeFails) {
  orv::sdk::HostBindings bindings = orv::sdk::bound();
  bindings.drawing = nullptr;
  orv::sdk::bind(bindings);
  EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100), 0);
  EXPECT_EQ(transcript(), "** insert操作失败!\n");
  newDrawing();
}

TEST_F(BlockLoader, theDrawingKeepsItsOwnDefinitionOfAName) {
  ASSERT_EQ(valve({0, 0, 0}, {300, 0, 0}, 219), 1);
  // Another Gate in another library drawing: the drawing's Gate is used.
  const fs::path other = folder_ / "other";
  writeLibraryDrawing(other / "Gate.dxf", {"GATE", 1, {}});
  CDrawFMCmd worker;
  ASSERT_EQ(worker.insertValve({0, 0, 0}, {0, 300, 0}, 219, (other / "Gate.dxf").wstring(), L"GATE"), 1);
  EXPECT_EQ(definitionsNamed(drawing(), "Gate"), 1);
  EXPECT_THAT(placedReferences(drawing()), SizeIs(2));
}

TEST_F(BlockLoader, theUsersOwnEntitiesStayWhenAValveIsPlaced) {
  auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 10, 0));
  AcDbBlockTable* table = nullptr;
  ASSERT_EQ(drawing()->getSymbolTable(table, AcDb::kForRead), Acad::eOk);
  AcDbBlockTableRecord* model = nullptr;
  ASSERT_EQ(table->getAt(ACDB_MODEL_SPACE, model, AcDb::kForWrite), Acad::eOk);
  ASSERT_EQ(model->appendAcDbEntity(line), Acad::eOk);
  line->close();
  model->close();
  table->close();

  ASSERT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100), 1);
  EXPECT_EQ(modelSpaceCount(drawing()), 2u);
  EXPECT_THAT(placedReferences(drawing()), SizeIs(1));
  EXPECT_EQ(valve({0, 0, 0}, {300, 0, 0}, 100, "Missing.dxf"), 0);
  EXPECT_EQ(modelSpaceCount(drawing()), 2u);
}
