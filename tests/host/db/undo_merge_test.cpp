// Undo groups that take back a whole command, and merging a block definition from another drawing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "orv/db/database.h"

namespace orv::db {
namespace {

Entity lineEntity(double x) { return Entity(Line{{x, 0, 0}, {x + 1, 0, 0}}); }

std::size_t liveCount(const Database& d, BlockId b) {
  std::size_t n = 0;
  d.forEachEntity(b, [&](ObjectId, const Entity&) { ++n; });
  return n;
}

TEST(Undo, aGroupThatChangedNothingIsNotAStep) {
  Database d = Database::newDrawing();
  d.beginUndoGroup();
  ObjectId first = *d.append(lineEntity(0));
  d.endUndoGroup();
  d.beginUndoGroup();  // a command that only asked questions
  d.endUndoGroup();
  EXPECT_EQ(d.undoGroupCount(), 1u);
  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_TRUE(d.entity(first)->isErased());
  EXPECT_EQ(d.undo(), Status::nothingToUndo);
}

TEST(Undo, takesBackTheWholeLastGroupOnly) {
  Database d = Database::newDrawing();
  d.beginUndoGroup();
  ObjectId kept = *d.append(lineEntity(0));
  d.endUndoGroup();

  d.beginUndoGroup();
  ObjectId a = *d.append(lineEntity(1));
  d.beginUndoGroup();  // nested: part of the same command
  *d.append(lineEntity(2));
  d.endUndoGroup();
  ASSERT_EQ(d.erase(kept), Status::ok);
  Entity moved = lineEntity(10);
  ASSERT_EQ(d.replace(a, moved), Status::ok);
  ASSERT_EQ(d.replace(a, lineEntity(20)), Status::ok);
  d.endUndoGroup();
  EXPECT_EQ(d.undoGroupCount(), 2u);

  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_EQ(liveCount(d, d.modelSpace()), 1u);
  EXPECT_FALSE(d.entity(kept)->isErased());
  EXPECT_EQ(d.lastEntity(), kept);
  EXPECT_EQ(std::get<Line>(d.entity(kept)->geometry).start.x, 0);

  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_EQ(liveCount(d, d.modelSpace()), 0u);
  EXPECT_EQ(d.undo(), Status::nothingToUndo);
}

TEST(Undo, restoresTheValueBeforeTheFirstChangeOfAGroup) {
  Database d = Database::newDrawing();
  ObjectId id = *d.append(lineEntity(0));
  Entity styled = lineEntity(0);
  d.beginUndoGroup();
  styled.color = 1;
  d.replace(id, styled);
  styled.color = 2;
  d.replace(id, styled);
  d.endUndoGroup();
  d.undo();
  EXPECT_EQ(d.entity(id)->color, color::byLayer);
}

// The drawing's observable state: live entities with their geometry and colour, the
// layers with their colours, the current layer and the blocks found by name.
std::string snapshot(const Database& d) {
  std::string out;
  d.forEachEntity(d.modelSpace(), [&](ObjectId id, const Entity& e) {
    const auto* l = e.as<Line>();
    out += std::to_string(id.index) + ":" + (l ? std::to_string(l->start.x) : "?") + "/" +
           std::to_string(e.color) + " ";
  });
  for (const Layer& layer : d.layers()) out += layer.name + "=" + std::to_string(layer.color) + " ";
  out += "current=" + d.header.currentLayer;
  out += d.findBlock("B") ? " B" : " -";
  return out;
}

TEST(Redo, putsBackEveryKindOfChangeAndUndoTakesItBackAgain) {
  Database d = Database::newDrawing();
  ObjectId kept = *d.append(lineEntity(0));
  const std::string before = snapshot(d);

  d.beginUndoGroup();
  ObjectId a = *d.append(lineEntity(1));
  *d.append(lineEntity(2));
  ASSERT_EQ(d.erase(a), Status::ok);  // appended and erased in one step
  Entity moved = lineEntity(5);
  moved.color = 3;
  ASSERT_EQ(d.replace(kept, moved), Status::ok);
  Layer pipes;
  pipes.name = "PIPES";
  ASSERT_TRUE(d.addLayer(pipes));
  Layer red = d.layers()[*d.layers().find("PIPES")];
  red.color = 1;
  ASSERT_EQ(d.changeLayer(*d.layers().find("PIPES"), red), Status::ok);
  ASSERT_EQ(d.setCurrentLayer("pipes"), Status::ok);
  ASSERT_TRUE(d.addBlock("B", {}));
  d.endUndoGroup();
  const std::string after = snapshot(d);
  EXPECT_EQ(d.header.currentLayer, "PIPES") << "the layer's own spelling";

  for (int round = 0; round < 3; ++round) {
    ASSERT_EQ(d.undo(), Status::ok);
    EXPECT_EQ(snapshot(d), before);
    EXPECT_EQ(d.undo(), Status::nothingToUndo);
    ASSERT_EQ(d.redoGroupCount(), 1u);
    ASSERT_EQ(d.redo(), Status::ok);
    EXPECT_EQ(snapshot(d), after);
    EXPECT_EQ(d.redo(), Status::nothingToUndo);
  }
  EXPECT_EQ(d.lastEntity().index, a.index + 1);
}

TEST(Redo, aNewChangeMakesWhatWasUndoneUnreachableAndAnEmptyStepDoesNot) {
  Database d = Database::newDrawing();
  d.beginUndoGroup();
  d.append(lineEntity(1));
  d.endUndoGroup();
  d.undo();
  d.beginUndoGroup();  // asked questions only
  d.endUndoGroup();
  EXPECT_EQ(d.redoGroupCount(), 1u);
  d.beginUndoGroup();
  d.append(lineEntity(2));
  d.endUndoGroup();
  EXPECT_EQ(d.redoGroupCount(), 0u);
  EXPECT_EQ(d.redo(), Status::nothingToUndo);
}

TEST(Observer, isToldOfEveryEntityChangeUndoAndRedoIncluded) {
  struct Counting : ChangeObserver {
    std::vector<std::uint32_t> ids;
    int tables = 0;
    void entityChanged(ObjectId id) override { ids.push_back(id.index); }
    void tablesChanged() override { ++tables; }
  } seen;
  Database d = Database::newDrawing();
  d.setObserver(&seen);
  d.beginUndoGroup();
  ObjectId a = *d.append(lineEntity(1));
  d.replace(a, lineEntity(2));
  d.setCurrentLayer("0");  // already current: no change
  d.endUndoGroup();
  d.undo();
  d.redo();
  d.erase(a);
  EXPECT_EQ(seen.ids, (std::vector<std::uint32_t>{a.index, a.index, a.index, a.index, a.index, a.index, a.index}));
  EXPECT_EQ(seen.tables, 0);
  Database moved = std::move(d);
  moved.append(lineEntity(3));
  EXPECT_EQ(seen.ids.size(), 7u) << "a move leaves the observer behind";
}

TEST(Undo, recordsNothingOutsideAGroup) {
  Database d = Database::newDrawing();
  for (int i = 0; i < 100; ++i) d.append(lineEntity(i));
  EXPECT_EQ(d.undoGroupCount(), 0u);
  EXPECT_EQ(d.undo(), Status::nothingToUndo);
  EXPECT_EQ(liveCount(d, d.modelSpace()), 100u);
}

// A library drawing: block "阀门" on layer "阀", linetype "DASHED", with a nested block.
Database libraryDrawing() {
  Database lib = Database::newDrawing();
  Layer layer;
  layer.name = "阀";
  layer.color = 4;
  layer.linetype = "DASHED";
  lib.addLayer(layer);
  BlockId nested = *lib.addBlock("手轮", {});
  Entity rim(Circle{{0, 0, 0}, 5});
  rim.layer = lib.intern("阀");
  lib.append(rim, nested);
  BlockId valve = *lib.addBlock("阀门", {1, 2, 0});
  lib.editBlock(valve).preview = {1, 2, 3};
  Entity body = lineEntity(0);
  body.linetype = lib.intern("PHANTOM");
  lib.append(body, valve);
  lib.append(Entity(BlockReference{nested, {150, 0, 0}}), valve);
  lib.append(Entity(BlockReference{valve, {}}));
  return lib;
}

TEST(MergeBlock, bringsTheBlockWithNestedBlocksLayersAndLinetypes) {
  Database lib = libraryDrawing();
  Database d;  // bare: nothing but model and paper space
  d.ensureRequiredContent();
  auto merged = d.mergeBlock(lib, "阀门");
  ASSERT_TRUE(merged) << merged.error().message;
  const BlockDefinition& valve = d.block(*merged);
  EXPECT_EQ(valve.base, (Point3{1, 2, 0}));
  EXPECT_EQ(valve.preview, (std::vector<std::uint8_t>{1, 2, 3}));
  ASSERT_EQ(valve.entities.size(), 2u);
  const auto& ref = std::get<BlockReference>(d.entity(valve.entities[1])->geometry);
  EXPECT_EQ(d.block(ref.block).name, "手轮");
  ASSERT_NE(d.layers().get("阀"), nullptr);
  EXPECT_EQ(d.layers().get("阀")->color, 4);
  EXPECT_TRUE(d.linetypes().get("DASHED"));   // the layer's linetype
  EXPECT_TRUE(d.linetypes().get("PHANTOM"));  // an entity's linetype
  EXPECT_EQ(d.name(d.entity(valve.entities[0])->linetype), "PHANTOM");
  EXPECT_TRUE(d.lastEntity().isNull());  // model space is left alone
  // Handles are this drawing's own.
  EXPECT_LT(d.entity(valve.entities[0])->handle(), d.handseed());
}

// An old-style polyline's vertices and SEQEND name layers and linetypes of their own:
// they come along, under this drawing's ids for the names.
TEST(MergeBlock, bringsTheLayersAndLinetypesOfAnOldStylePolylinesParts) {
  Database lib = Database::newDrawing();
  Layer layer;
  layer.name = "顶点";
  layer.linetype = "DASHED";
  lib.addLayer(layer);
  HeavyPolyline p;
  p.flags = HeavyPolyline::polyline3d;
  for (double x : {0.0, 5.0}) {
    HeavyVertex v;
    v.point = {x, 1, 2};
    v.flags = HeavyVertex::polyline3d;
    v.common.layer = lib.intern("顶点");
    p.vertices.push_back(v);
  }
  p.vertices[1].common.linetype = lib.intern("PHANTOM");
  p.seqend.layer = lib.intern("尾");
  BlockId part = *lib.addBlock("管件", {});
  ASSERT_TRUE(lib.append(Entity(p), part));

  Database d = Database::newDrawing();
  for (const char* other : {"甲", "乙", "丙"}) d.intern(other);  // the same names get other ids here
  auto merged = d.mergeBlock(lib, "管件");
  ASSERT_TRUE(merged) << merged.error().message;
  const auto* copy = d.entity(d.block(*merged).entities.at(0))->as<HeavyPolyline>();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(d.name(copy->vertices[0].common.layer), "顶点");
  EXPECT_EQ(d.name(copy->vertices[1].common.linetype), "PHANTOM");
  EXPECT_EQ(d.name(copy->seqend.layer), "尾");
  ASSERT_NE(d.layers().get("顶点"), nullptr);
  EXPECT_NE(d.layers().get("尾"), nullptr);
  EXPECT_TRUE(d.linetypes().get("DASHED"));
  EXPECT_TRUE(d.linetypes().get("PHANTOM"));
}

TEST(MergeBlock, keepsThisDrawingsDefinitionOfAName) {
  Database lib = libraryDrawing();
  Database d = Database::newDrawing();
  BlockId mine = *d.addBlock("阀门", {});
  d.append(lineEntity(7), mine);
  auto merged = d.mergeBlock(lib, "阀门");
  ASSERT_TRUE(merged);
  EXPECT_EQ(*merged, mine);
  EXPECT_EQ(d.block(mine).entities.size(), 1u);
  EXPECT_FALSE(d.findBlock("手轮"));
  EXPECT_EQ(d.mergeBlock(lib, "nosuch").status(), Status::notFound);
}

TEST(MergeBlock, isTakenBackByOneUndo) {
  Database lib = libraryDrawing();
  Database d = Database::newDrawing();
  const std::size_t layers = d.layers().size(), linetypes = d.linetypes().size();
  d.beginUndoGroup();
  auto merged = d.mergeBlock(lib, "阀门");
  ASSERT_TRUE(merged);
  d.append(Entity(BlockReference{*merged, {}}));
  d.endUndoGroup();
  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_FALSE(d.findBlock("阀门"));
  EXPECT_FALSE(d.findBlock("手轮"));
  EXPECT_EQ(d.layers().size(), layers);
  EXPECT_EQ(d.linetypes().size(), linetypes);
  EXPECT_TRUE(d.lastEntity().isNull());
  // The name is free again.
  EXPECT_TRUE(d.mergeBlock(lib, "阀门"));
}

}  // namespace
}  // namespace orv::db
