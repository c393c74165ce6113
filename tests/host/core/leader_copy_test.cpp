// Copies of leaders and of what they name (COPY's own case is run end to end): a block
// brought from another drawing names its own copies; a dimension's picture block taken out
// with undo; the blocks a file leaves out; the curve of a spline-path leader.
#include <gtest/gtest.h>

#include <cmath>

#include "orv/db/database.h"
#include "orv/geom/curves.h"

namespace orv::core {
namespace {

db::Leader leaderTo(db::Handle text) {
  db::Leader l;
  l.vertices = {{0, 0, 0}, {10, 10, 0}, {20, 10, 0}};
  l.annotation = text;
  l.creation = text ? 0 : 3;
  return l;
}

// A block brought from another drawing (INSERT of a file, a paste) holds copies with
// handles of this drawing: what they named inside the block follows, the rest is cleared.
TEST(CopiedHandles, aBlockBroughtFromAnotherDrawingNamesItsOwnCopies) {
  db::Database source = db::Database::newDrawing();
  const db::ObjectId outside = *source.append(db::Entity(db::Circle{{50, 50, 0}, 5}));
  const db::BlockId part = *source.addBlock("TAGGED", {0, 0, 0});
  const db::ObjectId text = *source.append(db::Entity(db::makeMText({21, 11, 0}, 2.5, "V-1")), part);
  const db::ObjectId ring = *source.append(db::Entity(db::Circle{{0, 0, 0}, 5}), part);
  source.append(db::Entity(leaderTo(source.entity(text)->handle())), part);
  source.append(db::Entity(leaderTo(source.entity(outside)->handle())), part);
  db::Hatch inner = db::Hatch::make("SOLID"), stray = db::Hatch::make("SOLID");
  for (db::Hatch* h : {&inner, &stray}) {
    h->associative = true;
    h->paths.push_back({});
    h->paths[0].vertices = {{-5, -5}, {5, -5}, {5, 5}};
    h->paths[0].flags = db::HatchPath::polyline | db::HatchPath::external;
  }
  inner.paths[0].sources = {source.entity(ring)->handle()};
  stray.paths[0].sources = {source.entity(ring)->handle(), source.entity(outside)->handle()};
  source.append(db::Entity(inner), part);
  source.append(db::Entity(stray), part);

  db::Database here = db::Database::newDrawing();
  for (int i = 0; i < 40; ++i) here.append(db::Entity(db::Line{{0, 0, 0}, {1, 1, 0}}));  // other handles
  const auto merged = here.mergeBlock(source, "TAGGED");
  ASSERT_TRUE(merged);
  std::vector<const db::Entity*> got;
  here.forEachEntity(*merged, [&](db::ObjectId, const db::Entity& e) { got.push_back(&e); });
  ASSERT_EQ(got.size(), 6u);
  const db::Leader* toText = got[2]->as<db::Leader>();
  const db::Leader* toOutside = got[3]->as<db::Leader>();
  ASSERT_TRUE(toText && toOutside);
  EXPECT_EQ(toText->annotation, got[0]->handle());
  EXPECT_NE(toText->annotation, source.entity(text)->handle());
  EXPECT_EQ(toOutside->annotation, 0u);
  EXPECT_EQ(toOutside->creation, 3);
  const db::Hatch* followed = got[4]->as<db::Hatch>();
  const db::Hatch* lost = got[5]->as<db::Hatch>();
  EXPECT_EQ(followed->paths[0].sources, (std::vector<db::Handle>{got[1]->handle()}));
  EXPECT_TRUE(followed->associative);
  EXPECT_TRUE(lost->paths[0].sources.empty());
  EXPECT_FALSE(lost->associative) << "part of its boundary stayed behind";
}

// A dimension's picture taken out with the dimension (U in DIMCONTINUE): gone, back with
// UNDO, gone again with REDO; and the pictures a file leaves out.
TEST(DimensionPictures, aRemovedPictureFollowsUndoAndAnUnusedOneIsNotSaved) {
  db::Database d = db::Database::newDrawing();
  auto picture = [&](const char* name) {
    const db::BlockId b = *d.addBlock(name, {0, 0, 0});
    d.editBlock(b).flags = 1;
    d.append(db::Entity(db::Line{{0, 0, 0}, {10, 0, 0}}), b);
    return b;
  };
  auto dimensionOf = [&](const char* name) {
    db::Dimension dim;
    dim.block = name;
    dim.definitionPoint = {0, 5, 0};
    dim.point13 = {0, 0, 0};
    dim.point14 = {10, 0, 0};
    return *d.append(db::Entity(dim));
  };
  const db::BlockId taken = picture("*D1");
  const db::BlockId orphan = picture("*D2");
  const db::ObjectId dim = dimensionOf("*D1");
  EXPECT_EQ(d.removeBlock(taken), db::Status::invalidInput) << "its dimension still draws it";
  EXPECT_EQ(d.removeBlock(d.modelSpace()), db::Status::invalidInput);

  d.beginUndoGroup();
  d.erase(dim);
  EXPECT_EQ(d.removeBlock(taken), db::Status::ok);
  d.endUndoGroup();
  EXPECT_FALSE(d.findBlock("*D1"));
  EXPECT_EQ(d.removeBlock(taken), db::Status::notFound);
  ASSERT_EQ(d.undo(), db::Status::ok);
  EXPECT_EQ(d.findBlock("*D1"), taken);
  EXPECT_FALSE(d.entity(dim)->isErased());
  std::size_t inside = 0;
  d.forEachEntity(taken, [&](db::ObjectId, const db::Entity&) { ++inside; });
  EXPECT_EQ(inside, 1u) << "its contents come back with it";
  ASSERT_EQ(d.redo(), db::Status::ok);
  EXPECT_FALSE(d.findBlock("*D1"));

  // A file leaves out pictures nothing draws (the one taken out among them), keeps the
  // others and every named block.
  const db::BlockId named = *d.addBlock("VALVE", {0, 0, 0});
  d.erase(dimensionOf("*D2"));
  const std::vector<bool> saved = d.savedBlocks();
  EXPECT_EQ(std::vector<bool>({saved[taken.index], saved[orphan.index], saved[named.index], saved[d.modelSpace().index]}),
            std::vector<bool>({false, false, true, true}));
}

// A spline-path leader draws the curve through its vertices, leaving the first along the
// first segment (where the arrowhead points); a straight one its vertices.
TEST(LeaderPath, aSplinePathPassesThroughTheVerticesFromTheFirstSegment) {
  db::Leader l = leaderTo(0);
  EXPECT_EQ(geom::leaderPathPoints(l, 8), l.vertices);
  l.pathType = 1;
  const std::vector<db::Point3> curve = geom::leaderPathPoints(l, 64);
  ASSERT_EQ(curve.size(), 129u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_NEAR(curve[i * 64].x, l.vertices[i].x, 1e-9);
    EXPECT_NEAR(curve[i * 64].y, l.vertices[i].y, 1e-9);
  }
  const double leaving = std::atan2(curve[1].y - curve[0].y, curve[1].x - curve[0].x) * 180 / 3.141592653589793;
  EXPECT_NEAR(leaving, 45, 0.5) << "leaves along the first segment";
  bool bends = false;
  for (std::size_t i = 65; i < 128; ++i) bends = bends || curve[i].y > 10 + 1e-6 || curve[i].y < 10 - 1e-6;
  EXPECT_TRUE(bends) << "a curve, not the straight last segment";
}

}  // namespace
}  // namespace orv::core
