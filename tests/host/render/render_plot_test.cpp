// Plotted sheets in pixels: the preview's measure, paper-space layouts with their viewports, pixel bands.
#include <cstdio>
#include <cstring>
#include <vector>

#include "orv/render/layout.h"
#include "orv/render/plot.h"
#include "render_test_support.h"

namespace orv::render::test {
namespace {

// Pixels of our own, 32 bits each, filled with one colour.
struct Image {
  int width, height;
  std::vector<std::uint32_t> px;
  Image(int w, int h, std::uint32_t fill = 0xFF808080u) : width(w), height(h), px(std::size_t(w) * h, fill) {}
  PixelRows rows(int top = 0, int count = -1) {
    PixelRows r;
    r.data = reinterpret_cast<unsigned char*>(px.data() + std::size_t(top) * width);
    r.width = width;
    r.height = count < 0 ? height : count;
    r.stride = width * 4;
    r.top = top;
    return r;
  }
  std::uint32_t at(int x, int y) const { return px[std::size_t(y) * width + x] & 0xFFFFFFu; }
  bool dark(int x, int y) const {
    const std::uint32_t p = at(x, y);
    return (p >> 16 & 0xFF) < 192 && (p >> 8 & 0xFF) < 192 && (p & 0xFF) < 192;
  }
  // The dark run of row y: its first and last pixel, (-1, -1) when none.
  std::pair<int, int> run(int y, int from = 0, int to = -1) const {
    if (to < 0) to = width;
    int first = -1, last = -1;
    for (int x = from; x < to; ++x)
      if (dark(x, y)) {
        if (first < 0) first = x;
        last = x;
      }
    return {first, last};
  }
  // The darkest row between y0 and y1 within columns [from, to): the one with the longest run.
  int inkedRow(int y0, int y1, int from, int to) const {
    int best = -1, length = 0;
    for (int y = y0; y < y1; ++y) {
      const auto r = run(y, from, to);
      if (r.first >= 0 && r.second - r.first + 1 > length) {
        length = r.second - r.first + 1;
        best = y;
      }
    }
    return best;
  }
};

std::string hex(db::Handle h) {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(h));
  return buf;
}

struct Viewport {
  double cx, cy, w, h, viewX, viewY, viewHeight;
  int id = 2, status = 1;
  double twist = 0.0, direction = 1.0;
  std::vector<std::string> frozenHandles;
};

void addViewport(db::Database& d, db::BlockId space, const Viewport& v) {
  db::RawTags tags;
  auto num = [&](int code, double value) { tags.add(code, std::to_string(value)); };
  tags.add(8, "0");
  num(10, v.cx), num(20, v.cy), num(40, v.w), num(41, v.h);
  tags.add(68, std::to_string(v.status));
  tags.add(69, std::to_string(v.id));
  num(12, v.viewX), num(22, v.viewY), num(16, 0.0), num(26, 0.0), num(36, v.direction), num(45, v.viewHeight);
  num(51, v.twist);
  for (const std::string& h : v.frozenHandles) tags.add(331, h);
  db::Entity e{db::UnknownEntity{d.intern("VIEWPORT"), std::move(tags)}};
  ASSERT_TRUE(d.appendRead(std::move(e), space, 0, {}).ok());
}

void addLayout(db::Database& d, const std::string& name, db::BlockId space, int tab, double w = 420, double h = 297,
               bool limits = true, const char* rotation = "0") {
  const db::Handle record = d.block(space).recordHandle;
  auto& o = d.objects;
  o.add(0, "LAYOUT");
  o.add(5, hex(d.newHandle()));
  o.add(330, "1A");  // the layouts' dictionary, before the settings
  o.add(100, "AcDbPlotSettings");
  o.add(1, "");
  o.add(44, std::to_string(w));
  o.add(45, std::to_string(h));
  o.add(72, "1");
  o.add(73, rotation);
  o.add(100, "AcDbLayout");
  o.add(1, name);
  o.add(71, std::to_string(tab));
  if (limits) {
    o.add(10, "0"), o.add(20, "0"), o.add(11, std::to_string(w)), o.add(21, std::to_string(h));
  }
  o.add(330, hex(record));
}

// Model lines 1,000 units long along y = 0 and y = 800, a layer HIDE with one at y = 200, and a
// layout "图1" of A3 with a 1:10 viewport (left) and a 1:20 one (right, HIDE frozen in
// it), and a 400 mm paper-space line along y = 10.
db::Database layoutDrawing() {
  db::Database d = db::Database::newDrawing();
  add(d, line(0, 0, 1000, 0, 7));
  db::Layer hide;
  hide.name = "HIDE";
  EXPECT_TRUE(d.addLayer(hide).ok());
  db::Entity hidden = line(0, 200, 1000, 200, 7);
  hidden.layer = d.intern("HIDE");
  add(d, std::move(hidden));
  add(d, line(0, 800, 1000, 800, 7));
  if (d.block(d.paperSpace()).recordHandle == 0) d.editBlock(d.paperSpace()).recordHandle = d.newHandle();
  addViewport(d, d.paperSpace(), {210, 148.5, 420, 297, 210, 148.5, 297, 1});  // the layout's own
  addViewport(d, d.paperSpace(), {100, 150, 150, 100, 500, 0, 1000});          // 1:10
  addViewport(d, d.paperSpace(), {310, 150, 180, 120, 500, 0, 2400, 3, 1, 0.0, 1.0,
                                  {hex(d.layers().get("HIDE")->handle)}});  // 1:20
  add(d, line(10, 10, 410, 10, 7), d.paperSpace());
  addLayout(d, "图1", d.paperSpace(), 1);
  return d;
}

TEST(Layouts, areReadWithTheirViewportsScalesAndFrozenLayers) {
  const db::Database d = layoutDrawing();
  const std::vector<LayoutSheet> layouts = layoutsOf(d);
  ASSERT_EQ(layouts.size(), 1u);
  const LayoutSheet& l = layouts[0];
  EXPECT_EQ(l.name, "图1");
  EXPECT_EQ(l.block, d.paperSpace());
  EXPECT_EQ((std::vector<double>{l.area.minX, l.area.minY, l.area.maxX, l.area.maxY}),
            (std::vector<double>{0, 0, 420, 297}));
  ASSERT_EQ(l.viewports.size(), 2u) << "the layout's own viewport is not one that shows model space";
  EXPECT_DOUBLE_EQ(l.viewports[0].scale(), 0.1);
  EXPECT_DOUBLE_EQ(l.viewports[1].scale(), 0.05);
  EXPECT_DOUBLE_EQ(l.viewports[0].box.minX, 25.0);
  EXPECT_TRUE(l.viewports[0].frozenLayers.empty());
  EXPECT_EQ(l.viewports[1].frozenLayers, std::vector<std::string>{"HIDE"});
  // Model (500, 0) lands on the first viewport's centre.
  const ViewTransform paper{1.0, 0.0, 297.0};
  const db::Point2 p = throughViewport(paper, l.viewports[0]).toDevice({500, 0});
  EXPECT_NEAR(p.x, 100.0, 1e-9);
  EXPECT_NEAR(p.y, 297.0 - 150.0, 1e-9);
}

TEST(Layouts, viewportsAndObjectsThatCannotBeDrawnArePassedOver) {
  struct Case {
    const char* what;
    Viewport vp;
    bool drawn;
    int leftOut;
  };
  const Case cases[] = {
      {"plain", {100, 100, 50, 50, 0, 0, 100}, true, 0},
      {"off", {100, 100, 50, 50, 0, 0, 100, 2, 0}, false, 0},
      {"off the screen", {100, 100, 50, 50, 0, 0, 100, 2, -1}, false, 0},
      {"twisted", {100, 100, 50, 50, 0, 0, 100, 2, 1, 30.0}, false, 1},
      {"seen from below", {100, 100, 50, 50, 0, 0, 100, 2, 1, 0.0, -1.0}, false, 1},
      {"no view height", {100, 100, 50, 50, 0, 0, 0}, false, 1},
      {"no width", {100, 100, 0, 50, 0, 0, 100}, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db::Database d = db::Database::newDrawing();
    if (d.block(d.paperSpace()).recordHandle == 0) d.editBlock(d.paperSpace()).recordHandle = d.newHandle();
    addViewport(d, d.paperSpace(), c.vp);
    addLayout(d, "L", d.paperSpace(), 1);
    const auto layouts = layoutsOf(d);
    ASSERT_EQ(layouts.size(), 1u);
    EXPECT_EQ(layouts[0].viewports.size(), c.drawn ? 1u : 0u);
    EXPECT_EQ(layouts[0].viewportsLeftOut, c.leftOut);
  }
  // Layouts in tab order; one naming no block, or model space, is not a layout; without
  // limits the paper gives the area.
  db::Database d = db::Database::newDrawing();
  if (d.block(d.paperSpace()).recordHandle == 0) d.editBlock(d.paperSpace()).recordHandle = d.newHandle();
  const auto second = d.addBlock("*Paper_Space0", {});
  ASSERT_TRUE(second.ok());
  addLayout(d, "B", d.paperSpace(), 2);
  addLayout(d, "A", *second, 1, 594, 841, false);
  addLayout(d, "Model", d.modelSpace(), 0);
  // Turned a quarter, its paper stands the other way; a turn that is no number of
  // quarters is not one.
  const auto third = d.addBlock("*Paper_Space1", {}), fourth = d.addBlock("*Paper_Space2", {});
  ASSERT_TRUE(third.ok() && fourth.ok());
  addLayout(d, "C", *third, 3, 420, 297, false, "1");
  addLayout(d, "D", *fourth, 4, 420, 297, false, "1e300");
  d.objects.add(0, "LAYOUT");
  d.objects.add(100, "AcDbLayout");
  d.objects.add(1, "broken");
  d.objects.add(330, "not a handle");
  const auto layouts = layoutsOf(d);
  ASSERT_EQ(layouts.size(), 4u);
  EXPECT_EQ(layouts[0].name, "A");
  EXPECT_EQ(layouts[1].name, "B");
  EXPECT_DOUBLE_EQ(layouts[0].area.maxX, 594.0);
  EXPECT_DOUBLE_EQ(layouts[0].area.maxY, 841.0);
  EXPECT_EQ(layouts[2].name, "C");
  EXPECT_DOUBLE_EQ(layouts[2].area.maxX, 297.0);
  EXPECT_DOUBLE_EQ(layouts[2].area.maxY, 420.0);
  EXPECT_DOUBLE_EQ(layouts[3].area.maxX, 420.0);
}

TEST(PlotPreview, isTheSheetAtItsScaleCentredInThePixels) {
  db::Database d = db::Database::newDrawing();
  add(d, line(0, 0, 10000, 0, 1));
  // (scale, pixels across, the line's length in pixels): an A4 landscape sheet, 297 mm,
  // fitted into 594 pixels is 2 pixels a millimetre.
  struct Case {
    const char* scale;
    double pixels;
  };
  for (const Case c : {Case{"1:100", 200.0}, Case{"1:50", 400.0}, Case{"1:200", 100.0}}) {
    SCOPED_TRACE(c.scale);
    PlotRequest request;
    request.page.paper = *paperNamed("A4");
    request.page.orientation = Orientation::landscape;
    request.page.scale = *parseScale(c.scale);
    request.page.area = Extents{0, 0, 10000, 0};
    Image image(700, 420);
    const PlotResult r = plotPreview(d, request, image.rows());
    ASSERT_TRUE(r.ok) << r.message;
    // The sheet: 594 × 420 pixels white in the middle, the grey around it untouched.
    EXPECT_EQ(image.at(53, 5), 0xFFFFFFu);
    EXPECT_EQ(image.at(646, 414), 0xFFFFFFu);
    EXPECT_EQ(image.at(52, 5), 0x808080u);
    EXPECT_EQ(image.at(647, 5), 0x808080u);
    const auto run = image.run(image.inkedRow(205, 215, 53, 647), 53, 647);
    ASSERT_GE(run.first, 0);
    EXPECT_NEAR(run.second + 1 - run.first, c.pixels, 2.0);
    EXPECT_NEAR((run.first + run.second + 1) / 2.0, 350.0, 1.5) << "centred on the sheet";
  }
  // Rows that are not an image get nothing, and say so.
  PlotRequest request;
  request.page.area = Extents{0, 0, 10000, 0};
  PixelRows none;
  EXPECT_FALSE(plotPreview(d, request, none).ok);
  Image image(10, 10);
  PixelRows shortRows = image.rows();
  shortRows.stride = 8;
  EXPECT_FALSE(plotPreview(d, request, shortRows).ok);
  EXPECT_EQ(image.at(5, 5), 0x808080u);
}

TEST(PlotPreview, drawsALayoutsPaperAndEachViewportAtItsScaleClipped) {
  const db::Database d = layoutDrawing();
  PlotRequest request;
  request.page.paper = *paperNamed("A3");
  request.page.scale = PlotScale{false, 1.0, 1.0};
  request.layout = layoutsOf(d).at(0);
  request.page.area = request.layout->area;
  // 2 pixels a millimetre; paper y = 150 is row 297 from the top, y = 10 row 574.
  Image image(840, 594);
  ASSERT_TRUE(plotPreview(d, request, image.rows()).ok);
  // The model line, 1,000 units: 100 mm through the 1:10 viewport, 50 mm through the 1:20 one.
  const int left = image.inkedRow(290, 304, 50, 350), right = image.inkedRow(290, 304, 440, 800);
  ASSERT_GE(left, 0);
  ASSERT_GE(right, 0);
  auto a = image.run(left, 50, 350), b = image.run(right, 440, 800);
  EXPECT_NEAR(a.second + 1 - a.first, 200.0, 2.0);
  EXPECT_NEAR(b.second + 1 - b.first, 100.0, 2.0);
  // Its middle (model x = 500) on each viewport's centre.
  EXPECT_NEAR((a.first + a.second + 1) / 2.0, 200.0, 1.5);
  EXPECT_NEAR((b.first + b.second + 1) / 2.0, 620.0, 1.5);
  // HIDE (model y = 200): 20 mm above in the 1:10 viewport, clipped at its top (y = 200
  // mm is inside: 150 + 20); frozen in the 1:20 one.
  EXPECT_GE(image.inkedRow(250, 262, 50, 350), 0);
  EXPECT_LT(image.inkedRow(270, 285, 440, 800), 0) << "frozen in the second viewport";
  // Paper space at 1:1: the 400 mm line, 800 pixels.
  const int paperRow = image.inkedRow(570, 580, 0, 840);
  ASSERT_GE(paperRow, 0);
  const auto p = image.run(paperRow);
  EXPECT_NEAR(p.second + 1 - p.first, 800.0, 2.0);
  // The line at model y = 800: 80 mm above the first viewport's centre, outside it
  // (clipped away); 40 mm above the second's, inside it.
  EXPECT_LT(image.inkedRow(128, 140, 0, 840), 0);
  EXPECT_GE(image.inkedRow(208, 220, 440, 800), 0);
}

TEST(PixelRows, bandsOfAnImagePaintAsTheWholeAndBadRowsGetNothing) {
  db::Database d = db::Database::newDrawing();
  add(d, line(0, 0, 100, 100, 1));
  add(d, circle(50, 50, 30));
  const ViewTransform view{2.0, 10.0, 210.0};
  Image whole(220, 220), banded(220, 220);
  ViewOptions o;
  drawView(whole.rows(), d, view, o);
  for (int top = 0; top < 220; top += 50) drawView(banded.rows(top, std::min(50, 220 - top)), d, view, o);
  EXPECT_TRUE(whole.px == banded.px);
  EXPECT_NE(whole.at(110, 110), backgroundColor(Background::light)) << "something was drawn";
  Image untouched(20, 20);
  for (PixelRows bad : {PixelRows{}, PixelRows{untouched.rows().data, 20, 20, 40, false, 0},
                        PixelRows{untouched.rows().data, 0, 20, 80, false, 0}}) {
    const DrawReport r = drawView(bad, d, view, o);
    EXPECT_EQ(r.painted, 0u);
  }
  EXPECT_EQ(untouched.at(3, 3), 0x808080u);
}

}  // namespace
}  // namespace orv::render::test
