// The drawing database: a new drawing's content, appending, erasing, lookup, handles and tables.
#include <gtest/gtest.h>

#include <limits>

#include "orv/db/database.h"

namespace orv::db {
namespace {

Entity lineEntity(double x) { return Entity(Line{{x, 0, 0}, {x + 1, 0, 0}}); }

TEST(NewDrawing, holdsLayerZeroStandardAndTheLinetypes) {
  Database d = Database::newDrawing();
  const Layer* zero = d.layers().get("0");
  ASSERT_NE(zero, nullptr);
  EXPECT_EQ(zero->color, 7);
  EXPECT_EQ(zero->linetype, "Continuous");
  EXPECT_NE(d.textStyles().get("standard"), nullptr);  // names compare without case
  for (const char* n : {"ByBlock", "ByLayer", "Continuous", "CENTER", "DASHED", "HIDDEN",
                        "PHANTOM", "DASHDOT", "DOT", "DIVIDE", "BORDER"})
    EXPECT_TRUE(d.linetypes().get(n)) << n;
  const Linetype* center = d.linetypes().get("CENTER");
  ASSERT_EQ(center->elements.size(), 4u);
  EXPECT_DOUBLE_EQ(center->totalLength, 50.8);
  EXPECT_EQ(center->elements[1].length, -6.35);
  EXPECT_DOUBLE_EQ(d.linetypes().get("BORDER")->totalLength, 44.45);
  EXPECT_TRUE(d.lastEntity().isNull());
}

TEST(Database, appendsInCreationOrderWithUniqueHandlesBelowTheSeed) {
  Database d = Database::newDrawing();
  std::vector<ObjectId> ids;
  for (int i = 0; i < 5; ++i) ids.push_back(*d.append(lineEntity(i)));
  std::vector<ObjectId> seen;
  std::vector<Handle> handles;
  d.forEachEntity(d.modelSpace(), [&](ObjectId id, const Entity& e) {
    seen.push_back(id);
    handles.push_back(e.handle());
    EXPECT_LT(e.handle(), d.handseed());
  });
  EXPECT_EQ(seen, ids);
  std::sort(handles.begin(), handles.end());
  EXPECT_EQ(std::adjacent_find(handles.begin(), handles.end()), handles.end());
  EXPECT_EQ(d.lastEntity(), ids.back());
}

TEST(Database, refusesEntitiesThatWouldCorruptTheDrawing) {
  Database d = Database::newDrawing();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(d.append(Entity(Line{{nan, 0, 0}, {1, 1, 0}})).status(), Status::invalidInput);
  Entity badColor = lineEntity(0);
  badColor.color = 300;
  EXPECT_EQ(d.append(badColor).status(), Status::invalidInput);
  Entity noLinetype = lineEntity(0);
  noLinetype.linetype = d.intern("NOSUCH");
  EXPECT_EQ(d.append(noLinetype).status(), Status::notFound);
  Entity noLayer = lineEntity(0);
  noLayer.layer = d.intern("nosuchlayer");
  EXPECT_EQ(d.append(noLayer).status(), Status::notFound);
  EXPECT_EQ(d.append(Entity(BlockReference{BlockId{99}, {}})).status(), Status::notFound);
  EXPECT_EQ(d.append(Entity(BlockReference{d.modelSpace(), {}})).status(), Status::selfReference);
  EXPECT_TRUE(d.lastEntity().isNull());
  ObjectId id = *d.append(lineEntity(0));
  EXPECT_EQ(d.replace(id, Entity(Circle{{0, 0, nan}, 1})), Status::invalidInput);
  EXPECT_EQ(d.entity(id)->kind(), EntityKind::line);
}

TEST(Database, refusesBlocksThatContainThemselves) {
  Database d = Database::newDrawing();
  BlockId a = *d.addBlock("A", {});
  BlockId b = *d.addBlock("B", {});
  ASSERT_TRUE(d.append(Entity(BlockReference{b, {}}), a));
  EXPECT_EQ(d.append(Entity(BlockReference{a, {}}), b).status(), Status::selfReference);
  EXPECT_EQ(d.append(Entity(BlockReference{a, {}}), a).status(), Status::selfReference);
  EXPECT_EQ(d.addBlock("a", {}).status(), Status::duplicateName);
}

TEST(Database, erasedEntitiesKeepTheirIdButLeaveIterationAndLastEntity) {
  Database d = Database::newDrawing();
  ObjectId first = *d.append(lineEntity(0));
  ObjectId second = *d.append(lineEntity(1));
  ASSERT_EQ(d.erase(second), Status::ok);
  EXPECT_EQ(d.erase(second), Status::wasErased);
  EXPECT_EQ(d.lastEntity(), first);
  ASSERT_NE(d.entity(second), nullptr);
  EXPECT_TRUE(d.entity(second)->isErased());
  int count = 0;
  d.forEachEntity(d.modelSpace(), [&](ObjectId, const Entity&) { ++count; });
  EXPECT_EQ(count, 1);
  EXPECT_EQ(d.replace(second, lineEntity(5)), Status::wasErased);
  EXPECT_EQ(d.entity(ObjectId{12345}), nullptr);
  EXPECT_EQ(d.erase(ObjectId{}), Status::notFound);
}

TEST(Database, replaceKeepsHandleAndOwner) {
  Database d = Database::newDrawing();
  BlockId b = *d.addBlock("B", {});
  ObjectId id = *d.append(lineEntity(0), b);
  const Handle h = d.entity(id)->handle();
  Entity circle(Circle{{1, 2, 3}, 4});
  circle.color = 1;
  ASSERT_EQ(d.replace(id, circle), Status::ok);
  EXPECT_EQ(d.entity(id)->handle(), h);
  EXPECT_EQ(d.entity(id)->owner(), b);
  EXPECT_EQ(d.entity(id)->color, 1);
  EXPECT_EQ(std::get<Circle>(d.entity(id)->geometry).radius, 4);
}

TEST(Database, tablesFindNamesWithoutRegardToCaseAndRefuseDuplicates) {
  Database d = Database::newDrawing();
  Layer l;
  l.name = "Pipe";
  ASSERT_TRUE(d.addLayer(l));
  l.name = "PIPE";
  EXPECT_EQ(d.addLayer(l).status(), Status::duplicateName);
  l.name = "Other";
  l.linetype = "NOSUCH";
  EXPECT_EQ(d.addLayer(l).status(), Status::notFound);
  EXPECT_TRUE(d.hasLinetype("bylayer"));
  EXPECT_TRUE(d.hasLinetype("center"));
  EXPECT_FALSE(d.hasLinetype("nosuch"));
  Entity e = lineEntity(0);
  e.layer = d.intern("pipe");
  EXPECT_TRUE(d.append(e));
}

TEST(Database, readHandlesRaiseTheSeed) {
  Database d;
  ObjectId id = *d.appendRead(lineEntity(0), d.modelSpace(), 0x2F0, {});
  EXPECT_EQ(d.entity(id)->handle(), 0x2F0u);
  EXPECT_GT(d.handseed(), 0x2F0u);
  EXPECT_GT(d.newHandle(), 0x2F0u);
}

}  // namespace
}  // namespace orv::db
