// MTEXT under moves, turns, scales and mirrors (readable after a mirror, its box on the
// mirrored side), maps it cannot follow, its grip and the box its shape estimates.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"
#include "orv/db/database.h"

namespace orv::core {
namespace {

db::MText mtext(db::Point3 at, db::MTextAttachment a = db::MTextAttachment::topLeft, bool byVector = false) {
  db::MText m = db::makeMText(at, 2, "AB\\PCD");
  m.width = 10;
  m.attachment = a;
  if (byVector) {
    m.hasXDirection = true;
    m.xDirection = {1, 0, 0};
  }
  return m;
}

TEST(MTextKind, movedTurnedScaledAndMirroredReadable) {
  using A = db::MTextAttachment;
  struct Case {
    const char* what;
    db::MText before;
    Affine2 map;
    db::Point3 position;
    double angle;
    A attachment;
    double scale;
  } cases[] = {
      {"turned a quarter and scaled twice about the origin", mtext({1, 0, 0}),
       Affine2::rotation({0, 0}, 90).after(Affine2::scaling({0, 0}, 2)), {0, 2, 0}, 90, A::topLeft, 2},
      {"turned by its direction vector", mtext({1, 0, 0}, A::topLeft, true), Affine2::rotation({0, 0}, 90),
       {0, 1, 0}, 90, A::topLeft, 1},
      {"mirrored in the y axis: read the other way, so hung by its right side", mtext({10, 0, 0}),
       Affine2::mirror({0, 0}, {0, 1}), {-10, 0, 0}, 0, A::topRight, 1},
      {"mirrored in the x axis: the same way along, hung by its bottom", mtext({10, 5, 0}, A::topCenter),
       Affine2::mirror({0, 0}, {1, 0}), {10, -5, 0}, 0, A::bottomCenter, 1},
      {"middle centre mirrored: still middle centre", mtext({4, 4, 0}, A::middleCenter),
       Affine2::mirror({0, 0}, {0, 1}), {-4, 4, 0}, 0, A::middleCenter, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db::Database d = db::Database::newDrawing();
    auto id = d.append(db::Entity(c.before));
    ASSERT_TRUE(id);
    auto moved = transformEntity(d, *id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved)) << std::get<std::string>(moved);
    const db::MText& m = *std::get<db::Entity>(moved).as<db::MText>();
    EXPECT_NEAR(m.position.x, c.position.x, 1e-9);
    EXPECT_NEAR(m.position.y, c.position.y, 1e-9);
    EXPECT_NEAR(std::fmod(m.angle() + 360, 360), c.angle, 1e-9);
    EXPECT_EQ(m.attachment, c.attachment);
    EXPECT_NEAR(m.height, 2 * c.scale, 1e-12);
    EXPECT_NEAR(m.width, 10 * c.scale, 1e-12);
    EXPECT_EQ(m.hasXDirection, c.before.hasXDirection);
    if (c.before.hasXDirection) EXPECT_EQ(m.rotation, 0) << "a direction given by vector only stays so";
  }
}

TEST(MTextKind, mapsItCannotFollowAreRefused) {
  db::Database d = db::Database::newDrawing();
  db::MText tilted = mtext({0, 0, 0});
  tilted.extrusion = {1, 0, 0};
  const auto flat = d.append(db::Entity(mtext({0, 0, 0})));
  const auto upright = d.append(db::Entity(tilted));
  ASSERT_TRUE(flat && upright);
  Affine2 uneven;
  uneven.a = 2;  // x doubled, y kept
  ASSERT_FALSE(uneven.isSimilarity());
  const auto refused = transformEntity(d, *flat, uneven);
  ASSERT_TRUE(std::holds_alternative<std::string>(refused));
  EXPECT_EQ(std::get<std::string>(refused), "只能均匀缩放");
  const auto tiltedRefused = transformEntity(d, *upright, Affine2::rotation({0, 0}, 30));
  ASSERT_TRUE(std::holds_alternative<std::string>(tiltedRefused));
  EXPECT_EQ(std::get<std::string>(tiltedRefused), "其所在平面与 XY 平面不平行");
  // A map that takes it past every number.
  const auto far = d.append(db::Entity(mtext({1e300, 0, 0})));
  ASSERT_TRUE(far);
  const auto overflowed = transformEntity(d, *far, Affine2::scaling({0, 0}, 1e10));
  ASSERT_TRUE(std::holds_alternative<std::string>(overflowed));
  EXPECT_EQ(std::get<std::string>(overflowed), "变换后的数值无效");
}

TEST(MTextKind, gripAndBox) {
  db::Database d = db::Database::newDrawing();
  const auto top = d.append(db::Entity(mtext({0, 10, 0})));
  const auto bottom = d.append(db::Entity(mtext({0, 10, 0}, db::MTextAttachment::bottomRight)));
  ASSERT_TRUE(top && bottom);
  const auto grips = gripPoints(d, *d.entity(*top));
  ASSERT_EQ(grips.size(), 1u);
  EXPECT_EQ(grips[0].point, (Vec2{0, 10}));
  const auto moved = moveGrip(*d.entity(*top), grips[0], {5, 5});
  ASSERT_TRUE(std::holds_alternative<MoveWhole>(moved)) << "its insertion grip moves it whole";
  // Two lines of height 2 spaced 5/3 of it, hung from the top left; from the bottom right.
  const double tall = 2 * (1 + 5.0 / 3.0);
  const Box2 a = entityBox(d, *top), b = entityBox(d, *bottom);
  EXPECT_NEAR(a.minX, 0, 1e-9);
  EXPECT_NEAR(a.maxX, 10, 1e-9);
  EXPECT_NEAR(a.maxY, 10, 1e-9);
  EXPECT_NEAR(a.minY, 10 - tall, 1e-9);
  EXPECT_NEAR(b.maxX, 0, 1e-9);
  EXPECT_NEAR(b.minX, -10, 1e-9);
  EXPECT_NEAR(b.minY, 10, 1e-9);
  EXPECT_NEAR(b.maxY, 10 + tall, 1e-9);
}

}  // namespace
}  // namespace orv::core
