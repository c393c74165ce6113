// DIMENSION as a kind: its values under the maps of MOVE/ROTATE/SCALE/MIRROR, its picture
// made from a layout, laid out again when scaled or stretched, and its box through it.
#include <gtest/gtest.h>

#include "orv/core/dimension_block.h"
#include "orv/core/editor.h"
#include "orv/core/shapes.h"
#include "orv/core/spatial_index.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

db::Dimension rotated40() {
  db::Dimension dim;
  dim.flags = 32;  // rotated, horizontal
  dim.point13 = {0, 0, 0};
  dim.point14 = {40, 10, 0};
  dim.definitionPoint = {40, 20, 0};
  dim.textMidpoint = {20, 22, 0};
  dim.measurement = 40;
  return dim;
}

TEST(DimensionKind, mapsMoveItsPointsTurnItsAnglesAndScaleItsLengths) {
  db::Database d = db::Database::newDrawing();
  db::Dimension angular;
  angular.flags = 32 | 2;
  angular.point13 = {0, 0, 0};
  angular.point14 = {10, 0, 0};
  angular.point15 = {0, 0, 0};
  angular.definitionPoint = {0, 10, 0};
  angular.point16 = {3, 3, 0};
  angular.measurement = 90;
  struct Case {
    const char* what;
    db::Dimension dim;
    Affine2 map;
    db::Point3 p14, p10, text;
    double rotation, measurement, measured;
  } cases[] = {
      {"scaled twice", rotated40(), Affine2::scaling({0, 0}, 2), {80, 20, 0}, {80, 40, 0}, {40, 44, 0}, 0, 80, 80},
      {"turned a quarter", rotated40(), Affine2::rotation({0, 0}, 90), {-10, 40, 0}, {-20, 40, 0}, {-22, 20, 0}, 90, 40, 40},
      {"moved", rotated40(), Affine2::translation({5, -5}), {45, 5, 0}, {45, 15, 0}, {25, 17, 0}, 0, 40, 40},
      {"an angle scaled keeps its degrees", angular, Affine2::scaling({0, 0}, 2), {20, 0, 0}, {0, 20, 0}, {0, 0, 0}, 0,
       90, 90},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const db::ObjectId id = *d.append(db::Entity(c.dim));
    auto r = transformEntity(d, id, c.map);
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::Dimension& got = *std::get<db::Entity>(r).as<db::Dimension>();
    for (auto [a, b] : {std::pair{got.point14, c.p14}, {got.definitionPoint, c.p10}, {got.textMidpoint, c.text}}) {
      EXPECT_NEAR(a.x, b.x, 1e-9);
      EXPECT_NEAR(a.y, b.y, 1e-9);
    }
    EXPECT_NEAR(got.rotation, c.rotation, 1e-9);
    EXPECT_NEAR(got.measurement, c.measurement, 1e-9);
    EXPECT_NEAR(got.measured(), c.measured, 1e-9);
    EXPECT_EQ(got.textRotation, 0.0) << "an automatic text angle stays automatic";
  }
  db::Dimension tilted = rotated40();
  tilted.extrusion = {1, 0, 0};
  const db::ObjectId id = *d.append(db::Entity(tilted));
  EXPECT_TRUE(std::holds_alternative<std::string>(transformEntity(d, id, Affine2::rotation({0, 0}, 10))));
}

// The length of the longest line of a block: the dimension line with its extension.
double longestLine(const db::Database& d, db::BlockId block) {
  double longest = 0;
  for (db::ObjectId id : d.block(block).entities) {
    const db::Entity* e = d.entity(id);
    if (const auto* l = e && !e->isErased() ? e->as<db::Line>() : nullptr)
      longest = std::max(longest, std::hypot(l->end.x - l->start.x, l->end.y - l->start.y));
  }
  return longest;
}

// The text of a block's picture.
std::optional<db::Text> pictureText(const db::Database& d, db::BlockId block) {
  for (db::ObjectId id : d.block(block).entities) {
    const db::Entity* e = d.entity(id);
    if (const auto* t = e && !e->isErased() ? e->as<db::Text>() : nullptr) return *t;
  }
  return std::nullopt;
}

TEST(DimensionKind, itsPictureIsMadeAgainWhenScaledOrStretched) {
  Document doc;
  db::Database& d = doc.database();
  SpatialIndex index{doc};
  const DimensionStyle style;
  const DimensionParts parts = linearDimension({0, 0}, {40, 10}, {40, 20}, 0, style);
  const auto name = addPictureBlock(d, parts, style);
  ASSERT_TRUE(name);
  const db::ObjectId id = *d.append(db::Entity(dimensionEntity(parts, db::Dimension::Type::rotated, 0, "", style, *name)));
  const db::BlockId block = *d.findBlock(*name);
  EXPECT_NEAR(longestLine(d, block), 40, 1e-9);
  std::size_t solids = 0;
  for (db::ObjectId inner : d.block(block).entities) solids += d.entity(inner)->as<db::Solid>() != nullptr;
  EXPECT_EQ(solids, 2u) << "two closed filled arrowheads";
  const Box2 box = entityBox(d, id);
  EXPECT_NEAR(box.minX, 0, 1e-9);
  EXPECT_NEAR(box.maxX, 40, 1e-9);
  auto text = pictureText(d, block);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->value, parts.text.content);
  EXPECT_NEAR(text->anchor().x, 20, 1e-9) << "centred over the dimension line";
  EXPECT_GT(text->anchor().y, 20);
  EXPECT_GT(box.maxY, text->anchor().y);

  SelectionSet set;
  set.add(id);
  EXPECT_EQ(Editor(d, index).transform(set, Affine2::scaling({0, 0}, 2)).done, 1u);
  const db::Dimension scaled = *d.entity(id)->as<db::Dimension>();  // a copy: the entity is replaced below
  EXPECT_NEAR(scaled.measurement, 80, 1e-9);
  EXPECT_NEAR(longestLine(d, block), 80, 1e-9);
  text = pictureText(d, block);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->value, layoutOfDimension(scaled, style)->text.content) << "the text follows the measurement";
  EXPECT_NEAR(text->height, parts.text.height, 1e-9) << "arrows, offsets and text keep their style's size";

  // The second origin stretched 20 to the right.
  const auto stretched = stretchedDimension(scaled, Box2::of({70, 10}, {90, 30}), {20, 0});
  ASSERT_TRUE(stretched);
  ASSERT_EQ(d.replace(id, db::Entity(*stretched)), db::Status::ok);
  ASSERT_TRUE(renewPicture(d, id));
  EXPECT_NEAR(d.entity(id)->as<db::Dimension>()->measurement, 100, 1e-9);
  EXPECT_NEAR(longestLine(d, block), 100, 1e-9);
  EXPECT_FALSE(stretchedDimension(scaled, Box2::of({200, 200}, {300, 300}), {1, 0})) << "nothing inside";
}

}  // namespace
}  // namespace orv::core
