// Colours by index and by layer, hidden layers, and linetype patterns along entities.
#include "render_test_support.h"

namespace orv::render::test {
namespace {

// The lengths of the coloured runs along row y from x0 to x1.
std::vector<int> runsAlongRow(const Pixels& p, int y, int x0, int x1) {
  std::vector<int> runs;
  int length = 0;
  for (int x = x0; x <= x1; ++x) {
    const bool inked = !(p.at(x, y) == kWhite) || !(p.at(x, y - 1) == kWhite);
    if (inked) {
      ++length;
    } else if (length > 0) {
      runs.push_back(length);
      length = 0;
    }
  }
  if (length > 0) runs.push_back(length);
  return runs;
}

TEST(AciColor, followsTheStandardTableOnAWhitePage) {
  EXPECT_EQ(aciColor(1), kRed);
  EXPECT_EQ(aciColor(3), kGreen);
  EXPECT_EQ(aciColor(5), kBlue);
  EXPECT_EQ(aciColor(7), kBlack);  // "white" is drawn black on paper
  EXPECT_EQ(aciColor(8), (Rgb{128, 128, 128}));
  // The hue wheel: hue, value and saturation from the index.
  EXPECT_EQ(aciColor(10), kRed);
  EXPECT_EQ(aciColor(11), (Rgb{255, 127, 127}));
  EXPECT_EQ(aciColor(12), (Rgb{165, 0, 0}));
  EXPECT_EQ(aciColor(20), (Rgb{255, 63, 0}));
  EXPECT_EQ(aciColor(90), (Rgb{0, 255, 0}));
  EXPECT_EQ(aciColor(171), (Rgb{127, 127, 255}));
  EXPECT_EQ(aciColor(248), (Rgb{38, 0, 9}));
  // The greys.
  EXPECT_EQ(aciColor(250), kBlack);
  EXPECT_EQ(aciColor(251), (Rgb{0x65, 0x65, 0x65}));
  EXPECT_EQ(aciColor(254), (Rgb{0xcc, 0xcc, 0xcc}));
  EXPECT_EQ(aciColor(255), kWhite);
  // BYBLOCK at the top, BYLAYER unresolved and nonsense: black.
  for (int i : {0, 256, -5, 1000}) EXPECT_EQ(aciColor(i), kBlack) << i;
}

TEST(RenderColors, byLayerTakesTheLayerColourAndHiddenLayersAreNotDrawn) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  addLayer(d, "管道", 3);  // green
  addLayer(d, "OFF", -1);
  addLayer(d, "FROZEN", 1, "Continuous", 1);
  db::Entity byLayer = line(10, 100, 160, 100, db::color::byLayer);
  byLayer.layer = d.intern("管道");
  add(d, byLayer);
  db::Entity own = line(10, 80, 160, 80, 5);  // its own colour beats the layer's
  own.layer = d.intern("管道");
  add(d, own);
  add(d, line(10, 60, 160, 60, db::color::byBlock));  // BYBLOCK at the top: black
  add(d, line(10, 40, 160, 40, 7));
  for (const char* hidden : {"OFF", "FROZEN"}) {
    db::Entity e = line(10, 20, 160, 20);
    e.layer = d.intern(hidden);
    add(d, e);
  }
  Pixels p = renderPng(d, dir);
  EXPECT_TRUE(p.shows(px(80), py(100), kGreen));
  EXPECT_TRUE(p.shows(px(80), py(80), kBlue));
  EXPECT_TRUE(p.shows(px(80), py(60), kBlack));
  EXPECT_TRUE(p.shows(px(80), py(40), kBlack));
  EXPECT_TRUE(p.blankAround(px(80), py(20)));
}

TEST(RenderLinetypes, dashedLineHasGapsAtThePatternsLength) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  // DASHED is 12.7 dash, 6.35 gap: 25.4 and 12.7 pixels at 2 pixels a unit.
  db::Entity e = line(10, 60.25, 160, 60.25);
  e.linetype = d.intern("DASHED");
  add(d, e);
  // Each entity starts its own pattern: this one begins with a dash, although the first
  // ends 16.65 units into a pattern, in a gap.
  db::Entity next = line(10, 40.25, 100, 40.25);
  next.linetype = d.intern("DASHED");
  add(d, next);
  Pixels p = renderPng(d, dir);
  std::vector<int> runs = runsAlongRow(p, py(60.25), px(10), px(160));
  ASSERT_GE(runs.size(), 7u);  // 150 units hold 7.9 patterns
  for (std::size_t i = 0; i + 1 < runs.size(); ++i) EXPECT_NEAR(runs[i], 25.4, 2.0) << i;
  EXPECT_TRUE(p.shows(px(11), py(40.25), kRed, 0));

  // $LTSCALE 2 doubles the pattern: half as many dashes.
  d.header.linetypeScale = 2;
  Pixels scaled = renderPng(d, dir);
  std::vector<int> longer = runsAlongRow(scaled, py(60.25), px(10), px(160));
  ASSERT_GE(longer.size(), 3u);
  EXPECT_LE(longer.size(), 4u);
  EXPECT_NEAR(longer[0], 50.8, 2.0);

  // An entity's own scale (48) multiplies $LTSCALE: 0.5 of 2 gives the pattern back.
  db::Entity own = line(10, 80.25, 160, 80.25);
  own.linetype = d.intern("DASHED");
  db::RawTags half;
  half.add(48, "0.5", 1);
  ASSERT_TRUE(d.appendRead(std::move(own), d.modelSpace(), 0, std::move(half)).ok());
  Pixels mixed = renderPng(d, dir);
  std::vector<int> own_runs = runsAlongRow(mixed, py(80.25), px(10), px(160));
  ASSERT_GE(own_runs.size(), 7u);
  EXPECT_NEAR(own_runs[0], 25.4, 2.0);
}

TEST(RenderLinetypes, patternRunsOnAlongAPolylineAndComesFromTheLayer) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  addLayer(d, "HIDDEN_LINES", 1, "DASHED");
  // Fifteen collinear segments of 10 units: shorter than one dash, so gaps show only if
  // the pattern goes on from segment to segment.
  db::Polyline pl;
  for (int i = 0; i <= 15; ++i) pl.addVertex({10.0 + 10 * i, 60.25});
  db::Entity e{pl};
  e.layer = d.intern("HIDDEN_LINES");  // linetype BYLAYER
  add(d, e);
  Pixels p = renderPng(d, dir);
  EXPECT_GE(runsAlongRow(p, py(60.25), px(10), px(160)).size(), 7u);
}

TEST(RenderLinetypes, solidWhereThePatternIsTooFineOrContinuous) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  db::Entity fine = line(10, 80.25, 160, 80.25);
  fine.linetype = d.intern("DASHED");
  add(d, fine);
  add(d, line(10, 40.25, 160, 40.25));  // BYLAYER on layer 0: continuous
  d.header.linetypeScale = 0.01;        // a pattern of 0.4 pixels
  Pixels p = renderPng(d, dir);
  EXPECT_EQ(runsAlongRow(p, py(80.25), px(10), px(160)).size(), 1u);
  EXPECT_EQ(runsAlongRow(p, py(40.25), px(10), px(160)).size(), 1u);
}

TEST(RenderLinetypes, patternsStartingWithAGapOrHoldingDotsDrawTheirDashes) {
  TempDir dir;
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  db::Linetype odd;
  odd.name = "GAPFIRST";
  odd.elements = {{-5.0, {}}, {10.0, {}}, {0.0, {}}, {-5.0, {}}};
  odd.totalLength = 20;
  ASSERT_TRUE(d.addLinetype(odd).ok());
  db::Entity gapFirst = line(10, 80.25, 160, 80.25);
  gapFirst.linetype = d.intern("GAPFIRST");
  add(d, gapFirst);
  db::Entity dots = line(10, 40.25, 160, 40.25);
  dots.linetype = d.intern("DOT");  // 0, -6.35: dots 12.7 pixels apart
  add(d, dots);
  Pixels p = renderPng(d, dir);
  std::vector<int> runs = runsAlongRow(p, py(80.25), px(10), px(160));
  EXPECT_TRUE(p.blankAround(px(12), py(80.25), 1));  // the line starts with its gap
  ASSERT_GE(runs.size(), 7u);
  EXPECT_NEAR(runs[1], 20, 2.0);  // the dash with the dot joined to it
  std::vector<int> dotRuns = runsAlongRow(p, py(40.25), px(10), px(160));
  EXPECT_GE(dotRuns.size(), 20u);
  for (int r : dotRuns) EXPECT_LE(r, 3);
}

}  // namespace
}  // namespace orv::render::test
