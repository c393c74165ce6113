// One-line text under moves, turns, scales and mirrors (readable after a mirror), its grips
// and the box its shape estimates.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/core/grips.h"
#include "orv/core/shapes.h"
#include "orv/core/transform.h"
#include "orv/db/database.h"

namespace orv::core {
namespace {

db::Text text(db::Point3 at, double height, db::TextHAlign h = db::TextHAlign::left,
              db::TextVAlign v = db::TextVAlign::baseline, std::optional<db::Point3> second = std::nullopt) {
  db::Text t = db::makeText(at, height, "ABC");
  t.hAlign = h;
  t.vAlign = v;
  if (t.placedByAlignPoint()) {
    t.alignPoint = second.value_or(at);
    t.hasAlignPoint = true;
  }
  return t;
}

void expectNear(db::Point3 got, db::Point3 want, const char* what) {
  EXPECT_NEAR(got.x, want.x, 1e-9) << what;
  EXPECT_NEAR(got.y, want.y, 1e-9) << what;
}

TEST(TextKinds, movedTurnedScaledAndMirroredReadable) {
  using H = db::TextHAlign;
  using V = db::TextVAlign;
  struct Case {
    const char* what;
    db::Text before;
    Affine2 map;
    H h;
    V v;
    db::Point3 position;   // where it stands after (alignment point when placed by it)
    double rotation;
    double height;
  } cases[] = {
      {"turned a quarter and scaled twice about the origin", text({1, 0, 0}, 1),
       Affine2::rotation({0, 0}, 90).after(Affine2::scaling({0, 0}, 2)), H::left, V::baseline, {0, 2, 0}, 90, 2},
      {"mirrored in the y axis: read the other way, so right-aligned where it started",
       text({10, 0, 0}, 1), Affine2::mirror({0, 0}, {0, 1}), H::right, V::baseline, {-10, 0, 0}, 0, 1},
      {"mirrored in the x axis: the same way along, top and bottom exchanged",
       text({10, 5, 0}, 1), Affine2::mirror({0, 0}, {1, 0}), H::left, V::top, {10, -5, 0}, 0, 1},
      {"centred at the top, mirrored in the y axis: still centred at the top",
       text({4, 4, 0}, 1, H::center, V::top), Affine2::mirror({0, 0}, {0, 1}), H::center, V::top, {-4, 4, 0}, 0, 1},
      {"aligned between two points, mirrored in the y axis: the points change places",
       text({0, 0, 0}, 1, H::aligned, V::baseline, db::Point3{10, 0, 0}), Affine2::mirror({0, 0}, {0, 1}),
       H::aligned, V::baseline, {-10, 0, 0}, 0, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db::Database d = db::Database::newDrawing();
    auto id = d.append(db::Entity(c.before));
    ASSERT_TRUE(id);
    auto moved = transformEntity(d, *id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(moved)) << std::get<std::string>(moved);
    const db::Text& t = *std::get<db::Entity>(moved).as<db::Text>();
    EXPECT_EQ(t.hAlign, c.h);
    EXPECT_EQ(t.vAlign, c.v);
    const db::Point3 stands = t.hAlign == H::aligned ? t.position : t.anchor();
    expectNear(stands, c.position, "where it stands");
    EXPECT_NEAR(std::fmod(t.rotation + 360, 360), c.rotation, 1e-9);
    EXPECT_NEAR(t.height, c.height, 1e-12);
    EXPECT_EQ(t.generation, 0) << "never written backwards";
  }
}

TEST(TextKinds, gripsAndBox) {
  db::Database d = db::Database::newDrawing();
  const auto left = d.append(db::Entity(text({10, 20, 0}, 2)));
  const auto centred = d.append(db::Entity(text({0, 0, 0}, 2, db::TextHAlign::center, db::TextVAlign::middle,
                                                 db::Point3{50, 50, 0})));
  const auto fit = d.append(db::Entity(text({0, 0, 0}, 2, db::TextHAlign::fit, db::TextVAlign::baseline,
                                            db::Point3{30, 0, 0})));
  ASSERT_TRUE(left && centred && fit);
  auto grips = gripPoints(d, *d.entity(*left));
  ASSERT_EQ(grips.size(), 1u);
  EXPECT_EQ(grips[0].point, (Vec2{10, 20}));
  grips = gripPoints(d, *d.entity(*centred));
  ASSERT_EQ(grips.size(), 1u);
  EXPECT_EQ(grips[0].point, (Vec2{50, 50})) << "centred text is held by its alignment point";
  grips = gripPoints(d, *d.entity(*fit));
  ASSERT_EQ(grips.size(), 2u);
  // Moving the second end of fitted text moves only that end.
  auto changed = moveGrip(*d.entity(*fit), grips[1], {40, 0});
  ASSERT_TRUE(std::holds_alternative<db::Entity>(changed));
  EXPECT_EQ(std::get<db::Entity>(changed).as<db::Text>()->alignPoint.x, 40);
  EXPECT_EQ(std::get<db::Entity>(changed).as<db::Text>()->position.x, 0);
  // The box: from the start point up by the height, about 3 characters long.
  const Box2 box = entityBox(d, *left);
  EXPECT_NEAR(box.minX, 10, 1e-9);
  EXPECT_NEAR(box.minY, 20, 1e-9);
  EXPECT_NEAR(box.maxY, 22, 1e-9);
  EXPECT_GT(box.maxX, 13);
  EXPECT_LT(box.maxX, 18);
}

}  // namespace
}  // namespace orv::core
