// Which layouts and viewports a drawing plots, and pixel rows painted in bands or refused.
// How a layout plots with its viewports is checked end to end (tests/e2e/test_plot.py), the
// preview's measure in the window's tests.
#include <cstdio>
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
  const char* layer = "0";
  const char* flags = nullptr;  // 90, left out when null
  db::Handle clip = 0;          // 340, left out when 0
};

void addViewport(db::Database& d, db::BlockId space, const Viewport& v) {
  db::RawTags tags;
  auto num = [&](int code, double value) { tags.add(code, std::to_string(value)); };
  tags.add(8, v.layer);
  if (v.flags) tags.add(90, v.flags);
  if (v.clip) tags.add(340, hex(v.clip));
  num(10, v.cx), num(20, v.cy), num(40, v.w), num(41, v.h);
  tags.add(68, std::to_string(v.status));
  tags.add(69, std::to_string(v.id));
  num(12, v.viewX), num(22, v.viewY), num(16, 0.0), num(26, 0.0), num(36, v.direction), num(45, v.viewHeight);
  num(51, v.twist);
  db::Entity e{db::UnknownEntity{d.intern("VIEWPORT"), std::move(tags)}};
  ASSERT_TRUE(d.appendRead(std::move(e), space, 0, {}).ok());
}

void addLayout(db::Database& d, const std::string& name, db::BlockId space, int tab, double w = 420, double h = 297,
               bool limits = true, const char* rotation = "0") {
  const std::string W = std::to_string(w), H = std::to_string(h);
  // The layouts' dictionary owns it, before the settings.
  for (const auto& [code, value] : std::vector<std::pair<int, std::string>>{
           {0, "LAYOUT"}, {5, hex(d.newHandle())}, {330, "1A"}, {100, "AcDbPlotSettings"}, {1, ""}, {44, W}, {45, H},
           {72, "1"}, {73, rotation}, {100, "AcDbLayout"}, {1, name}, {71, std::to_string(tab)}})
    d.objects.add(code, value);
  if (limits)
    for (const auto& [code, value] : std::vector<std::pair<int, std::string>>{{10, "0"}, {20, "0"}, {11, W}, {21, H}})
      d.objects.add(code, value);
  d.objects.add(330, hex(d.block(space).recordHandle));
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

// An old-style polyline of these flags: a 2 by 2 mesh, or a 2D polyline of four vertices.
db::Entity oldStyle(int flags) {
  db::HeavyPolyline p;
  p.flags = static_cast<std::int16_t>(flags);
  p.counts = {2, 2, 0, 0, 0};
  for (db::Point3 q : {db::Point3{0, 0, 0}, {10, 0, 0}, {0, 10, 0}, {10, 10, 0}}) {
    db::HeavyVertex v;
    v.point = q;
    p.vertices.push_back(v);
  }
  return db::Entity{std::move(p)};
}

// A light polyline through points, each with the bulge of the segment it starts.
db::Entity polyline(std::vector<std::pair<db::Point2, double>> vertices, bool closed) {
  db::Polyline pl;
  for (const auto& [p, bulge] : vertices) EXPECT_EQ(pl.addVertex(p, bulge), db::Status::ok);
  pl.setClosed(closed);
  return db::Entity{std::move(pl)};
}

TEST(Layouts, aViewportIsClippedByTheEntityItNamesOnlyWhenItsFlagsAskAndTheEntityBoundsAnArea) {
  using Make = db::Entity (*)(db::Database&);
  struct Case {
    const char* what;
    Make boundary;
    const char* flags;
    bool clipped;
    bool inModelSpace = false;
    bool erased = false;
  };
  const Make halfDisc = [](db::Database&) { return polyline({{{0, 0}, 0.0}, {{10, 0}, 1.0}}, true); };
  const Make disc = [](db::Database&) { return circle(5, 5, 5); };
  const Make closedSpline = [](db::Database&) {
    db::Spline s;
    s.flags = 11;
    s.controlPoints = {{0, 0, 0}, {10, 0, 0}, {5, 8, 0}};
    return db::Entity{std::move(s)};
  };
  const Case cases[] = {
      {"a closed light polyline", halfDisc, "98304", true},
      {"flags that do not ask", halfDisc, "32768", false},
      {"no number for flags", halfDisc, "lots", false},
      {"an entity of model space", halfDisc, "65536", false, true},
      {"an erased entity", halfDisc, "65536", false, false, true},
      {"an open light polyline",
       [](db::Database&) { return polyline({{{0, 0}, 0.0}, {{10, 0}, 0.0}, {{10, 10}, 0.0}}, false); }, "65536",
       false},
      {"a light polyline back where it started",
       [](db::Database&) { return polyline({{{0, 0}, 0.0}, {{10, 0}, 0.0}, {{0, 0}, 0.0}}, false); }, "65536", true},
      {"a circle", disc, "65536", true},
      {"a line", [](db::Database&) { return line(0, 0, 10, 10); }, "65536", false},
      {"a whole ellipse", [](db::Database&) { return db::Entity{db::Ellipse{{5, 5, 0}, {5, 0, 0}, {0, 0, 1}, 0.5}}; },
       "65536", true},
      {"half an ellipse",
       [](db::Database&) { return db::Entity{db::Ellipse{{5, 5, 0}, {5, 0, 0}, {0, 0, 1}, 0.5, 0.0, 3.14159}}; },
       "65536", false},
      {"a closed spline", closedSpline, "65536", true},
      {"an open spline",
       [](db::Database&) { return db::Entity{db::Spline::byControlPoints({{0, 0, 0}, {9, 0, 0}})}; },
       "65536", false},
      {"a closed old-style polyline", [](db::Database&) { return oldStyle(db::HeavyPolyline::closed); }, "65536", true},
      {"a mesh", [](db::Database&) { return oldStyle(db::HeavyPolyline::closed | db::HeavyPolyline::polygonMesh); },
       "65536", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    db::Database d = db::Database::newDrawing();
    if (d.block(d.paperSpace()).recordHandle == 0) d.editBlock(d.paperSpace()).recordHandle = d.newHandle();
    const db::ObjectId boundary = add(d, c.boundary(d), c.inModelSpace ? d.modelSpace() : d.paperSpace());
    ASSERT_FALSE(boundary.isNull());
    const db::Handle h = d.entity(boundary)->handle();
    ASSERT_NE(h, 0u);
    if (c.erased) {
      ASSERT_EQ(d.erase(boundary), db::Status::ok);
    }
    addViewport(d, d.paperSpace(), {100, 100, 50, 50, 0, 0, 100, 2, 1, 0.0, 1.0, "0", c.flags, h});
    addLayout(d, "L", d.paperSpace(), 1);
    const auto layouts = layoutsOf(d);
    ASSERT_EQ(layouts.size(), 1u);
    ASSERT_EQ(layouts[0].viewports.size(), 1u);
    EXPECT_EQ(layouts[0].viewports[0].clipBoundary, c.clipped ? boundary : db::ObjectId{});
  }
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
  // Nor does a plot's preview.
  PlotRequest request;
  request.page.area = Extents{0, 0, 100, 100};
  EXPECT_FALSE(plotPreview(d, request, PixelRows{}).ok);
  PixelRows shortRows = untouched.rows();
  shortRows.stride = 8;
  EXPECT_FALSE(plotPreview(d, request, shortRows).ok);
  EXPECT_EQ(untouched.at(3, 3), 0x808080u);
}

}  // namespace
}  // namespace orv::render::test
