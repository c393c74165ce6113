// Block references in pictures: placement, nesting, BYBLOCK and layer 0, and runaway drawings.
#include "draw.h"
#include "render_test_support.h"

namespace orv::render::test {
namespace {

// A block "ARROW" with its base point at (5, 0) holding a red line from the base point
// 10 units along +x and a short green tick at its far end pointing +y.
db::BlockId addArrow(db::Database& d) {
  auto block = d.addBlock("ARROW", {5, 0, 0});
  EXPECT_TRUE(block.ok());
  add(d, line(5, 0, 15, 0), *block);
  add(d, line(15, 0, 15, 2, 3), *block);
  return *block;
}

TEST(RenderBlocks, referencesAreMovedRotatedAndScaledAboutTheBasePoint) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  const db::BlockId arrow = addArrow(d);
  add(d, reference(arrow, 40, 20, 1, 1, 90));   // points up: (40,20)-(40,30)
  add(d, reference(arrow, 100, 60, 3, 3));      // three times: (100,60)-(130,60)
  add(d, reference(arrow, 80, 100, -2, 1));     // mirrored: (80,100)-(60,100)
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(40), py(25), kRed));
  EXPECT_TRUE(p.blankAround(px(45), py(20)));   // not along +x
  EXPECT_TRUE(p.shows(px(39), py(30), kGreen));  // the tick turned to point -x

  EXPECT_TRUE(p.shows(px(125), py(60), kRed));
  EXPECT_TRUE(p.shows(px(130), py(64), kGreen));  // tick 6 units high
  EXPECT_TRUE(p.blankAround(px(136), py(60)));

  EXPECT_TRUE(p.shows(px(65), py(100), kRed));
  EXPECT_TRUE(p.blankAround(px(90), py(100)));
  EXPECT_TRUE(p.shows(px(60), py(101), kGreen));

  const auto e = modelExtents(d);
  ASSERT_TRUE(e);
  EXPECT_DOUBLE_EQ(e->maxX, 170);
}

TEST(RenderBlocks, extentsComeFromTheTransformedContents) {
  db::Database d = db::Database::newDrawing();
  auto block = d.addBlock("RING", {0, 0, 0});
  ASSERT_TRUE(block.ok());
  add(d, arc(0, 0, 10, 0, 90), *block);  // a quarter circle
  add(d, reference(*block, 100, 100, 2, 1, 180));
  // Turned half round and stretched in x: from (80,100) to (100,90), bulging
  // towards (80,90).
  auto e = modelExtents(d);
  ASSERT_TRUE(e);
  EXPECT_NEAR(e->minX, 80, 1e-9);
  EXPECT_NEAR(e->minY, 90, 1e-9);
  EXPECT_NEAR(e->maxX, 100, 1e-9);
  EXPECT_NEAR(e->maxY, 100, 1e-9);
}

TEST(RenderBlocks, nestedReferencesComposeTheirTransforms) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  const db::BlockId arrow = addArrow(d);
  auto outer = d.addBlock("PAIR", {0, 0, 0});
  ASSERT_TRUE(outer.ok());
  add(d, reference(arrow, 0, 0), *outer);
  add(d, reference(arrow, 0, 10, 1, 1, 90), *outer);
  add(d, reference(*outer, 100, 50, 2, 2, 90));  // the pair turned up and doubled
  Pixels p = renderPng(d, dir);
  // First arrow: (0,0)-(10,0) in the block, then turned and doubled: (100,50)-(100,70).
  EXPECT_TRUE(p.shows(px(100), py(60), kRed));
  // Second: (0,10)-(0,20), then (80,50)-(60,50).
  EXPECT_TRUE(p.shows(px(70), py(50), kRed));
  EXPECT_TRUE(p.blankAround(px(120), py(60)));
}

TEST(RenderBlocks, byBlockAndLayerZeroTakeTheReferencesProperties) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  addLayer(d, "BLUE", 5);
  addLayer(d, "DASH", 1, "DASHED");
  auto block = d.addBlock("MIXED", {0, 0, 0});
  ASSERT_TRUE(block.ok());
  add(d, line(0, 0, 60, 0, db::color::byBlock), *block);
  add(d, line(0, 10, 60, 10, db::color::byLayer), *block);  // on layer 0
  db::Entity dashed = line(0, 20, 60, 20.0, db::color::byBlock);
  dashed.linetype = d.intern("ByBlock");
  add(d, dashed, *block);
  db::Entity ref = reference(*block, 20, 30.25, 1, 1, 0, 3);  // green
  ref.layer = d.intern("BLUE");
  ref.linetype = d.intern("DASHED");
  add(d, ref);
  db::Entity plain = reference(*block, 100, 30.25, 1, 1, 0, db::color::byLayer);
  plain.layer = d.intern("DASH");  // red, dashed by layer
  add(d, plain);
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(50), py(30.25), kGreen));  // BYBLOCK colour
  EXPECT_TRUE(p.shows(px(50), py(40.25), kBlue));   // layer 0 takes the layer BLUE
  EXPECT_TRUE(p.shows(px(140), py(30.25), kRed));   // BYBLOCK through a BYLAYER reference
  EXPECT_TRUE(p.shows(px(140), py(40.25), kRed));
  // BYBLOCK linetype: dashed under both references.
  int gaps = 0;
  for (int x = px(22); x < px(78); ++x) gaps += p.at(x, py(50.25)) == kWhite;
  EXPECT_GT(gaps, 20);
  gaps = 0;
  for (int x = px(102); x < px(158); ++x) gaps += p.at(x, py(50.25)) == kWhite;
  EXPECT_GT(gaps, 20);
  // The plain line on layer 0 in a reference on DASH: BYLAYER linetype is the layer's.
  gaps = 0;
  for (int x = px(102); x < px(158); ++x) gaps += p.at(x, py(40.25)) == kWhite;
  EXPECT_GT(gaps, 20);
}

TEST(RenderBlocks, aReferenceOnAnOffLayerStillShowsItsOtherLayers) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  addLayer(d, "OFF", -2);
  addLayer(d, "RED", 1);
  auto block = d.addBlock("TWO", {0, 0, 0});
  ASSERT_TRUE(block.ok());
  add(d, line(0, 0, 50, 0), *block);  // layer 0: off with the reference
  db::Entity own = line(0, 10, 50, 10, db::color::byLayer);
  own.layer = d.intern("RED");
  add(d, own, *block);
  db::Entity ref = reference(*block, 50, 50);
  ref.layer = d.intern("OFF");
  add(d, ref);
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.blankAround(px(75), py(50)));
  EXPECT_TRUE(p.shows(px(75), py(60), kRed));
}

TEST(RenderBlocks, runawayNestingStopsAtTheEntityLimit) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  // Ten levels of ten references each: ten billion lines in all.
  auto leaf = d.addBlock("L0", {0, 0, 0});
  ASSERT_TRUE(leaf.ok());
  add(d, line(0, 0, 1, 1), *leaf);
  db::BlockId inner = *leaf;
  for (int level = 1; level <= 10; ++level) {
    auto b = d.addBlock("L" + std::to_string(level), {0, 0, 0});
    ASSERT_TRUE(b.ok());
    for (int i = 0; i < 10; ++i) add(d, reference(inner, i, 0, 0.5, 0.5), *b);
    inner = *b;
  }
  add(d, reference(inner, 0, 0));
  RenderOptions o = smallPage();
  o.entityLimit = 100'000;
  RenderResult r;
  Pixels p = renderPng(d, dir, o, &r);
  EXPECT_TRUE(r.report.truncated);
  EXPECT_GT(r.report.painted, 0u);
  EXPECT_FALSE(p.allWhite());
}

// A drawing cut short by the limit is fitted to what was reached, however large: the
// first hundred of a row of upright lines, a square, fill the picture's height (none
// further along counts).
TEST(RenderBlocks, aDrawingCutShortIsFittedToWhatWasReached) {
  for (int count : {5'000, 70'000}) {
    SCOPED_TRACE(count);
    TempDir dir;
    db::Database d = db::Database::newDrawing();
    for (int i = 0; i < count; ++i) add(d, line(i, 0, i, 100));
    RenderOptions o = smallPage();
    o.entityLimit = 100;
    RenderResult r;
    Pixels p = renderPng(d, dir, o, &r);
    EXPECT_TRUE(r.report.truncated);
    EXPECT_FALSE(p.blankAround(200, 150, 3));
    EXPECT_FALSE(p.blankAround(300, 150, 3));  // the square of lines spans 80 to 320
  }
}

TEST(RenderBlocks, transformsThatOverflowAreLeftOut) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  auto leaf = d.addBlock("BIG", {0, 0, 0});
  ASSERT_TRUE(leaf.ok());
  add(d, line(0, 0, 1, 0), *leaf);
  auto mid = d.addBlock("BIGGER", {0, 0, 0});
  ASSERT_TRUE(mid.ok());
  add(d, reference(*leaf, 0, 0, 1e200, 1e200), *mid);
  add(d, reference(*mid, 0, 0, 1e200, 1e200));  // 1e400: not a double
  add(d, line(0, 0, 10, 10));
  RenderResult r;
  Pixels p = renderPng(d, dir, smallPage(), &r);
  EXPECT_EQ(r.report.painted, 1u);
  EXPECT_GE(r.report.skipped, 1u);
  EXPECT_TRUE(p.shows(200, 150, kRed));
  const auto e = modelExtents(d);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->maxX, 10);
}

}  // namespace
}  // namespace orv::render::test
