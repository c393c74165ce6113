// What the window shows, grabbed offscreen and looked at: the view of a drawing, the
// rubber band of a point prompt with a base point, and the picture dialogs with their
// previews and Chinese captions. The pictures are kept in the build tree.
#include <gtest/gtest.h>

#include <QGlyphRun>
#include <QPushButton>
#include <QRadioButton>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>

#include "window_fixture.h"

namespace orv::window::testing {
namespace {

QRgb rgbAt(const QImage& image, QPoint at) { return image.pixel(at) & 0xFFFFFF; }

QImage grabbed(QWidget& w, const char* name) {
  const QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString file = QStringLiteral(ORV_WINDOW_PICTURES "/%1.png").arg(name);
  EXPECT_TRUE(image.save(file)) << file.toStdString();
  return image;
}

// Every glyph of `text` set in `font` (and the fonts it falls back on) is a real glyph
// of a font that has the character, not the missing-glyph box.
void expectGlyphsFor(const QString& text, const QFont& font) {
  QTextLayout layout(text, font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  int glyphs = 0;
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (quint32 g : run.glyphIndexes()) {
      EXPECT_NE(g, 0u) << text.toStdString() << " in " << run.rawFont().familyName().toStdString();
      ++glyphs;
    }
  }
  EXPECT_EQ(glyphs, text.size()) << text.toStdString();
  for (const QChar c : text)
    if (c.unicode() > 0x2E80) {
      bool some = false;
      for (const QGlyphRun& run : layout.glyphRuns()) some |= run.rawFont().supportsCharacter(c);
      EXPECT_TRUE(some) << text.toStdString();
    }
}

TEST(WindowPictures, theViewShowsTheDrawingInsideItsExtentsInItsColours) {
  WindowSession w;
  db::Database& d = w.session().database();
  db::Entity red(db::Line{{0, 0, 0}, {300, 200, 0}});
  red.color = 1;
  db::Entity green(db::Circle{{150, 100, 0}, 60});
  green.color = 3;
  db::Polyline frame;
  for (db::Point2 p : {db::Point2{0, 0}, db::Point2{300, 0}, db::Point2{300, 200}, db::Point2{0, 200}})
    ASSERT_EQ(frame.addVertex(p), db::Status::ok);
  frame.setClosed(true);
  for (const db::Entity& e : {red, green, db::Entity(frame)}) ASSERT_TRUE(d.append(e));
  w.view().drawingChanged();
  w.step([&] {
    DrawingView& v = w.view();
    v.zoomExtents();
    v.renderNow();
    for (bool dark : {true, false}) {
      v.setDark(dark);
      v.renderNow();
      const QImage image = grabbed(v, dark ? "window-view-dark" : "window-view-light");
      const QRgb background = backgroundColor(dark) & 0xFFFFFF;
      const db::Point2 lo = v.transform().toDevice({0, 0}), hi = v.transform().toDevice({300, 200});
      const QRect box = QRect(QPoint(int(lo.x), int(hi.y)), QPoint(int(hi.x), int(lo.y))).adjusted(-2, -2, 2, 2);
      int outside = 0, reds = 0, greens = 0, sevens = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
          const QRgb c = rgbAt(image, {x, y});
          if (c == background) continue;
          if (!box.contains(x, y)) {
            ++outside;
            continue;
          }
          reds += qRed(c) > 150 && qGreen(c) < 100 && qBlue(c) < 100;
          greens += qGreen(c) > 150 && qRed(c) < 100 && qBlue(c) < 100;
          const bool neutral = std::abs(qRed(c) - qGreen(c)) < 30 && std::abs(qGreen(c) - qBlue(c)) < 30;
          sevens += neutral && (dark ? qGray(c) > 140 : qGray(c) < 130);
        }
      EXPECT_EQ(outside, 0) << dark;
      // The diagonal, the circle's circumference and the frame's four sides, in pixels.
      const double s = v.transform().scale;
      EXPECT_GT(reds, 0.7 * 360 * s) << dark;
      EXPECT_GT(greens, 0.7 * 2 * 3.14159 * 60 * s) << dark;
      EXPECT_GT(sevens, 0.6 * 1000 * s) << dark;
      // Inside the box between the entities: background.
      const db::Point2 empty = v.transform().toDevice({40, 150});
      EXPECT_EQ(rgbAt(image, QPoint(int(empty.x), int(empty.y))), background);
    }
    return false;
  });
  w.run();
}

TEST(WindowPictures, aRubberBandRunsFromThePlugInsBasePointToTheCursor) {
  ModuleDir m;
  m.writeIni("[PIPE]\nDW=100\nWTBJ=150\n[DRAW]\nENDSTYLE=2\n");
  WindowSession w;
  ASSERT_TRUE(w.session().modules().load(m.module).ok);
  const QPoint base(500, 250);
  // Where the cursor goes around the base point: across, up and down, near.
  const QPoint cursors[] = {{100, 250}, {500, 30}, {800, 60}, {560, 230}};
  auto bandPixels = [&](const QImage& image, QPoint to) {
    const QRgb background = backgroundColor(w.view().dark()) & 0xFFFFFF;
    int inked = 0, samples = 0;
    for (double t = 0.15; t <= 0.85; t += 0.05) {
      const QPointF at = QPointF(base) + t * QPointF(to - base);
      bool ink = false;
      for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy) ink |= rgbAt(image, (at + QPointF(dx, dy)).toPoint()) != background;
      inked += ink;
      ++samples;
    }
    return std::pair{inked, samples};
  };
  w.type("GD");
  w.step([&] {  // the first point has no base point: no band
    moveTo(w.view(), {900, 250});
    const QImage image = grabbed(w.view(), "window-first-point");
    const auto [inked, samples] = bandPixels(image, {800, 60});
    EXPECT_EQ(inked, 0) << samples;
    return false;
  });
  ViewTransform atClick;
  w.step([&] {
    atClick = w.view().transform();
    return false;
  });
  w.click(base);
  w.step([&] {
    const ViewTransform now = w.view().transform();
    EXPECT_EQ(now.scale, atClick.scale);
    EXPECT_EQ(now.offsetX, atClick.offsetX);
    EXPECT_EQ(now.offsetY, atClick.offsetY);
    // The band starts where the click was: the long prompt with its keywords did not
    // widen the window and move the view.
    for (const QPoint& to : cursors) {
      moveTo(w.view(), to);
      const QImage image = w.view().grab().toImage();
      const auto [inked, samples] = bandPixels(image, to);
      EXPECT_EQ(inked, samples) << to.x() << "," << to.y();
    }
    moveTo(w.view(), cursors[2]);
    grabbed(w.view(), "window-rubber-band");
    // The whole window: the prompt and its keywords fit in the panel as they can.
    const QImage whole = grabbed(w.window(), "window-next-point");
    EXPECT_EQ(whole.width(), 1000);
    EXPECT_GE(w.panel().input()->width(), 160);
    return false;
  });
  w.key(Qt::Key_Escape);
  w.run();
}

// The picture dialog of FM or ZDY, grabbed: each slot with a part shows its preview in
// its frame, and the captions are set in glyphs of a font that has them.
TEST(WindowPictures, thePictureDialogsShowPreviewsAndChineseCaptions) {
  const struct {
    const char* command;
    const char* picture;
    const char* caption;
    int parts;
  } dialogs[] = {
      {"FM", "window-valve-dialog", "阀门选择", 8},
      {"ZDY", "window-custom-part-dialog", "自定义零部件选择", 6},
  };
  for (const auto& c : dialogs) {
    SCOPED_TRACE(c.command);
    ModuleDir m;
    WindowSession w;
    ASSERT_TRUE(w.session().modules().load(m.module).ok);
    int shown = 0;
    w.presenter().shown = [&](QWidget* widget) {
      auto* d = qobject_cast<ModelDialog*>(widget);
      ASSERT_NE(d, nullptr);
      ++shown;
      EXPECT_EQ(d->windowTitle(), c.caption);
      expectGlyphsFor(d->windowTitle(), d->font());
      const QImage image = grabbed(*d, c.picture);
      int withPreview = 0;
      for (int slot = 1; slot <= 24; ++slot) {
        QWidget* frame = d->control(203 + 2 * slot);  // 205, 207, ... 251
        auto* radio = qobject_cast<QRadioButton*>(d->control(204 + 2 * slot));
        ASSERT_NE(frame, nullptr) << slot;
        ASSERT_NE(radio, nullptr) << slot;
        // Non-white pixels inside the frame (its edge left out), in the grabbed dialog.
        const QRect inner = frame->geometry().adjusted(2, 2, -2, -2);
        int ink = 0;
        for (int y = inner.top(); y <= inner.bottom(); ++y)
          for (int x = inner.left(); x <= inner.right(); ++x) ink += rgbAt(image, {x, y}) != 0xFFFFFF;
        const bool hasPart = slot <= c.parts;
        EXPECT_EQ(ink > 20, hasPart) << slot << " " << ink;
        withPreview += ink > 20;
        if (!hasPart) continue;
        // Its caption in Chinese, set in glyphs that exist, and ink where it is written.
        const QString text = radio->text();
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar ch) { return ch.unicode() > 0x2E80; }))
            << text.toStdString();
        expectGlyphsFor(text, radio->font());
        const QRect label = radio->geometry().adjusted(16, 1, -1, -1);
        int dark = 0;
        for (int y = label.top(); y <= label.bottom(); ++y)
          for (int x = label.left(); x <= label.right(); ++x) dark += qGray(image.pixel(x, y)) < 110;
        EXPECT_GT(dark, 8 * text.size()) << text.toStdString();
      }
      EXPECT_EQ(withPreview, c.parts);
      auto* ok = qobject_cast<QPushButton*>(d->control(1));
      ASSERT_NE(ok, nullptr);
      expectGlyphsFor(ok->text(), ok->font());
      QTest::mouseClick(qobject_cast<QPushButton*>(d->control(2)), Qt::LeftButton);
    };
    w.type(c.command);
    w.keyword("C");
    w.key(Qt::Key_Escape);
    w.key(Qt::Key_Escape);
    w.run();
    EXPECT_EQ(shown, 1);
  }
}

}  // namespace
}  // namespace orv::window::testing
