// What one typed kind does that the others do not: a dimension's picture laid out again
// when scaled or stretched, an old-style polyline's vertices keeping their handles and the
// pieces EXPLODE makes of it, a leader's arrowhead.
#include <gtest/gtest.h>

#include "kind_samples.h"
#include "orv/core/dimension_block.h"
#include "orv/core/dimension_geometry.h"
#include "orv/core/editor.h"
#include "orv/core/heavy_polyline.h"
#include "orv/core/shapes.h"
#include "orv/core/spatial_index.h"
#include "orv/core/transform.h"

namespace orv::core {
namespace {

using namespace testing;

// The entities of a block's picture of a kind, the erased ones left out.
template <typename Kind>
std::vector<const Kind*> inPicture(const db::Database& d, db::BlockId block) {
  std::vector<const Kind*> out;
  for (db::ObjectId id : d.block(block).entities)
    if (const db::Entity* e = d.entity(id); e && !e->isErased() && e->as<Kind>()) out.push_back(e->as<Kind>());
  return out;
}

// The length of the longest line of a block: the dimension line with its extension.
double longestLine(const db::Database& d, db::BlockId block) {
  double longest = 0;
  for (const db::Line* l : inPicture<db::Line>(d, block))
    longest = std::max(longest, std::hypot(l->end.x - l->start.x, l->end.y - l->start.y));
  return longest;
}

const db::Text* pictureText(const db::Database& d, db::BlockId block) {
  const auto texts = inPicture<db::Text>(d, block);
  return texts.empty() ? nullptr : texts.front();
}

TEST(TypedKindDetails, aDimensionsPictureIsLaidOutAgainWhenScaledOrStretched) {
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
  EXPECT_EQ(inPicture<db::Solid>(d, block).size(), 2u) << "two closed filled arrowheads";
  const Box2 box = entityBox(d, id);
  EXPECT_NEAR(box.minX, 0, 1e-9);
  EXPECT_NEAR(box.maxX, 40, 1e-9);
  const db::Text* text = pictureText(d, block);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->value, parts.text.content);
  EXPECT_NEAR(text->anchor().x, 20, 1e-9) << "centred over the dimension line";
  EXPECT_GT(text->anchor().y, 20);
  EXPECT_GT(box.maxY, text->anchor().y) << "the box is the picture's";

  SelectionSet set;
  set.add(id);
  EXPECT_EQ(Editor(d, index).transform(set, Affine2::scaling({0, 0}, 2)).done, 1u);
  const db::Dimension scaled = *d.entity(id)->as<db::Dimension>();  // a copy: the entity is replaced below
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

// A map is an edit of the same vertices: their handles stay, and a face record stays as
// it was. Scaled unevenly (a block reference exploded), a 3D polyline's points follow; a
// 2D one's arcs cannot.
TEST(TypedKindDetails, anOldStylePolylineUnderAMapKeepsItsVerticesHandles) {
  db::Database d = db::Database::newDrawing();
  for (const db::HeavyPolyline& before : {squareFaces(), arced()}) {
    const db::ObjectId id = *d.append(db::Entity(before));
    const db::HeavyPolyline& stored = *d.entity(id)->as<db::HeavyPolyline>();
    auto r = transformEntity(d, id, Affine2::rotation({0, 0}, 30));
    ASSERT_TRUE(std::holds_alternative<db::Entity>(r)) << std::get<std::string>(r);
    const db::HeavyPolyline& t = *std::get<db::Entity>(r).as<db::HeavyPolyline>();
    ASSERT_EQ(t.vertices.size(), stored.vertices.size());
    for (std::size_t i = 0; i < t.vertices.size(); ++i) {
      EXPECT_NE(t.vertices[i].common.handle, 0u);
      EXPECT_EQ(t.vertices[i].common.handle, stored.vertices[i].common.handle);
      if (t.vertices[i].isFaceRecord()) {
        EXPECT_EQ(t.vertices[i], stored.vertices[i]);
      }
    }
    EXPECT_EQ(t.seqend.handle, stored.seqend.handle);
  }

  const Affine2 stretch = Affine2::insert({0, 0}, {0, 0}, 2, 3, 0);
  db::HeavyPolyline chain = polyline3d({{1, 2, 3}, {2, 2, 0}});
  EXPECT_FALSE(transformHeavyPolyline(chain, stretch));
  EXPECT_EQ(chain.vertices[0].point, (db::Point3{2, 6, 3}));
  db::HeavyPolyline flat = arced();
  const auto why = transformHeavyPolyline(flat, stretch);
  ASSERT_TRUE(why);
  EXPECT_NE(why->find("圆弧"), std::string::npos);
}

TEST(TypedKindDetails, anOldStylePolylineExplodesIntoLinesAndFaces) {
  db::Entity chain(polyline3d({{0, 0, 0}, {4, 0, 1}, {4, 3, 2}}, true));
  std::vector<db::Entity> lines = heavyPolylineParts(chain, *chain.as<db::HeavyPolyline>());
  ASSERT_EQ(lines.size(), 3u) << "closed: three lines";
  EXPECT_EQ(lines[2].as<db::Line>()->start, (db::Point3{4, 3, 2}));
  EXPECT_EQ(lines[2].as<db::Line>()->end, (db::Point3{0, 0, 0}));

  db::HeavyPolyline grid;
  grid.flags = db::HeavyPolyline::polygonMesh;
  grid.counts = {2, 3, 0, 0, 0};
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) grid.vertices.push_back(vertexAt({double(c), double(r), double(r * c)}, db::HeavyVertex::mesh));
  std::vector<db::Entity> quads = heavyPolylineParts(db::Entity(grid), grid);
  ASSERT_EQ(quads.size(), 2u);
  const db::Solid& second = *quads[1].as<db::Solid>();
  EXPECT_EQ(second.type, db::Solid::Type::face);
  EXPECT_EQ(second.corners[0], (db::Point3{1, 0, 0}));
  EXPECT_EQ(second.corners[2], (db::Point3{2, 1, 2}));

  db::Entity faces(squareFaces());
  std::vector<db::Entity> triangles = heavyPolylineParts(faces, *faces.as<db::HeavyPolyline>());
  ASSERT_EQ(triangles.size(), 2u);
  EXPECT_EQ(triangles[0].as<db::Solid>()->cornerCount(), 3);
  EXPECT_EQ(triangles[0].as<db::Solid>()->hiddenEdges, 4 | 8) << "the edge from the third corner is hidden";
  EXPECT_EQ(triangles[1].as<db::Solid>()->corners[1], (db::Point3{20, 10, 2})) << "vertex 4";

  // A 2D one below its plane: the lightweight outline in the world, arcs turned.
  const auto outline = heavyPolylineOutline(arced({0, 0, -1}));
  ASSERT_TRUE(outline);
  ASSERT_EQ(outline->size(), 3u);
  EXPECT_EQ(outline->point(0), (db::Point2{-1, 2}));
  EXPECT_EQ(outline->bulge(0), -0.5);
  EXPECT_EQ(outline->elevation(), -3);
  EXPECT_FALSE(heavyPolylineOutline(polyline3d({{0, 0, 0}, {1, 1, 1}}))) << "a 3D one is no lightweight one";
  EXPECT_TRUE(heavyPolylineParts(db::Entity(arced()), arced()).empty());
}

TEST(TypedKindDetails, aLeadersArrowheadPointsAtItsFirstVertexInItsStylesSize) {
  DimensionStyle style;
  style.arrowSize = 2;
  style.scale = 1.5;  // an arrow 3 long, 1 wide
  struct Case {
    const char* what;
    std::vector<Vec2> vertices;
    bool arrow;
    std::size_t filled;
    Vec2 back;  // the middle of the arrow's back
  } cases[] = {
      {"along x", {{0, 0}, {10, 0}, {12, 0}}, true, 1, {3, 0}},
      {"down from above, a repeated first vertex skipped", {{5, 5}, {5, 5}, {5, 15}}, true, 1, {5, 8}},
      {"no arrow", {{0, 0}, {10, 0}}, false, 0, {}},
      {"every vertex the same: no direction", {{1, 1}, {1, 1}}, true, 0, {}},
  };
  for (const Case& c : cases) [&] {  // a failed assertion ends its row alone
    SCOPED_TRACE(c.what);
    const DimensionParts parts = leaderParts(c.vertices, c.arrow, style);
    EXPECT_EQ(parts.lines.size(), c.vertices.size() - 1);
    ASSERT_EQ(parts.filled.size(), c.filled);
    if (c.filled == 0) return;
    const auto& t = parts.filled.front();
    EXPECT_EQ(t[0], c.vertices[0]);
    EXPECT_NEAR((t[1].x + t[2].x) / 2, c.back.x, 1e-9);
    EXPECT_NEAR((t[1].y + t[2].y) / 2, c.back.y, 1e-9);
    EXPECT_NEAR(distance(t[1], t[2]), 1.0, 1e-9);
  }();
}

}  // namespace
}  // namespace orv::core
