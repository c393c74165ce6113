// Side databases: reading library drawings, wblock and insert carrying a block
// with everything it depends on, name conflicts, undo, and failures that
// leave the drawing as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "orv/text/encoding.h"
#include "side_db_fixture.h"

namespace {

namespace db = orv::db;
using orv::sdk::databaseOf;
using orv::test::firstReference;
using orv::test::TempDir;

std::wstring wide(const std::filesystem::path& p) { return orv::text::widen(p.string()); }

// A drawing's size in every respect insert could change.
struct Footprint {
  std::size_t blocks, layers, linetypes, entities, undoGroups;
  db::ObjectId last;
  bool operator==(const Footprint&) const = default;
};
Footprint footprint(const db::Database& d) {
  std::size_t live = 0;
  for (std::size_t i = 0; i < d.blockCount(); ++i) live += d.block(db::BlockId{static_cast<std::uint32_t>(i)}).removed ? 0 : 1;
  return {live, d.layers().size(), d.linetypes().size(), d.entitySlotCount(), d.undoGroupCount(), d.lastEntity()};
}

class SideDatabase : public ::testing::Test {
 protected:
  void SetUp() override { orv::test::save(orv::test::valveLibrary(), library_); }

  // wblock of the first GATE reference of the library, then insert into the drawing.
  Acad::ErrorStatus bringGate(AcDbDatabase& into) {
    AcDbDatabase side(false, true);
    EXPECT_EQ(side.readDwgFile(wide(library_).c_str()), Acad::eOk);
    AcDbObjectIdArray ids;
    ids.append(firstReference(side, L"GATE"));
    AcDbDatabase* out = nullptr;
    EXPECT_EQ(side.wblock(out, ids, AcGePoint3d::kOrigin), Acad::eOk);
    std::unique_ptr<AcDbDatabase> owned(out);
    return out ? into.insert(AcGeMatrix3d::kIdentity, out) : Acad::eNullObjectPointer;
  }

  TempDir dir_;
  std::filesystem::path library_ = dir_ / "GATE.dxf";
  AcDbDatabase drawing_{true};
};

TEST_F(SideDatabase, readsALibraryDrawingAndReportsFilesItCannotRead) {
  AcDbDatabase side(false, true);
  ASSERT_EQ(side.readDwgFile(wide(library_).c_str()), Acad::eOk);
  EXPECT_TRUE(databaseOf(&side).findBlock("GATE"));
  EXPECT_TRUE(databaseOf(&side).layers().find("阀门"));

  orv::test::writeText(dir_ / "notes.dxf", "这不是图形\n");
  orv::test::writeText(dir_ / "empty.dxf", "");
  std::filesystem::create_directory(dir_ / "sub.dxf");
  AcDbDatabase other(false, true);
  EXPECT_EQ(other.readDwgFile(wide(dir_ / "missing.dxf").c_str()), Acad::eFileNotFound);
  EXPECT_EQ(other.readDwgFile(L""), Acad::eFileNotFound);
  EXPECT_EQ(other.readDwgFile(nullptr), Acad::eFileNotFound);
  EXPECT_EQ(other.readDwgFile(wide(dir_ / "sub.dxf").c_str()), Acad::eFileAccessErr);
  EXPECT_EQ(other.readDwgFile(wide(dir_ / "notes.dxf").c_str()), Acad::eBadDxfFile);
  EXPECT_EQ(other.readDwgFile(wide(dir_ / "empty.dxf").c_str()), Acad::eBadDxfFile);
  if (geteuid() != 0) {  // permissions do not hold back the superuser
    chmod(library_.c_str(), 0);
    EXPECT_EQ(other.readDwgFile(wide(library_).c_str()), Acad::eFileAccessErr);
  }
  EXPECT_EQ(databaseOf(&other).entitySlotCount(), 0u) << "a failed read leaves the database as it was";
}

TEST_F(SideDatabase, wblockAndInsertCarryANestedBlockWithItsLayerAndLinetypes) {
  const std::size_t before = databaseOf(&drawing_).entitySlotCount();
  ASSERT_EQ(bringGate(drawing_), Acad::eOk);
  const db::Database& d = databaseOf(&drawing_);

  // One entity in model space: the carried reference, the newest.
  ASSERT_EQ(d.entitySlotCount(), before + 1 + 3);  // the reference, and the three block entities
  const db::Entity* last = d.entity(d.lastEntity());
  ASSERT_NE(last, nullptr);
  const auto* ref = last->as<db::BlockReference>();
  ASSERT_NE(ref, nullptr);
  EXPECT_EQ(ref->block, d.findBlock("gate").value());
  EXPECT_EQ(ref->position, (db::Point3{500, 0, 0})) << "the first reference, where it stood";

  // GATE holds its outline and a reference to this drawing's BOLT.
  const db::BlockDefinition& gate = d.block(*d.findBlock("GATE"));
  ASSERT_EQ(gate.entities.size(), 2u);
  const auto* nested = d.entity(gate.entities[1])->as<db::BlockReference>();
  ASSERT_NE(nested, nullptr);
  ASSERT_TRUE(d.findBlock("BOLT"));
  EXPECT_EQ(nested->block, *d.findBlock("BOLT"));
  const db::Entity& circle = *d.entity(d.block(*d.findBlock("BOLT")).entities.at(0));
  EXPECT_EQ(d.name(circle.layer), "阀门");
  EXPECT_EQ(d.name(circle.linetype), "ORVDASH");
  const db::Layer* layer = d.layers().get("阀门");
  ASSERT_NE(layer, nullptr);
  EXPECT_EQ(layer->color, 1);
  EXPECT_EQ(layer->linetype, "ORVLAYER");
  const db::Linetype* dash = d.linetypes().get("ORVDASH");
  const db::Linetype* layerType = d.linetypes().get("ORVLAYER");
  ASSERT_TRUE(dash && layerType);
  EXPECT_EQ(dash->elements.size(), 2u);
  EXPECT_DOUBLE_EQ(layerType->totalLength, 5.0);
}

TEST_F(SideDatabase, wblockTakesOnlyTheGivenEntitiesAndRefusesOthers) {
  AcDbDatabase side(false, true);
  ASSERT_EQ(side.readDwgFile(wide(library_).c_str()), Acad::eOk);
  AcDbObjectIdArray ids;
  ids.append(firstReference(side, L"GATE"));
  AcDbDatabase* out = nullptr;
  ASSERT_EQ(side.wblock(out, ids, AcGePoint3d(5, 6, 0)), Acad::eOk);
  std::unique_ptr<AcDbDatabase> owned(out);
  const db::Database& o = databaseOf(out);
  std::size_t inModel = 0;
  o.forEachEntity(o.modelSpace(), [&](db::ObjectId, const db::Entity&) { ++inModel; });
  EXPECT_EQ(inModel, 1u) << "the line and the second reference stay behind";
  EXPECT_EQ(o.header.insertionBase, (db::Point3{5, 6, 0}));

  AcDbObjectIdArray foreign;
  foreign.append(AcDbObjectId(&drawing_, AcDbObjectId::Kind::kEntity, 0));
  AcDbDatabase* none = nullptr;
  EXPECT_EQ(side.wblock(none, foreign, AcGePoint3d::kOrigin), Acad::eWrongDatabase);
  AcDbObjectIdArray record;
  record.append(AcDbObjectId(&side, AcDbObjectId::Kind::kBlockTableRecord, 2));
  EXPECT_EQ(side.wblock(none, record, AcGePoint3d::kOrigin), Acad::eNotAnEntity);
  AcDbObjectIdArray insideBlock;  // the polyline of GATE is no model-space entity
  insideBlock.append(orv::sdk::entityId(&side, databaseOf(&side).block(*databaseOf(&side).findBlock("GATE")).entities[0]));
  EXPECT_EQ(side.wblock(none, insideBlock, AcGePoint3d::kOrigin), Acad::eInvalidInput);
  EXPECT_EQ(none, nullptr);
}

TEST_F(SideDatabase, aBlockNameTheDrawingHoldsKeepsTheDrawingsDefinition) {
  db::Database& d = databaseOf(&drawing_);
  const db::BlockId mine = orv::test::mustAddBlock(d, "Gate");
  orv::test::mustAppend(d, db::Entity(db::Line{{0, 0, 0}, {1, 1, 0}}), mine);
  ASSERT_EQ(bringGate(drawing_), Acad::eOk);

  EXPECT_EQ(*d.findBlock("GATE"), mine);
  ASSERT_EQ(d.block(mine).entities.size(), 1u);
  EXPECT_EQ(d.entity(d.block(mine).entities[0])->kind(), db::EntityKind::line);
  EXPECT_EQ(d.block(mine).name, "Gate");
  EXPECT_EQ(d.entity(d.lastEntity())->as<db::BlockReference>()->block, mine);
}

TEST_F(SideDatabase, undoTakesBackAWholeInsert) {
  db::Database& d = databaseOf(&drawing_);
  orv::test::mustAppend(d, db::Entity(db::Line{{0, 0, 0}, {1, 0, 0}}), d.modelSpace());
  const Footprint before = footprint(d);
  d.beginUndoGroup();
  ASSERT_EQ(bringGate(drawing_), Acad::eOk);
  d.endUndoGroup();
  ASSERT_EQ(d.undoGroupCount(), before.undoGroups + 1);
  ASSERT_EQ(d.undo(), db::Status::ok);

  EXPECT_FALSE(d.findBlock("GATE"));
  EXPECT_FALSE(d.findBlock("BOLT"));
  EXPECT_FALSE(d.layers().find("阀门"));
  EXPECT_FALSE(d.linetypes().find("ORVDASH"));
  EXPECT_FALSE(d.linetypes().find("ORVLAYER"));
  EXPECT_EQ(d.lastEntity(), before.last);
  // And the same block comes in again afterwards.
  ASSERT_EQ(bringGate(drawing_), Acad::eOk);
  EXPECT_TRUE(d.findBlock("GATE"));
}

TEST_F(SideDatabase, aFailedInsertLeavesTheDrawingUntouched) {
  // A source whose block uses a layer with no name: it cannot be merged.
  auto source = std::make_unique<db::Database>();
  source->ensureRequiredContent();
  const db::BlockId good = orv::test::mustAddBlock(*source, "AAA");
  orv::test::mustAppend(*source, db::Entity(db::Line{{0, 0, 0}, {1, 0, 0}}), good);
  const db::BlockId bad = orv::test::mustAddBlock(*source, "ZZZ");
  db::Entity unnamed(db::Line{{0, 0, 0}, {1, 0, 0}});
  unnamed.layer = source->intern("");
  ASSERT_TRUE(source->appendRead(unnamed, bad, 0, {}).ok());
  source->appendRead(orv::test::referenceTo(bad), source->modelSpace(), 0, {});
  AcDbDatabase wrapped(std::make_unique<AcDbDatabase::Impl>(std::move(source)));

  db::Database& d = databaseOf(&drawing_);
  const std::size_t groups = d.undoGroupCount();
  d.beginUndoGroup();
  const Footprint before = footprint(d);
  EXPECT_EQ(drawing_.insert(AcGeMatrix3d::kIdentity, &wrapped), Acad::eInvalidInput);
  EXPECT_EQ(footprint(d), before);
  EXPECT_FALSE(d.findBlock("AAA"));
  d.endUndoGroup();
  EXPECT_EQ(d.undoGroupCount(), groups) << "nothing was recorded";

  EXPECT_EQ(drawing_.insert(AcGeMatrix3d::kIdentity, nullptr), Acad::eInvalidInput);
  EXPECT_EQ(drawing_.insert(AcGeMatrix3d::kIdentity, &drawing_), Acad::eInvalidInput);
}

}  // namespace
