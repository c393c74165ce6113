// Views: the drawing-to-device mapping, backgrounds, entity lists, highlights, far zooms and two threads at once.
#include <cairo.h>

#include <cstring>
#include <thread>
#include <vector>

#include "draw.h"
#include "orv/render/view.h"
#include "render_test_support.h"

namespace orv::render::test {
namespace {

// An image surface of its own, read pixel by pixel.
class Canvas {
 public:
  Canvas(int w, int h)
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h)), cr_(cairo_create(surface_)) {}
  ~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  cairo_t* cr() const { return cr_; }
  std::uint32_t at(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* row = cairo_image_surface_get_data(surface_) + y * cairo_image_surface_get_stride(surface_);
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFFu;
  }
  bool sameAs(const Canvas& other) const {
    cairo_surface_flush(surface_);
    cairo_surface_flush(other.surface_);
    const int h = cairo_image_surface_get_height(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    return std::memcmp(cairo_image_surface_get_data(surface_), cairo_image_surface_get_data(other.surface_),
                       static_cast<std::size_t>(stride) * h) == 0;
  }
  // True when some pixel within 1 of (x, y) is near `rgb` in every channel.
  bool shows(int x, int y, std::uint32_t rgb) const {
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        const std::uint32_t p = at(x + dx, y + dy);
        bool near = true;
        for (int shift : {16, 8, 0})
          near = near && std::abs(static_cast<int>(p >> shift & 0xFF) - static_cast<int>(rgb >> shift & 0xFF)) <= 135;
        if (near) return true;
      }
    return false;
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

TEST(ViewTransform, mapsBothWaysWithYUp) {
  const ViewTransform v{2.0, 30.0, 270.0};
  const db::Point2 d = v.toDevice({10, 20});
  EXPECT_DOUBLE_EQ(d.x, 50.0);
  EXPECT_DOUBLE_EQ(d.y, 230.0);
  const db::Point2 back = v.toDrawing(d);
  EXPECT_DOUBLE_EQ(back.x, 10.0);
  EXPECT_DOUBLE_EQ(back.y, 20.0);
}

TEST(ViewTransform, fitsBoxesOfEveryShape) {
  struct Case {
    const char* what;
    Extents box;
    double w, h, margin;
    double scale;
    db::Point2 centre;  // drawing point at the device centre
  } cases[] = {
      {"wide", {0, 0, 170, 120}, 400, 300, 30, 2.0, {85, 60}},
      {"tall", {0, 0, 10, 100}, 400, 300, 50, 2.0, {5, 50}},
      {"a line along x", {-5, 3, 5, 3}, 200, 100, 0, 20.0, {0, 3}},
      {"a point", {7, 8, 7, 8}, 200, 100, 10, 1.0, {7, 8}},
      {"a margin too large is held at 45%", {0, 0, 10, 10}, 100, 100, 80, 1.0, {5, 5}},
      {"no device", {0, 0, 10, 10}, 0, 100, 0, 1.0, {0, 100}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ViewTransform v = ViewTransform::fit(c.box, c.w, c.h, c.margin);
    EXPECT_NEAR(v.scale, c.scale, 1e-9);
    if (c.w > 0) {
      const db::Point2 mid = v.toDrawing({c.w / 2, c.h / 2});
      EXPECT_NEAR(mid.x, c.centre.x, 1e-9);
      EXPECT_NEAR(mid.y, c.centre.y, 1e-9);
    }
  }
}

db::Database sampleDrawing() {
  db::Database d = db::Database::newDrawing();
  addFrame(d);
  add(d, line(10, 10, 160, 10, 7));   // colour 7
  add(d, line(10, 110, 160, 110, 1)); // red
  add(d, circle(85, 60, 30, 5));      // blue
  return d;
}

TEST(DrawView, paintsADarkBackgroundWithColourSevenWhite) {
  const db::Database d = sampleDrawing();
  Canvas c(400, 300);
  ViewOptions o;
  o.background = Background::dark;
  drawView(c.cr(), d, ViewTransform{2.0, 30.0, 270.0}, o);
  EXPECT_EQ(c.at(5, 5), backgroundColor(Background::dark));
  EXPECT_TRUE(c.shows(px(50), py(10), 0xFFFFFF));
  EXPECT_TRUE(c.shows(px(50), py(110), 0xFF0000));
  EXPECT_TRUE(c.shows(px(85), py(90), 0x0000FF));
}

TEST(DrawView, drawsOnlyTheListedEntitiesAndHighlightsThemOverAView) {
  db::Database d = sampleDrawing();
  auto block = d.addBlock("B", {0, 0, 0});
  ASSERT_TRUE(block.ok());
  const db::ObjectId inBlock = add(d, line(0, 60, 170, 60, 3), *block);
  const db::ObjectId erased = add(d, line(85, 0, 85, 120, 3));
  ASSERT_EQ(d.erase(erased), db::Status::ok);
  std::vector<db::ObjectId> all;
  d.forEachEntity(d.modelSpace(), [&](db::ObjectId id, const db::Entity&) { all.push_back(id); });
  const db::ObjectId redLine = all[2];
  const std::vector<db::ObjectId> listed{redLine, inBlock, erased, db::ObjectId{9999}};

  Canvas c(400, 300);
  ViewOptions o;
  o.entities = &listed;
  const DrawReport r = drawView(c.cr(), d, ViewTransform{2.0, 30.0, 270.0}, o);
  EXPECT_EQ(r.painted, 1u);
  EXPECT_TRUE(c.shows(px(50), py(110), 0xFF0000));
  EXPECT_EQ(c.at(px(50), py(10)), 0xFFFFFFu);  // the colour-7 line is not listed
  EXPECT_EQ(c.at(px(20), py(60)), 0xFFFFFFu);  // nor can a block's entity be
  EXPECT_EQ(c.at(px(85), py(50)), 0xFFFFFFu);  // nor an erased one

  // The highlight goes over what is there, in its colour, and paints no background.
  const std::vector<db::ObjectId> hovered{all[1]};
  ViewOptions h;
  h.entities = &hovered;
  h.highlight = true;
  drawView(c.cr(), d, ViewTransform{2.0, 30.0, 270.0}, h);
  EXPECT_TRUE(c.shows(px(50), py(10), highlightColor(Background::light)));
  EXPECT_TRUE(c.shows(px(50), py(110), 0xFF0000));
}

TEST(DrawView, showsALineWhoseEndsLieFarBeyondTheDevice) {
  db::Database d = db::Database::newDrawing();
  add(d, line(-1e6, -1e6, 1e6, 1e6, 1));  // through the origin
  add(d, circle(0, 5e5, 5e5, 5));          // passes through the origin too
  Canvas c(200, 200);
  // 100 device units a drawing unit, the origin in the middle: the ends are 1e8 away.
  drawView(c.cr(), d, ViewTransform{100.0, 100.0, 100.0}, ViewOptions{});
  EXPECT_TRUE(c.shows(100, 100, 0xFF0000));
  EXPECT_TRUE(c.shows(150, 50, 0xFF0000));
  // Near the origin the circle is nearly the x axis.
  EXPECT_TRUE(c.shows(30, 100, 0x0000FF));
  EXPECT_EQ(c.at(30, 40), 0xFFFFFFu);
}

TEST(DrawView, twoThreadsDrawingHalvesMakeTheWholePicture) {
  db::Database d = sampleDrawing();
  for (int i = 0; i < 2000; ++i) add(d, line(i % 170, 0, 170 - i % 170, 120, static_cast<std::int16_t>(1 + i % 200)));
  const ViewTransform v{2.0, 30.0, 270.0};
  Canvas whole(400, 300);
  drawView(whole.cr(), d, v, ViewOptions{});
  // Each half on a surface of its own, the view shifted by the half's origin.
  Canvas left(400, 300), right(400, 300);
  auto half = [&](const Canvas& canvas, double x0) {
    cairo_rectangle(canvas.cr(), x0, 0, 200, 300);
    cairo_clip(canvas.cr());
    drawView(canvas.cr(), d, v, ViewOptions{});
  };
  std::thread a([&] { half(left, 0); });
  std::thread b([&] { half(right, 200); });
  a.join();
  b.join();
  // The same halves drawn one after the other: two threads at once change nothing.
  Canvas leftAlone(400, 300), rightAlone(400, 300);
  half(leftAlone, 0);
  half(rightAlone, 200);
  EXPECT_TRUE(left.sameAs(leftAlone));
  EXPECT_TRUE(right.sameAs(rightAlone));
  // Away from the seam (where cairo rasterizes a clipped stroke a little differently)
  // the halves are the whole picture.
  int differing = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x)
      if ((x < 196 || x > 203) && (x < 200 ? left : right).at(x, y) != whole.at(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST(DrawView, aPageIsTheFittedView) {
  const db::Database d = sampleDrawing();
  Canvas page(400, 300), view(400, 300);
  PageSetup setup;
  setup.width = 400;
  setup.height = 300;
  setup.margin = 30;
  drawPage(page.cr(), d, setup);
  const auto box = modelExtents(d);
  ASSERT_TRUE(box);
  drawView(view.cr(), d, ViewTransform::fit(*box, 400, 300, 30), ViewOptions{});
  EXPECT_TRUE(page.sameAs(view));
}

TEST(DrawView, shapesOffTheViewChangeNothingAndSpecksBecomePixels) {
  // Far off the view and in it, in colours that alternate so that every shape starts
  // a batch of its own.
  db::Database d = sampleDrawing();
  for (int i = 0; i < 3000; ++i) {
    const double x = i % 2 ? 400 + i : -300 - i;
    add(d, line(x, 0, x + 5, 120, static_cast<std::int16_t>(1 + i % 2)));
    add(d, circle(x, 60, 3, static_cast<std::int16_t>(3 + i % 2)));
  }
  const ViewTransform v{2.0, 30.0, 270.0};
  Canvas withFar(400, 300), without(400, 300);
  drawView(withFar.cr(), d, v, ViewOptions{});
  drawView(without.cr(), sampleDrawing(), v, ViewOptions{});
  EXPECT_TRUE(withFar.sameAs(without));

  // Seen from far away: a circle under a pixel across is its pixel, a short line the
  // pixels of its ends and middle, each in its colour; a larger circle is drawn.
  struct Case {
    const char* what;
    db::Entity entity;
    std::vector<std::pair<int, int>> pixels;  // that take its colour exactly
  } cases[] = {
      {"a circle 0.6 pixels across", circle(10.1, 10.1, 0.15, 1), {{20, 279}}},
      {"a line 1.6 pixels long", line(50.05, 20.05, 50.85, 20.05, 5), {{100, 259}, {101, 259}}},
  };
  for (const Case& c : cases) {
    db::Database one = db::Database::newDrawing();
    add(one, c.entity);
    ViewOptions o;
    o.pixelsForSpecks = true;
    Canvas canvas(400, 300);
    const ViewTransform far{2.0, 0.0, 300.0};
    const DrawReport r = drawView(canvas.cr(), one, far, o);
    EXPECT_EQ(r.painted, 1u) << c.what;
    const std::uint32_t ink = c.entity.color == 1 ? 0xFF0000u : 0x0000FFu;
    int inked = 0;
    for (int y = 0; y < 300; ++y)
      for (int x = 0; x < 400; ++x) inked += canvas.at(x, y) != 0xFFFFFFu;
    EXPECT_EQ(inked, static_cast<int>(c.pixels.size())) << c.what;
    for (auto [x, y] : c.pixels) EXPECT_EQ(canvas.at(x, y), ink) << c.what << " at " << x << "," << y;
    // Without specks the same shapes are smoothed strokes, never exactly those pixels.
    Canvas smooth(400, 300);
    drawView(smooth.cr(), one, far, ViewOptions{});
    EXPECT_FALSE(smooth.sameAs(canvas)) << c.what;
  }
  // Through a clip and a shift that are not the image's own, specks go through cairo.
  db::Database dots = db::Database::newDrawing();
  add(dots, circle(10.1, 10.1, 0.15, 1));
  Canvas shifted(400, 300);
  cairo_translate(shifted.cr(), 0.5, 0.0);
  ViewOptions o;
  o.pixelsForSpecks = true;
  drawView(shifted.cr(), dots, ViewTransform{2.0, 0.0, 300.0}, o);
  // Half a pixel over: two pixels half covered, neither white nor red.
  for (int x : {20, 21}) {
    EXPECT_LT(shifted.at(x, 279) >> 8 & 0xFF, 0xFFu) << x;
    EXPECT_NE(shifted.at(x, 279), 0xFF0000u) << x;
  }
}

TEST(DrawView, aLargeDrawingIsMeasuredInPartsAsInOne) {
  // Enough entities to be measured in two parts, the extremes in each.
  db::Database d = db::Database::newDrawing();
  for (int i = 0; i < 70000; ++i) add(d, line(i % 100, 0, i % 100, 10, 1));
  add(d, circle(-50, 5, 7, 1));    // in the second part: the least x
  add(d, line(20, -30, 30, 40, 1));  // the least and greatest y
  const auto box = modelExtents(d);
  ASSERT_TRUE(box);
  EXPECT_NEAR(box->minX, -57, 1e-9);
  EXPECT_NEAR(box->maxX, 99, 1e-9);
  EXPECT_NEAR(box->minY, -30, 1e-9);
  EXPECT_NEAR(box->maxY, 40, 1e-9);
}

}  // namespace
}  // namespace orv::render::test
