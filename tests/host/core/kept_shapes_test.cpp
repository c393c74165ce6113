// The shapes of kept entities: where text and old-style polylines lie, as picks and
// windows see them.
#include <gtest/gtest.h>

#include "orv/core/shapes.h"

namespace orv::core {
namespace {

using Tags = std::vector<std::pair<int, std::string>>;

struct KeptShapes : ::testing::Test {
  db::Database d = db::Database::newDrawing();
  db::ObjectId add(const char* type, const Tags& tags, db::BlockId owner = db::BlockId{0}) {
    db::RawTags raw;
    for (const auto& [code, value] : tags) raw.add(code, value);
    return *d.appendRead(db::Entity(db::UnknownEntity{d.intern(type), raw}), owner, 0, {});
  }
};

TEST_F(KeptShapes, boxesAndPicksOfEachKind) {
  auto block = d.addBlock("*D1", {0, 0, 0});
  d.append(db::Entity(db::Line{{100, 0, 0}, {120, 0, 0}}), *block);
  db::MText middle = db::makeMText({0, 0, 0}, 2, "x");
  middle.width = 10;
  middle.attachment = db::MTextAttachment::middleCenter;
  struct Case {
    const char* what;
    db::Entity entity;
    Box2 box;
    Vec2 on;  // a point the entity is picked at (distance 0)
  } cases[] = {
      {"MTEXT hung by its middle", db::Entity(middle), {-5, -1, 5, 1}, {4, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(c.entity);
    const Box2 box = entityBox(d, id);
    EXPECT_NEAR(box.minX, c.box.minX, 1e-9);
    EXPECT_NEAR(box.minY, c.box.minY, 1e-9);
    EXPECT_NEAR(box.maxX, c.box.maxX, 1e-9);
    EXPECT_NEAR(box.maxY, c.box.maxY, 1e-9);
    EXPECT_NEAR(distanceToEntity(d, id, c.on), 0, 1e-9);
  }
}

// One-line text by an estimate of its characters, placed by its alignment.
TEST_F(KeptShapes, textBoxesAndPicks) {
  auto text = [](db::Point3 at, double h, std::string value) { return db::makeText(at, h, std::move(value)); };
  db::Text centred = text({0, 0, 0}, 2, "AB");
  centred.hAlign = db::TextHAlign::center;
  centred.alignPoint = {10, 0, 0};
  centred.hasAlignPoint = true;
  db::Text flipped = text({5, 0, 0}, 1, "A");
  flipped.extrusion = {0, 0, -1};
  struct Case {
    const char* what;
    db::Text text;
    Box2 box;
    Vec2 on;
  } cases[] = {
      {"left text, two letters of 0.7 each", text({0, 0, 0}, 2, "AB"), {0, 0, 2.8, 2}, {1, 1}},
      {"centred text", centred, {8.6, 0, 11.4, 2}, {10, 0.5}},
      {"Chinese text is wider", text({0, 0, 0}, 1, "管道"), {0, 0, 2, 1}, {1.9, 0.9}},
      {"text of an extrusion -Z", flipped, {-5.7, 0, -5, 1}, {-5.3, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(db::Entity(c.text));
    const Box2 box = entityBox(d, id);
    EXPECT_NEAR(box.minX, c.box.minX, 1e-9);
    EXPECT_NEAR(box.minY, c.box.minY, 1e-9);
    EXPECT_NEAR(box.maxX, c.box.maxX, 1e-9);
    EXPECT_NEAR(box.maxY, c.box.maxY, 1e-9);
    EXPECT_NEAR(distanceToEntity(d, id, c.on), 0, 1e-9);
  }
}

}  // namespace
}  // namespace orv::core
