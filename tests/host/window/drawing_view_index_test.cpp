// The drawing view zoomed in on a part of a large drawing: it draws what its index
// finds there, and the picture is the one a walk through the whole drawing makes.
#include <gtest/gtest.h>

#include <QApplication>

#include "drawing_view.h"
#include "orv/core/spatial_index.h"

namespace orv::window::testing {
namespace {

TEST(DrawingViewIndex, aZoomedInViewDrawsWhatTheIndexFindsAsTheWholeWalkWould) {
  core::Document doc;
  db::Database& d = doc.database();
  // A field of crosses and rings in two colours; some far lines run through the view.
  for (int i = 0; i < 4000; ++i) {
    const double x = i % 80 * 10.0, y = i / 80 * 10.0;
    db::Entity a(db::Line{{x, y, 0}, {x + 6, y + 6, 0}});
    a.color = static_cast<std::int16_t>(1 + i % 2);
    ASSERT_TRUE(d.append(std::move(a)));
    db::Entity ring(db::Circle{{x + 3, y + 3, 0}, 2.5});
    ring.color = 5;
    ASSERT_TRUE(d.append(std::move(ring)));
  }
  ASSERT_TRUE(d.append(db::Entity(db::Line{{-100, 240, 0}, {900, 260, 0}})));
  core::SpatialIndex index(doc);

  DrawingView view;
  view.resize(400, 300);
  view.setDatabase(&d);
  int asked = 0;
  view.entitiesIn = [&](const render::Extents& box) -> std::optional<std::vector<db::ObjectId>> {
    ++asked;
    return index.query(core::Box2{box.minX, box.minY, box.maxX, box.maxY}, false);
  };

  struct Case {
    const char* what;
    double zoom;  // times the whole drawing
    bool indexAsked;
  } cases[] = {
      {"the whole drawing", 1.0, false},
      {"a little nearer", 1.5, false},
      {"a tenth of it", 10.0, true},
      {"a few crosses", 60.0, true},
  };
  for (const Case& c : cases) {
    view.zoomExtents();
    view.zoomAbout(QPointF(170, 120), c.zoom);
    asked = 0;
    view.renderNow();
    const QImage withIndex = view.cachedImage();
    EXPECT_EQ(asked > 0, c.indexAsked) << c.what;
    auto kept = std::move(view.entitiesIn);
    view.entitiesIn = nullptr;
    view.renderNow();
    const QImage walked = view.cachedImage();
    view.entitiesIn = std::move(kept);
    EXPECT_TRUE(withIndex == walked) << c.what;
    // Something was drawn.
    int inked = 0;
    for (int y = 0; y < walked.height(); ++y)
      for (int x = 0; x < walked.width(); ++x) inked += walked.pixel(x, y) != walked.pixel(0, 0);
    EXPECT_GT(inked, 100) << c.what;
  }
}

// Drawn in two bands of rows at once, in one piece (when no second core is free), or as
// two halves of the drawing's list, the second laid over the first: the same picture,
// ink in both bands.
TEST(DrawingViewIndex, theViewDrawnInPartsOrInOnePieceIsTheSame) {
  db::Database d = db::Database::newDrawing();
  for (int i = 0; i < 300; ++i) {
    db::Entity e(db::Circle{{i % 20 * 10.0, i / 20 * 10.0, 0}, 4.0 + i % 3});
    e.color = static_cast<std::int16_t>(1 + i % 6);
    ASSERT_TRUE(d.append(std::move(e)));
  }
  DrawingView view;
  view.resize(401, 301);  // an odd height: halves of 150 and 151 rows
  view.setDatabase(&d);
  auto drawn = [&](bool halves, std::size_t inPartsFrom) {
    view.drawInHalves = [halves] { return halves; };
    view.drawnInPartsFrom = inPartsFrom;
    view.renderNow();
    return view.cachedImage();
  };
  const std::size_t never = static_cast<std::size_t>(-1);
  const QImage halves = drawn(true, never), whole = drawn(false, never), listHalves = drawn(false, 100);
  ASSERT_FALSE(whole.isNull());
  EXPECT_TRUE(halves == whole);
  // Overlapping rings of both halves of the list: the later ones over the earlier, as
  // drawn in one piece, but for the rounding of the overlay's edges (a level at most).
  int most = 0;
  for (int y = 0; y < whole.height(); ++y)
    for (int x = 0; x < whole.width(); ++x) {
      const QRgb a = listHalves.pixel(x, y), b = whole.pixel(x, y);
      const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
      most = std::max(most, d);
    }
  EXPECT_LE(most, 1);
  const QRgb background = whole.pixel(0, 0);
  int top = 0, bottom = 0;
  for (int y = 0; y < whole.height(); ++y)
    for (int x = 0; x < whole.width(); ++x)
      if (whole.pixel(x, y) != background) ++(y < whole.height() / 2 ? top : bottom);
  EXPECT_GT(top, 1000);
  EXPECT_GT(bottom, 1000);
}

}  // namespace
}  // namespace orv::window::testing
