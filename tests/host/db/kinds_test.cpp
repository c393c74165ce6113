// A solid held in a box: made and appended as a line is, copied as a value, undone.
// Reading, checking and writing the described kinds is tested with DXF files
// (tests/host/dxf/described_kinds_test.cpp).
#include "orv/db/kinds.h"

#include <gtest/gtest.h>

#include "orv/db/database.h"

namespace orv::db {
namespace {

TEST(DescribedKinds, aSolidIsHeldInABoxThatCopiesAsAValue) {
  Database d = Database::newDrawing();
  const ObjectId id = *d.append(Entity(Solid::through(Solid::Type::solid, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, Point3{1, 1, 0})));
  EXPECT_EQ(d.entity(id)->as<Solid>()->outline()[2], (Point3{1, 1, 0})) << "a solid's last two corners swap";
  const ObjectId triangle = *d.append(Entity(Solid::through(Solid::Type::trace, {0, 0, 0}, {1, 0, 0}, {0, 1, 0})));
  EXPECT_EQ(d.entity(triangle)->as<Solid>()->cornerCount(), 3);
  EXPECT_EQ(d.append(Entity(Ellipse{{1, 1, 0}, {0, 0, 0}})).status(), Status::invalidInput) << "no axis";
  Entity copy = *d.entity(id);
  copy.as<Solid>()->corners[0].x = 5;
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 0) << "the copy has its own corners";
  d.beginUndoGroup();
  ASSERT_EQ(d.replace(id, copy), Status::ok);
  d.endUndoGroup();
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 5);
  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 0) << "undo brings the old corners back";
}

}  // namespace
}  // namespace orv::db
