// The SDK's classes of the typed kinds (text, attributes, multi-line text, ellipse,
// spline, point, hatch, dimension, leader) over a drawing read from a DXF file: what a
// module reads, what it changes, and that the change is what the saved file holds.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <set>
#include <sstream>
#include <tuple>

#include "dbdim.h"
#include "dbelipse.h"
#include "dbents.h"
#include "dbhatch.h"
#include "dblead.h"
#include "dbmtext.h"
#include "dbspline.h"
#include "host_bindings.h"
#include "orv/core/dimension_block.h"
#include "orv/core/drafting_styles.h"
#include "orv/dxf/reader.h"
#include "orv/modules/command_registry.h"
#include "orv/modules/module_manager.h"
#include "orv/prompt/engine.h"
#include "orv/prompt/script_console.h"
#include "side_db_fixture.h"

namespace {

namespace db = orv::db;
constexpr double kPi = std::numbers::pi;

// Every typed kind once: a text, a block with an attribute definition and a reference to
// it with its attribute (and the SEQEND ending them), a multi-line text, a half ellipse, a spline, a point, a
// patterned hatch bounded by lines and an arc, a linear dimension with its picture, and a
// leader pointing at the multi-line text.
db::Database everyKind() {
  db::Database d = db::Database::newDrawing();
  d.append(db::Entity(db::makeText({10, 20, 0}, 3.5, "管道标高 EL+3.500")));
  const db::BlockId tag = *d.addBlock("位号", {});
  db::Text def = db::makeText({0, 0, 0}, 2.5, "P-1");
  def.type = db::Text::Type::attdef;
  def.tag = "编号";
  def.prompt = "输入编号";
  d.append(db::Entity(def), tag);
  db::RawTags follows;  // as the host's INSERT makes it: attributes follow, then a SEQEND
  follows.add(66, "1", 2);
  d.appendRead(orv::test::referenceTo(tag, {50, 50, 0}), d.modelSpace(), 0, follows);
  db::Text attrib = db::makeText({50, 50, 0}, 2.5, "P-101");
  attrib.type = db::Text::Type::attrib;
  attrib.tag = "编号";
  d.append(db::Entity(attrib));
  d.appendRead(db::Entity(db::UnknownEntity{d.intern("SEQEND"), {}}), d.modelSpace(), 0, {});
  db::MText note = db::makeMText({0, 80, 0}, 2.5, "第一行\\P第二行");
  note.width = 40;
  note.attachment = db::MTextAttachment::topCenter;
  const db::ObjectId noteId = *d.append(db::Entity(note));
  db::Ellipse half;
  half.center = {100, 0, 0};
  half.majorAxis = {20, 0, 0};
  half.ratio = 0.5;
  half.endParam = kPi;
  d.append(db::Entity(half));
  d.append(db::Entity(db::Spline::byControlPoints({{0, 0, 0}, {10, 10, 0}, {20, 0, 0}, {30, 10, 0}})));
  d.append(db::Entity(db::Geometry(db::Point{{5, 5, 0}})));
  db::Hatch h = db::Hatch::make("ANSI31", 0.0, 2.0);
  h.lines.push_back({45.0, {0, 0}, {-2.0, 2.0}, {}});
  db::HatchPath edges;
  edges.flags = db::HatchPath::external;
  auto line = [](db::Point2 a, db::Point2 b) {
    db::HatchEdge e;
    e.start = a;
    e.end = b;
    return e;
  };
  db::HatchEdge arc;
  arc.type = db::HatchEdge::Type::arc;
  arc.center = {10, 5};
  arc.radius = 5;
  arc.startAngle = -90;
  arc.endAngle = 90;
  edges.edges = {line({0, 0}, {10, 0}), arc, line({10, 10}, {0, 10}), line({0, 10}, {0, 0})};
  h.paths.push_back(edges);
  d.append(db::Entity(h));
  const orv::core::DimensionStyle style;
  orv::core::storeDimensionStyle(d, style);
  const auto parts = orv::core::linearDimension({0, -20}, {30, -20}, {15, -30}, 0.0, style);
  const auto block = orv::core::addPictureBlock(d, parts, style);
  d.append(db::Entity(orv::core::dimensionEntity(parts, db::Dimension::Type::rotated, 0.0, "", style, *block)));
  db::Leader leader;
  leader.vertices = {{0, 0, 0}, {10, 10, 0}, {20, 10, 0}};
  leader.annotation = d.entity(noteId)->handle();
  leader.creation = 0;
  d.append(db::Entity(leader));
  return d;
}

class TypedKinds : public ::testing::Test {
 protected:
  void SetUp() override { saved_ = orv::sdk::bind({&engine_, nullptr, nullptr, &drawing_, 1.0}); }
  void TearDown() override { orv::sdk::bind(saved_); }

  // Each model-space entity of a database, in order.
  static std::vector<AcDbObjectId> modelIds(AcDbDatabase* d) {
    std::vector<AcDbObjectId> ids;
    const db::Database& m = orv::sdk::databaseOf(d);
    m.forEachEntity(m.modelSpace(), [&](db::ObjectId id, const db::Entity&) {
      ids.push_back(orv::sdk::entityId(d, id));
    });
    return ids;
  }

  AcDbObjectId append(AcDbEntity* e) { return orv::test::appendToModelSpace(drawing_, e); }

  std::istringstream in_;
  std::ostringstream out_;
  orv::prompt::ScriptConsole console_{in_, out_};
  orv::prompt::PromptEngine engine_{console_};
  AcDbDatabase drawing_{true};
  orv::sdk::HostBindings saved_;
  orv::test::TempDir dir_;
};

bool near(const AcGePoint3d& a, const AcGePoint3d& b) { return a.distanceTo(b) < 1e-9; }

TEST_F(TypedKinds, eachKindIsReadChangedAndSavedThroughItsClass) {
  orv::test::save(everyKind(), dir_ / "every.dxf");
  AcDbDatabase side(false);
  ASSERT_EQ(side.readDwgFile((dir_ / "every.dxf").wstring().c_str()), Acad::eOk);

  AcDbObjectId noteId;
  struct Case {
    AcRxClass* cls;
    std::function<void(AcDbEntity*)> readAndChange;
  };
  const std::vector<Case> cases = {
      {AcDbText::desc(),
       [](AcDbEntity* e) {
         auto* t = AcDbText::cast(e);
         EXPECT_STREQ(t->textString(), L"管道标高 EL+3.500");
         EXPECT_TRUE(near(t->position(), {10, 20, 0}));
         EXPECT_TRUE(t->isDefaultAlignment());
         EXPECT_EQ(t->setTextString(L"标高 EL+4.000"), Acad::eOk);
         EXPECT_EQ(t->setRotation(kPi / 2), Acad::eOk);
         EXPECT_EQ(t->setHorizontalMode(AcDb::kTextCenter), Acad::eOk);
       }},
      {AcDbBlockReference::desc(),
       [](AcDbEntity* e) {
         AcDbObjectIterator* it = AcDbBlockReference::cast(e)->attributeIterator();
         int count = 0;
         for (it->start(); !it->done(); it->step(), ++count) {
           AcDbEntity* a = nullptr;
           ASSERT_EQ(acdbOpenAcDbEntity(a, it->objectId(), AcDb::kForWrite), Acad::eOk);
           ASSERT_NE(AcDbAttribute::cast(a), nullptr);
           EXPECT_STREQ(AcDbAttribute::cast(a)->tag(), L"编号");
           EXPECT_STREQ(AcDbAttribute::cast(a)->textString(), L"P-101");
           EXPECT_EQ(AcDbAttribute::cast(a)->setTextString(L"P-102 进口"), Acad::eOk);
           a->close();
         }
         delete it;
         EXPECT_EQ(count, 1);
       }},
      {AcDbAttribute::desc(), [](AcDbEntity*) {}},  // reached through its reference
      {AcDbEntity::desc(), [](AcDbEntity*) {}},     // the SEQEND: of no class of its own
      {AcDbMText::desc(),
       [&noteId](AcDbEntity* e) {
         auto* m = AcDbMText::cast(e);
         noteId = e->objectId();
         EXPECT_STREQ(m->contents(), L"第一行\\P第二行");
         EXPECT_DOUBLE_EQ(m->width(), 40);
         EXPECT_EQ(m->attachment(), AcDbMText::kTopCenter);
         EXPECT_EQ(m->setContents(L"改过的说明"), Acad::eOk);
         EXPECT_EQ(m->setTextHeight(5), Acad::eOk);
       }},
      {AcDbEllipse::desc(),
       [](AcDbEntity* e) {
         auto* el = AcDbEllipse::cast(e);
         EXPECT_DOUBLE_EQ(el->radiusRatio(), 0.5);
         EXPECT_NEAR(el->endAngle(), kPi, 1e-12);
         AcGePoint3d start, end;
         EXPECT_EQ(el->getEndPoint(end), Acad::eOk);
         EXPECT_TRUE(near(end, {80, 0, 0}));
         // An angle from the major axis is not the parameter: 45 degrees lies on y = x.
         EXPECT_EQ(el->setEndAngle(kPi / 2), Acad::eOk);
         EXPECT_EQ(el->setStartAngle(kPi / 4), Acad::eOk);
         EXPECT_EQ(el->getStartPoint(start), Acad::eOk);
         EXPECT_NEAR(start.y - 0.0, start.x - 100.0, 1e-9);
       }},
      {AcDbSpline::desc(),
       [](AcDbEntity* e) {
         auto* s = AcDbSpline::cast(e);
         EXPECT_EQ(s->degree(), 3);
         EXPECT_EQ(s->numControlPoints(), 4);
         EXPECT_EQ(s->numFitPoints(), 0);
         AcGePoint3d p;
         EXPECT_EQ(s->getEndPoint(p), Acad::eOk);  // a clamped curve ends on its last point
         EXPECT_TRUE(near(p, {30, 10, 0}));
         EXPECT_EQ(s->setControlPointAt(3, AcGePoint3d(40, 0, 0)), Acad::eOk);
       }},
      {AcDbPoint::desc(),
       [](AcDbEntity* e) {
         EXPECT_TRUE(near(AcDbPoint::cast(e)->position(), {5, 5, 0}));
         EXPECT_EQ(AcDbPoint::cast(e)->setPosition(AcGePoint3d(6, 7, 0)), Acad::eOk);
       }},
      {AcDbHatch::desc(),
       [](AcDbEntity* e) {
         auto* h = AcDbHatch::cast(e);
         EXPECT_STREQ(h->patternName(), L"ANSI31");
         EXPECT_DOUBLE_EQ(h->patternScale(), 2.0);
         ASSERT_EQ(h->numLoops(), 1);
         Adesk::Int32 type = 0;
         AcGePoint2dArray vertices;
         AcGeDoubleArray bulges;
         ASSERT_EQ(h->getLoopAt(0, type, vertices, bulges), Acad::eOk);
         EXPECT_EQ(type & AcDbHatch::kPolyline, 0);
         ASSERT_EQ(vertices.length(), 4);
         EXPECT_EQ(vertices[1], AcGePoint2d(10, 0));
         EXPECT_NEAR(bulges[1], 1.0, 1e-12);  // a half circle
         EXPECT_EQ(h->setPatternScale(4.0), Acad::eOk);
       }},
      {AcDbRotatedDimension::desc(),
       [](AcDbEntity* e) {
         auto* d = AcDbRotatedDimension::cast(e);
         double measured = 0;
         EXPECT_EQ(d->measurement(measured), Acad::eOk);
         EXPECT_NEAR(measured, 30, 1e-9);
         EXPECT_STREQ(d->dimensionText(), L"");
         EXPECT_EQ(d->setDimensionText(L"<> 管长"), Acad::eOk);
       }},
      {AcDbLeader::desc(),
       [&noteId](AcDbEntity* e) {
         auto* l = AcDbLeader::cast(e);
         EXPECT_EQ(l->numVertices(), 3);
         EXPECT_TRUE(near(l->vertexAt(2), {20, 10, 0}));
         EXPECT_EQ(l->annotationObjId(), noteId);
         l->disableArrowHead();
       }},
  };

  const std::vector<AcDbObjectId> ids = modelIds(&side);
  ASSERT_EQ(ids.size(), cases.size());
  for (std::size_t i = 0; i < ids.size(); ++i) {
    AcDbEntity* e = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(e, ids[i], AcDb::kForWrite), Acad::eOk);
    SCOPED_TRACE(cases[i].cls->name());
    EXPECT_EQ(e->isA(), cases[i].cls);
    // Of its own class and its parents', and of no other kind's.
    for (const Case& other : cases)
      EXPECT_EQ(e->isKindOf(other.cls), cases[i].cls->isDerivedFrom(other.cls)) << other.cls->name();
    EXPECT_TRUE(e->isKindOf(AcDbEntity::desc()));
    cases[i].readAndChange(e);
    EXPECT_EQ(e->close(), Acad::eOk);
  }

  ASSERT_NO_FATAL_FAILURE(orv::test::save(orv::sdk::databaseOf(&side), dir_ / "changed.dxf"));
  auto back = orv::dxf::readDxfFile(dir_ / "changed.dxf");
  ASSERT_TRUE(back.ok()) << back.error;
  std::vector<const db::Entity*> saved;
  back.drawing->forEachEntity(back.drawing->modelSpace(), [&](db::ObjectId, const db::Entity& e) {
    saved.push_back(&e);
  });
  ASSERT_EQ(saved.size(), cases.size());
  const db::Text& text = *saved[0]->as<db::Text>();
  EXPECT_EQ(text.value, "标高 EL+4.000");
  EXPECT_DOUBLE_EQ(text.rotation, 90.0);
  EXPECT_EQ(text.hAlign, db::TextHAlign::center);
  EXPECT_EQ(text.anchor(), (db::Point3{10, 20, 0}));  // centred where it stood
  EXPECT_EQ(saved[2]->as<db::Text>()->value, "P-102 进口");
  EXPECT_EQ(saved[4]->as<db::MText>()->content, "改过的说明");
  EXPECT_DOUBLE_EQ(saved[4]->as<db::MText>()->height, 5);
  EXPECT_NEAR(saved[5]->as<db::Ellipse>()->endParam, kPi / 2, 1e-12);
  EXPECT_NEAR(saved[5]->as<db::Ellipse>()->startParam, std::atan(2.0), 1e-12);
  EXPECT_EQ(saved[6]->as<db::Spline>()->controlPoints[3], (db::Point3{40, 0, 0}));
  EXPECT_EQ(saved[7]->as<db::Point>()->position, (db::Point3{6, 7, 0}));
  const db::Hatch& hatch = *saved[8]->as<db::Hatch>();
  EXPECT_DOUBLE_EQ(hatch.scale, 4.0);
  ASSERT_EQ(hatch.lines.size(), 1u);
  EXPECT_EQ(hatch.lines[0].offset, (db::Point2{-4.0, 4.0}));  // the lines follow the scale
  const db::Dimension& dim = *saved[9]->as<db::Dimension>();
  EXPECT_EQ(dim.text, "<> 管长");
  // Its picture was laid out again with the new text.
  std::string shown;
  back.drawing->forEachEntity(*back.drawing->findBlock(dim.block), [&](db::ObjectId, const db::Entity& e) {
    if (const db::Text* t = e.as<db::Text>()) shown += t->value;
    if (const db::MText* m = e.as<db::MText>()) shown += m->content;
  });
  EXPECT_NE(shown.find("管长"), std::string::npos) << shown;
  EXPECT_FALSE(saved[10]->as<db::Leader>()->hasArrow());
}

TEST_F(TypedKinds, newKindsReachTheDrawingAndAttributesEndWithTheirSequence) {
  auto* text = new AcDbText(AcGePoint3d(1, 2, 0), L"阀门 DN50", AcDbObjectId::kNull, 2.5, 0.0);
  EXPECT_EQ(text->setTextStyle(L"standard"), Acad::eOk);  // the drawing's spelling is kept
  EXPECT_STREQ(text->textStyleName(), L"Standard");
  EXPECT_EQ(text->setTextStyle(L"没有的样式"), Acad::eKeyNotFound);
  auto* hatch = new AcDbHatch();
  AcGePoint2dArray square;
  for (auto [x, y] : {std::pair{0.0, 0.0}, {5.0, 0.0}, {5.0, 5.0}, {0.0, 5.0}}) square.append(AcGePoint2d(x, y));
  EXPECT_EQ(hatch->appendLoop(AcDbHatch::kExternal, square, AcGeDoubleArray()), Acad::eOk);
  auto* leader = new AcDbLeader();
  EXPECT_TRUE(leader->appendVertex(AcGePoint3d(0, 0, 0)));
  EXPECT_TRUE(leader->appendVertex(AcGePoint3d(5, 5, 0)));
  AcGePoint3dArray fit;
  for (double x : {0.0, 10.0, 20.0}) fit.append(AcGePoint3d(x, x / 2, 0));

  const std::vector<AcDbEntity*> made = {
      text, new AcDbMText(), hatch, leader, new AcDbPoint(AcGePoint3d(3, 3, 0)), new AcDbSpline(fit),
      new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(4, 0, 0), 0.25)};
  for (AcDbEntity* e : made) {
    AcRxClass* cls = e->isA();
    AcDbObjectId id = append(e);
    ASSERT_FALSE(id.isNull()) << cls->name();
    AcDbEntity* opened = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(opened, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(opened->isA(), cls);
    opened->close();
  }
  AcDbEntity* opened = nullptr;
  // A dimension is laid out when appended: its picture block, its measurement.
  const AcDbObjectId dimId =
      append(new AcDbRotatedDimension(0.0, AcGePoint3d(0, 0, 0), AcGePoint3d(40, 0, 0), AcGePoint3d(20, 10, 0)));
  ASSERT_EQ(acdbOpenAcDbEntity(opened, dimId, AcDb::kForRead), Acad::eOk);
  double measured = 0;
  EXPECT_EQ(AcDbDimension::cast(opened)->measurement(measured), Acad::eOk);
  EXPECT_DOUBLE_EQ(measured, 40);
  const AcDbObjectId picture = AcDbDimension::cast(opened)->dimBlockId();
  opened->close();
  ASSERT_FALSE(picture.isNull());
  EXPECT_FALSE(orv::sdk::databaseOf(&drawing_).block(orv::sdk::modelBlock(picture)).entities.empty());
  EXPECT_EQ(append(new AcDbAlignedDimension(AcGePoint3d(1, 1, 0), AcGePoint3d(1, 1, 0), AcGePoint3d(5, 5, 0))),
            AcDbObjectId());  // measures nothing
  EXPECT_EQ(append(new AcDbOrdinateDimension()), AcDbObjectId());

  // An attribute stands only in the sequence after its reference (the host's INSERT
  // makes it): alone it is refused.
  EXPECT_EQ(append(new AcDbAttribute(AcGePoint3d(), L"x", L"TAG")), AcDbObjectId());
  db::Database& model = orv::sdk::databaseOf(&drawing_);
  const db::BlockId block = *model.addBlock("阀", {});
  model.append(db::Entity(db::Line{{0, 0, 0}, {1, 0, 0}}), block);
  db::RawTags follows;
  follows.add(66, "1", 2);
  const db::ObjectId ref = *model.appendRead(orv::test::referenceTo(block), model.modelSpace(), 0, follows);
  for (const char* value : {"DN50", "闸阀"}) {
    db::Text attribute = db::makeText({}, 2.5, value);
    attribute.type = db::Text::Type::attrib;
    attribute.tag = "规格";
    model.append(db::Entity(attribute));
  }
  model.appendRead(db::Entity(db::UnknownEntity{model.intern("SEQEND"), {}}), model.modelSpace(), 0, {});
  db::Text stray = db::makeText({}, 2.5, "不是属性");
  stray.type = db::Text::Type::attrib;  // after the SEQEND: no attribute of the reference
  model.append(db::Entity(stray));
  AcDbEntity* reference = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(reference, orv::sdk::entityId(&drawing_, ref), AcDb::kForRead), Acad::eOk);
  AcDbObjectIterator* it = AcDbBlockReference::cast(reference)->attributeIterator();
  std::wstring values;
  for (it->start(); !it->done(); it->step()) {
    AcDbEntity* a = nullptr;
    ASSERT_EQ(acdbOpenAcDbEntity(a, it->objectId(), AcDb::kForRead), Acad::eOk);
    values += AcDbAttribute::cast(a)->textString() + std::wstring(L";");
    a->close();
  }
  delete it;
  reference->close();
  EXPECT_EQ(values, L"DN50;闸阀;");
}

// A module built apart (its own inline casts, hidden symbols) sees the same classes.
TEST_F(TypedKinds, aModuleBuiltApartReadsAndWritesThem) {
  orv::modules::CommandRegistry commands;
  orv::modules::ModuleManager modules(commands);
  auto loaded = modules.load(ORV_KINDS_MODULE);
  ASSERT_TRUE(loaded.ok) << loaded.message;
  auto describe = reinterpret_cast<const wchar_t* (*)(const AcDbObjectId*)>(
      modules.modules().front()->symbol("orvtestDescribe"));
  auto appendNote = reinterpret_cast<void (*)(AcDbDatabase*, AcDbObjectId*)>(
      modules.modules().front()->symbol("orvtestAppendNote"));
  ASSERT_TRUE(describe && appendNote);

  const AcDbObjectId text = append(new AcDbText(AcGePoint3d(), L"主管 DN100"));
  const AcDbObjectId oval = append(new AcDbEllipse(AcGePoint3d(), AcGeVector3d::kZAxis, AcGeVector3d(2, 0, 0), 0.5));
  const AcDbObjectId dim =
      append(new AcDbAlignedDimension(AcGePoint3d(0, 0, 0), AcGePoint3d(3, 4, 0), AcGePoint3d(0, 5, 0)));
  AcDbObjectId note;
  appendNote(&drawing_, &note);
  ASSERT_FALSE(note.isNull());
  const std::vector<std::pair<AcDbObjectId, std::wstring>> expected = {
      {text, L"AcDbText 主管 DN100"},
      {oval, L"AcDbEllipse"},
      {dim, L"AcDbAlignedDimension"},
      {note, L"AcDbMText 模块写的说明"},
  };
  for (const auto& [id, what] : expected) EXPECT_EQ(describe(&id), what);
  EXPECT_EQ(orv::sdk::databaseOf(&drawing_).entity(orv::sdk::modelEntity(text))->as<db::Text>()->value, "模块改过");
  modules.unloadAll();
}

TEST_F(TypedKinds, badUseGetsAnErrorStatusAndChangesNothing) {
  const AcDbObjectId textId = append(new AcDbText(AcGePoint3d(), L"原文", AcDbObjectId::kNull, 2.5));
  AcGePoint3dArray two;
  two.append(AcGePoint3d(0, 0, 0));
  two.append(AcGePoint3d(1, 1, 0));
  const AcDbObjectId splineId = append(new AcDbSpline(1, false, false, false, two, AcGeDoubleArray(), AcGeDoubleArray()));
  ASSERT_FALSE(splineId.isNull());
  AcDbEntity *readOnly = nullptr, *text = nullptr, *spline = nullptr;
  ASSERT_EQ(acdbOpenAcDbEntity(readOnly, textId, AcDb::kForRead), Acad::eOk);
  EXPECT_EQ(AcDbMText::cast(readOnly), nullptr);
  EXPECT_EQ(AcDbAttribute::cast(readOnly), nullptr);
  EXPECT_EQ(AcDbCurve::cast(readOnly), nullptr);
  ASSERT_EQ(acdbOpenAcDbEntity(spline, splineId, AcDb::kForWrite), Acad::eOk);
  AcDbText* t = AcDbText::cast(readOnly);
  AcDbSpline* s = AcDbSpline::cast(spline);
  AcGePoint3d p(7, 7, 7);
  AcDbHatch hatch;
  AcGePoint2dArray one;
  one.append(AcGePoint2d());
  Adesk::Int32 type = 0;
  AcGeDoubleArray bulges;
  AcDbMText note;
  AcDbEllipse oval;
  const std::vector<std::tuple<const char*, std::function<Acad::ErrorStatus()>, Acad::ErrorStatus>> refused = {
      {"text open for reading", [&] { return t->setTextString(L"改"); }, Acad::eNotOpenForWrite},
      {"height open for reading", [&] { return t->setHeight(5); }, Acad::eNotOpenForWrite},
      {"control point past the end", [&] { return s->getControlPointAt(2, p); }, Acad::eOutOfRange},
      {"control point -1", [&] { return s->getControlPointAt(-1, p); }, Acad::eOutOfRange},
      {"no fit points", [&] { return s->getFitPointAt(0, p); }, Acad::eOutOfRange},
      {"set past the end", [&] { return s->setControlPointAt(5, AcGePoint3d()); }, Acad::eOutOfRange},
      {"a loop of one vertex", [&] { return hatch.appendLoop(AcDbHatch::kExternal, one, bulges); }, Acad::eInvalidInput},
      {"no loop", [&] { return hatch.getLoopAt(0, type, one, bulges); }, Acad::eOutOfRange},
      {"pattern before loops", [&] { return hatch.setPattern(AcDbHatch::kPreDefined, L"ANSI31"); },
       Acad::eInvalidInput},
      {"negative pattern scale", [&] { return hatch.setPatternScale(-2); }, Acad::eInvalidInput},
      {"attachment 0", [&] { return note.setAttachment(static_cast<AcDbMText::AttachmentPoint>(0)); },
       Acad::eInvalidInput},
      {"negative text height", [&] { return note.setTextHeight(-1); }, Acad::eInvalidInput},
      {"ratio over 1", [&] { return oval.setRadiusRatio(1.5); }, Acad::eInvalidInput},
  };
  for (const auto& [what, call, status] : refused) EXPECT_EQ(call(), status) << what;
  EXPECT_EQ(p, AcGePoint3d(7, 7, 7));
  readOnly->close();
  spline->close();

  ASSERT_EQ(acdbOpenAcDbEntity(text, textId, AcDb::kForWrite), Acad::eOk);
  t = AcDbText::cast(text);
  const std::vector<std::pair<const char*, std::function<Acad::ErrorStatus()>>> invalid = {
      {"negative height", [&] { return t->setHeight(-1); }},
      {"height not finite", [&] { return t->setHeight(NAN); }},
      {"width factor 0", [&] { return t->setWidthFactor(0); }},
      {"oblique past 85 degrees", [&] { return t->setOblique(kPi / 2); }},
      {"null text", [&] { return t->setTextString(nullptr); }},
      {"mode out of range", [&] { return t->setHorizontalMode(static_cast<AcDb::TextHorzMode>(9)); }},
  };
  for (const auto& [what, call] : invalid) EXPECT_EQ(call(), Acad::eInvalidInput) << what;
  text->close();
  const orv::db::Database& model = orv::sdk::databaseOf(&drawing_);
  const db::Text& stored = *model.entity(orv::sdk::modelEntity(textId))->as<db::Text>();
  EXPECT_EQ(stored.value, "原文");
  EXPECT_DOUBLE_EQ(stored.height, 2.5);

  auto* leader = new AcDbLeader();
  leader->appendVertex(AcGePoint3d());
  EXPECT_FALSE(leader->setVertexAt(3, AcGePoint3d()));
  const std::size_t before = model.entitySlotCount();
  EXPECT_EQ(append(leader), AcDbObjectId());  // one vertex is no leader
  EXPECT_EQ(model.entitySlotCount(), before);
}

}  // namespace

namespace {

namespace fs = std::filesystem;

// Reads what a module computes from an entity of the typed kinds (the ends of a curve,
// the loops of a hatch, a dimension's measurement); false when a value is not finite.
bool readComputed(AcDbEntity* e) {
  bool finite = true;
  auto point = [&finite](const AcGePoint3d& p) {
    finite = finite && std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
  };
  if (auto* c = AcDbCurve::cast(e)) {
    AcGePoint3d start, end;
    if (c->getStartPoint(start) == Acad::eOk) point(start);
    if (c->getEndPoint(end) == Acad::eOk) point(end);
  } else if (auto* h = AcDbHatch::cast(e)) {
    for (int i = 0; i < h->numLoops(); ++i) {
      Adesk::Int32 type = 0;
      AcGePoint2dArray vertices;
      AcGeDoubleArray bulges;
      const Acad::ErrorStatus es = h->getLoopAt(i, type, vertices, bulges);
      EXPECT_TRUE(es == Acad::eOk || es == Acad::eNotApplicable);
    }
  } else if (auto* d = AcDbDimension::cast(e)) {
    double measured = 0;
    EXPECT_EQ(d->measurement(measured), Acad::eOk);
    // What the program that saved the file measured (angles in radians), where it says.
    const double saved = e->orvData().entity.as<db::Dimension>()->measurement;
    if (saved != 0.0) {
      EXPECT_NEAR(measured, saved, 1e-6 * std::max(1.0, std::abs(saved)));
    }
  } else if (auto* r = AcDbBlockReference::cast(e)) {
    AcDbObjectIterator* it = r->attributeIterator();
    for (it->start(); !it->done(); it->step()) EXPECT_FALSE(it->objectId().isNull());
    delete it;
  }
  return finite;
}

// Drawings saved by other CAD programs (the DWG samples' DXF twins, beside the project):
// every entity of them opens as its class and gives what it holds.
TEST(TypedKindsOfOtherPrograms, everyEntityOfTheSampleDrawingsOpensAndReads) {
  const fs::path samples =
      (fs::path(ORV_TEST_DATA_DIR) / ".." / ".." / ".." / ".." / ".." / "shared" / "dwg-samples").lexically_normal();
  if (!fs::is_directory(samples)) GTEST_SKIP() << "no DWG samples beside the project";
  std::set<std::wstring> seen;
  for (const auto& entry : fs::directory_iterator(samples)) {
    if (entry.path().extension() != ".dxf") continue;
    SCOPED_TRACE(entry.path().filename().string());
    AcDbDatabase side(false);
    if (side.readDwgFile(entry.path().wstring().c_str()) != Acad::eOk) continue;
    const db::Database& d = orv::sdk::databaseOf(&side);
    for (std::size_t i = 0; i < d.entitySlotCount(); ++i) {
      const db::ObjectId id{static_cast<std::uint32_t>(i)};
      if (!d.entity(id) || d.entity(id)->isErased()) continue;
      AcDbEntity* e = nullptr;
      ASSERT_EQ(acdbOpenAcDbEntity(e, orv::sdk::entityId(&side, id), AcDb::kForRead), Acad::eOk);
      EXPECT_TRUE(readComputed(e)) << e->isA()->name();
      seen.insert(e->isA()->name());
      e->close();
    }
  }
  std::wstring all;
  for (const std::wstring& kind : seen) all += kind + L" ";
  for (const wchar_t* kind : {L"AcDbText", L"AcDbAttribute", L"AcDbAttributeDefinition", L"AcDbMText", L"AcDbEllipse",
                              L"AcDbPoint", L"AcDbLeader", L"AcDbAlignedDimension", L"AcDbOrdinateDimension",
                              L"AcDbRadialDimension", L"AcDbDiametricDimension", L"AcDb2LineAngularDimension",
                              L"AcDb3PointAngularDimension"})
    EXPECT_TRUE(seen.count(kind)) << "no sample holds a " << kind << "; seen: " << all;
}

}  // namespace
