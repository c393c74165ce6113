// The kinds described by tables: their checks, the order of a solid's corners, and kinds held in a box.
#include "orv/db/kinds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "orv/db/database.h"

namespace orv::db {
namespace {

Solid square(Solid::Type type) {
  Solid s;
  s.type = type;
  s.corners = {Point3{0, 0, 0}, Point3{1, 0, 0}, Point3{0, 1, 0}, Point3{1, 1, 0}};
  return s;
}

TEST(DescribedKinds, valuesAreValidOnlyWhenFiniteWithAnExtrusion) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  Point p;
  EXPECT_EQ(validate(p), Status::ok);
  struct Case {
    const char* what;
    Geometry g;
    Status want;
  } cases[] = {
      {"a point", Point{{1, 2, 3}, 0, {0, 0, -1}, 45}, Status::ok},
      {"a point nowhere", Point{{std::nan(""), 0, 0}}, Status::invalidInput},
      {"an endless thickness", Point{{0, 0, 0}, inf}, Status::invalidInput},
      {"an extrusion of no length", Point{{0, 0, 0}, 0, {0, 0, 0}}, Status::invalidInput},
      {"a square solid", Boxed<Solid>(square(Solid::Type::solid)), Status::ok},
      {"a corner far off", [=] {
         Solid s = square(Solid::Type::face);
         s.corners[3].y = inf;
         return Geometry(Boxed<Solid>(s));
       }(), Status::invalidInput},
  };
  for (const Case& c : cases) EXPECT_EQ(validate(c.g), c.want) << c.what;
}

TEST(DescribedKinds, solidsGoRoundTheirCornersInTheOrderTheyFill) {
  struct Case {
    const char* what;
    Solid solid;
    int count;
    std::array<Point3, 4> outline;
  } cases[] = {
      {"a solid lists its last two corners the other way round", square(Solid::Type::solid), 4,
       {Point3{0, 0, 0}, Point3{1, 0, 0}, Point3{1, 1, 0}, Point3{0, 1, 0}}},
      {"a face lists them in order", square(Solid::Type::face), 4,
       {Point3{0, 0, 0}, Point3{1, 0, 0}, Point3{0, 1, 0}, Point3{1, 1, 0}}},
      {"a triangle repeats its third", [] {
         Solid s = square(Solid::Type::trace);
         s.corners[3] = s.corners[2];
         return s;
       }(), 3, {Point3{0, 0, 0}, Point3{1, 0, 0}, Point3{0, 1, 0}, Point3{0, 1, 0}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.solid.cornerCount(), c.count);
    EXPECT_EQ(c.solid.outline(), c.outline);
  }
}

TEST(DescribedKinds, aSolidIsHeldInABoxThatCopiesAsAValue) {
  Database d = Database::newDrawing();
  // Made and appended as a line is.
  const ObjectId id = *d.append(Entity(Solid::through(Solid::Type::solid, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}, Point3{1, 1, 0})));
  EXPECT_EQ(*d.entity(id)->as<Solid>(), square(Solid::Type::solid));
  const ObjectId triangle = *d.append(Entity(Solid::through(Solid::Type::trace, {0, 0, 0}, {1, 0, 0}, {0, 1, 0})));
  EXPECT_EQ(d.entity(triangle)->as<Solid>()->cornerCount(), 3);
  const ObjectId ellipse = *d.append(Entity(Ellipse{{1, 1, 0}, {2, 0, 0}}));
  EXPECT_EQ(d.entity(ellipse)->kind(), EntityKind::ellipse);
  EXPECT_EQ(d.append(Entity(Ellipse{{1, 1, 0}, {0, 0, 0}})).status(), Status::invalidInput) << "no axis";
  Entity copy = *d.entity(id);
  copy.as<Solid>()->corners[0].x = 5;
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 0) << "the copy has its own corners";
  EXPECT_FALSE(copy.geometry == d.entity(id)->geometry);
  d.beginUndoGroup();
  ASSERT_EQ(d.replace(id, copy), Status::ok);
  d.endUndoGroup();
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 5);
  ASSERT_EQ(d.undo(), Status::ok);
  EXPECT_EQ(d.entity(id)->as<Solid>()->corners[0].x, 0) << "undo brings the old corners back";
  EXPECT_EQ(d.entity(id)->kind(), EntityKind::solid);
  EXPECT_EQ(d.entity(id)->as<Point>(), nullptr);
}

}  // namespace
}  // namespace orv::db
