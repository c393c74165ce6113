// The SDK's drawing classes over the host's database: appending, opening,
// changing, erasing and picking entities as a module does.
#include <gtest/gtest.h>

#include <numbers>
#include <sstream>

#include "acedads.h"
#include "db_impl.h"
#include "dbents.h"
#include "dbpl.h"
#include "dbsymtb.h"
#include "host_bindings.h"
#include "orv/db/header_values.h"
#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"
#include "side_db_fixture.h"

namespace {

class DrawingApi : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = orv::sdk::bind({&engine_, nullptr, nullptr, &drawing_, 1.0}); }
  void TearDown() override { orv::sdk::bind(saved_); }

  void replies(const std::string& lines) {
    in_.clear();
    in_.str(lines);
  }
  orv::db::Database& model() { return orv::sdk::databaseOf(&drawing_); }

  AcDbObjectId append(AcDbEntity* e) { return orv::test::appendToModelSpace(drawing_, e); }

  std::istringstream in_;
  std::ostringstream out_;
  orv::prompt::ScriptConsole console_{in_, out_};
  orv::prompt::PromptEngine engine_{console_};
  AcDbDatabase drawing_{true};
  orv::sdk::HostBindings saved_;
};

TEST_F(DrawingApi, aStyledPolylineReachesModelSpaceAsGiven) {
  auto* pl = new AcDbPolyline(2);
  ASSERT_EQ(pl->addVertexAt(0, AcGePoint2d(0, 0), 0, -1, -1), Acad::eOk);
  ASSERT_EQ(pl->addVertexAt(1, AcGePoint2d(10, 0), 0, -1, -1), Acad::eOk);
  EXPECT_EQ(pl->setColorIndex(1), Acad::eOk);
  EXPECT_EQ(pl->setLinetype(L"dashed"), Acad::eOk);  // names match in any case
  AcDbObjectId id = append(pl);
  ASSERT_FALSE(id.isNull());

  const orv::db::Entity* e = model().entity(orv::sdk::modelEntity(id));
  ASSERT_NE(e, nullptr);
  const auto* stored = e->as<orv::db::Polyline>();
  ASSERT_NE(stored, nullptr);
  ASSERT_EQ(stored->size(), 2u);
  EXPECT_EQ(stored->point(1), (orv::db::Point2{10, 0}));
  EXPECT_FALSE(stored->hasVertexExtras());
  EXPECT_EQ(e->color, 1);
  EXPECT_EQ(model().name(e->linetype), "DASHED");
  EXPECT_EQ(model().lastEntity(), orv::sdk::modelEntity(id));
}

TEST_F(DrawingApi, aLinetypeTheDrawingLacksLeavesTheDefault) {
  auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
  EXPECT_EQ(line->setLinetype(L"NOSUCH"), Acad::eKeyNotFound);
  EXPECT_EQ(line->setLinetype(L""), Acad::eNullObjectPointer);
  EXPECT_EQ(line->setColorIndex(300), Acad::eOutOfRange);
  AcDbObjectId id = append(line);
  const orv::db::Entity* e = model().entity(orv::sdk::modelEntity(id));
  EXPECT_EQ(model().name(e->linetype), "ByLayer");
  EXPECT_EQ(e->color, 256);
}

TEST_F(DrawingApi, whatAModuleLeavesUnsetTakesTheDrawingsCurrentValues) {
  orv::db::setHeaderValue(model().header, "$CECOLOR", 62, "1");
  orv::db::setHeaderValue(model().header, "$CELTYPE", 6, "dashed");
  orv::db::setHeaderValue(model().header, "$CELWEIGHT", 370, "35");
  auto* unset = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
  auto* styled = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(2, 2, 0));
  EXPECT_EQ(styled->setColorIndex(256), Acad::eOk);  // ByLayer given is kept
  EXPECT_EQ(styled->setLinetype(L"Continuous"), Acad::eOk);
  const orv::db::ObjectId a = orv::sdk::modelEntity(append(unset)), b = orv::sdk::modelEntity(append(styled));
  struct Expected {
    orv::db::ObjectId id;
    int color;
    const char* linetype;
  };
  for (const Expected& x : {Expected{a, 1, "DASHED"}, Expected{b, 256, "Continuous"}}) {
    const orv::db::Entity* e = model().entity(x.id);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->color, x.color);
    EXPECT_EQ(model().name(e->linetype), x.linetype);
    std::string weight;
    if (const orv::db::RawTags* extras = model().entityExtras(x.id))
      for (orv::db::RawTag t : *extras)
        if (t.code == 370) weight = std::string(t.value);
    EXPECT_EQ(weight, "35") << "a module cannot set one: always the current";
  }
}

TEST_F(DrawingApi, valuesThatAreNotFiniteAreRefusedNotStored) {
  auto* arc = new AcDbArc(AcGePoint3d(0, 0, 0), AcGeVector3d::kZAxis, std::nan(""), 0, 1);
  EXPECT_TRUE(append(arc).isNull());
  auto* pl = new AcDbPolyline();
  EXPECT_NE(pl->addVertexAt(0, AcGePoint2d(INFINITY, 0)), Acad::eOk);
  EXPECT_EQ(pl->addVertexAt(5, AcGePoint2d(0, 0)), Acad::eOutOfRange);
  pl->close();  // never appended: discarded
  auto* line = new AcDbLine();
  EXPECT_EQ(line->setEndPoint(AcGePoint3d(0, NAN, 0)), Acad::eInvalidInput);
  line->close();
  EXPECT_TRUE(model().lastEntity().isNull());
}

TEST_F(DrawingApi, changesThroughAnObjectOpenForWriteReachTheDrawingOnClose) {
  AcDbObjectId id = append(new AcDbArc(AcGePoint3d(1, 2, 0), 5, 0, std::numbers::pi / 2));
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForRead), Acad::eOk);
  auto* arc = AcDbArc::cast(e);
  ASSERT_NE(arc, nullptr);
  EXPECT_DOUBLE_EQ(arc->endAngle(), std::numbers::pi / 2);
  AcGePoint3d end;
  arc->getEndPoint(end);
  EXPECT_NEAR(end.x, 1, 1e-12);
  EXPECT_NEAR(end.y, 7, 1e-12);
  EXPECT_EQ(arc->setColorIndex(3), Acad::eNotOpenForWrite);
  arc->close();

  ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(e->setColorIndex(3), Acad::eOk);
  EXPECT_EQ(model().entity(orv::sdk::modelEntity(id))->color, 256) << "not before close";
  e->close();
  EXPECT_EQ(model().entity(orv::sdk::modelEntity(id))->color, 3);

  ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForWrite), Acad::eOk);
  EXPECT_EQ(e->erase(), Acad::eOk);
  e->close();
  EXPECT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForRead), Acad::eWasErased);
  ads_name last;
  EXPECT_EQ(acdbEntLast(last), RTERROR);
}

TEST_F(DrawingApi, blockReferencesKeepRadiansAndScales) {
  AcDbBlockTable* table = nullptr;
  drawing_.getSymbolTable(table, AcDb::kForRead);
  AcDbObjectId space;
  ASSERT_EQ(table->getAt(L"*model_space", space), Acad::eOk);
  EXPECT_EQ(table->getAt(L"NOSUCH", space), Acad::eKeyNotFound);
  table->close();
  model().addBlock("阀门", {0, 0, 0});
  drawing_.getSymbolTable(table, AcDb::kForRead);
  AcDbObjectId block;
  ASSERT_EQ(table->getAt(L"阀门", block), Acad::eOk);
  table->close();

  auto* ref = new AcDbBlockReference(AcGePoint3d(0, 0, 5), block);
  ref->setScaleFactors(AcGeScale3d(2, 100.0 / 219, 1));
  ref->setRotation(3 * std::numbers::pi / 2);
  AcDbObjectId id = append(ref);
  AcDbEntity* e = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(e, id, AcDb::kForRead), Acad::eOk);
  auto* r = AcDbBlockReference::cast(e);
  ASSERT_NE(r, nullptr);
  EXPECT_NEAR(r->rotation(), 3 * std::numbers::pi / 2, 1e-12);
  EXPECT_DOUBLE_EQ(r->scaleFactors().sy, 100.0 / 219);
  EXPECT_EQ(r->blockTableRecord(), block);
  r->close();
}

TEST_F(DrawingApi, pickingTakesTheNearestEntityTheNewestOnATie) {
  AcDbObjectId first = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
  AcDbObjectId second = append(new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(100, 0, 0)));
  auto* pl = new AcDbPolyline();
  pl->addVertexAt(0, AcGePoint2d(0, 10));
  pl->addVertexAt(1, AcGePoint2d(100, 10), 1.0);  // a half circle bulging down to y = -40
  pl->addVertexAt(2, AcGePoint2d(200, 10));
  AcDbObjectId arc = append(pl);

  replies("50,0.5\n50,3\n150,-39.5\n@\n^C\n");
  ads_name name;
  ads_point at;
  AcDbObjectId id;
  ASSERT_EQ(acedEntSel(L"\n选择一条直线:", name, at), RTNORM);
  acdbGetObjectId(id, name);
  EXPECT_EQ(id, second);
  EXPECT_EQ(acedEntSel(L"\n选择一条直线:", name, at), RTERROR) << "3 units away, pick box 1";
  ASSERT_EQ(acedEntSel(L"\n选择一条直线:", name, at), RTNORM);
  acdbGetObjectId(id, name);
  EXPECT_EQ(id, arc);
  EXPECT_DOUBLE_EQ(at[Y], -39.5);
  EXPECT_EQ(acedEntSel(L"\n选择一条直线:", name, at), RTNORM) << "@ is the last point";
  EXPECT_EQ(acedEntSel(L"\n选择一条直线:", name, at), RTCAN);
  (void)first;
}

}  // namespace
