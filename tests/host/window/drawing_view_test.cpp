// The drawing view: zoom about the cursor, pan, the whole drawing, the cached image
// that mouse moves leave alone, and what it paints over it.
#include <gtest/gtest.h>

#include <QWheelEvent>

#include <cmath>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

void wheel(QWidget& w, QPointF at, int angle) {
  QWheelEvent e(at, w.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                false);
  QApplication::sendEvent(&w, &e);
}

QRgb pixel(const QImage& image, QPointF at) { return image.pixel(at.toPoint()) & 0xFFFFFF; }

QPointF device(const DrawingView& v, double x, double y) {
  const db::Point2 d = v.transform().toDevice({x, y});
  return {d.x, d.y};
}

TEST(DrawingView, wheelZoomsAboutTheCursorMiddleDragPansAndDoubleClickShowsTheWhole) {
  WindowSession w;
  db::Database& d = w.session().database();
  ASSERT_TRUE(d.append(db::Entity(db::Line{{0, 0, 0}, {1000, 0, 0}})));
  ASSERT_TRUE(d.append(db::Entity(db::Line{{0, 0, 0}, {0, 500, 0}})));
  w.step([&] {
    DrawingView& v = w.view();
    v.zoomExtents();
    const ViewTransform whole = v.transform();
    // The whole drawing fits the view.
    EXPECT_GE(device(v, 0, 500).y(), 0.0);
    EXPECT_LE(device(v, 1000, 0).x(), v.width());

    const QPointF at(250, 200);
    const db::Point2 before = v.transform().toDrawing({at.x(), at.y()});
    wheel(v, at, 120);
    EXPECT_NEAR(v.transform().scale, whole.scale * 1.25, 1e-9 * whole.scale);
    const db::Point2 after = v.transform().toDrawing({at.x(), at.y()});
    EXPECT_NEAR(after.x, before.x, 1e-9 * 1000);
    EXPECT_NEAR(after.y, before.y, 1e-9 * 1000);
    wheel(v, at, -240);
    EXPECT_NEAR(v.transform().scale, whole.scale / 1.25, 1e-9 * whole.scale);

    const ViewTransform beforePan = v.transform();
    QTest::mousePress(&v, Qt::MiddleButton, {}, QPoint(400, 300));
    moveTo(v, QPoint(430, 280), Qt::MiddleButton);
    moveTo(v, QPoint(470, 250), Qt::MiddleButton);
    QTest::mouseRelease(&v, Qt::MiddleButton, {}, QPoint(470, 250));
    EXPECT_DOUBLE_EQ(v.transform().offsetX, beforePan.offsetX + 70);
    EXPECT_DOUBLE_EQ(v.transform().offsetY, beforePan.offsetY - 50);

    QTest::mouseDClick(&v, Qt::MiddleButton, {}, QPoint(100, 100));
    EXPECT_DOUBLE_EQ(v.transform().scale, whole.scale);
    EXPECT_TRUE(w.console().waiting());  // none of it answered the prompt
    return false;
  });
  w.run();
  EXPECT_EQ(w.console().transcript(), "\n命令: ");
}

TEST(DrawingView, mouseMovesPaintOverTheCachedImageAndZoomRedrawsItOnce) {
  WindowSession w;
  db::Database& d = w.session().database();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(d.append(db::Entity(db::Line{{i * 10.0, 0, 0}, {i * 10.0, 300, 0}})));
  w.view().drawingChanged();
  w.type("LINE");
  w.click({100, 600});
  w.step([&] {
    DrawingView& v = w.view();
    v.renderNow();
    EXPECT_TRUE(v.drawingCurrent());
    const qint64 key = v.cachedImage().cacheKey();
    // A rubber band from the base point to the cursor, drawn over the image.
    const QPointF base = device(v, w.clicked()[0].x, w.clicked()[0].y);
    for (int x = 300; x <= 700; x += 40) moveTo(v, QPoint(x, 300));
    const QImage shown = v.grab().toImage();
    EXPECT_EQ(v.cachedImage().cacheKey(), key);
    const QPointF mid = (base + QPointF(700, 300)) / 2;
    const QRgb ink = v.dark() ? 0xFFFFFF : 0x000000;
    bool onLine = false;
    for (int dy = -1; dy <= 1; ++dy) onLine |= pixel(shown, mid + QPointF(0, dy)) == ink;
    EXPECT_TRUE(onLine);
    // The crosshair through the cursor.
    EXPECT_EQ(pixel(shown, QPointF(20, 300)), ink);
    EXPECT_EQ(pixel(shown, QPointF(700, 20)), ink);
    // Zoom: the old image moved at once, then the new one.
    wheel(v, QPointF(400, 300), 120);
    EXPECT_FALSE(v.drawingCurrent());
    for (int i = 0; i < 500 && !v.drawingCurrent(); ++i) {
      v.grab();
      QTest::qWait(10);
    }
    EXPECT_TRUE(v.drawingCurrent());
    EXPECT_NE(v.cachedImage().cacheKey(), key);
    return false;
  });
  w.key(Qt::Key_Escape);
  w.run();
}

TEST(DrawingView, theDrawingIsWhereTheViewPutsItOnEitherBackground) {
  WindowSession w;
  db::Database& d = w.session().database();
  db::Entity red(db::Line{{0, 0, 0}, {100, 100, 0}});
  red.color = 1;
  ASSERT_TRUE(d.append(red));
  ASSERT_TRUE(d.append(db::Entity(db::Line{{0, 100, 0}, {100, 0, 0}})));  // colour 7 (by layer 0)
  w.step([&] {
    DrawingView& v = w.view();
    v.zoomExtents();
    for (bool dark : {true, false}) {
      v.setDark(dark);
      v.renderNow();
      const QImage image = v.cachedImage();
      EXPECT_EQ(pixel(image, QPointF(3, 3)), backgroundColor(dark) & 0xFFFFFF);
      EXPECT_EQ(qGreen(backgroundColor(dark)) < 60, dark);
      // The red diagonal and the white (black) one, where the transform puts them.
      int red = 0, seven = 0;
      for (double t = 0.1; t < 0.45; t += 0.05) {
        const QPointF r = device(v, 100 * t, 100 * t), s = device(v, 100 * t, 100 - 100 * t);
        bool redHere = false, sevenHere = false;
        for (int dx = -1; dx <= 1; ++dx) {
          const QRgb pr = pixel(image, r + QPointF(dx, 0)), ps = pixel(image, s + QPointF(dx, 0));
          redHere |= qRed(pr) > qGreen(pr) + 60;
          sevenHere |= dark ? qGreen(ps) > 150 : qGreen(ps) < 110;
        }
        red += redHere;
        seven += sevenHere;
      }
      EXPECT_GE(red, 6) << dark;
      EXPECT_GE(seven, 6) << dark;
    }
    return false;
  });
  w.run();
}

TEST(DrawingView, theGridLiesUnderTheDrawing) {
  WindowSession w;
  db::Database& d = w.session().database();
  // A line along y = 0, where a row of grid dots lies, at 1 unit a pixel (a dot each 100).
  ASSERT_TRUE(d.append(db::Entity(db::Line{{-2000, 0, 0}, {2000, 0, 0}})));
  w.step([&] {
    DrawingView& v = w.view();
    v.moveView(ViewTransform{1.0, 300.0, 200.0});
    v.setGridOn(true);
    v.renderNow();
    const QImage shown = v.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = backgroundColor(true) & 0xFFFFFF;
    int dots = 0, lineGaps = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const QRgb c = shown.pixel(x, y) & 0xFFFFFF;
        if (y == 200) {
          lineGaps += c != (v.cachedImage().pixel(x, y) & 0xFFFFFF);
        } else if (c != background && std::abs(y - 200) > 2) {
          ++dots;
        }
      }
    EXPECT_GT(dots, 20) << "the grid is shown";
    EXPECT_EQ(lineGaps, 0) << "the line is drawn over the grid, whole";
    return false;
  });
  w.run();
}

}  // namespace
}  // namespace orv::window::testing
